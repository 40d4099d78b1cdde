// Forms that print: free text in the linked voucher, the management report, the
// authentication, the paper cut and the detail-tape print.
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>

#include "console/binding/auxiliar.h"
#include "console/binding/construtores.h"
#include "console/binding/ecf_dll.h"
#include "console/forms/documentos/documentos.h"
#include "console/main/dialogos.h"

namespace belmora {

namespace {

// The memo's lines as the printer takes them, separated by CR LF.
std::string LinhasCrLf(const QString& texto) {
    return TFormulario::Cp1252(texto.split(QLatin1Char('\n')).join(QStringLiteral("\r\n")));
}

QPushButton* Botao(TFormulario* f, QHBoxLayout* linha, const char* nome, const QString& texto) {
    auto* b = new QPushButton(texto, f);
    b->setObjectName(QString::fromUtf8(nome));
    linha->addWidget(b);
    return b;
}

QString DataCurta(const QDateEdit* d) {
    return d->date().toString(QStringLiteral("dd/MM/yy"));
}

}  // namespace

// --- free text in the linked voucher -------------------------------------------------------------

const char* const TfrmTextoLivre::kArquivo = "NaoFiscalVinculado.txt";

TfrmTextoLivre::TfrmTextoLivre(QWidget* parent)
    : TFormulario("TfrmTextoLivre", QStringLiteral("Usa Comprovante Não Fiscal"), parent) {
    CampoMemo("mmTextoLivre", QStringLiteral("Texto livre:"), 492);
    GestosLista gestos;
    gestos.duploCliqueExclui = false;  // here a double click adds the line to the text
    lista_ = new TListaCadastrada("lstLinhasCadastradas", gestos, this);
    Linha(lista_, QStringLiteral("Linhas Cadastradas:"));
    connect(lista_, &QListWidget::itemDoubleClicked, this,
            [this] { Guarda([this] { AdicionaSelecionada(); }); });
    auto* botoes = new QHBoxLayout();
    Liga(Botao(this, botoes, "btCadastrar", QStringLiteral("Cadastrar Linha")), [this] { Cadastra(); });
    Liga(Botao(this, botoes, "btSalvar", QStringLiteral("Salvar Linhas Cadastradas")), [this] { Salva(); });
    botoes->addStretch();
    Corpo()->addLayout(botoes);
    BotaoOK()->setText(QStringLiteral("Imprimir"));
    DefineFoco(findChild<QWidget*>(QStringLiteral("mmTextoLivre")));
}

void TfrmTextoLivre::AoMostrar() {
    try {
        lista_->DefineLinhas(LeLinhasCadastradas(QDir::current().filePath(QString::fromUtf8(kArquivo))));
    } catch (const ErroFormulario& e) {
        // The form still prints; the operator sees why the list is empty.
        lista_->clear();
        AdicionaRetorno(std::string("  <- ") + e.what());
    }
}

void TfrmTextoLivre::Ok() {
    const std::string texto = LinhasCrLf(Valor("mmTextoLivre"));
    Executa(QStringLiteral("-> Imprimindo comprovante não fiscal vinculado"),
            [&] { return dll::Tarvo_UsaComprovanteNaoFiscalVinculado(texto); });
}

void TfrmTextoLivre::AdicionaSelecionada() {
    bool selecionada = false;
    const QString linha = lista_->Selecionada(selecionada);
    if (!selecionada) {
        Informa(this, QStringLiteral("Belmora"), QStringLiteral("Primeiro Selecione uma Linha"));
        return;
    }
    if (!Pergunta(this, QStringLiteral("Belmora"), QStringLiteral("Deseja realmente adicionar a linha?")))
        return;
    findChild<QPlainTextEdit*>(QStringLiteral("mmTextoLivre"))->appendPlainText(linha);
}

void TfrmTextoLivre::Cadastra() {
    if (!Pergunta(this, QStringLiteral("Belmora"), QStringLiteral("Deseja realmente cadastrar as linhas?")))
        return;
    const QString texto = Valor("mmTextoLivre");
    if (texto.isEmpty()) return;
    lista_->addItems(texto.split(QLatin1Char('\n')));
}

void TfrmTextoLivre::Salva() {
    if (!Pergunta(this, QStringLiteral("Belmora"), QStringLiteral("Deseja realmente salvar as linhas?")))
        return;
    GravaLinhasCadastradas(QDir::current().filePath(QString::fromUtf8(kArquivo)), lista_->Linhas());
}

// --- management report ---------------------------------------------------------------------------

TfrmRelatorioGerencial::TfrmRelatorioGerencial(QWidget* parent)
    : TFormulario("TfrmRelatorioGerencial", QStringLiteral("Relatório Gerencial"), parent) {
    QLineEdit* codigo = CampoTexto("edtCodigo", QStringLiteral("Código:"), 2);
    codigo->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), codigo));
    CampoMemo("mmTexto", QStringLiteral("Texto:"), 0);
    BotaoOK()->setText(QStringLiteral("Abrir"));
    auto* botoes = new QHBoxLayout();
    Liga(Botao(this, botoes, "btImprimir", QStringLiteral("Imprimir")), [this] {
        const std::string texto = LinhasCrLf(Valor("mmTexto"));
        Executa(QStringLiteral("-> Imprimindo relatório gerencial"),
                [&] { return dll::Tarvo_RelatorioGerencial(texto); });
    });
    Liga(Botao(this, botoes, "btFechar", QStringLiteral("Fechar")), [this] {
        Executa(QStringLiteral("-> Fechando relatório gerencial"),
                [] { return dll::Tarvo_FechaRelatorioGerencial(); });
    });
    botoes->addStretch();
    Corpo()->addLayout(botoes);
    DefineFoco(codigo);
}

