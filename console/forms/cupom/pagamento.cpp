// "Pagamento" and "Encerrar Documento": paying the receipt with the amount still owed on
// show, and closing it with a promotional text made of stored lines.
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "components/enhedit.h"
#include "console/binding/auxiliar.h"
#include "console/binding/ecf_dll.h"
#include "console/forms/comum/valores.h"
#include "console/forms/cupom/cupom.h"
#include "console/main/dialogos.h"

namespace belmora {

TfrmPagamento::TfrmPagamento(QWidget* parent)
    : TFormulario("TfrmPagamento", QStringLiteral("Pagamento"), parent) {
    CampoTexto("edtCodMeio", QStringLiteral("Cod. / Nome Meio Pagamento:"), 30);
    CampoNumerico("edtValor", QStringLiteral("Valor Pagamento:"), 0, 2);
    Rotulo("lblDigitar", QStringLiteral("Digitar com 2 casas decimais"));
    auto* grupo = new QGroupBox(QStringLiteral("Valor a ser pago"), this);
    grupo->setObjectName(QStringLiteral("grpValorCupom"));
    auto* l = new QVBoxLayout(grupo);
    auto* valor = new QLabel(grupo);
    valor->setObjectName(QStringLiteral("edtValorCupom"));
    QFont f = valor->font();
    f.setBold(true);
    f.setPointSize(f.pointSize() + 4);
    valor->setFont(f);
    l->addWidget(valor);
    Linha(grupo);
    DefineFoco(BotaoOK());
}

void TfrmPagamento::AoMostrar() {
    // The amount still owed: the subtotal of the receipt as the printer keeps it. When it
    // cannot be read the form shows 0,00 and the log has the failure.
    std::string resposta(14, ' ');
    const bool lido =
        Executa(QStringLiteral("-> Lendo Subtotal"), [&] { return dll::Tarvo_SubTotal(resposta); });
    double valor = 0;
    if (!lido || !LeSubtotal(QString::fromStdString(resposta), valor)) valor = 0;
    restante_ = valor;
    findChild<QLabel*>(QStringLiteral("edtValorCupom"))->setText(FormataValor(restante_));
    findChild<QLineEdit*>(QStringLiteral("edtValor"))->setText(FormataValor(restante_));
    findChild<QLineEdit*>(QStringLiteral("edtCodMeio"))->setText(QStringLiteral("-2"));
}

void TfrmPagamento::Ok() {
    QString valor = Valor("edtValor");
    if (!valor.contains(QLatin1Char('.')) && !valor.contains(QLatin1Char(',')))
        valor += QStringLiteral(",00");
    const bool pago = Executa(QStringLiteral("-> Efetuando Pagamento"), [&] {
        return dll::Tarvo_EfetuaFormaPagamento(Texto("edtCodMeio"), Cp1252(valor));
    });
    if (!pago) return;
    double pagoAgora = 0;
    if (!LeValor(valor, pagoAgora))
        throw ErroFormulario("Valor de pagamento inválido: " + valor.toStdString());
    restante_ -= pagoAgora;
    findChild<QLabel*>(QStringLiteral("edtValorCupom"))->setText(FormataValor(restante_));
}

const char* const TfrmEncerrarDoc::kArquivo = "EncerraDocumento.txt";

TfrmEncerrarDoc::TfrmEncerrarDoc(QWidget* parent)
    : TFormulario("TfrmEncerrarDoc", QStringLiteral("Encerrar Documento"), parent) {
    CampoMemo("mmTextoPromocional", QStringLiteral("Texto Promocional:"), 492);
    auto* lista = new TListaCadastrada("lstLinhasCadastradas", GestosLista{}, this);
    Linha(lista, QStringLiteral("Linhas Cadastradas:"));
    auto* botoes = new QHBoxLayout();
    auto* adicionar = new QPushButton(QStringLiteral("Adicionar Linha"), this);
    adicionar->setObjectName(QStringLiteral("btAdicionar"));
    auto* cadastrar = new QPushButton(QStringLiteral("Cadastrar Linha"), this);
    cadastrar->setObjectName(QStringLiteral("btCadastrar"));
    auto* salvar = new QPushButton(QStringLiteral("Salvar Linhas Cadastradas"), this);
    salvar->setObjectName(QStringLiteral("btSalvar"));
    for (QPushButton* b : {adicionar, cadastrar, salvar}) botoes->addWidget(b);
    botoes->addStretch();
    Corpo()->addLayout(botoes);
    Liga(adicionar, [this] { Adiciona(); });
    Liga(cadastrar, [this] { Cadastra(); });
    Liga(salvar, [this] { Salva(); });
    DefineFoco(BotaoOK());
}

void TfrmEncerrarDoc::AoMostrar() {
    auto* lista = findChild<TListaCadastrada*>(QStringLiteral("lstLinhasCadastradas"));
    try {
        lista->DefineLinhas(LeLinhasCadastradas(QDir::current().filePath(QString::fromUtf8(kArquivo))));
    } catch (const ErroFormulario& e) {
        // The form still closes receipts; the operator sees why the list is empty.
        lista->clear();
        AdicionaRetorno(std::string("  <- ") + e.what());
    }
}

void TfrmEncerrarDoc::Ok() {
    const QString texto = Valor("mmTextoPromocional").split(QLatin1Char('\n')).join(QStringLiteral("\r\n"));
    Executa(
        QStringLiteral("-> Finalizando Cupom"),
        [&] { return dll::Tarvo_TerminaFechamentoCupom(Cp1252(texto)); }, QStringLiteral("<-"));
}

void TfrmEncerrarDoc::Adiciona() {
    auto* lista = findChild<TListaCadastrada*>(QStringLiteral("lstLinhasCadastradas"));
    bool selecionada = false;
    const QString linha = lista->Selecionada(selecionada);
    if (!selecionada) {
        Informa(this, QStringLiteral("Belmora"), QStringLiteral("Primeiro Selecione uma Linha"));
        return;
    }
    if (!Pergunta(this, QStringLiteral("Belmora"), QStringLiteral("Deseja realmente adicionar a linha?")))
        return;
    findChild<QPlainTextEdit*>(QStringLiteral("mmTextoPromocional"))->appendPlainText(linha);
}

void TfrmEncerrarDoc::Cadastra() {
    if (!Pergunta(this, QStringLiteral("Belmora"), QStringLiteral("Deseja realmente cadastrar as linhas?")))
        return;
    auto* lista = findChild<TListaCadastrada*>(QStringLiteral("lstLinhasCadastradas"));
    const QString texto = Valor("mmTextoPromocional");
    if (texto.isEmpty()) return;
    lista->addItems(texto.split(QLatin1Char('\n')));
}

void TfrmEncerrarDoc::Salva() {
    if (!Pergunta(this, QStringLiteral("Belmora"), QStringLiteral("Deseja realmente salvar as linhas?")))
        return;
    auto* lista = findChild<TListaCadastrada*>(QStringLiteral("lstLinhasCadastradas"));
    GravaLinhasCadastradas(QDir::current().filePath(QString::fromUtf8(kArquivo)), lista->Linhas());
}

}  // namespace belmora
