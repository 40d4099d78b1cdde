// The document forms that are only fields and one call, and the registration of them all.
#include <QPushButton>

#include "console/binding/ecf_dll.h"
#include "console/forms/documentos/documentos.h"
#include "console/main/formularios.h"

namespace belmora {

namespace {
using T = TipoCampo;
}

const std::vector<DescricaoDocumento>& FormulariosDeDocumentos() {
    static const std::vector<DescricaoDocumento> tabela = {
        {{"TfrmEstornoVinculado",
          "Estorna Comprovante Não Fiscal Vinculado",
          {
              {T::CpfCnpj, "edtCNPJ_CPF", "CPF / CNPJ:", 26},
              {T::Texto, "edtNome", "Nome:", 30},
              {T::Texto, "edtEndereco", "Endereço:", 80},
          },
          "edtCNPJ_CPF",
          "-> Estornando cupom não fiscal vinculado",
          "<- ",
          [](const TFormulario& f) {
              return dll::Tarvo_EstornoNaoFiscalVinculadoMFD(f.Texto("edtCNPJ_CPF"), f.Texto("edtNome"),
                                                             f.Texto("edtEndereco"));
          }},
         "&Ok"},
    };
    return tabela;
}

void RegistraFormulariosDeDocumentos() {
    for (const DescricaoDocumento& d : FormulariosDeDocumentos())
        RegistraFormulario(d.formulario.classe, [&d]() -> QWidget* {
            auto* f = new TFormularioDescrito(d.formulario);
            f->BotaoOK()->setText(QString::fromUtf8(d.botao));
            return f;
        });
    RegistraFormulario("TfrmTextoLivre", []() -> QWidget* { return new TfrmTextoLivre; });
    RegistraFormulario("TfrmRelatorioGerencial", []() -> QWidget* { return new TfrmRelatorioGerencial; });
    RegistraFormulario("TfrmAutenticaDocumento", []() -> QWidget* { return new TfrmAutenticaDocumento; });
    RegistraFormulario("TfrmCortarPapel", []() -> QWidget* { return new TfrmCortarPapel; });
    RegistraFormulario("TfrmImprimeMFD", []() -> QWidget* { return new TfrmImprimeMFD; });
    RegistraFormulario("TfrmDownloadMFD", []() -> QWidget* { return new TfrmDownloadMFD; });
    RegistraFormulario("TfrmAllCupom", []() -> QWidget* { return new TfrmAllCupom; });
    RegistraFormulario("TFrmStatusEstadoFiscal", []() -> QWidget* { return new TFrmStatusEstadoFiscal; });
    RegistraFormulario("TfrmDataHora", []() -> QWidget* { return new TfrmDataHora; });
    RegistraFormulario("TfrmStatusLeituraIndicadores",
                       []() -> QWidget* { return new TfrmStatusLeituraIndicadores; });
    RegistraFormulario("TfrmDadosUltimaRedZ", []() -> QWidget* { return new TfrmDadosUltimaRedZ; });
}

}  // namespace belmora
