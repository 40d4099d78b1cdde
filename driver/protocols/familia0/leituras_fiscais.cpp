// The family-0 engine's answers to the readings the fiscal-file conversions ask for.
#include "driver/fiscalfiles/leituras_fiscais.h"

#include "driver/core/erros.h"
#include "driver/core/formatadores.h"
#include "driver/core/registro.h"
#include "driver/fiscalfiles/memorias.h"
#include "driver/protocols/familia0/f0_captura.h"
#include "driver/protocols/familia0/f0_consultas.h"
#include "driver/protocols/familia0/f0_leituras.h"
#include "driver/protocols/familia0/parametros.h"

namespace tarvo {

namespace {

// A reading by command whose value is the reply's value.
int Valor(const std::string& comando, const std::string& parametros, std::string& valor) {
    const int r = EnviaComandoTxt(comando, parametros);
    valor = r == 1 ? Resposta().ValorResposta : std::string();
    return r;
}

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
    int LeMoeda(const std::string& nome, std::string& valor) override {
        return consultas::LeMoeda(nome, valor);
    }
    int LeIndicador(const std::string& nome, std::string& valor) override {
        return consultas::LeIndicador(nome, valor);
    }
    int LeRegistrador(int numero, std::string& valor) override { return LeRegistradorTxt(numero, valor); }
    int LeDataAtual(std::string& data) override { return Valor("LeData", "NomeData=\"Data\"", data); }
    int LeHoraAtual(std::string& hora) override { return Valor("LeHora", "NomeHora=\"Hora\"", hora); }
    bool PermiteIss() override {
        return EnviaComandoTxt("LeInteiro", "NomeInteiro=\"PermiteISS\"") == 1 &&
               ComecaCom(Resposta().DadosResposta, "ValorInteiro=15");
    }
    int FitaDetalhe(const std::string& cooInicial, const std::string& cooFinal, const std::string& bruto,
                    const std::string& texto) override {
        const int r = LeituraFitaDetalheTxt(bruto, "2", cooInicial, cooFinal, "");
        if (r == 1) ConverteImpressao(bruto, FormatoConversao::Texto, texto);
        return r;
    }
    int LeituraXTexto(const std::string& texto) override {
        const int r = EnviaComandoTxt("EmiteLeituraX", "Destino=\"S\"");
        return r == 1 ? CapturaEConverte(texto) : r;
    }
    int LeituraMemoriaFiscalTexto(const std::string& reducaoInicial, const std::string& reducaoFinal,
                                  const std::string& texto, int& captura) override {
        const int r = EnviaComandoTxt(
            "EmiteLeituraMF", "Destino=\"S\" LeituraSimplificada=false ReducaoInicial=" + reducaoInicial +
                                  " ReducaoFinal=" + reducaoFinal);
        if (r == 1) captura = CapturaEConverte(texto);
        return r;
    }
    void DataHoraSoftwareBasico(const std::string& texto, std::string& data, std::string& hora) override {
        DataHoraSoftwareBasicoNoTexto(texto, data, hora);
    }
    ReducaoEmCurso ReducaoPendente() override {
        const EstadoReducaoZ& z = ReducaoZ();
        return {z.ReducaoEmAndamento == 1, z.DataAberturaZ, z.DataZ};
    }
};

}  // namespace

LeiturasFiscais& LeiturasDaImpressora() {
    static LeiturasFamilia0 leituras;
    return leituras;
}

}  // namespace tarvo

// --- the restart counter of the last Z reduction (named-parameter printers) ---------------------------

namespace tarvo::familia0 {

int Tarvo_ContadorReinicioUltimaReducaoZ(char* ContadorReinicio) {
    const char* const kRetorno = "Retorno da fun\xE7\xE3o Tarvo_ContadorReinicioUltimaReducaoZ:";
    Resposta().ValorResposta.clear();
    std::string crz, cro;
    int r = consultas::LeInteiro("CRZ", crz);
    if (r == 1 && !Apara(crz).empty())
        r = consultas::LeInteiro("ContadorReinicioReducao[" + Apara(crz) + "]", cro);
    if (r != 1 || Apara(crz).empty() || Apara(cro).empty()) {
        // A reading that succeeded with nothing in it is a failure all the same.
        if (r == 1) r = 0;
        DefineMensagem(Falha::RetornoInvalido);
        GravaLog(kRetorno + std::to_string(r) + " - " + Erro().UltimaMensagem);
        return r;
    }
    CopiaParaBuffer(ContadorReinicio, memorias::kTamanhoContadorReinicio, Apara(cro));
    GravaLog(kRetorno + std::to_string(1) + " - " + Apara(cro));
    return 1;
}

}  // namespace tarvo::familia0
