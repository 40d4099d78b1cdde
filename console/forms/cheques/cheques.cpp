#include "console/forms/cheques/cheques.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QTableWidget>

#include "console/binding/auxiliar.h"
#include "console/binding/ecf_dll.h"
#include "console/database/dm_vintaro.h"
#include "console/layouts/cheques_ini.h"
#include "console/main/dialogos.h"
#include "console/main/formularios.h"
#include "platform/pastas.h"

namespace belmora {

namespace {

const QString kBelmora = QStringLiteral("Belmora");

// The fifteen position fields in the order of the layout file, with their object names.
struct CampoPosicao {
    const char* nome;
    int LayoutCheque::*campo;
};
const CampoPosicao kCampos[] = {
    {"edtHPosAno", &LayoutCheque::hPosAno},
    {"edtHPosCidade", &LayoutCheque::hPosCidade},
    {"edtHPosDia", &LayoutCheque::hPosDia},
    {"edtHPosExtensoLinha1", &LayoutCheque::hPosExtensoLinha1},
    {"edtHPosExtensoLinha2", &LayoutCheque::hPosExtensoLinha2},
    {"edtHPosFavorecido", &LayoutCheque::hPosFavorecido},
    {"edtHPosMes", &LayoutCheque::hPosMes},
    {"edtHPosMsgLinha1", &LayoutCheque::hPosMsgLinha1},
    {"edtHPosValor", &LayoutCheque::hPosValor},
    {"edtVPosCidade", &LayoutCheque::vPosCidade},
    {"edtVPosExtensoLinha1", &LayoutCheque::vPosExtensoLinha1},
    {"edtVPosExtensoLinha2", &LayoutCheque::vPosExtensoLinha2},
    {"edtVPosFavorecido", &LayoutCheque::vPosFavorecido},
    {"edtVPosMsgLinha1", &LayoutCheque::vPosMsgLinha1},
    {"edtVPosValor", &LayoutCheque::vPosValor},
};
constexpr int kPosicaoMaxima = 3000;  // tenths of a millimetre: wider than any cheque

// The up-down edits: digits only (a blank text is possible and refused at save).
QSpinBox* Posicao(QWidget* dono, const char* nome) {
    auto* s = new QSpinBox(dono);
    s->setObjectName(QString::fromLatin1(nome));
    s->setRange(0, kPosicaoMaxima);
    return s;
}

}  // namespace

// --- layout manager ---------------------------------------------------------------------------

TfrmGerenciaLayouts::TfrmGerenciaLayouts(QWidget* parent)
    : TFormulario("TfrmGerenciaLayouts", QStringLiteral("Gerenciar Layouts"), parent) {
    BotaoOK()->hide();
    auto* botoes = new QHBoxLayout;
    auto botao = [&](const char* nome, const QString& texto) {
        auto* b = new QPushButton(texto, this);
        b->setObjectName(QString::fromLatin1(nome));
        botoes->addWidget(b);
        return b;
    };
    QPushButton* limpar = botao("btLimpar", QStringLiteral("Limpar Base de Cheques"));
    QPushButton* importar = botao("btImportar", QStringLiteral("Importar de Cheques.ini"));
    QPushButton* gerar = botao("btGerar", QStringLiteral("Gerar Cheques.ini"));
    QPushButton* salvar = botao("btSalvar", QStringLiteral("Salvar Layout"));
    Corpo()->addLayout(botoes);

    grade_ = new QTableWidget(0, 2, this);
    grade_->setObjectName(QStringLiteral("grdCheques"));
    grade_->setHorizontalHeaderLabels({QStringLiteral("Número do Banco"), QStringLiteral("Nome do Banco")});
    grade_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grade_->setSelectionMode(QAbstractItemView::SingleSelection);
    grade_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grade_->horizontalHeader()->setStretchLastSection(true);
    Corpo()->addWidget(grade_);

    numBanco_ = CampoTexto("edtNumBanco", QStringLiteral("Número do Banco:"), 9);
    numBanco_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), numBanco_));
    nomeBanco_ = CampoTexto("edtNomeBanco", QStringLiteral("Nome do Banco:"), 60);

    auto* grupo = new QGroupBox(QStringLiteral("Posições"), this);
    auto* g = new QGridLayout(grupo);
    g->addWidget(new QLabel(QStringLiteral("Horiz."), grupo), 0, 1);
    g->addWidget(new QLabel(QStringLiteral("Vert."), grupo), 0, 2);
    for (const CampoPosicao& c : kCampos) posicoes_.push_back(Posicao(grupo, c.nome));
    auto campo = [&](const char* nome) { return findChild<QSpinBox*>(QString::fromLatin1(nome)); };
    const struct {
        const char* rotulo;
        const char* h;
        const char* v;
    } linhas[] = {
        {"1. Valor", "edtHPosValor", "edtVPosValor"},
        {"2. Valor por Extenso - 1ª linha", "edtHPosExtensoLinha1", "edtVPosExtensoLinha1"},
        {"3. Valor por Extenso - 2ª linha", "edtHPosExtensoLinha2", "edtVPosExtensoLinha2"},
        {"4. Favorecido", "edtHPosFavorecido", "edtVPosFavorecido"},
        {"5. Mensagem Especial", "edtHPosMsgLinha1", "edtVPosMsgLinha1"},
        {"6. Cidade", "edtHPosCidade", "edtVPosCidade"},
        {"7. Dia", "edtHPosDia", nullptr},
        {"8. Mês", "edtHPosMes", nullptr},
        {"9. Ano", "edtHPosAno", nullptr},
    };
    int l = 1;
    for (const auto& linha : linhas) {
        g->addWidget(new QLabel(QString::fromUtf8(linha.rotulo), grupo), l, 0);
        g->addWidget(campo(linha.h), l, 1);
        if (linha.v) g->addWidget(campo(linha.v), l, 2);
        ++l;
    }
    Linha(grupo);
    Rotulo("lblDica",
           QStringLiteral("Todos os valores aqui mostrados estão em unidades de 1/10 mm (décimos de "
                          "milimetros). Para os campos dia/mes/ano, a posição vertical é a mesma da "
                          "cidade."))
        ->setWordWrap(true);

    Liga(salvar, [this] { SalvarLayout(); });
    Liga(limpar, [this] { LimparBase(); });
    Liga(gerar, [this] { GerarArquivo(); });
    Liga(importar, [this] { ImportarArquivo(); });
    connect(grade_, &QTableWidget::currentCellChanged, this, [this](int linha) { MostraLinha(linha); });
    if (TdmVintaro* dm = dmVintaro())
        connect(dm, &TdmVintaro::ChequesRecarregados, this, [this] { CarregaGrade(); });
    DefineFoco(grade_);
    CarregaGrade();
}

