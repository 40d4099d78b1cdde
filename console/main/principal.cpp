#include "console/main/principal.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QLocale>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "console/binding/auxiliar.h"
#include "console/binding/ecf_dll.h"
#include "console/main/ajuda.h"
#include "console/main/desenhos.h"
#include "console/main/dialogos.h"
#include "console/main/formularios.h"
#include "console/main/splash.h"
#include "platform/pastas.h"

namespace belmora {

namespace {

TfrmVintaro* g_janela = nullptr;

const char* const kTitulo = "Belmora - Gerenciador de ECF Tarvo";
constexpr QSize kTamanhoBotao(176, 44);
constexpr QSize kTamanhoTitulo(340, 40);

QString U(const std::string& t) {
    return QString::fromStdString(t);
}
QString U(const char* t) {
    return QString::fromUtf8(t);
}

// The direct actions: question, start line, the wrapper they call, and whether a failure
// adds "<- Operação falhou!" after the driver's error line.
struct AcaoDireta {
    Acao acao;
    const char* pergunta;
    const char* inicio;
    int (*executa)();
    bool linhaDeFalha;
};

const AcaoDireta kAcoesDiretas[] = {
    {Acao::Conectar, "Deseja realmente conectar o ECF?", "-> Conectando ECF",
     [] { return dll::Tarvo_AbrePortaSerial(); }, false},
    {Acao::Desconectar, "Deseja realmente desconectar o ECF?", "-> Desconectando ECF",
     [] { return dll::Tarvo_FechaPortaSerial(); }, false},
    {Acao::AbrirGaveta, "Deseja realmente acionar gaveta?", "-> Acionando Gaveta",
     [] { return dll::Tarvo_AcionaGaveta(); }, true},
    {Acao::CancelarCupom, "Deseja realmente cancelar o cupom?", "-> Cancelando Cupom",
     [] { return dll::Tarvo_CancelaCupom(); }, true},
    {Acao::SegundaVia, "Deseja emitir segunda via?", "-> Emitindo segunda via de cupom não fiscal vinculado",
     [] { return dll::Tarvo_SegundaViaNaoFiscalVinculadoMFD(); }, true},
};

QLabel* Rotulo(const char* nome, const char* texto, QWidget* pai) {
    auto* l = new QLabel(U(texto), pai);
    l->setObjectName(U(nome));
    return l;
}

}  // namespace

TfrmVintaro* frmVintaro() {
    return g_janela;
}

void TImage::mouseReleaseEvent(QMouseEvent* e) {
    QLabel::mouseReleaseEvent(e);
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint())) emit Clicado();
}

TfrmVintaro::Operacao::Operacao(TfrmVintaro* janela) : janela_(janela) {
    if (janela_) ++janela_->ocupado_;
}

TfrmVintaro::Operacao::~Operacao() {
    if (janela_ && --janela_->ocupado_ == 0) janela_->EntregaTeclasAdiadas();
}

TfrmVintaro::TfrmVintaro(bool comSplash, QWidget* parent) : QMainWindow(parent), comSplash_(comSplash) {
    g_janela = this;
    setObjectName(QStringLiteral("frmVintaro"));
    setWindowTitle(U(kTitulo));
    MontaJanela();
    // Lines from a worker thread reach the list on the window's own thread.
    DefineLogOperador([this](const std::string& linha) {
        if (QThread::currentThread() == thread())
            AdicionaRetorno(U(linha));
        else
            QMetaObject::invokeMethod(
                this, [this, texto = U(linha)] { AdicionaRetorno(texto); }, Qt::QueuedConnection);
    });
    qApp->installEventFilter(this);

    // Configuration, then group 1.
    configuracao_ = LeConfiguracaoConsole();
    CarregaImagemGrupo(1, Imagem::Selecionada);
    grupoAtual_ = 1;
    ultimaOpcao_ = -1;
    ultimoGrupo_ = -1;
    PreencheOpcoes();
    CarregaImagemGrupo(1, Imagem::Titulo);
}

