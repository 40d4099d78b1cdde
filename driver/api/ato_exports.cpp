// Exports of the ATO COTEPE files made from memory dumps.
#include <cstring>

#include "driver/api/exportacao.h"
#include "driver/core/formatadores.h"
#include "driver/fiscalfiles/ato.h"

using namespace tarvo;

static_assert(cap::Tarvo_GeraRFDBinario::nomeArquivo == ato::kTamanhoNomeArquivo);
static_assert(cap::Tarvo_GeraRFDBinarioCRZ::nomeArquivo == ato::kTamanhoNomeArquivo);

extern "C" TARVO_API int Tarvo_GeraArquivoATO17Binario(const char* szArquivoBinario,
                                                       const char* szArquivoTexto, const char* szPeriodoIni,
                                                       const char* szPeriodoFIM, int TipoPeriodo,
                                                       const char* szUsuario, const char* szTipoLeitura) {
    return Protegido([&] {
        TARVO_LIMITA(Tarvo_GeraArquivoATO17Binario, szArquivoBinario);
        TARVO_LIMITA(Tarvo_GeraArquivoATO17Binario, szArquivoTexto);
        TARVO_LIMITA(Tarvo_GeraArquivoATO17Binario, szPeriodoIni);
        TARVO_LIMITA(Tarvo_GeraArquivoATO17Binario, szPeriodoFIM);
        TARVO_LIMITA(Tarvo_GeraArquivoATO17Binario, szUsuario);
        TARVO_LIMITA(Tarvo_GeraArquivoATO17Binario, szTipoLeitura);
        return ComRelato(
            "Tarvo_GeraArquivoATO17Binario", "Erro: ", -1,
            [&] {
                return ato::GeraArquivoATO17Binario(TextoArg(szArquivoBinario), TextoArg(szArquivoTexto),
                                                    TextoArg(szPeriodoIni), TextoArg(szPeriodoFIM),
                                                    static_cast<char>(TipoPeriodo & 0xFF),
                                                    TextoArg(szUsuario), TextoArg(szTipoLeitura));
            },
            false);
    });
}

namespace {

int GeraComNome(const char* exportacao, char* nomeArquivo,
                int (*gera)(const std::string&, const std::string&, int, int, std::string&),
                const char* inicio, const char* fim, int tipoPeriodo, int tipoLeitura) {
    return ComRelato(exportacao, "Erro: ", -1, [&] {
        const std::string recebido =
            nomeArquivo
                ? AparaDireita(std::string(nomeArquivo, ::strnlen(nomeArquivo, ato::kTamanhoNomeArquivo)))
                : std::string();
        std::string nome = recebido;
        int r = gera(TextoArg(inicio), TextoArg(fim), tipoPeriodo, tipoLeitura, nome);
        // The buffer gets the output's name once there is one; until then it is left alone.
        if (nomeArquivo && nome != recebido && nome.size() < ato::kTamanhoNomeArquivo)
            CopiaParaBuffer(nomeArquivo, ato::kTamanhoNomeArquivo, nome);
        return r;
    });
}

}  // namespace

extern "C" TARVO_API int Tarvo_GeraRFDBinario(const char* periodoInicial, const char* periodoFinal,
                                              int tipoPeriodo, int tipoLeitura, char* nomeArquivo) {
    return Protegido([&] {
        TARVO_LIMITA(Tarvo_GeraRFDBinario, periodoInicial);
        TARVO_LIMITA(Tarvo_GeraRFDBinario, periodoFinal);
        return GeraComNome("Tarvo_GeraRFDBinario", nomeArquivo, &ato::GeraRFDBinario, periodoInicial,
                           periodoFinal, tipoPeriodo, tipoLeitura);
    });
}

extern "C" TARVO_API int Tarvo_GeraRFDBinarioCRZ(const char* CRZInicial, const char* CRZFinal,
                                                 int tipoPeriodo, int tipoLeitura, char* nomeArquivo) {
    return Protegido([&] {
        TARVO_LIMITA(Tarvo_GeraRFDBinarioCRZ, CRZInicial);
        TARVO_LIMITA(Tarvo_GeraRFDBinarioCRZ, CRZFinal);
        return GeraComNome("Tarvo_GeraRFDBinarioCRZ", nomeArquivo, &ato::GeraRFDBinarioCRZ, CRZInicial,
                           CRZFinal, tipoPeriodo, tipoLeitura);
    });
}

extern "C" TARVO_API int Tarvo_GeraRFDBinarioRJ(const char* periodoInicial, const char* periodoFinal,
                                                int tipoPeriodo) {
    return Protegido([&] {
        TARVO_LIMITA(Tarvo_GeraRFDBinarioRJ, periodoInicial);
        TARVO_LIMITA(Tarvo_GeraRFDBinarioRJ, periodoFinal);
        return ComRelato("GeraRFDBinarioRJ", "Erro: ", -1, [&] {
            return ato::GeraRFDBinarioRJ(TextoArg(periodoInicial), TextoArg(periodoFinal), tipoPeriodo);
        });
    });
}

extern "C" TARVO_API int Tarvo_ConverteATO17ParaPAFRJ(const char* ArquivoATO17) {
    return Protegido([&] {
        TARVO_LIMITA(Tarvo_ConverteATO17ParaPAFRJ, ArquivoATO17);
        return ComRelato("Tarvo_ConverteATO17ParaPAFRJ", "ERRO: ", 0,
                         [&] { return ato::ConverteATO17ParaPAFRJ(TextoArg(ArquivoATO17)); });
    });
}
