// The receipt forms that are only fields and one call.
#include "console/binding/ecf_dll.h"
#include "console/forms/cupom/cupom.h"
#include "console/main/formularios.h"

namespace belmora {

namespace {
using T = TipoCampo;
}

const std::vector<DescricaoFormulario>& FormulariosDeCupom() {
    static const std::vector<DescricaoFormulario> tabela = {
        {"TfrmAbreCupom",
         "Abrir Cupom Fiscal",
         {
             {T::CpfCnpj, "edtCNPJ_CPF", "CPF / CNPJ:", 26},
             {T::Texto, "edtNome", "Nome:", 30},
             {T::Texto, "edtEndereco", "Endereço:", 80},
         },
         "btOK",
         "-> Abrindo Cupom",
         "<- ",
         [](const TFormulario& f) {
             return dll::Tarvo_AbreCupomMFD(f.Texto("edtCNPJ_CPF"), f.Texto("edtNome"),
                                            f.Texto("edtEndereco"));
         }},
        {"TfrmCancelarItem",
         "Cancelar Item Fiscal",
         {
             {T::Numerico, "edtNumItem", "Número do Item:", 8, 0, "0"},
         },
         "edtNumItem",
         "-> Cancelando Item",
         "<- ",
         [](const TFormulario& f) {
             // Tag 0: the fiscal receipt's item; any other tag: the non-fiscal receipt's.
             return f.Tag() == 0 ? dll::Tarvo_CancelaItemGenerico(f.Texto("edtNumItem"))
                                 : dll::Tarvo_CancelaItemNaoFiscalMFD(f.Texto("edtNumItem"));
         }},
        {"TfrmAbreCNF",
         "Abrir Cupom Não Fiscal",
         {
             {T::CpfCnpj, "edtCNPJ_CPF", "CPF / CNPJ:", 29},
             {T::Texto, "edtNome", "Nome:", 30},
             {T::Texto, "edtEnd", "Endereço:", 80},
         },
         "edtCNPJ_CPF",
         nullptr,
         "<- ",
         [](const TFormulario& f) {
             return dll::Tarvo_AbreRecebimentoNaoFiscalMFD(f.Texto("edtCNPJ_CPF"), f.Texto("edtNome"),
                                                           f.Texto("edtEnd"));
         }},
        {"TfrmEmiteItemNF",
         "Emite Item Não Fiscal",
         {
             {T::Lista,
              "edtCodNF",
              "Código do Totalizador:",
              0,
              0,
              "0",
              {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", "13", "14", "15"}},
             {T::Numerico, "edtValor", "Valor:", 0, 2},
         },
         "edtCodNF",
         nullptr,
         "<-",
         [](const TFormulario& f) {
             return dll::Tarvo_EfetuaRecebimentoNaoFiscalMFD(f.Texto("edtCodNF"), f.Texto("edtValor"));
         }},
        {"TAbreCNFVinc",
         "Abrir Cupom Não fiscal vinculado",
         {
             {T::Texto, "edtPag", "Meio de pagamento:", 16},
             {T::Numerico, "edtValor", "Valor:", 13, 2, "0,00"},
             {T::Numerico, "edtCOO", "Número do Cupom:", 6, 0},
         },
         "edtPag",
         nullptr,
         "<- ",
         [](const TFormulario& f) {
             return dll::Tarvo_AbreComprovanteNaoFiscalVinculado(f.Texto("edtPag"), f.Texto("edtValor"),
                                                                 f.Texto("edtCOO"));
         }},
    };
    return tabela;
}

void RegistraFormulariosDeCupom() {
    RegistraDescritos(FormulariosDeCupom());
    RegistraFormulario("TfrmVendeItem", []() -> QWidget* { return new TfrmVendeItem; });
    RegistraFormulario("TfrmAcresceItem", []() -> QWidget* { return new TfrmAcresceItem; });
    RegistraFormulario("TfrmAlterarSubtotal", []() -> QWidget* { return new TfrmAlterarSubtotal; });
    RegistraFormulario("TfrmPagamento", []() -> QWidget* { return new TfrmPagamento; });
    RegistraFormulario("TfrmEncerrarDoc", []() -> QWidget* { return new TfrmEncerrarDoc; });
}

}  // namespace belmora