TfrmVintaro::~TfrmVintaro() {
    qApp->removeEventFilter(this);
    DefineLogOperador(nullptr);
    if (g_janela == this) g_janela = nullptr;
}

// --- layout ------------------------------------------------------------------------------

void TfrmVintaro::MontaJanela() {
    auto* central = new QWidget(this);
    auto* principal = new QVBoxLayout(central);
    principal->setContentsMargins(0, 0, 0, 0);
    principal->setSpacing(4);
    principal->addWidget(MontaTopo());

    auto* meio = new QHBoxLayout();
    meio->setContentsMargins(6, 0, 6, 0);
    meio->addWidget(MontaMenu());

    auto* coluna = new QVBoxLayout();
    tituloOperacao_ = new QLabel(central);
    tituloOperacao_->setObjectName(QStringLiteral("TituloOperacao"));
    tituloOperacao_->setFixedSize(kTamanhoTitulo);
    coluna->addWidget(tituloOperacao_);
    opcoes_ = new QListWidget(central);
    opcoes_->setObjectName(QStringLiteral("Opcoes"));
    opcoes_->setFixedWidth(kTamanhoTitulo.width());
    opcoes_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    opcoes_->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(opcoes_, &QListWidget::itemClicked, this, [this] { OpcoesDblClick(); });
    coluna->addWidget(opcoes_, 1);
    coluna->addWidget(MontaInformacoes());
    meio->addLayout(coluna);

    clienteDireita_ = new QFrame(central);
    clienteDireita_->setObjectName(QStringLiteral("ClienteDireita"));
    static_cast<QFrame*>(clienteDireita_)->setFrameShape(QFrame::StyledPanel);
    auto* direita = new QVBoxLayout(clienteDireita_);
    clienteDireitaTitulo_ = new QWidget(clienteDireita_);
    clienteDireitaTitulo_->setObjectName(QStringLiteral("ClienteDireitaTitulo"));
    auto* titulo = new QHBoxLayout(clienteDireitaTitulo_);
    titulo->setContentsMargins(4, 2, 4, 2);
    iconSubMenu_ = new QLabel(clienteDireitaTitulo_);
    iconSubMenu_->setObjectName(QStringLiteral("Icon_SubMenu"));
    iconSubMenu_->setPixmap(IconeSubMenu());
    tituloSubMenu_ = new QLabel(clienteDireitaTitulo_);
    tituloSubMenu_->setObjectName(QStringLiteral("TituloSub_Menu"));
    QFont f = tituloSubMenu_->font();
    f.setBold(true);
    f.setPointSize(f.pointSize() + 2);
    tituloSubMenu_->setFont(f);
    titulo->addWidget(iconSubMenu_);
    titulo->addWidget(tituloSubMenu_, 1);
    clienteDireitaTitulo_->hide();
    direita->addWidget(clienteDireitaTitulo_);
    clienteDireitaConteudo_ = new QWidget(clienteDireita_);
    clienteDireitaConteudo_->setObjectName(QStringLiteral("ClienteDireitaConteudo"));
    auto* conteudo = new QGridLayout(clienteDireitaConteudo_);
    conteudo->setContentsMargins(0, 0, 0, 0);
    lblOcupado_ = Rotulo("lblOcupado", "Por Favor Aguarde...", clienteDireitaConteudo_);
    lblOcupado_->setAlignment(Qt::AlignCenter);
    QFont fo = lblOcupado_->font();
    fo.setPointSize(fo.pointSize() + 4);
    fo.setBold(true);
    lblOcupado_->setFont(fo);
    lblOcupado_->hide();
    conteudo->addWidget(lblOcupado_, 0, 0);
    direita->addWidget(clienteDireitaConteudo_, 1);
    clienteDireita_->hide();
    auto* colunaDireita = new QVBoxLayout();
    colunaDireita->addWidget(clienteDireita_, 3);

    // Operator log with its buttons, below the hosted form.
    auto* log = new QHBoxLayout();
    log->setContentsMargins(0, 0, 0, 4);
    retornoUsuario_ = new QListWidget(central);
    retornoUsuario_->setObjectName(QStringLiteral("RetornoUsuario"));
    retornoUsuario_->setToolTip(QStringLiteral("Duplo Clique para Limpar"));
    retornoUsuario_->setMinimumHeight(130);
    // While the newest line is the current one, it stays in view however the list's height
    // changes (the right-hand panel opening takes room from it).
    connect(retornoUsuario_->verticalScrollBar(), &QScrollBar::rangeChanged, this, [this] {
        if (retornoUsuario_->currentRow() == retornoUsuario_->count() - 1) retornoUsuario_->scrollToBottom();
    });
    // The hint promises it, so a double click clears the log as "Limpar" does.
    connect(retornoUsuario_, &QListWidget::itemDoubleClicked, this, [this] { btLimparClick(); });
    log->addWidget(retornoUsuario_, 1);
    auto* botoes = new QVBoxLayout();
    auto* btSalvar = new QPushButton(QStringLiteral("Salvar"), central);
    btSalvar->setObjectName(QStringLiteral("btSalvar"));
    connect(btSalvar, &QPushButton::clicked, this, [this] { btSalvarClick(); });
    auto* btLimpar = new QPushButton(QStringLiteral("Limpar"), central);
    btLimpar->setObjectName(QStringLiteral("btLimpar"));
    connect(btLimpar, &QPushButton::clicked, this, [this] { btLimparClick(); });
    auto* btAjuda = new QToolButton(central);
    btAjuda->setObjectName(QStringLiteral("btAjuda"));
    btAjuda->setText(QStringLiteral("?"));
    connect(btAjuda, &QToolButton::clicked, this, [this] { btAjudaClick(); });
    botoes->addWidget(btSalvar);
    botoes->addWidget(btLimpar);
    botoes->addWidget(btAjuda);
    botoes->addStretch();
    log->addLayout(botoes);
    colunaDireita->addLayout(log, 1);
    meio->addLayout(colunaDireita, 1);
    principal->addLayout(meio, 1);
    setCentralWidget(central);

    // Status bar: "Status:", the printer's status, the date.
    statusTitulo_ = new QLabel(QStringLiteral("Status:"), this);
    statusTitulo_->setFixedWidth(50);
    statusImpressora_ = new QLabel(this);
    statusImpressora_->setObjectName(QStringLiteral("StatusImpressora"));
    statusImpressora_->setFixedWidth(600);
    statusData_ = new QLabel(this);
    statusData_->setObjectName(QStringLiteral("StatusData"));
    statusData_->setMinimumWidth(50);
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    statusBar()->addWidget(statusTitulo_);
    statusBar()->addWidget(statusImpressora_);
    statusBar()->addWidget(statusData_);
}

