// The four readings of the printer: fiscal state, date and time, indicators and the data
// of the last Z reduction. A reading that fails leaves what the form showed.
#include <QBoxLayout>
#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "console/binding/ecf_dll.h"
#include "console/forms/documentos/documentos.h"

namespace belmora {

namespace {

std::vector<std::pair<int, QCheckBox*>> Caixas(TFormulario* f,
                                               const std::vector<std::pair<int, const char*>>& bits) {
    std::vector<std::pair<int, QCheckBox*>> r;
    for (auto [bit, texto] : bits) {
        QCheckBox* c =
            f->CaixaMarcacao(QStringLiteral("chk%1").arg(bit).toUtf8().constData(), QString::fromUtf8(texto));
        // The boxes show the printer's state; the operator does not tick them.
        c->setAttribute(Qt::WA_TransparentForMouseEvents);
        c->setFocusPolicy(Qt::NoFocus);
        r.emplace_back(bit, c);
    }
    return r;
}

}  // namespace

TfrmLeitura::TfrmLeitura(const char* classe, const QString& titulo, const QString& botao, bool aoMostrar,
                         QWidget* parent)
    : TFormulario(classe, titulo, parent), aoMostrar_(aoMostrar) {
    BotaoOK()->setText(botao);
    DefineFoco(BotaoOK());
}

void TfrmLeitura::AoMostrar() {
    if (aoMostrar_) Le();
}

// --- fiscal state --------------------------------------------------------------------------------

TFrmStatusEstadoFiscal::TFrmStatusEstadoFiscal(QWidget* parent)
    : TfrmLeitura("TFrmStatusEstadoFiscal", QStringLiteral("Estado Fiscal"), QStringLiteral("Capturar"), true,
                  parent) {
    caixas_ = Caixas(this, {{1, "Comprovante não fiscal aberto"},
                            {2, "Comprovante de crédito ou débito"},
                            {4, "Relatorio Gerencial Aberto"},
                            {8, "Totalizando Cupom"},
                            {32, "Permite cancelamento do CNF"},
                            {64, "Estorno de comprovente de crédito débito"}});
}

void TFrmStatusEstadoFiscal::Le() {
    int status = 0;
    if (!Executa(QStringLiteral("-> Lendo estado fiscal"),
                 [&] { return dll::Tarvo_StatusEstendidoMFD(status); }))
        return;
    for (auto [bit, caixa] : caixas_) caixa->setChecked((status & bit) != 0);
}

// --- date and time -------------------------------------------------------------------------------

TfrmDataHora::TfrmDataHora(QWidget* parent)
    : TfrmLeitura("TfrmDataHora", QStringLiteral("Data e Hora"), QStringLiteral("Capturar"), true, parent) {
    CampoTexto("edtData", QStringLiteral("Data:"), 0)->setReadOnly(true);
    CampoTexto("edtHora", QStringLiteral("Hora:"), 0)->setReadOnly(true);
}

void TfrmDataHora::Le() {
    std::string data(6, ' '), hora(6, ' ');
    if (!Executa(QStringLiteral("-> Lendo Data / Hora do ECF"),
                 [&] { return dll::Tarvo_DataHoraImpressora(data, hora); }))
        return;
    auto separa = [](const std::string& t, QChar s) {
        QString r = QString::fromLatin1(t.c_str());
        if (r.size() >= 2) r.insert(2, s);
        if (r.size() >= 5) r.insert(5, s);
        return r;
    };
    findChild<QLineEdit*>(QStringLiteral("edtData"))->setText(separa(data, QLatin1Char('/')));
    findChild<QLineEdit*>(QStringLiteral("edtHora"))->setText(separa(hora, QLatin1Char(':')));
}

// --- indicators ----------------------------------------------------------------------------------

TfrmStatusLeituraIndicadores::TfrmStatusLeituraIndicadores(QWidget* parent)
    : TfrmLeitura("TfrmStatusLeituraIndicadores", QStringLiteral("Leitura de Indicadores"),
                  QStringLiteral("Ler"), false, parent) {
    caixas_ = Caixas(this, {{1, "Equipamento em Intervenção Técnica"},
                            {2, "MFD Nao Encontrada"},
                            {4, "RAM Inconsistente"},
                            {8, "Relógio Inconsistente"},
                            {16, "Memória Fiscal Não Encontrada"},
                            {32, "Dia Fechado"},
                            {64, "Dia Aberto"},
                            {128, "Redução Z Pendente"},
                            {256, "Sem Papel"},
                            {512, "Mecanismo impressor não configurado"},
                            {1024, "Documento Aberto"},
                            {2048, "Inscrições Carregadas"},
                            {4096, "Clichê Carregado"},
                            {8192, "Impressora em linha"},
                            {16384, "MFD Esgotada"}});
}

void TfrmStatusLeituraIndicadores::Le() {
    int indicadores = 0;
    if (!Executa(QStringLiteral("-> Lendo Indicadores"),
                 [&] { return dll::Tarvo_LeIndicadores(indicadores); }))
        return;
    // Every box follows the reading: an indicator that went off is cleared.
    for (auto [bit, caixa] : caixas_) caixa->setChecked((indicadores & bit) != 0);
}

// --- data of the last Z reduction ----------------------------------------------------------------

const std::vector<const char*>& TfrmDadosUltimaRedZ::Chaves() {
    static const std::vector<const char*> chaves = {
        "Modo de redução Z=",
        "Contador de reinício de operação= ",
        "Contador de redução z= ",
        "Contador de ordem de operação= ",
        "Contador Geral de operações não fiscais= ",
        "Contador de cupom fiscal= ",
        "Contador Geral de relatório gerencial= ",
        "Contador de fita detalhe emitida= ",
        "Contador de operação não fiscal cancelada= ",
        "Contador de cupom fiscal cancelado= ",
        "Contadores específicos de operações não fiscais= ",
        "Contadores específicos de relatórios gerenciais= ",
        "Contador de comprovantes de débito ou crédito= ",
        "Contador de comprovantes de débito ou crédito não emitidos= ",
        "Contador de comprovantes de débito ou crédito cancelados= ",
        "Totalizador Geral= ",
        "Totalizadores Parciais Tributados= ",
        "Totalizador de isenção de ICMS= ",
        "Totalizador de não incidência de ICMS= ",
        "Totalizador de substituição tributária de ICMS= ",
        "Totalizador de isenção de ISSQN= ",
        "Totalizador de não incidência de ISSQN= ",
        "Totalizador de substituição tributária de ISSQN= ",
        "Totalizador de descontos em ICMS= ",
        "Totalizador de descontos em ISSQN= ",
        "Totalizador de acréscimos em ICMS= ",
        "Totalizador de acréscimos em ISSQN= ",
        "Totalizador de cancelamentos em ICMS= ",
        "Totalizador de cancelamentos em ISSQN= ",
        "Totalizadores parciais não sujeitos ao ICMS= ",
        "Totalizador de sangria= ",
        "Totalizador de suprimento= ",
        "Totalizador de cancelamentos de não fiscais= ",
        "Totalizador de descontos de não fiscais= ",
        "Totalizador de acréscimos de não fiscais= ",
        "Alíquotas tributárias= ",
        "Data do movimento= ",
    };
    return chaves;
}

QStringList TfrmDadosUltimaRedZ::Campos(const QString& resposta) {
    QString texto = resposta.trimmed();
    // A separator after the last field ends the record; it is no field of its own.
    if (texto.endsWith(QLatin1Char(','))) texto.chop(1);
    const auto n = static_cast<qsizetype>(Chaves().size());
    QStringList campos = texto.isEmpty() ? QStringList() : texto.split(QLatin1Char(','));
    if (campos.size() > n) campos.resize(n);
    while (campos.size() < n) campos << QString();
    for (QString& c : campos) c = c.trimmed();
    return campos;
}

TfrmDadosUltimaRedZ::TfrmDadosUltimaRedZ(QWidget* parent)
    : TfrmLeitura("TfrmDadosUltimaRedZ", QStringLiteral("Dados da ultima redução Z"),
                  QStringLiteral("Capturar"), false, parent) {
    lista_ = new QTreeWidget(this);
    lista_->setObjectName(QStringLiteral("lvDados"));
    lista_->setColumnCount(2);
    lista_->setHeaderLabels({QStringLiteral("Campo"), QStringLiteral("Valor")});
    lista_->setRootIsDecorated(false);
    for (const char* chave : Chaves()) new QTreeWidgetItem(lista_, {QString::fromUtf8(chave), QString()});
    lista_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    Corpo()->addWidget(lista_, 1);
}

void TfrmDadosUltimaRedZ::Le() {
    std::string resposta(1279, ' ');
    if (!Executa(QStringLiteral("-> Lendo dados da última redução Z"),
                 [&] { return dll::Tarvo_DadosUltimaReducaoMFD(resposta); }))
        return;
    const QStringList campos = Campos(QString::fromLatin1(resposta.c_str()));
    for (int i = 0; i < campos.size(); ++i) lista_->topLevelItem(i)->setText(1, campos[i]);
}

}  // namespace belmora
