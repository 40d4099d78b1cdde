// The family-0 engine's answers to the readings the fiscal-file conversions ask for.
#include "driver/fiscalfiles/leituras_fiscais.h"

#include "driver/protocols/familia0/f0_consultas.h"
#include "driver/protocols/familia0/parametros.h"

namespace tarvo {

namespace {

class LeiturasFamilia0 final : public LeiturasFiscais {
  public:
    int LeInteiro(const std::string& nome, std::string& valor) override {
        return consultas::LeInteiro(nome, valor);
    }
    int LeData(const std::string& nome, std::string& valor) override {
        const int r = RixLeDataPorNome(nome);
        valor = r == 1 ? Resposta().ValorResposta : std::string();
        return r;
    }
};

}  // namespace

LeiturasFiscais& LeiturasDaImpressora() {
    static LeiturasFamilia0 leituras;
    return leituras;
}

}  // namespace tarvo