QWidget* TfrmVintaro::MontaTopo() {
    auto* topo = new QWidget(this);
    topo->setObjectName(QStringLiteral("Topo"));
    topo->setFixedHeight(60);
    auto* l = new QHBoxLayout(topo);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(0);
    auto* logo = new QLabel(topo);
    logo->setObjectName(QStringLiteral("Logo"));
    logo->setPixmap(Logotipo());
    logo->setAutoFillBackground(true);
    logo->setContentsMargins(8, 4, 8, 4);
    auto* versao = Rotulo("Label16", "BETA 04.13", topo);
    versao->setContentsMargins(4, 0, 12, 0);
    l->addWidget(logo);
    l->addWidget(versao);
    l->addWidget(CriaFundoTopo(topo), 1);
    return topo;
}

QWidget* TfrmVintaro::MontaMenu() {
    menu_ = new QWidget(this);
    menu_->setObjectName(QStringLiteral("Menu"));
    auto* l = new QVBoxLayout(menu_);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(3);
    for (int n = 1; n <= kNumeroGrupos; ++n) {
        auto* img = new TImage(menu_);
        img->setObjectName(U(GrupoMenu(n).nome));
        img->setFixedSize(kTamanhoBotao);
        img->setCursor(Qt::PointingHandCursor);
        connect(img, &TImage::Clicado, this, [this, n] { EscolheGrupo(n); });
        grupos_[static_cast<std::size_t>(n - 1)] = img;
        CarregaImagemGrupo(n, Imagem::Normal);
        l->addWidget(img);
    }
    auto* atalhos = new QGroupBox(QStringLiteral("Atalhos"), menu_);
    atalhos->setObjectName(QStringLiteral("grpAtalhos"));
    auto* la = new QVBoxLayout(atalhos);
    la->setSpacing(1);
    const char* const textos[] = {"F1 = ECF",
                                  "F2 = Operações",
                                  "F3 = Intervenção Técnica",
                                  "F4 = Programações",
                                  "F5 = Status",
                                  "F6 = Relatórios",
                                  "F7 = Cupom Fiscal",
                                  "F8 = Cupom Não Fiscal",
                                  "F9 = Comandos ECF 2E",
                                  "F12 = Ajuda",
                                  "Alt+<Letra> = Op Menu Atual"};
    for (const char* t : textos) {
        auto* rotulo = new QLabel(U(t), atalhos);
        QFont fa = rotulo->font();
        fa.setPointSizeF(fa.pointSizeF() - 1);
        rotulo->setFont(fa);
        // A text wider than the menu goes on to a second line instead of being cut.
        rotulo->setWordWrap(true);
        la->addWidget(rotulo);
    }
    l->addWidget(atalhos);
    l->addStretch();
    menu_->setFixedWidth(kTamanhoBotao.width() + 4);
    return menu_;
}

