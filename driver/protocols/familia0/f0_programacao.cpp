// Programming of family-0 printers: currency, rates, payment forms, departments,
// non-fiscal totalisers, management reports, print settings, daylight-saving time and the
// drawer. Each export sends one command (some read the printer first) and returns its result.
#include "driver/core/configuracao.h"
#include "driver/core/exportacao.h"
#include "driver/core/formatadores.h"
#include "driver/core/registro.h"
#include "driver/protocols/familia0/f0_consultas.h"
#include "driver/protocols/familia0/parametros.h"
#include "driver/protocols/familias.h"

namespace tarvo::familia0 {

using namespace tarvo::consultas;

namespace {

// The widest line spacing the printer takes.
constexpr int kMaximoEspacoLinhas = 255;

int EscreveTexto(const char* nome, const char* valor) {
    return EnviaComandoTxt("EscreveTexto",
                           "NomeTexto=" + Aspas(nome) + " ValorTexto=" + Aspas(TextoArg(valor)));
}

int EscreveInteiro(const char* nome, const std::string& valor) {
    return EnviaComandoTxt("EscreveInteiro", "NomeInteiro=" + Aspas(nome) + " ValorInteiro=" + valor);
}

}  // namespace

int Tarvo_ProgramaMoedaPlural(const char* nome) {
    return EscreveTexto("NomeMoedaPlural", nome);
}
int Tarvo_ProgramaMoedaSingular(const char* nome) {
    return EscreveTexto("NomeMoedaSingular", nome);
}
int Tarvo_AlteraSimboloMoeda(const char* simbolo) {
    return EscreveTexto("SimboloMoeda", simbolo);
}

int Tarvo_ProgramaAliquota(const char* aliquota, int tipo) {
    // A rate once programmed cannot be removed from the printer: only a percentage of the
    // caller's is sent.
    const std::string percentual =
        NumeroDoChamador(TextoArg(aliquota), "Aliquota", false, true, kDigitosPercentual);
    Sequencia vez;
    std::string slot;
    int r = LeRegistradorTxt(113, slot);  // the first free slot
    if (r != 1) return r;
    std::string p =
        "CodAliquotaProgramavel=" + slot + " PercentualAliquota=" + FormataDuasDecimais(percentual);
    if (tipo != 0) p += " AliquotaICMS = false";  // a service-tax (ISS) rate
    return EnviaComandoTxt("DefineAliquota", p);
}

int Tarvo_ProgramaFormaPagamentoMFD(const char* nome, const char* vinculado) {
    Sequencia vez;
    // A form programmed under the same name in another letter case is redefined under the
    // printer's spelling rather than added again.
    std::string nomeEnviado = TextoArg(nome);
    const std::string procurado = MaiusculasAnsi(nomeEnviado);
    for (int n = 0; n <= 14; ++n) {
        bool vazio = false;
        int r = LeSlot("LeMeioPagamento", "CodMeioPagamentoProgram=" + std::to_string(n), kVazioMeioPagamento,
                       vazio);
        if (r != 1) break;
        if (!vazio && MaiusculasAnsi(Resposta().ValorResposta) == procurado) {
            nomeEnviado = Resposta().ValorResposta;
            break;
        }
    }
    return EnviaComandoTxt("DefineMeioPagamento",
                           "NomeMeioPagamento=" + Aspas(nomeEnviado) +
                               " PermiteVinculado=" + (TextoArg(vinculado) == "1" ? "true" : "false"));
}

int Tarvo_NomeiaDepartamento(int indice, const char* nome) {
    return EnviaComandoTxt("DefineDepartamento", "CodDepartamento=" + std::to_string(indice) +
                                                     " NomeDepartamento=" + Aspas(TextoArg(nome)));
}

int Tarvo_NomeiaTotalizadorNaoSujeitoIcms(int indice, const char* nome) {
    return EnviaComandoTxt("DefineNaoFiscal", "CodNaoFiscal=" + std::to_string(indice) +
                                                  " NomeNaoFiscal=" + Aspas(TextoArg(nome)));
}

int Tarvo_NomeiaRelatorioGerencialMFD(const char* indice, const char* nome) {
    const std::string i = Apara(TextoArg(indice));
    if (!EhIndice(i)) return ParametroInvalido();  // it goes bare into the command
    return EnviaComandoTxt("DefineGerencial",
                           "CodGerencial=" + i + " NomeGerencial=" + Aspas(TextoArg(nome)));
}

int Tarvo_EspacoEntreLinhas(int espaco) {
    LimitaInteiro(espaco, 0, kMaximoEspacoLinhas, "espaco");
    return EscreveInteiro("EspacamentoLinhas", std::to_string(espaco));
}
int Tarvo_AtivaDesativaVendaUmaLinhaMFD(int ativa) {
    return EscreveInteiro("ImprimeItem1Linha", std::to_string(ativa));
}
int Tarvo_ProgramaTruncamento() {
    return EscreveInteiro("Arredondamento", "1");
}
int Tarvo_ProgramaArredondamento() {
    return EscreveInteiro("Arredondamento", "0");
}

int Tarvo_ProgramaHorarioVerao() {
    Sequencia vez;
    std::string v;
    // Without the current state the toggle would go the wrong way: nothing is sent.
    int r = LeIndicador("HorarioVerao", v);
    if (r != 1) return r;
    return EnviaComandoTxt("AcertaHorarioVerao",
                           CaracterNaPosicao(v, 1) == "0" ? "EntradaHV=1" : "EntradaHV=0");
}

int Tarvo_AcionaGaveta() {
    return EnviaComandoTxt("AbreGaveta", "");
}

int Tarvo_HabilitaDesabilitaRetornoEstendidoMFD(const char*) {
    std::string numeroSerie;
    return LeRegistradorTxt(0, numeroSerie);
}

int Tarvo_ProgramaCaracterAutenticacao(const char*) {
    const char* nome = " Tarvo_ProgramaCaracterAutenticacao";
    return Config().SubModelo == 1 ? InformaNaoImplementado(nome) : InformaComandoInexistente(nome);
}

int Tarvo_ResetaImpressora() {
    return InformaComandoInexistente("TarvoRIX_ResetaImpressora ");
}

}  // namespace tarvo::familia0
