// The cheque forms of the Documents group: the layout manager (one layout per bank in the
// console's database, written to and read from the library's layout file) and the cheque
// printing form, which prints through the library at the positions of that file.
#pragma once

#include <vector>

#include "console/forms/comum/formulario.h"

class QComboBox;
class QLineEdit;
class QSpinBox;
class QTableWidget;

namespace belmora {

struct LayoutCheque;

void RegistraFormulariosDeCheque();

class TfrmGerenciaLayouts : public TFormulario {
    Q_OBJECT
  public:
    explicit TfrmGerenciaLayouts(QWidget* parent = nullptr);

    void SalvarLayout();
    void LimparBase();
    void GerarArquivo();
    void ImportarArquivo();

  private:
    void CarregaGrade();
    void MostraLinha(int linha);

    QTableWidget* grade_ = nullptr;
    QLineEdit* numBanco_ = nullptr;
    QLineEdit* nomeBanco_ = nullptr;
    std::vector<QSpinBox*> posicoes_;  // in the order of the layout file
};

class TfrmImprimeCheque : public TFormulario {
    Q_OBJECT
  public:
    explicit TfrmImprimeCheque(QWidget* parent = nullptr);

  protected:
    void Ok() override;

  private:
    void CarregaBancos();
    QComboBox* bancos_ = nullptr;
};

}  // namespace belmora