QWidget* TfrmVintaro::MontaInformacoes() {
    groupBox1_ = new QGroupBox(QStringLiteral(" Informações da Impressora "), this);
    groupBox1_->setObjectName(QStringLiteral("GroupBox1"));
    groupBox1_->setToolTip(QStringLiteral("Clique aqui para atualizar o status da impressora"));
    groupBox1_->setFixedWidth(kTamanhoTitulo.width());
    auto* g = new QGridLayout(groupBox1_);
    conexaoImpressora_ = Rotulo("ConexaoImpressora", "Impressora conectada", groupBox1_);
    sensorPapel_ = Rotulo("SensorPapel", "Sem papel", groupBox1_);
    statusCupom_ = Rotulo("StatusCupom", "Cupom Aberto", groupBox1_);
    statusRedZ_ = Rotulo("StatusRedZ", "Z Pendente", groupBox1_);
    statusIntervencao_ = Rotulo("StatusIntervencao", "Intervenção", groupBox1_);
    strStatusMFD_ = Rotulo("strStatusMFD", "Status MFD:", groupBox1_);
    statusMFD_ = new QProgressBar(groupBox1_);
    statusMFD_->setObjectName(QStringLiteral("StatusMFD"));
    statusMFD_->setTextVisible(false);
    statusMFD_->setMaximumHeight(12);
    statusMFD_->setValue(0);
    g->addWidget(conexaoImpressora_, 0, 0);
    g->addWidget(sensorPapel_, 0, 1);
    g->addWidget(statusCupom_, 1, 0);
    g->addWidget(statusRedZ_, 1, 1);
    g->addWidget(statusIntervencao_, 2, 0);
    g->addWidget(strStatusMFD_, 3, 0, 1, 2);
    g->addWidget(statusMFD_, 4, 0, 1, 2);
    for (QLabel* l : {conexaoImpressora_, sensorPapel_, statusCupom_, statusRedZ_, statusIntervencao_}) {
        l->setEnabled(false);
    }
    QPalette cinza = groupBox1_->palette();
    cinza.setColor(QPalette::Disabled, QPalette::WindowText, QColor(164, 170, 180));
    groupBox1_->setPalette(cinza);
    for (QWidget* w : groupBox1_->findChildren<QWidget*>()) w->setToolTip(groupBox1_->toolTip());
    return groupBox1_;
}