void TfrmGerenciaLayouts::CarregaGrade() {
    const TdmVintaro* dm = dmVintaro();
    const std::vector<LayoutCheque> vazio;
    const std::vector<LayoutCheque>& cheques = dm ? dm->Cheques() : vazio;
    grade_->setRowCount(static_cast<int>(cheques.size()));
    for (int i = 0; i < static_cast<int>(cheques.size()); ++i) {
        grade_->setItem(i, 0, new QTableWidgetItem(QString::number(cheques[i].numBanco)));
        grade_->setItem(i, 1, new QTableWidgetItem(cheques[i].nomeBanco));
    }
    if (!cheques.empty()) {
        grade_->setCurrentCell(0, 0);
        MostraLinha(0);
    }
}

void TfrmGerenciaLayouts::MostraLinha(int linha) {
    const TdmVintaro* dm = dmVintaro();
    if (!dm || linha < 0 || linha >= static_cast<int>(dm->Cheques().size())) return;
    const LayoutCheque& c = dm->Cheques()[static_cast<std::size_t>(linha)];
    numBanco_->setText(QString::number(c.numBanco));
    nomeBanco_->setText(c.nomeBanco);
    for (std::size_t i = 0; i < posicoes_.size(); ++i) posicoes_[i]->setValue(c.*kCampos[i].campo);
}

void TfrmGerenciaLayouts::SalvarLayout() {
    LayoutCheque c;
    bool ok = false;
    c.numBanco = numBanco_->text().toInt(&ok);
    QWidget* errado = ok ? nullptr : numBanco_;
    for (std::size_t i = 0; ok && i < posicoes_.size(); ++i) {
        const QString t = posicoes_[i]->cleanText();
        c.*kCampos[i].campo = t.toInt(&ok);
        if (!ok) errado = posicoes_[i];
    }
    if (errado) {
        Informa(this, kBelmora, QStringLiteral("Digite apenas números nas posições e no número do banco"));
        errado->setFocus();
        return;
    }
    c.nomeBanco = nomeBanco_->text();
    if (!Pergunta(this, kBelmora, QStringLiteral("Deseja realmente salvar layout de cheque?"))) return;
    Log(QStringLiteral("-> Salvando Layout de Cheque."));
    QString erro;
    TdmVintaro* dm = dmVintaro();
    if (!dm || !dm->SalvarCheque(c, erro)) {
        Informa(this, kBelmora, QStringLiteral("Erro ao salvar layout: ") + erro);
        LogDesfecho(false);
        return;
    }
    LogDesfecho(true);
}

void TfrmGerenciaLayouts::LimparBase() {
    if (!Pergunta(this, kBelmora, QStringLiteral("Deseja realmente limpar a base de cheques?"))) return;
    Log(QStringLiteral("-> Limpando Base de Layouts"));
    QString erro;
    TdmVintaro* dm = dmVintaro();
    if (!dm || !dm->LimparCheques(erro)) throw ErroFormulario(erro.toStdString());
    // The module read the list again: the grid followed it.
    LogDesfecho(true);
}

