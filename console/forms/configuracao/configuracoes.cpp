#include "console/forms/configuracao/configuracoes.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>

#include "console/binding/auxiliar.h"
#include "console/database/dm_vintaro.h"
#include "console/forms/configuracao/relatorios_sintegra.h"
#include "console/main/dialogos.h"
#include "console/main/formularios.h"
#include "platform/codepage.h"
#include "platform/pastas.h"
#include "platform/processo.h"
#include "platform/serial.h"

namespace belmora {

namespace {

const QString kTituloSalvar = QStringLiteral("Salvar configurações");
const QString kTituloPasta =
    QStringLiteral("Selecione um diretório para armazenar a Base de Dados do Cliente");
const QStringList kModelos{"TARVO_RIX",  "TARVO_ORVIKTH", "TARVO_NARDO",
                           "TARVO_VESK", "TARVO_DASK200", "TARVO_DASK300"};
const QStringList kBauds{"115200", "57600", "38400", "19200", "9600"};
const QStringList kUFs{"AC", "AL", "AM", "AP", "BA", "CE", "DF", "ES", "GO", "MA", "MG", "MS", "MT", "PA",
                       "PB", "PE", "PI", "PR", "RJ", "RN", "RO", "RR", "RS", "SC", "SE", "SP", "TO"};
const QString kSimilar = QStringLiteral("Similar a Dll"), kInvertido = QStringLiteral("Invertido");
const QString kTexto = QStringLiteral("Texto"), kBinaria = QStringLiteral("Binaria");

std::function<bool()>& Reinicio() {
    static std::function<bool()> r;
    return r;
}

// The new console opens "base.fdb" only after this one has ended: this one lets the file go
// first and names itself to the new one, which waits for its end (IniciaModuloDeDados).
bool ReiniciaConsole() {
    QStringList argumentos = QCoreApplication::arguments();
    if (!argumentos.isEmpty()) argumentos.removeFirst();
    TdmVintaro* dm = dmVintaro();
    const bool tinhaBanco = dm && dm->Disponivel();
    if (dm) dm->Desconecta();
    QProcess novo;
    novo.setProgram(QCoreApplication::applicationFilePath());
    novo.setArguments(argumentos);
    novo.setWorkingDirectory(QDir::currentPath());
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    ambiente.insert(QString::fromLatin1(kConsoleAnterior), QString::number(plataforma::IdDoProcesso()));
    novo.setProcessEnvironment(ambiente);
    if (novo.startDetached()) return true;
    // Still here: the products and layouts stay with this console.
    if (tinhaBanco) {
        const QString arquivo = dm->Arquivo();
        dm->Conecta(arquivo.left(arquivo.lastIndexOf(QLatin1Char('/')) + 1).toStdString());
    }
    return false;
}

std::string ArquivoTarvoIni() {
    return plataforma::ArquivoNaPasta(plataforma::PastaPrograma(), "TARVO.INI");
}
void Log(const char* linha) {
    AdicionaRetorno(linha);
}

QStringList Numeros0a15() {
    QStringList l;
    for (int i = 0; i <= 15; ++i) l << QString::number(i);
    return l;
}

QComboBox* Lista(TFormulario* f, const char* nome, const QString& rotulo, const QStringList& itens,
                 const QString& dica = {}) {
    auto* c = new QComboBox(f);
    c->setObjectName(QString::fromLatin1(nome));
    c->addItems(itens);
    if (!dica.isEmpty()) c->setToolTip(dica);
    f->Linha(c, rotulo);
    return c;
}

// Selects the entry equal to `texto` (any letter case), the first when there is none.
void Seleciona(QComboBox* c, const QString& texto) {
    const int i = c->findText(texto, Qt::MatchFixedString);
    c->setCurrentIndex(i >= 0 ? i : (c->count() > 0 ? 0 : -1));
}

}  // namespace

void TfrmConfiguracoes::DefineReinicio(std::function<bool()> reinicia) {
    Reinicio() = std::move(reinicia);
}

TfrmConfiguracoes::TfrmConfiguracoes(QWidget* parent)
    : TFormulario("TfrmConfiguracoes", QStringLiteral("Configurações"), parent) {
    DefineFoco(Lista(this, "cbModelo", QStringLiteral("Modelo Impressora:"), kModelos));
    Lista(this, "cbPorta", QStringLiteral("Porta:"), {});
    Lista(this, "cbBaud", QStringLiteral("Baud Rate:"), kBauds, QStringLiteral("Velocidade de comunicação"));
    auto pasta = [this](const char* nome, const char* botao, const QString& rotulo) {
        auto* linha = new QWidget(this);
        // The folder takes the width of the field column.
        linha->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
        auto* h = new QHBoxLayout(linha);
        h->setContentsMargins(0, 0, 0, 0);
        auto* e = new QLineEdit(linha);
        e->setObjectName(QString::fromLatin1(nome));
        auto* b = new QPushButton(QStringLiteral("..."), linha);
        b->setObjectName(QString::fromLatin1(botao));
        h->addWidget(e, 1);
        h->addWidget(b);
        Linha(linha, rotulo);
        Liga(b, [e] {
            QString escolhida = e->text();
            if (SelecionaDiretorio(escolhida, kTituloPasta)) e->setText(escolhida);
        });
    };
    pasta("edtPath", "btPath", QStringLiteral("Diretório de arquivos temporários:"));
    pasta("edtPathRFD", "btPathRFD", QStringLiteral("Diretório dos arquivos da Nota Fiscal Paulista:"));
    pasta("edtPathTDM", "btPathTDM", QStringLiteral("Diretório dos arquivos .TDM:"));
    CampoNumerico("edtTimeoutRedZ", QStringLiteral("Timeout da Redução Z:"), 5, 0);
    CampoNumerico("edtTimeoutComandos", QStringLiteral("Timeout de comandos:"), 5, 0);
    CampoNumerico("edtEspacamento", QStringLiteral("Espaçamento entre documentos:"), 5, 0);
    Lista(this, "cbSangria", QStringLiteral("Sangria:"), Numeros0a15(),
          QStringLiteral("Informa a Posição da Sangria na Impressora"));
    Lista(this, "cbSuprimento", QStringLiteral("Suprimento:"), Numeros0a15(),
          QStringLiteral("Informa a Posição do Suprimento na Impressora"));
    const QStringList simNao{QStringLiteral("Sim"), QStringLiteral("Não")};
    GrupoRadios("rgGeraRFD", QStringLiteral("Ativa geração automática da NFP:"), simNao)
        ->setToolTip(QStringLiteral("Ativa geração da Nota Fiscal Paulista"));
    Lista(this, "cbTipoGeraRFD", QStringLiteral("Tipo de leitura automática da NFP:"), {kTexto, kBinaria});
    GrupoRadios("rgHomologar", QStringLiteral("Ativar geração de Log:"), simNao);
    GrupoRadios("rgCorte", QStringLiteral("Ativa corte automático de papel:"), simNao)
        ->setToolTip(QStringLiteral("Apenas para Orvik e Nardo"));
    Lista(this, "cbModoGaveta", QStringLiteral("Sinal de sincronismo com a gaveta:"), {kSimilar, kInvertido});
    GrupoRadios("rgChecaCTS", QStringLiteral("Checa sinal de CTS:"), simNao);
    GrupoRadios("rgICMSCupom", QStringLiteral("Habilita cálculo do ICMS do cupom: "), simNao);
    GrupoRadios("rgLMF", QStringLiteral("Leitura automática da Memória Fiscal:"), simNao)
        ->setToolTip(
            QStringLiteral("Emite a Leitura da Memória Fiscal automaticamente após o 1º comando enviado "
                           "para a impressora na virada do mês."));
    GrupoRadios("rgRelogio", QStringLiteral("Ajuste automático do relógio do ECF:"), simNao)
        ->setToolTip(QStringLiteral("Ajusta o relógio do ECF em + ou - 5 minutos na emissão da Redução Z"));
    Lista(this, "cbUF", QStringLiteral("UF do estabelecimento:"), kUFs)->setCurrentIndex(-1);

    BotaoOK()->setText(QStringLiteral("Salvar"));
    BotaoOK()->setObjectName(QStringLiteral("btSalvar"));
    auto* restaura = new QPushButton(QStringLiteral("Restaurar Padrão"), this);
    restaura->setObjectName(QStringLiteral("btRestaurar"));
    Corpo()->addWidget(restaura);
    Liga(restaura, [this] { RestauraPadrao(); });
}

void TfrmConfiguracoes::AoMostrar() {
    ListaPortasSeriais();
    CarregaConfiguracoes();
}

void TfrmConfiguracoes::ListaPortasSeriais() {
    auto* c = findChild<QComboBox*>(QStringLiteral("cbPorta"));
    c->clear();
    for (const plataforma::PortaListada& p : plataforma::ListaPortasSeriais())
        c->addItem(QString::fromStdString(p.nome));
}

void TfrmConfiguracoes::SimNao(const char* nome, bool sim) {
    findChild<QRadioButton*>(QString::fromLatin1(nome) + (sim ? "0" : "1"))->setChecked(true);
}

bool TfrmConfiguracoes::Sim(const char* nome) const {
    return Escolhido(nome) == 0;
}

void TfrmConfiguracoes::Mostra(const ConfiguracaoTarvo& c) {
    auto lista = [this](const char* nome) { return findChild<QComboBox*>(QString::fromLatin1(nome)); };
    // A model the list does not know is shown as it is, and saved back unchanged.
    QComboBox* modelo = lista("cbModelo");
    while (modelo->count() > kModelos.size()) modelo->removeItem(modelo->count() - 1);
    if (!c.modeloImp.empty() && modelo->findText(DeCp1252(c.modeloImp), Qt::MatchFixedString) < 0)
        modelo->addItem(DeCp1252(c.modeloImp));
    Seleciona(modelo, DeCp1252(c.modeloImp));
    Seleciona(lista("cbPorta"), DeCp1252(c.porta));
    Seleciona(lista("cbBaud"), DeCp1252(c.baud));
    findChild<QLineEdit*>(QStringLiteral("edtPath"))->setText(DeCp1252(c.path));
    findChild<QLineEdit*>(QStringLiteral("edtPathRFD"))->setText(DeCp1252(c.pathRFD));
    findChild<QLineEdit*>(QStringLiteral("edtPathTDM"))->setText(DeCp1252(c.pathTDM));
    findChild<QLineEdit*>(QStringLiteral("edtTimeoutRedZ"))->setText(DeCp1252(c.timeoutRedZ));
    findChild<QLineEdit*>(QStringLiteral("edtTimeoutComandos"))->setText(DeCp1252(c.timeoutComandos));
    findChild<QLineEdit*>(QStringLiteral("edtEspacamento"))->setText(DeCp1252(c.espacamento));
    Seleciona(lista("cbSangria"), DeCp1252(c.sangria));
    Seleciona(lista("cbSuprimento"), DeCp1252(c.suprimento));
    SimNao("rgGeraRFD", c.geraRfdRedZ);
    lista("cbTipoGeraRFD")->setCurrentIndex(c.tipoGeraRfdRedZ ? 1 : 0);
    SimNao("rgHomologar", c.homologar);
    SimNao("rgCorte", c.habilitaCorte);
    lista("cbModoGaveta")->setCurrentIndex(c.modoGaveta ? 0 : 1);
    SimNao("rgChecaCTS", c.checaCts);
    SimNao("rgICMSCupom", c.habilitaIcmsCupom);
    SimNao("rgLMF", c.lmfAutomatico);
    SimNao("rgRelogio", c.corrigeRelogioZ);
    lista("cbUF")->setCurrentIndex(kUFs.indexOf(DeCp1252(c.uf).trimmed()));
    endereco_ = c.endereco;
}

ConfiguracaoTarvo TfrmConfiguracoes::Lida() const {
    ConfiguracaoTarvo c;
    c.modeloImp = Texto("cbModelo");
    c.porta = Texto("cbPorta");
    c.baud = Texto("cbBaud");
    c.path = Texto("edtPath");
    c.pathRFD = Texto("edtPathRFD");
    c.pathTDM = Texto("edtPathTDM");
    c.timeoutRedZ = Texto("edtTimeoutRedZ");
    c.timeoutComandos = Texto("edtTimeoutComandos");
    c.endereco = endereco_;
    c.espacamento = Texto("edtEspacamento");
    c.sangria = Texto("cbSangria");
    c.suprimento = Texto("cbSuprimento");
    c.geraRfdRedZ = Sim("rgGeraRFD");
    c.tipoGeraRfdRedZ = Valor("cbTipoGeraRFD") == kBinaria;
    c.homologar = Sim("rgHomologar");
    c.habilitaCorte = Sim("rgCorte");
    c.modoGaveta = Valor("cbModoGaveta") == kSimilar;
    c.checaCts = Sim("rgChecaCTS");
    c.habilitaIcmsCupom = Sim("rgICMSCupom");
    c.lmfAutomatico = Sim("rgLMF");
    c.corrigeRelogioZ = Sim("rgRelogio");
    c.uf = Texto("cbUF");
    return c;
}

void TfrmConfiguracoes::CarregaConfiguracoes() {
    Log("-> Lendo dados do arquivo Tarvo.ini.");
    bool temSistema = false;
    const ConfiguracaoTarvo c = LeConfiguracaoTarvo(ArquivoTarvoIni(), temSistema);
    if (!temSistema) {
        Log(" -> Arquivo Tarvo.ini não encontrado.");
        Log(" -> Preenchendo configurações padrão.");
    }
    Mostra(c);
    AdicionaRetorno(std::string("<- ") + kSucesso);
    if (Foco()) Foco()->setFocus(Qt::OtherFocusReason);
}

void TfrmConfiguracoes::SalvaConfiguracoes() {
    if (!Pergunta(
            this, kTituloSalvar,
            QStringLiteral("Você tem certeza que deseja alterar as informações de configuração da ECF?")))
        return;
    Log("-> Salvando configurações no arquivo Tarvo.ini.");
    std::string erro;
    // Every number is checked before the first write: a bad one leaves the file as it was.
    if (!GravaConfiguracaoTarvo(ArquivoTarvoIni(), Lida(), erro)) throw ErroFormulario(erro);
    AdicionaRetorno(std::string("<- ") + kSucesso);
    if (!Pergunta(
            this, kTituloSalvar,
            QStringLiteral("Para que as alterações sejam aplicadas é necessário reiniciar o aplicativo. "
                           "Você deseja realmente sair?")))
        return;
    const bool iniciado = Reinicio() ? Reinicio()() : ReiniciaConsole();
    if (!iniciado) {
        // Quitting now would leave the operator without a console: stay, and say so.
        Informa(
            this, kTituloSalvar,
            QStringLiteral("Não foi possível reiniciar o aplicativo. As configurações foram salvas e serão "
                           "aplicadas quando o aplicativo for aberto novamente."));
        return;
    }
    QCoreApplication::quit();
}

void TfrmConfiguracoes::RestauraPadrao() {
    auto* portas = findChild<QComboBox*>(QStringLiteral("cbPorta"));
    ConfiguracaoTarvo atual;
    atual.endereco = endereco_;
    const std::string primeira = portas->count() > 0 ? Cp1252(portas->itemText(0)) : std::string();
    Mostra(ConfiguracaoPadrao(Cp1252(QString::fromStdString(plataforma::PastaPrograma())), primeira, atual));
    SalvaConfiguracoes();
}

void RegistraFormulariosDeConfiguracao() {
    RegistraFormulario("TfrmConfiguracoes", []() -> QWidget* { return new TfrmConfiguracoes; });
    RegistraFormulario("TfrmRelatoriosSintegra", []() -> QWidget* { return new TfrmRelatoriosSintegra; });
}

}  // namespace belmora
