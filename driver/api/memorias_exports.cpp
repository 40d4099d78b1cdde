// Exports of the memory dumps read through the outside reading library.
#include "driver/api/exportacao.h"
#include "driver/fiscalfiles/memorias.h"

using namespace tarvo;

static_assert(cap::Tarvo_ContadorReinicioUltimaReducaoZ::ContadorReinicio ==
              memorias::kTamanhoContadorReinicio);

namespace {

// The status and cancel exports turn any error inside them into 0 and two log lines (the
// report that a message box once showed goes to the log only).
template <typename F>
int ComRelato(const char* nome, F&& corpo) noexcept {
    try {
        return corpo();
    } catch (const std::exception& e) {
        try {
            ComandoExclusivo vez;  // the record is written under the command lock
            DefineErro(-1, e.what());
            GravaLog(std::string("ERRO na fun\xE7\xE3o ") + nome + ": " + e.what());
            GravaLog(std::string("Erro: ") + e.what());
        } catch (...) {
        }
    } catch (...) {
    }
    return 0;
}

}  // namespace

extern "C" TARVO_API int Tarvo_LeMemoriasBinario(const char* szNomeArquivo, const char* szSerieECF,
                                                 unsigned char bAguardaConcluirLeitura) {
    return Protegido([&] {
        TARVO_LIMITA(Tarvo_LeMemoriasBinario, szNomeArquivo);
        TARVO_LIMITA(Tarvo_LeMemoriasBinario, szSerieECF);
        return memorias::LeMemoriasBinario(szNomeArquivo ? szNomeArquivo : "", szSerieECF ? szSerieECF : "",
                                           bAguardaConcluirLeitura != 0);
    });
}

extern "C" TARVO_API int Tarvo_LeStatusGeraBinario(int* nSituacaoAtual, int* nCodigoErro,
                                                   int* nTamanhoLeitura, int* nProgressoLeitura,
                                                   char* strSituacaoAtual) {
    return ComRelato("Tarvo_LeStatusGeraBinario", [&] {
        // The outputs read 0 and empty also when the status cannot be had.
        for (int* saida : {nSituacaoAtual, nCodigoErro, nTamanhoLeitura, nProgressoLeitura})
            if (saida) *saida = 0;
        CopiaParaBuffer(strSituacaoAtual, cap::Tarvo_LeStatusGeraBinario::strSituacaoAtual, "");
        int situacao = 0, codigo = 0, tamanho = 0, progresso = 0;
        std::string texto;
        int r = memorias::LeStatusGeraBinario(situacao, codigo, tamanho, progresso, texto);
        if (nSituacaoAtual) *nSituacaoAtual = situacao;
        if (nCodigoErro) *nCodigoErro = codigo;
        if (nTamanhoLeitura) *nTamanhoLeitura = tamanho;
        if (nProgressoLeitura) *nProgressoLeitura = progresso;
        CopiaParaBuffer(strSituacaoAtual, cap::Tarvo_LeStatusGeraBinario::strSituacaoAtual, texto);
        return r;
    });
}

extern "C" TARVO_API int Tarvo_CancelaLeituraBinario(void) {
    return ComRelato("Tarvo_CancelaLeituraBinario", [] { return memorias::CancelaLeituraBinario(); });
}