void TfrmVintaro::CarregaImagemGrupo(int n, Imagem qual) {
    const Grupo& g = GrupoMenu(n);
    if (qual == Imagem::Titulo) {
        tituloOperacao_->setPixmap(CarregaImagem(ArquivoImagem(n, qual), U(g.nome), kTamanhoTitulo));
    } else {
        grupos_[static_cast<std::size_t>(n - 1)]->setPixmap(
            CarregaImagem(ArquivoImagem(n, qual), U(g.nome), kTamanhoBotao));
    }
}

// --- groups and options --------------------------------------------------------------------

void TfrmVintaro::PreencheOpcoes() {
    opcoes_->clear();
    letras_.clear();
    const Grupo& g = GrupoMenu(grupoAtual_);
    for (const Opcao& o : g.opcoes) {
        opcoes_->addItem(new QListWidgetItem(IconeOpcao(), U(o.texto)));
        letras_ += o.letra;
    }
    menu_->setProperty("HelpContext", g.ajudaMenu);
}

void TfrmVintaro::EscolheGrupo(int n) {
    if (n < 1 || n > kNumeroGrupos || n == grupoAtual_) return;
    if (!menuValido_ || Ocupado()) return;
    AtualizaMenu();
    CarregaImagemGrupo(n, Imagem::Selecionada);
    grupoAtual_ = n;
    PreencheOpcoes();
    CarregaImagemGrupo(n, Imagem::Titulo);
}

void TfrmVintaro::AtualizaMenu() {
    FechaFormulario();
    QThread::yieldCurrentThread();
    clienteDireitaTitulo_->hide();
    clienteDireita_->hide();
    ultimaOpcao_ = -1;
    CarregaImagemGrupo(grupoAtual_, Imagem::Normal);
}

void TfrmVintaro::FechaFormulario() {
    if (!hospedado_) return;
    QWidget* f = hospedado_;
    hospedado_ = nullptr;
    f->close();
    f->hide();
    // Freed when control is back in the event loop: never under a handler of its own.
    f->deleteLater();
}

void TfrmVintaro::SaiFormulario(QWidget* formulario) {
    if (!formulario || formulario != hospedado_ || Ocupado()) return;
    FechaFormulario();
    clienteDireitaTitulo_->hide();
    clienteDireita_->hide();
    ultimaOpcao_ = -1;
    opcoes_->setFocus();
}

void TfrmVintaro::InvalidaMenu() {
    menuValido_ = false;
}

void TfrmVintaro::ReValidaMenu() {
    menuValido_ = true;
}

void TfrmVintaro::DestacaOpcao() {
    if (ultimoGrupo_ == grupoAtual_ && ultimaOpcao_ >= 0 && ultimaOpcao_ < opcoes_->count())
        opcoes_->setCurrentRow(ultimaOpcao_);
}

void TfrmVintaro::OpcoesDblClick() {
    if (!menuValido_ || Ocupado()) {
        DestacaOpcao();
        return;
    }
    int indice = opcoes_->currentRow();
    if (indice < 0) return;
    if (indice == ultimaOpcao_ && grupoAtual_ == ultimoGrupo_) return;
    Operacao operacao(this);
    FechaFormulario();
    clienteDireitaTitulo_->hide();
    clienteDireita_->show();
    lblOcupado_->show();
    lblOcupado_->raise();
    InvalidaMenu();
    ultimoGrupo_ = grupoAtual_;
    ultimaOpcao_ = indice;
    DecideFuncao();
}

void TfrmVintaro::DecideFuncao() {
    const Opcao& o = GrupoMenu(grupoAtual_).opcoes.at(static_cast<std::size_t>(ultimaOpcao_));
    if (o.acao == Acao::Formulario)
        AbreFormulario(o);
    else
        ExecutaAcaoDireta(o.acao);
}

