// "Relatórios Sintegra": the company data of the SINTEGRA report (kept in TARVO.INI
// [Sintegra] and [ECF] UF), the month and year, the optional record types; "Gerar" asks the
// library for the month's file, "Visualizar arquivo" opens it.
#pragma once

#include <QString>
#include <functional>

#include "console/forms/comum/formulario.h"
#include "console/forms/configuracao/dados_sintegra.h"

class QComboBox;
class QSpinBox;

namespace belmora {

class TAndamento;

class TfrmRelatoriosSintegra : public TFormulario {
    Q_OBJECT
  public:
    explicit TfrmRelatoriosSintegra(QWidget* parent = nullptr);

    void Gerar();
    void VisualizarArquivo();

    // Opens a file in the desktop's program for it; false when it could not be opened.
    // Tests replace it; an empty function restores it.
    static void DefineAbertura(std::function<bool(const QString&)> abre);

  protected:
    void Ok() override { Gerar(); }
    void AoMostrar() override;

  private:
    void Mostra(const DadosSintegra& d);
    DadosSintegra Lidos() const;

    QComboBox* mes_ = nullptr;
    QSpinBox* ano_ = nullptr;
    TAndamento* andamento_ = nullptr;
};

}  // namespace belmora
