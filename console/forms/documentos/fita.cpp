// The detail-tape download with its text conversion, and the timed test receipt.
#include <QDateEdit>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>

#include "console/binding/auxiliar.h"
#include "console/binding/chamada.h"
#include "console/binding/ecf_dll.h"
#include "console/forms/documentos/documentos.h"
#include "console/main/dialogos.h"
#include "console/main/principal.h"
#include "platform/pastas.h"
#include "tarvo.h"

namespace belmora {

namespace {

QValidator* SoDigitos(QObject* dono) {
    return new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), dono);
}

QString Sucesso() {
    return QStringLiteral("<- ") + QString::fromUtf8(kSucesso);
}
QString Falhou() {
    return QStringLiteral("<- ") + QString::fromUtf8(kFalhou);
}
}  // namespace

// --- detail-tape download ------------------------------------------------------------------------

TfrmDownloadMFD::Estado& TfrmDownloadMFD::Atual() {
    static Estado estado;
    return estado;
}

QString TfrmDownloadMFD::ArquivoDownload() {
    return QString::fromStdString(plataforma::PastaPrograma()) + QStringLiteral("DownloadMFD.txt");
}

QString TfrmDownloadMFD::ArquivoTexto() {
    return QString::fromStdString(plataforma::PastaPrograma()) + QStringLiteral("LeituraMFD.txt");
}

TfrmDownloadMFD::TfrmDownloadMFD(QWidget* parent)
    : TFormulario("TfrmDownloadMFD", QStringLiteral("Leitura Fita Detalhe"), parent) {
    QGroupBox* tipo =
        GrupoRadios("rgTipoDownload", QStringLiteral("Tipo Download"),
                    {QStringLiteral("Completa"), QStringLiteral("Por Data"), QStringLiteral("Por COO")});
    // No type until the operator chooses one.
    for (QRadioButton* r : tipo->findChildren<QRadioButton*>()) {
        r->setAutoExclusive(false);
        r->setChecked(false);
        r->setAutoExclusive(true);
    }
    for (int i = 0; i < 3; ++i)
        connect(tipo->findChild<QRadioButton*>(QStringLiteral("rgTipoDownload%1").arg(i)),
                &QRadioButton::clicked, this, [this, i] { EscolheTipo(i); });
    CampoData("dtInicial", QStringLiteral("Data Inicial:"));
    CampoData("dtFinal", QStringLiteral("Data Final:"));
    CampoTexto("edtInicial", QStringLiteral("Data/COO Inicial:"), 0);
    CampoTexto("edtFinal", QStringLiteral("Data/COO Final:"), 0);
    QLineEdit* dono = CampoTexto("edtProprietario", QStringLiteral("Proprietário: "), 0);
    dono->setValidator(SoDigitos(dono));
    dono->setToolTip(QStringLiteral("Disponível apenas para versões anteriores a 01.00.08 e 03.03.04"));
    BotaoOK()->setText(QStringLiteral("Iniciar"));
    auto* botoes = new QHBoxLayout();
    auto* formatar = new QPushButton(QStringLiteral("Formatar"), this);
    formatar->setObjectName(QStringLiteral("btFormatar"));
    botoes->addWidget(formatar);
    botoes->addStretch();
    Corpo()->addLayout(botoes);
    Liga(formatar, [this] { Formata(); });
    // The pickers show until a type hides them.
    MostraLinhas({"edtInicial", "edtFinal"}, false);
    DefineFoco(tipo->findChild<QRadioButton*>(QStringLiteral("rgTipoDownload0")));
}

void TfrmDownloadMFD::AoMostrar() {
    for (const char* nome : {"dtInicial", "dtFinal"})
        findChild<QDateEdit*>(QString::fromUtf8(nome))->setDate(QDate::currentDate());
    // The choice made in an earlier opening of the form stays.
    const Estado& e = Atual();
    if (e.tipo.size() == 1 && e.tipo[0] >= QLatin1Char('0') && e.tipo[0] <= QLatin1Char('2')) {
        const int t = e.tipo[0].digitValue();
        findChild<QRadioButton*>(QStringLiteral("rgTipoDownload%1").arg(t))->setChecked(true);
        const QString proprietario = e.proprietario;
        EscolheTipo(t);
        findChild<QLineEdit*>(QStringLiteral("edtProprietario"))->setText(t == 1 ? QString() : proprietario);
        if (t == 2) {
            findChild<QLineEdit*>(QStringLiteral("edtInicial"))->setText(e.inicio);
            findChild<QLineEdit*>(QStringLiteral("edtFinal"))->setText(e.fim);
        }
    }
}

void TfrmDownloadMFD::EscolheTipo(int tipo) {
    Estado& e = Atual();
    e.tipo = QString::number(tipo);
    auto* dtInicial = findChild<QWidget*>(QStringLiteral("dtInicial"));
    auto* dtFinal = findChild<QWidget*>(QStringLiteral("dtFinal"));
    auto* edtInicial = findChild<QWidget*>(QStringLiteral("edtInicial"));
    auto* edtFinal = findChild<QWidget*>(QStringLiteral("edtFinal"));
    auto* dono = findChild<QLineEdit*>(QStringLiteral("edtProprietario"));
    for (QWidget* w : {dtInicial, dtFinal, edtInicial, edtFinal}) w->setEnabled(tipo != 0);
    if (tipo == 0) {
        e.inicio.clear();
        e.fim.clear();
        dono->setEnabled(true);
        return;
    }
    MostraLinhas({"dtInicial", "dtFinal"}, tipo == 1);
    MostraLinhas({"edtInicial", "edtFinal"}, tipo == 2);
    dono->setEnabled(tipo == 2);
    if (tipo == 1) {
        e.proprietario.clear();
        dono->clear();
    }
}

