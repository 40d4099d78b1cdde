// What the forms that make fiscal files share while the library works for a long time:
// the destination folder question, the "Em Andamento" label that cycles its dots, and the
// run of the driver call on a worker thread while the window keeps repainting.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <string>

class QLabel;
class QWidget;

namespace belmora {

// The folder a file goes to must exist: when it does not, asks "Pasta de destino para o
// arquivo não existe. Deseja criá-la ?" (caption "Belmora"); on Yes creates it with its
// parents. False when the operator said No, or when the folder could not be created (after
// the box "Operação falhou!"). `pasta` as the library takes it (Windows or Linux form).
bool ConfirmaPastaDestino(QWidget* dono, const std::string& pasta);

// "Em Andamento", "Em Andamento.", "Em Andamento..", "Em Andamento..." and back, one step
// every half second, repainted at each step.
class TAndamento : public QObject {
    Q_OBJECT
  public:
    explicit TAndamento(QLabel* rotulo);
    void Inicia();  // shows the label and starts the cycle
    void Para();    // stops it and hides the label
    bool Ativo() const { return timer_.isActive(); }

  private:
    void Passo();

    QLabel* rotulo_;
    QTimer timer_;
    int passo_ = 0;
};

// Runs `chamada` (driver calls through their wrappers, and the work around them) with
// EsperaSemTravar (console/main/espera.h) and returns its result. The wait ends when the
// call returns; the library bounds every exchange with the printer.
int ExecutaEmSegundoPlano(const std::function<int()>& chamada);

}  // namespace belmora
