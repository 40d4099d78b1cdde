// The main window of the console: nine picture groups on the left, the option list of the
// chosen group, the right-hand panel that hosts one operation form at a time, the printer
// information box, the operator log and the status bar.
#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QPointer>
#include <array>
#include <string>
#include <vector>

#include "console/main/configuracao_console.h"
#include "console/main/espera.h"
#include "console/main/menu.h"

class QGroupBox;
class QListWidget;
class QProgressBar;
class QPushButton;
class QToolButton;

namespace belmora {

class TDirectComm;
class TformSplash;
class TfrmAjuda;

// A group picture: a picture that answers clicks.
class TImage : public QLabel {
    Q_OBJECT
  public:
    using QLabel::QLabel;
  signals:
    void Clicado();

  protected:
    void mouseReleaseEvent(QMouseEvent* e) override;
};

class TfrmVintaro : public QMainWindow {
    Q_OBJECT

  public:
    // `comSplash`: show the splash (and find the printer) when the window is first shown.
    explicit TfrmVintaro(bool comSplash = true, QWidget* parent = nullptr);
    ~TfrmVintaro() override;

    // Help at the context of the hosted form, else of the menu panel (F12, the "?" button).
    void btAjudaClick();

    // The operator log: appends a line, selects it, hides the busy label when the line
    // contains "<-", and repaints at once. While it repaints, no operator input is taken.
    void AdicionaRetorno(const QString& texto);

    // Choosing a group (its picture, or F1..F9) and running the selected option.
    void EscolheGrupo(int n);
    void OpcoesDblClick();

    // "Sair" of a hosted form: the window closes and frees it (later, never under its own
    // handler) and hides the panel; the same option may then run again.
    void SaiFormulario(QWidget* formulario);

    // Printer detection and status display (also a click on the information box).
    void AtualizaStatusImpressora();

    // While an operation runs (an option being opened, a direct action, a form's own work)
    // the window takes no group, option or key input, so nothing can free a form whose
    // handler is still running. Forms hold one of these around long work of their own.
    class Operacao {
      public:
        explicit Operacao(TfrmVintaro* janela);
        ~Operacao();
        Operacao(const Operacao&) = delete;
        Operacao& operator=(const Operacao&) = delete;
        // Lets go of the window without touching it: for a form freed while the window itself
        // is being destroyed.
        void EsqueceJanela() { janela_ = nullptr; }

      private:
        QPointer<TfrmVintaro> janela_;
    };
    bool Ocupado() const { return ocupado_ > 0 || bombeando_ > 0; }

    int GrupoAtual() const { return grupoAtual_; }
    QWidget* FormularioHospedado() const { return hospedado_; }
    const ConfiguracaoConsole& Configuracao() const { return configuracao_; }
    const QString& PortaCorrente() const { return portaAtual_; }

  protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void showEvent(QShowEvent* evento) override;
    // Not while a driver call is under way: it ends first.
    void closeEvent(QCloseEvent* evento) override;

  private:
    void MontaJanela();
    QWidget* MontaTopo();
    QWidget* MontaMenu();
    QWidget* MontaInformacoes();
    void PreencheOpcoes();
    void CarregaImagemGrupo(int n, Imagem qual);
    void AtualizaMenu();
    void InvalidaMenu();
    void ReValidaMenu();
    void DestacaOpcao();
    void FechaFormulario();
    void DecideFuncao();
    void AbreFormulario(const Opcao& opcao);
    void MostraSubTitulo();
    void ExecutaAcaoDireta(Acao acao);
    bool TeclaDaJanela(QObject* objeto, QKeyEvent* tecla);
    void ExecutaTecla(int tecla);
    void EntregaTeclasAdiadas();
    void btSalvarClick();
    void btLimparClick();
    void MostraSplash();

    // Printer detection (the splash's timer and the information box).
    friend class TformSplash;
    bool TestaPorta(TDirectComm& sonda, const QString& porta);
    bool ProcuraImpressora(TDirectComm& sonda);
    bool AtualizaStatus(const QString& porta);
    bool VerificaPoucoPapel();
    bool LeituraIndicadores();
    bool StatusDaMFD();
    void TextoSplash(const QString& texto);

    // Driver calls run off this window's thread while it lives.
    EsperaDasChamadas esperaDasChamadas_;

    // State.
    int grupoAtual_ = 1;
    int ultimoGrupo_ = -1;
    int ultimaOpcao_ = -1;
    std::string letras_;
    ConfiguracaoConsole configuracao_;
    QString portaAtual_;
    bool menuValido_ = true;
    int ocupado_ = 0;
    int bombeando_ = 0;
    // Window keys (F1..F9, F12, Alt+letter, Enter in the list) pressed while an operation runs.
    static constexpr std::size_t kMaximoTeclasAdiadas = 16;
    std::vector<int> adiadas_;
    QPointer<QWidget> hospedado_;
    bool comSplash_;
    bool jaMostrada_ = false;
    QPointer<TformSplash> splash_;
    QPointer<TfrmAjuda> ajuda_;

    // Controls.
    std::array<TImage*, kNumeroGrupos> grupos_{};
    QLabel* tituloOperacao_ = nullptr;
    QListWidget* opcoes_ = nullptr;
    QWidget* menu_ = nullptr;
    QWidget* clienteDireita_ = nullptr;
    QWidget* clienteDireitaTitulo_ = nullptr;
    QLabel* iconSubMenu_ = nullptr;
    QLabel* tituloSubMenu_ = nullptr;
    QWidget* clienteDireitaConteudo_ = nullptr;
    QLabel* lblOcupado_ = nullptr;
    QListWidget* retornoUsuario_ = nullptr;
    QGroupBox* groupBox1_ = nullptr;
    QLabel* conexaoImpressora_ = nullptr;
    QLabel* sensorPapel_ = nullptr;
    QLabel* statusCupom_ = nullptr;
    QLabel* statusRedZ_ = nullptr;
    QLabel* statusIntervencao_ = nullptr;
    QLabel* strStatusMFD_ = nullptr;
    QProgressBar* statusMFD_ = nullptr;
    QLabel* statusTitulo_ = nullptr;
    QLabel* statusImpressora_ = nullptr;
    QLabel* statusData_ = nullptr;
};

// The main window of the running console (nullptr before it exists): the forms reach the
// operator log through it.
TfrmVintaro* frmVintaro();

}  // namespace belmora
