// The generic exports: any named-parameter command or reading sent by the host itself,
// and the paper feed and cut.
#include <climits>

#include "driver/api/exportacao.h"
#include "driver/core/configuracao.h"
#include "driver/core/formatadores.h"
#include "driver/protocols/familia0/parametros.h"
#include "platform/relogio.h"

using namespace tarvo;

namespace {
// These exports build family-0 frames: no other kind of printer may receive them.
bool SoFamilia0(const char* nome) {
    if (Config().FamiliaModelo == tarvo::FamiliaParametros) return true;
    InformaNaoImplementado(nome);
    return false;
}
constexpr int kMaximoLinhasAvanco = 255;
}  // namespace

extern "C" TARVO_API int Tarvo_ExecutaComando(const char* comando, const char* parametros) {
    return Protegido([&] {
        TARVO_LIMITA(Tarvo_ExecutaComando, comando);
        TARVO_LIMITA(Tarvo_ExecutaComando, parametros);
        if (!SoFamilia0(" Tarvo_ExecutaComando")) return 0;
        return EnviaComandoTxt(TextoArg(comando), TextoArg(parametros));
    });
}

extern "C" TARVO_API int Tarvo_ExecutaLeitura(const char* comando, const char* parametros, char* Retorno) {
    return Protegido([&] {
        TARVO_LIMITA(Tarvo_ExecutaLeitura, comando);
        TARVO_LIMITA(Tarvo_ExecutaLeitura, parametros);
        if (!SoFamilia0(" Tarvo_ExecutaLeitura")) {
            TARVO_DEVOLVE(Tarvo_ExecutaLeitura, Retorno);
            return 0;
        }
        int r = EnviaComandoTxt(TextoArg(comando), TextoArg(parametros));
        Erro().TextoRetorno = Resposta().DadosResposta;
        TARVO_DEVOLVE(Tarvo_ExecutaLeitura, Retorno);
        return r;
    });
}

extern "C" TARVO_API int Tarvo_AvancaCorta(int linhas, int tipo) {
    return Protegido([&] {
        if (!SoFamilia0(" Tarvo_AvancaCorta")) return 0;
        // The printer feeds at most 255 lines (its feed counts thirtieths of a line).
        LimitaInteiro(linhas, INT_MIN, kMaximoLinhasAvanco, "linhas");
        int r = 1;
        if (linhas > 0) r = EnviaComandoTxt("AvancaPapel", "Avanco=" + std::to_string(linhas * 30));
        if (tipo != 9) {
            plataforma::Dorme(500);
            r = EnviaComandoTxt("CortaPapel", "TipoCorte=" + std::to_string(tipo));
        }
        return r;
    });
}
