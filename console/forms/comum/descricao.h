// The simple forms of the console from a table: each entry names the form's class, caption,
// fields, the field that takes the focus, the start line, the call and the outcome prefix.
// A form made from an entry runs, on "OK", its call through TFormulario::Executa.
#pragma once

#include <functional>
#include <vector>

#include "console/forms/comum/formulario.h"

namespace belmora {

enum class TipoCampo { Texto, Numerico, CpfCnpj, Lista, Memo, Data, Hora, Rotulo };

struct DescricaoCampo {
    TipoCampo tipo;
    const char* nome;                  // object name, "edtNome"
    const char* rotulo = "";           // label of the row ("" none)
    int tamanho = 0;                   // most characters (0: no limit)
    int casas = 0;                     // decimals of a numeric field
    const char* inicial = "";          // text at creation
    std::vector<const char*> itens{};  // entries of a list
};

struct DescricaoFormulario {
    const char* classe;
    const char* titulo;
    std::vector<DescricaoCampo> campos;
    const char* foco;     // the field (or "btOK") that takes the focus when shown
    const char* inicio;   // start line, nullptr: none
    const char* prefixo;  // outcome prefix
    std::function<int(const TFormulario&)> chamada;
};

class TFormularioDescrito : public TFormulario {
    Q_OBJECT
  public:
    explicit TFormularioDescrito(const DescricaoFormulario& d, QWidget* parent = nullptr);

  protected:
    void Ok() override;

  private:
    const DescricaoFormulario& d_;
};

// Adds a field of the description to a form.
QWidget* CriaCampo(TFormulario& f, const DescricaoCampo& c);

// Registers every form of the table with the main window (the entries must outlive it).
void RegistraDescritos(const std::vector<DescricaoFormulario>& tabela);

}  // namespace belmora
