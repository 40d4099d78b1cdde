// "Configurações": the editor of the library's TARVO.INI. It shows the [Sistema] keys the
// library reads when it loads and [ECF] UF, writes them back (only those keys) and offers to
// start the console again so that the library reads them.
#pragma once

#include <functional>

#include "console/forms/comum/formulario.h"
#include "console/forms/configuracao/configuracao_tarvo.h"

class QComboBox;
class QLineEdit;

namespace belmora {

// The two forms that edit TARVO.INI: this editor and "Relatórios Sintegra".
void RegistraFormulariosDeConfiguracao();

class TfrmConfiguracoes : public TFormulario {
    Q_OBJECT
  public:
    explicit TfrmConfiguracoes(QWidget* parent = nullptr);

    void ListaPortasSeriais();
    void CarregaConfiguracoes();
    void SalvaConfiguracoes();
    void RestauraPadrao();

    // Starts the console again (same program, arguments and folder); false when it could not
    // be started. Tests replace it; an empty function restores it.
    static void DefineReinicio(std::function<bool()> reinicia);

  protected:
    void Ok() override { SalvaConfiguracoes(); }
    void AoMostrar() override;

  private:
    void Mostra(const ConfiguracaoTarvo& c);
    ConfiguracaoTarvo Lida() const;
    void SimNao(const char* nome, bool sim);
    bool Sim(const char* nome) const;

    std::string endereco_ = "278";  // no control: written back as read
};

}  // namespace belmora
