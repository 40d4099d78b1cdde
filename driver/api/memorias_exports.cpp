// Exports of the memory dumps read through the outside reading library.
#include "driver/api/exportacao.h"
#include "driver/fiscalfiles/memorias.h"

using namespace tarvo;

static_assert(cap::Tarvo_ContadorReinicioUltimaReducaoZ::ContadorReinicio ==
              memorias::kTamanhoContadorReinicio);

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
    return ComRelato("Tarvo_LeStatusGeraBinario", "Erro: ", 0, [&] {
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
    return ComRelato("Tarvo_CancelaLeituraBinario", "Erro: ", 0,
                     [] { return memorias::CancelaLeituraBinario(); });
}