void TfrmGerenciaLayouts::GerarArquivo() {
    if (!Pergunta(this, kBelmora, QStringLiteral("Deseja realmente gerar o arquivo?"))) return;
    Log(QStringLiteral("-> Gerando arquivo cheques.ini"));
    QString erro;
    TdmVintaro* dm = dmVintaro();
    // Without the database there are no rows to write: an existing file is kept.
    if (!dm || !dm->Disponivel()) {
        erro = dm ? dm->Erro() : QStringLiteral("banco de dados indisponível");
    } else if (GravaChequesIni(plataforma::PastaPrograma(), dm->Cheques(), erro)) {
        LogDesfecho(true);
        if (grade_->rowCount() > 0) grade_->setCurrentCell(0, 0);
        return;
    }
    Informa(this, kBelmora, QStringLiteral("Erro ao salvar arquivo: ") + erro);
    LogDesfecho(false);
}

void TfrmGerenciaLayouts::ImportarArquivo() {
    if (!Pergunta(this, kBelmora, QStringLiteral("Deseja realmente importar a base de cheques?"))) return;
    Log(QStringLiteral("-> Importando base do arquivo cheques.ini"));
    Log(QStringLiteral("  -> Abrindo arquivo cheques.ini"));
    // The whole file is read and checked before the table is touched; the table is then
    // replaced in one transaction, so a bad file or a failed insert leaves it as it was.
    std::vector<LayoutCheque> lidos;
    QString erro;
    if (!ImportaChequesIni(plataforma::PastaPrograma(), lidos, erro)) {
        Log(QStringLiteral("  <- ") + erro);
        LogDesfecho(false);
        Informa(this, kBelmora, erro);
        return;
    }
    Log(QStringLiteral("  <- Arquivo aberto, informações lidas com sucesso!"));
    TdmVintaro* dm = dmVintaro();
    if (!dm || !dm->SubstituiCheques(lidos, erro)) {
        AdicionaRetorno(std::string("  <- ") + kFalhou);
        Informa(this, kBelmora, QStringLiteral("Erro ao inserir layout: ") + erro);
        return;
    }
    for (const LayoutCheque& c : lidos)
        Log(QStringLiteral("  <- Layout do Banco:") + c.nomeBanco + QStringLiteral(" inserido com sucesso!"));
    LogDesfecho(true);
}

// --- cheque printing --------------------------------------------------------------------------

TfrmImprimeCheque::TfrmImprimeCheque(QWidget* parent)
    : TFormulario("TfrmImprimeCheque", QStringLiteral("Imprime Cheque"), parent) {
    bancos_ = new QComboBox(this);
    bancos_->setObjectName(QStringLiteral("cbBanco"));
    Linha(bancos_, QStringLiteral("Banco:"));
    CampoNumerico("edtValor", QStringLiteral("Valor:"), 14, 2);
    CampoTexto("edtFavorecido", QStringLiteral("Favorecido:"), 45);
    CampoTexto("edtCidade", QStringLiteral("Cidade:"), 27);
    CampoData("edtData", QStringLiteral("Data:"))->setDate(QDate::currentDate());
    CampoMemo("memMensagem", QStringLiteral("Mensagem:"), 120);
    Rotulo("lblDica", QStringLiteral("O arquivo cheques.ini já deve estar gerado."));
    BotaoOK()->setText(QStringLiteral("&Imprimir"));
    BotaoOK()->setObjectName(QStringLiteral("btImprimir"));
    if (TdmVintaro* dm = dmVintaro())
        connect(dm, &TdmVintaro::ChequesRecarregados, this, [this] { CarregaBancos(); });
    CarregaBancos();
    DefineFoco(bancos_);
}

void TfrmImprimeCheque::CarregaBancos() {
    bancos_->clear();
    if (const TdmVintaro* dm = dmVintaro())
        for (const LayoutCheque& c : dm->Cheques()) bancos_->addItem(c.nomeBanco, c.numBanco);
}

void TfrmImprimeCheque::Ok() {
    if (bancos_->currentIndex() < 0) throw ErroFormulario("Nenhum layout de cheque cadastrado");
    const std::string banco = std::to_string(bancos_->currentData().toInt());
    const std::string data = findChild<QDateEdit*>(QStringLiteral("edtData"))
                                 ->date()
                                 .toString(QStringLiteral("dd/MM/yy"))
                                 .toStdString();
    const std::string valor = Texto("edtValor"), favorecido = Texto("edtFavorecido"),
                      cidade = Texto("edtCidade"), mensagem = Texto("memMensagem");
    Executa(QStringLiteral("-> Imprimindo Cheque"), [&] {
        return dll::Tarvo_ImprimeChequeMFD(banco, valor, favorecido, cidade, data, mensagem, "0", "0");
    });
}

void RegistraFormulariosDeCheque() {
    RegistraFormulario("TfrmGerenciaLayouts", []() -> QWidget* { return new TfrmGerenciaLayouts; });
    RegistraFormulario("TfrmImprimeCheque", []() -> QWidget* { return new TfrmImprimeCheque; });
}

}  // namespace belmora