void TfrmVintaro::AbreFormulario(const Opcao& o) {
    QWidget* f = CriaFormulario(o.classe);
    if (!f) f = new TfrmIndisponivel(U(TituloDaOpcao(o)));
    f->setParent(clienteDireitaConteudo_);
    f->setWindowFlags(Qt::Widget);
    static_cast<QGridLayout*>(clienteDireitaConteudo_->layout())->addWidget(f, 0, 0);
    if (o.tag >= 0) f->setProperty("Tag", o.tag);
    if (o.ajuda) f->setProperty("HelpContext", o.ajuda);
    if (o.titulo || f->windowTitle().isEmpty()) f->setWindowTitle(U(TituloDaOpcao(o)));
    f->show();
    f->raise();
    // The form takes the panel: the busy label must not stay drawn underneath it.
    lblOcupado_->hide();
    hospedado_ = f;
    MostraSubTitulo();
}

void TfrmVintaro::MostraSubTitulo() {
    if (!hospedado_) return;
    QString titulo = hospedado_->windowTitle();
    tituloSubMenu_->setText(QStringLiteral(" ") + titulo);
    tituloSubMenu_->setToolTip(titulo);
    iconSubMenu_->setToolTip(titulo);
    clienteDireitaTitulo_->show();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    ReValidaMenu();
    DestacaOpcao();
    if (hospedado_) hospedado_->setFocus();
}

void TfrmVintaro::ExecutaAcaoDireta(Acao acao) {
    clienteDireitaTitulo_->hide();
    for (const AcaoDireta& d : kAcoesDiretas) {
        if (d.acao != acao) continue;
        if (Pergunta(this, QStringLiteral("Belmora"), U(d.pergunta))) {
            AdicionaRetorno(U(d.inicio));
            if (TrataRetorno(d.executa()))
                AdicionaRetorno(QStringLiteral("<- ") + U(kSucesso));
            else if (d.linhaDeFalha)
                AdicionaRetorno(QStringLiteral("<- ") + U(kFalhou));
        }
        break;
    }
    ReValidaMenu();
    lblOcupado_->hide();
    DestacaOpcao();
}

// --- the operator log ----------------------------------------------------------------------

void TfrmVintaro::AdicionaRetorno(const QString& texto) {
    retornoUsuario_->addItem(texto);
    retornoUsuario_->setCurrentRow(retornoUsuario_->count() - 1);
    if (texto.contains(QStringLiteral("<-"))) lblOcupado_->hide();
    // Repaint now. Operator input waits until the operation is over: window keys that
    // arrive meanwhile are held and delivered then.
    ++bombeando_;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (--bombeando_ == 0 && ocupado_ == 0) EntregaTeclasAdiadas();
}

void TfrmVintaro::btSalvarClick() {
    std::vector<std::string> linhas;
    for (int i = 0; i < retornoUsuario_->count(); ++i)
        linhas.push_back(retornoUsuario_->item(i)->text().toStdString());
    std::string arquivo = SalvaLogOperador(linhas, plataforma::PastaPrograma(), plataforma::Agora());
    if (arquivo.empty())
        Informa(this, U(kTitulo), QStringLiteral("Não foi possível salvar o log."));
    else
        Informa(this, U(kTitulo), QStringLiteral("Salvo com sucesso!"));
}

void TfrmVintaro::btLimparClick() {
    retornoUsuario_->clear();
}

void TfrmVintaro::btAjudaClick() {
    int contexto = 0;
    if (hospedado_)
        contexto = hospedado_->property("HelpContext").toInt();
    else
        contexto = menu_->property("HelpContext").toInt();
    const std::string pagina = ArquivoDoConsole(PaginaDeAjuda(contexto));
    if (pagina.empty()) {
        Informa(this, U(kTitulo),
                QStringLiteral("Arquivo de ajuda Belmora.HLP não encontrado") +
                    (contexto ? QStringLiteral(" (tópico %1).").arg(contexto) : QStringLiteral(".")));
        return;
    }
    if (!ajuda_) ajuda_ = new TfrmAjuda(this);
    ajuda_->Mostra(QString::fromStdString(pagina));
}

// --- keys (the window sees them before its controls) -----------------------------------------

