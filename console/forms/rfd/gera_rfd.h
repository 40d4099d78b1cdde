// "Gera Ato Cotepe": the RFD files by date or by Z counter, through the library's text route
// or through the memory reading and its conversion by the outside libraries (one file for the
// period, or one per day). The runs are the workers of console/geracao; this form only starts
// them and shows what they report, which reaches it by queued signals, so the window paints
// throughout and no widget is touched off its thread. While a run goes on the form and its
// buttons are disabled and the main window is busy, so no other driver call starts.
#pragma once

#include <QDate>
#include <functional>
#include <memory>

#include "console/forms/comum/formulario.h"
#include "console/main/principal.h"

class QProgressBar;
class QTimer;

namespace belmora {

namespace geracao {
class FioTrabalho;
struct Prazos;
}  // namespace geracao

void RegistraFormulariosDeRFD();

class TAndamento;

class TGeraRFD : public TFormulario {
    Q_OBJECT
  public:
    explicit TGeraRFD(QWidget* parent = nullptr);
    // Stops a run still going, joins its thread and frees it.
    ~TGeraRFD() override;

    bool EmAndamento() const { return static_cast<bool>(fio_); }
    // The bounds of the memory-dump runs (tests shorten them).
    static geracao::Prazos& PrazosBinarios();
    // Opens a folder in the desktop's file manager; tests put their own in its place.
    static std::function<bool(const QString&)>& AbridorDePasta();

  signals:
    // Emitted on the worker threads; delivered on the form's thread.
    void LinhaDoFio(const QString& linha);
    void BarraDoFio(int minimo, int maximo, int posicao);
    void FimDoFio();

  protected:
    void Ok() override;

  private:
    enum class Rota { TextoData, TextoCRZ, Binaria };

    void MostraIntervalo();
    void MostraTipo();
    void Explorar();
    void PassoDaEspera();
    bool PreparaPasta(QString& pasta);
    void Inicia();
    bool IniciaTextoPorData();
    // The Z counters typed in the edits; false, with the refusal and the failure logged, when
    // they are no numbers or no interval.
    bool LeIntervaloZ(int& primeiro, int& ultimo);
    bool IniciaTextoPorCRZ();
    bool IniciaBinaria(const std::string& pasta);
    void Conclui();
    void Finaliza();
    void Log(const QString& linha);

    QDate DataDe(const char* nome) const;

    QPushButton* btIniciar_ = nullptr;
    QPushButton* btExplorar_ = nullptr;
    QProgressBar* barra_ = nullptr;
    TAndamento* andamento_ = nullptr;  // the "Em Andamento" label and its dots
    QTimer* espera_ = nullptr;
    Rota rota_ = Rota::TextoData;
    std::unique_ptr<geracao::FioTrabalho> fio_;
    std::unique_ptr<TfrmVintaro::Operacao> ocupada_;
    bool cursorTrocado_ = false;
};

}  // namespace belmora