void TfrmRelatorioGerencial::Ok() {
    Executa(QStringLiteral("-> Abrindo relatório gerencial"),
            [this] { return dll::Tarvo_AbreRelatorioGerencialMFD(Texto("edtCodigo")); });
}

// --- authentication ------------------------------------------------------------------------------

TfrmAutenticaDocumento::TfrmAutenticaDocumento(QWidget* parent)
    : TFormulario("TfrmAutenticaDocumento", QStringLiteral("Autenticar Documento"), parent) {
    QStringList saltos;
    for (int n = 0; n <= 50; ++n) saltos << QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
    QComboBox* salto = CampoLista("cbSalto", QStringLiteral("Salto de Linha:"), saltos, QStringLiteral("00"));
    salto->setEditable(false);
    QLineEdit* texto = CampoTexto("edtTexto", QStringLiteral("Texto Autenticação:"), 50);
    // The skipped lines and the text share the 50 lines of the slip: with 50 skipped no text
    // is left (a maximum of 0 takes nothing).
    connect(salto, &QComboBox::currentIndexChanged, texto, [texto](int n) { texto->setMaxLength(50 - n); });
    BotaoOK()->setText(QStringLiteral("Autenticar"));
    DefineFoco(salto);
}

void TfrmAutenticaDocumento::Ok() {
    Executa(QStringLiteral("-> Autenticando Documento"),
            [this] { return dll::Tarvo_AutenticacaoMFD(Texto("cbSalto"), Texto("edtTexto")); });
}

// --- paper cut -----------------------------------------------------------------------------------

TfrmCortarPapel::TfrmCortarPapel(QWidget* parent)
    : TFormulario("TfrmCortarPapel", QStringLiteral("Cortar Papel"), parent) {
    GrupoRadios("rgCorte", QStringLiteral("Corte"), {QStringLiteral("Parcial"), QStringLiteral("Total")});
    BotaoOK()->setText(QStringLiteral("Cortar"));
    DefineFoco(BotaoOK());
}

void TfrmCortarPapel::Ok() {
    const int tipo = Escolhido("rgCorte") == 0 ? 4 : 0;
    Executa(QStringLiteral("-> Acionando Guilhotina"),
            [tipo] { return dll::Tarvo_AcionaGuilhotinaMFD(tipo); });
}

// --- detail-tape print ---------------------------------------------------------------------------

TfrmImprimeMFD::TfrmImprimeMFD(QWidget* parent)
    : TFormulario("TfrmImprimeMFD", QStringLiteral("Imprime Memória Fita Detalhe"), parent) {
    QGroupBox* tipo =
        GrupoRadios("rgTipo", QStringLiteral("Tipo de leitura"),
                    {QStringLiteral("Completa"), QStringLiteral("Por Data"), QStringLiteral("Por COO")});
    CampoData("dtInicial", QStringLiteral("Data Inicial:"));
    CampoData("dtFinal", QStringLiteral("Data Final:"));
    CampoTexto("edtInicial", QStringLiteral("Data/COO Inicial:"), 0);
    CampoTexto("edtFinal", QStringLiteral("Data/COO Final:"), 0);
    Rotulo("lblObs",
           QStringLiteral(
               "Obs.: É possível imprimir somente duas Leituras da Memória Fiscal por Intervenção Técnica."));
    findChild<QRadioButton*>(QStringLiteral("rgTipo1"))->setChecked(true);
    for (QRadioButton* r : tipo->findChildren<QRadioButton*>())
        connect(r, &QRadioButton::toggled, this, [this] { MostraTipo(); });
    MostraTipo();
    BotaoOK()->setText(QStringLiteral("Imprimir"));
    DefineFoco(BotaoOK());
}

void TfrmImprimeMFD::MostraTipo() {
    const int tipo = Escolhido("rgTipo");
    auto* dtInicial = findChild<QWidget*>(QStringLiteral("dtInicial"));
    auto* dtFinal = findChild<QWidget*>(QStringLiteral("dtFinal"));
    auto* edtInicial = findChild<QWidget*>(QStringLiteral("edtInicial"));
    auto* edtFinal = findChild<QWidget*>(QStringLiteral("edtFinal"));
    for (QWidget* w : {dtInicial, dtFinal, edtInicial, edtFinal}) w->setEnabled(tipo != 0);
    if (tipo == 0) return;
    MostraLinhas({"dtInicial", "dtFinal"}, tipo == 1);
    MostraLinhas({"edtInicial", "edtFinal"}, tipo == 2);
}

void TfrmImprimeMFD::AoMostrar() {
    for (const char* nome : {"dtInicial", "dtFinal"})
        findChild<QDateEdit*>(QString::fromUtf8(nome))->setDate(QDate::currentDate());
}

void TfrmImprimeMFD::Ok() {
    const int tipo = Escolhido("rgTipo");
    std::string inicio, fim;
    if (tipo == 1) {
        inicio = Cp1252(DataCurta(findChild<QDateEdit*>(QStringLiteral("dtInicial"))));
        fim = Cp1252(DataCurta(findChild<QDateEdit*>(QStringLiteral("dtFinal"))));
    } else if (tipo == 2) {
        inicio = Texto("edtInicial");
        fim = Texto("edtFinal");
    }
    if (!Pergunta(this, QStringLiteral("Confirmação!"),
                  QStringLiteral("Você tem certeza que deseja imprimir a Leitura da Memória Fiscal?")))
        return;
    Executa(QStringLiteral("-> Imprimindo Memória Fita Detalhe"),
            [&] { return dll::EmiteLeituraFitaDetalhe(inicio, fim, tipo); });
}

}  // namespace belmora
