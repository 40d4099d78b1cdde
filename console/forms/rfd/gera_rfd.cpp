#include "console/forms/rfd/gera_rfd.h"

#include <QApplication>
#include <QDateEdit>
#include <QDesktopServices>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QUrl>

#include "console/binding/auxiliar.h"
#include "console/binding/compostas.h"
#include "console/binding/ecf_dll.h"
#include "console/forms/comum/andamento.h"
#include "console/geracao/execucao.h"
#include "console/main/configuracao_console.h"
#include "console/main/dialogos.h"
#include "console/main/formularios.h"
#include "platform/codepage.h"
#include "platform/ini.h"
#include "platform/pastas.h"

namespace belmora {

namespace {

constexpr int kPassoEsperaMs = 1000;
// A thread whose end was told is joined at once; this only bounds the join.
constexpr int kJuntaMs = 10000;

QString U(const std::string& s) {
    return QString::fromUtf8(s);
}

geracao::Data DaData(const QDate& d) {
    return {d.year(), d.month(), d.day()};
}

// A Z counter typed in an edit; false when it is no number.
bool Contador(const std::string& texto, int& n) {
    if (!EhInteiro(texto)) return false;
    n = std::stoi(texto);
    return true;
}

}  // namespace

geracao::Prazos& TGeraRFD::PrazosBinarios() {
    static geracao::Prazos p;
    return p;
}

std::function<bool(const QString&)>& TGeraRFD::AbridorDePasta() {
    static std::function<bool(const QString&)> f = [](const QString& pasta) {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(pasta));
    };
    return f;
}

TGeraRFD::TGeraRFD(QWidget* parent) : TFormulario("TGeraRFD", QStringLiteral("Gera Ato Cotepe"), parent) {
    QGroupBox* intervalo = GrupoRadios("rgIntervalo", QStringLiteral("Intervalo de geração"),
                                       {QStringLiteral("por Data"), QStringLiteral("por Redução Z")});
    QGroupBox* tipo = GrupoRadios("rgTipo", QStringLiteral("Tipo de  geração"),
                                  {QStringLiteral("por Texto"), QStringLiteral("pela Leitura Binária")});
    GrupoRadios("rgArquivo", QStringLiteral("Arquivo gerado"),
                {QStringLiteral("Arquivo único"), QStringLiteral("Um arquivo por dia")});
    CampoNumerico("edtInicio", QStringLiteral("Inicio:"), 6, 0);
    CampoNumerico("edtFim", QStringLiteral("Fim:"), 6, 0);
    // The pickers take the places of the two edits: a month back, and today.
    const QDate hoje = QDate::currentDate();
    CampoData("dtpInicio", QStringLiteral("Inicio:"))->setDate(hoje.addMonths(-1));
    CampoData("dtpFim", QStringLiteral("Fim:"))->setDate(hoje);

    barra_ = new QProgressBar(this);
    barra_->setObjectName(QStringLiteral("ProgressBar1"));
    barra_->setRange(0, 100);
    barra_->setValue(0);
    Linha(barra_);
    andamento_ = new TAndamento(Rotulo("lblAndamento", QString()));

    btIniciar_ = BotaoOK();
    btIniciar_->setText(QStringLiteral("&Iniciar"));
    btIniciar_->setObjectName(QStringLiteral("btIniciar"));
    btExplorar_ = new QPushButton(QStringLiteral("&Explorar"), this);
    btExplorar_->setObjectName(QStringLiteral("btExplorar"));
    auto* linhaExplorar = new QHBoxLayout();
    linhaExplorar->addWidget(btExplorar_);
    linhaExplorar->addStretch();
    Corpo()->addLayout(linhaExplorar);
    Corpo()->addStretch();
    Liga(btExplorar_, [this] { Explorar(); });

    espera_ = new QTimer(this);
    espera_->setInterval(kPassoEsperaMs);
    connect(espera_, &QTimer::timeout, this, [this] { PassoDaEspera(); });

    // What the workers report comes in on this thread, in the order they emitted it.
    connect(this, &TGeraRFD::LinhaDoFio, this, &TGeraRFD::Log, Qt::QueuedConnection);
    connect(
        this, &TGeraRFD::BarraDoFio, this,
        [this](int minimo, int maximo, int posicao) {
            barra_->setRange(minimo, maximo);
            barra_->setValue(posicao);
        },
        Qt::QueuedConnection);
    connect(
        this, &TGeraRFD::FimDoFio, this, [this] { Guarda([this] { Conclui(); }); }, Qt::QueuedConnection);

    for (QRadioButton* r : intervalo->findChildren<QRadioButton*>())
        connect(r, &QRadioButton::toggled, this, [this] { MostraIntervalo(); });
    for (QRadioButton* r : tipo->findChildren<QRadioButton*>())
        connect(r, &QRadioButton::toggled, this, [this] { MostraTipo(); });
    MostraIntervalo();
    MostraTipo();
    DefineFoco(btIniciar_);
}