void TfrmDownloadMFD::Ok() {
    Estado& e = Atual();
    if (e.tipo == QLatin1String("1")) {
        e.inicio =
            findChild<QDateEdit*>(QStringLiteral("dtInicial"))->date().toString(QStringLiteral("dd/MM/yy"));
        e.fim = findChild<QDateEdit*>(QStringLiteral("dtFinal"))->date().toString(QStringLiteral("dd/MM/yy"));
    } else if (e.tipo == QLatin1String("2")) {
        e.inicio = Valor("edtInicial");
        e.fim = Valor("edtFinal");
    }
    e.proprietario = Valor("edtProprietario");
    Log(QStringLiteral("-> Lendo Memória da Fita-Detalhe"));
    int r = 0;
    {
        TfrmVintaro::Operacao ocupada(frmVintaro());
        const std::string arquivo = Cp1252(ArquivoDownload()), tipo = Cp1252(e.tipo),
                          inicio = Cp1252(e.inicio), fim = Cp1252(e.fim),
                          proprietario = Cp1252(e.proprietario);
        r = ligacao::RodaChamada([&] {
            return ::Tarvo_DownloadMFD(arquivo.c_str(), tipo.c_str(), inicio.c_str(), fim.c_str(),
                                       proprietario.c_str());
        });
    }
    if (!VerificaRetornoDLL(r)) {
        Log(Falhou());
        return;
    }
    e.baixado = true;
    Log(Sucesso() + QStringLiteral(" Clique no botão formatar!"));
}

void TfrmDownloadMFD::Formata() {
    Estado& e = Atual();
    if (!e.baixado) {
        Informa(this, QStringLiteral("Belmora"),
                QStringLiteral("É necessário previamente executar DownloadMFD!"));
        return;
    }
    e.baixado = false;
    Log(QStringLiteral("-> Formatando dados MFD"));
    int r = 0;
    {
        TfrmVintaro::Operacao ocupada(frmVintaro());
        r = ::Tarvo_FormatoDadosMFD(Cp1252(ArquivoDownload()).c_str(), Cp1252(ArquivoTexto()).c_str(), "0",
                                    Cp1252(e.tipo).c_str(), Cp1252(e.inicio).c_str(), Cp1252(e.fim).c_str(),
                                    Cp1252(e.proprietario).c_str());
    }
    if (!VerificaRetornoDLL(r)) {
        Log(Falhou());
        return;
    }
    Log(Sucesso() + QStringLiteral(" Arquivo LeituraMFD.txt gerado com sucesso\""));
}

// --- timed test receipt --------------------------------------------------------------------------

TfrmAllCupom::TfrmAllCupom(QWidget* parent)
    : TFormulario("TfrmAllCupom", QStringLiteral("Emissão Completa de Cupom Fiscal"), parent) {
    QLineEdit* quantidade =
        CampoTexto("edtQuantidade", QStringLiteral("Quantidade de Itens(Venda): "), 0, QStringLiteral("1"));
    quantidade->setValidator(SoDigitos(quantidade));
    QPlainTextEdit* memo = CampoMemo("mmResultado", QString(), 0);
    memo->setReadOnly(true);
    DefineFoco(quantidade);
}

void TfrmAllCupom::Ok() {
    const std::string quantidade = Texto("edtQuantidade");
    if (!EhInteiro(quantidade)) {
        Informa(this, QStringLiteral("Belmora"), QStringLiteral("Digite um número na quantidade!"));
        findChild<QWidget*>(QStringLiteral("edtQuantidade"))->setFocus();
        return;
    }
    const int itens = std::stoi(quantidade);
    auto* memo = findChild<QPlainTextEdit*>(QStringLiteral("mmResultado"));
    auto hora = [] { return QTime::currentTime().toString(QStringLiteral("HH:mm:ss")); };
    TfrmVintaro::Operacao ocupada(frmVintaro());
    QElapsedTimer relogio;
    relogio.start();
    Log(QStringLiteral("-> Iniciando emissão completa de cupom"));
    memo->appendPlainText(QStringLiteral("Início Venda: ") + hora());
    memo->appendPlainText(QStringLiteral("Abrindo Cupom Fiscal..."));
    bool ok = VerificaRetornoDLL(dll::Tarvo_AbreCupom(""));
    if (!ok) {
        Log(QStringLiteral("  -> Erro ao abrir cupom!"));
    } else {
        memo->appendPlainText(QStringLiteral("Vendendo Itens Solicitados"));
        memo->appendPlainText(
            QStringLiteral("VendeItem('001','Impressora RIX','01','I','2','2','0,05','','')"));
        for (int i = 0; i < itens; ++i)
            if (!VerificaRetornoDLL(
                    dll::Tarvo_VendeItem("001", "Impressora RIX", "01", "I", "2", 2, "0,05", "", ""))) {
                Log(QStringLiteral("  -> Erro ao vender item!"));
                ok = false;
                break;
            }
        memo->appendPlainText(QStringLiteral("Fechamento do Cupom...."));
        if (!VerificaRetornoDLL(dll::Tarvo_FechaCupomResumido("-2", "OBRIGADO"))) {
            Log(QStringLiteral("  -> Erro ao fechar cupom!"));
            ok = false;
        }
    }
    memo->appendPlainText(QStringLiteral("Fim: ") + hora());
    memo->appendPlainText(QStringLiteral("Duração: ") + QString::number(relogio.elapsed() / 1000) +
                          QStringLiteral(" segundo(s)"));
    Log(ok ? Sucesso() : Falhou());
}

}  // namespace belmora
