// Reading exports with a body of their own: older names of other exports, the status word
// as texts, and the payment-form table of the detail-tape printers.
#include <string>

#include "driver/api/exportacao.h"
#include "driver/core/configuracao.h"
#include "driver/protocols/familia0/f0_consultas.h"

using namespace tarvo;

extern "C" TARVO_API int Tarvo_CGC_IE(char* strCGC, char* strIE) {
    return Protegido([&] { return Tarvo_CNPJ_IE(strCGC, strIE); });
}

extern "C" TARVO_API int Tarvo_ContadoresTotalizadoresNaoFiscaisMFD(char* Contadores) {
    return Protegido([&] { return Tarvo_ContadoresTotalizadoresNaoFiscais(Contadores); });
}

extern "C" TARVO_API int Tarvo_ValorTotalizadorNaoFiscalMFD(const char* Totalizador, char* Valor) {
    return Protegido([&] { return Tarvo_ValorTotalizadorNaoFiscal(Totalizador, Valor); });
    TARVO_LIMITA(Tarvo_ValorTotalizadorNaoFiscalMFD, Totalizador);
}

extern "C" TARVO_API int Tarvo_ValorFormaPagamentoMFD(const char* FormaPagamento, char* Valor) {
    return Protegido([&] { return Tarvo_ValorFormaPagamento(FormaPagamento, Valor); });
    TARVO_LIMITA(Tarvo_ValorFormaPagamentoMFD, FormaPagamento);
}

extern "C" TARVO_API int Tarvo_VerificaEstadoImpressoraMFD(int* nACK, int* nST1, int* nST2, int /*nST3*/) {
    return Protegido([&] { return Tarvo_VerificaEstadoImpressora(nACK, nST1, nST2); });
}

extern "C" TARVO_API int Tarvo_VerificaEstadoImpressoraStr(char* nACK, char* nST1, char* nST2) {
    return Protegido([&] {
        int ack = 0, st1 = 0, st2 = 0;
        int r = Tarvo_VerificaEstadoImpressora(&ack, &st1, &st2);
        if (r != 1) return r;
        using Cap = cap::Tarvo_VerificaEstadoImpressoraStr;
        CopiaParaBuffer(nACK, Cap::nACK, std::to_string(ack));
        CopiaParaBuffer(nST1, Cap::nST1, std::to_string(st1));
        CopiaParaBuffer(nST2, Cap::nST2, std::to_string(st2));
        return r;
    });
}

extern "C" TARVO_API int Tarvo_VerificaFormasPagamentoMFD(char* FormasPagamento) {
    return Protegido([&] {
        int r = 0;
        Erro().TextoRetorno.clear();
        if (Config().FamiliaModelo == FamiliaParametros)
            r = consultas::TabelaFormasPagamento(1, Erro().TextoRetorno);
        else
            r = InformaComandoInexistente(" Tarvo_VerificaFormasPagamentoMFD");
        TARVO_DEVOLVE(Tarvo_VerificaFormasPagamentoMFD, FormasPagamento);
        return r;
    });
}