TGeraRFD::~TGeraRFD() {
    if (fio_) {
        fio_->Para();
        fio_.reset();  // joined: a reading is cancelled, a conversion stops after its file
    }
    if (cursorTrocado_) QApplication::restoreOverrideCursor();
    // While the main window itself is being destroyed (it frees its forms last) the busy
    // mark must not reach back into it.
    if (ocupada_ && !frmVintaro()) ocupada_->EsqueceJanela();
}

void TGeraRFD::MostraIntervalo() {
    const bool data = Escolhido("rgIntervalo") != 1;
    MostraLinhas({"dtpInicio", "dtpFim"}, data);
    MostraLinhas({"edtInicio", "edtFim"}, !data);
}

void TGeraRFD::MostraTipo() {
    auto* arquivo = findChild<QGroupBox*>(QStringLiteral("rgArquivo"));
    const bool binaria = Escolhido("rgTipo") == 1;
    arquivo->setEnabled(binaria);
    if (!binaria) findChild<QRadioButton*>(QStringLiteral("rgArquivo1"))->setChecked(true);
}

void TGeraRFD::Explorar() {
    const std::string pasta = plataforma::ConvertePasta(
        plataforma::ArquivoIni::LeChave(ArquivoIniConsole(), "Sistema", "PathRFD", "C:\\"));
    if (!AbridorDePasta()(U(plataforma::Cp1252ParaUtf8(pasta))))
        Informa(this, QStringLiteral("Belmora"), QStringLiteral("Erro ao abrir pasta!"));
}

void TGeraRFD::PassoDaEspera() {
    // The export by date says nothing until it returns: the bar only shows that it runs.
    barra_->setValue(barra_->value() >= barra_->maximum() ? barra_->minimum() : barra_->value() + 1);
}

void TGeraRFD::Log(const QString& linha) {
    AdicionaRetorno(linha.toStdString());
}

QDate TGeraRFD::DataDe(const char* nome) const {
    return findChild<QDateEdit*>(QString::fromUtf8(nome))->date();
}

void TGeraRFD::Ok() {
    if (fio_) return;
    try {
        Inicia();
    } catch (...) {
        fio_.reset();
        Finaliza();
        throw;
    }
}

bool TGeraRFD::PreparaPasta(QString& pasta) {
    pasta = U(plataforma::ConvertePasta(PathRFD()));
    // The form is disabled meanwhile: the box belongs to the main window when there is one.
    return ConfirmaPastaDestino(window() != this ? window() : nullptr, PathRFD());
}

void TGeraRFD::Inicia() {
    btExplorar_->setEnabled(false);
    btIniciar_->setEnabled(false);
    setEnabled(false);
    ocupada_ = std::make_unique<TfrmVintaro::Operacao>(frmVintaro());
    QString pasta;
    if (!PreparaPasta(pasta)) {
        Finaliza();
        return;
    }
    andamento_->Inicia();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    cursorTrocado_ = true;
    Log(QStringLiteral("-> Iniciando geração dos arquivos RFD!"));

    const bool porData = Escolhido("rgIntervalo") != 1;
    bool iniciado = false;
    if (Escolhido("rgTipo") == 1) {
        rota_ = Rota::Binaria;
        iniciado = IniciaBinaria(pasta.toStdString());
    } else if (porData) {
        rota_ = Rota::TextoData;
        iniciado = IniciaTextoPorData();
    } else {
        rota_ = Rota::TextoCRZ;
        iniciado = IniciaTextoPorCRZ();
    }
    if (!iniciado) Finaliza();
}

bool TGeraRFD::IniciaTextoPorData() {
    auto fio =
        std::make_unique<geracao::TGeraRFDDataThread>(DaData(DataDe("dtpInicio")), DaData(DataDe("dtpFim")),
                                                      [](const std::string& inicio, const std::string& fim) {
                                                          return dll::RFD_ConvertedaMFDData(inicio, fim);
                                                      });
    fio->AoTerminar([this] { emit FimDoFio(); });
    barra_->setRange(0, 100);
    barra_->setValue(0);
    espera_->start();
    fio_ = std::move(fio);
    fio_->Resume();
    return true;
}