void TfrmVintaro::ExecutaTecla(int k) {
    if (k >= Qt::Key_F1 && k <= Qt::Key_F9) {
        EscolheGrupo(k - Qt::Key_F1 + 1);
        opcoes_->setFocus();
    } else if (k == Qt::Key_F12) {
        btAjudaClick();
    } else if (k == Qt::Key_Return || k == Qt::Key_Enter) {
        OpcoesDblClick();
    } else if (k >= Qt::Key_A && k <= Qt::Key_Z) {
        auto p = letras_.find(static_cast<char>('A' + (k - Qt::Key_A)));
        if (p != std::string::npos) {
            opcoes_->setCurrentRow(static_cast<int>(p));
            opcoes_->setFocus();
            OpcoesDblClick();
        }
    }
}

void TfrmVintaro::EntregaTeclasAdiadas() {
    if (adiadas_.empty()) return;
    // From the event loop, once the handler that ran the operation has returned.
    QTimer::singleShot(0, this, [this] {
        while (!adiadas_.empty() && menuValido_ && !Ocupado()) {
            int k = adiadas_.front();
            adiadas_.erase(adiadas_.begin());
            ExecutaTecla(k);
        }
    });
}

bool TfrmVintaro::TeclaDaJanela(QObject* objeto, QKeyEvent* tecla) {
    auto* w = qobject_cast<QWidget*>(objeto);
    if (!w || w->window() != this) return false;
    int k = tecla->key();
    if (k >= Qt::Key_F1 && k <= Qt::Key_F9) return tecla->modifiers() == Qt::NoModifier;
    if (k == Qt::Key_F12) return tecla->modifiers() == Qt::NoModifier;
    if (tecla->modifiers() == Qt::AltModifier && k >= Qt::Key_A && k <= Qt::Key_Z) return true;
    if (w == opcoes_ && (k == Qt::Key_Return || k == Qt::Key_Enter)) return true;
    return false;
}

bool TfrmVintaro::eventFilter(QObject* objeto, QEvent* evento) {
    switch (evento->type()) {
        case QEvent::ShortcutOverride:
        case QEvent::KeyPress: {
            auto* tecla = static_cast<QKeyEvent*>(evento);
            if (!TeclaDaJanela(objeto, tecla)) break;
            if (evento->type() == QEvent::ShortcutOverride) {
                evento->accept();
                return true;
            }
            if (!menuValido_ || Ocupado()) {
                // Held until the operation is over, then delivered in order (a few at most).
                if (adiadas_.size() < kMaximoTeclasAdiadas) adiadas_.push_back(tecla->key());
                return true;
            }
            ExecutaTecla(tecla->key());
            return true;
        }
        case QEvent::MouseButtonRelease: {
            auto* w = qobject_cast<QWidget*>(objeto);
            if (w && (w == groupBox1_ || w->parentWidget() == groupBox1_) && w != statusMFD_ && !Ocupado()) {
                AtualizaStatusImpressora();
                return true;
            }
            break;
        }
        default:
            break;
    }
    return QMainWindow::eventFilter(objeto, evento);
}

// --- showing ------------------------------------------------------------------------------

void TfrmVintaro::showEvent(QShowEvent* evento) {
    QMainWindow::showEvent(evento);
    if (jaMostrada_) return;
    jaMostrada_ = true;
    statusData_->setText(
        QLocale(QLocale::Portuguese, QLocale::Brazil).toString(QDate::currentDate(), QLocale::ShortFormat));
    // A setting that could not be stored is said once, in the log and in a box.
    if (const std::string aviso = AvisoConfiguracaoNaoGravada(configuracao_); !aviso.empty())
        QTimer::singleShot(0, this, [this, aviso] {
            AdicionaRetorno(QStringLiteral("<- ") + U(aviso));
            Informa(this, U(kTitulo), U(aviso));
        });
    if (comSplash_) QTimer::singleShot(0, this, [this] { MostraSplash(); });
}

void TfrmVintaro::closeEvent(QCloseEvent* evento) {
    if (EsperandoChamada()) {
        evento->ignore();
        return;
    }
    QMainWindow::closeEvent(evento);
}

void TfrmVintaro::MostraSplash() {
    TformSplash splash(this);
    splash_ = &splash;
    splash.exec();
    splash_ = nullptr;
}

}  // namespace belmora