bool TGeraRFD::LeIntervaloZ(int& primeiro, int& ultimo) {
    std::string recusa;
    if (!Contador(Texto("edtInicio"), primeiro) || !Contador(Texto("edtFim"), ultimo))
        recusa = geracao::RecusaIntervaloZ(0, 0);
    else
        recusa = geracao::RecusaIntervaloZ(primeiro, ultimo);
    if (recusa.empty()) return true;
    Log(U(recusa));
    Log(QStringLiteral("  <- ") + QString::fromUtf8(kFalhou));
    return false;
}

bool TGeraRFD::IniciaTextoPorCRZ() {
    int primeiro = 0, ultimo = 0;
    if (!LeIntervaloZ(primeiro, ultimo)) return false;
    auto fio = std::make_unique<geracao::TGeraRFDCRZThread>(
        primeiro, ultimo, [](int crz) { return dll::RFD_ConvertedaMFD(crz); },
        [this](int minimo, int maximo, int posicao) { emit BarraDoFio(minimo, maximo, posicao); });
    fio->AoTerminar([this] { emit FimDoFio(); });
    fio_ = std::move(fio);
    fio_->Resume();
    return true;
}

bool TGeraRFD::IniciaBinaria(const std::string& pasta) {
    geracao::ParametrosBinarios p;
    if (Escolhido("rgIntervalo") == 1) {
        // By Z: each counter becomes the date of its reduction.
        int primeiro = 0, ultimo = 0;
        if (!LeIntervaloZ(primeiro, ultimo)) return false;
        for (auto [crz, data] : {std::pair{primeiro, &p.inicio}, std::pair{ultimo, &p.fim}}) {
            std::string texto(10, ' ');
            if (!TrataRetorno(dll::Tarvo_DataReducao(crz, texto)) || !geracao::LeData(texto, *data)) {
                Log(QStringLiteral("  <- ") + QString::fromUtf8(kFalhou));
                return false;
            }
        }
    } else {
        p.inicio = DaData(DataDe("dtpInicio"));
        p.fim = DaData(DataDe("dtpFim"));
    }
    // A serial number that cannot be read stays empty, and the run refuses it.
    std::string serie(21, ' ');
    if (!TrataRetorno(dll::Tarvo_NumeroSerie(serie))) serie.clear();
    p.serie = geracao::AparaDireita(serie);
    p.porta = PortaAtual();
    p.pasta = pasta;
    p.arquivoUnico = Escolhido("rgArquivo") == 0;

    geracao::Eventos ev;
    ev.log = [this](const std::string& linha) { emit LinhaDoFio(U(linha)); };
    ev.barra = [this](int minimo, int maximo, int posicao) { emit BarraDoFio(minimo, maximo, posicao); };
    auto fio = std::make_unique<geracao::TGeraRFDBinarioThread>(p, ev, PrazosBinarios());
    fio->AoTerminar([this] { emit FimDoFio(); });
    fio_ = std::move(fio);
    fio_->Resume();
    return true;
}

void TGeraRFD::Conclui() {
    if (!fio_) return;
    fio_->EsperaFim(kJuntaMs);
    const int resultado = fio_->Retorno();
    fio_.reset();
    if (rota_ != Rota::Binaria) {
        espera_->stop();
        if (rota_ == Rota::TextoData) barra_->setValue(barra_->maximum());
        const bool ok = TrataRetorno(resultado);
        Log(QStringLiteral("  <- ") + QString::fromUtf8(ok ? kSucesso : kFalhou));
    }
    Finaliza();
}

void TGeraRFD::Finaliza() {
    if (cursorTrocado_) {
        QApplication::restoreOverrideCursor();
        cursorTrocado_ = false;
    }
    andamento_->Para();
    espera_->stop();
    Log(QStringLiteral("-> Geração dos arquivos RFD finalizada!"));
    btExplorar_->setEnabled(true);
    btIniciar_->setEnabled(true);
    setEnabled(true);
    ocupada_.reset();
}

void RegistraFormulariosDeRFD() {
    RegistraFormulario("TGeraRFD", []() -> QWidget* { return new TGeraRFD; });
}

}  // namespace belmora
