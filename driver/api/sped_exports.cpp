// Exports of the SPED Fiscal block C records.
#include "driver/api/exportacao.h"
#include "driver/core/erros.h"
#include "driver/core/formatadores.h"
#include "driver/fiscalfiles/sped.h"

using namespace tarvo;

namespace {
// The caller's texts held to their sizes in the export list before anything is read.
template <typename Cap>
void Limita(const char* Arquivo, const char* ArquivoSaida, const char* DataInicial, const char* DataFinal,
            const char* Perfil, const char* CFOP, const char* Texto_, const char* Valor1,
            const char* Valor2) {
    LimitaTexto(Arquivo, Cap::Arquivo, "Arquivo");
    LimitaTexto(ArquivoSaida, Cap::ArquivoSaida, "ArquivoSaida");
    LimitaTexto(DataInicial, Cap::DataInicial, "DataInicial");
    LimitaTexto(DataFinal, Cap::DataFinal, "DataFinal");
    LimitaTexto(Perfil, Cap::Perfil, "Perfil");
    LimitaTexto(CFOP, Cap::CFOP, "CFOP");
    LimitaTexto(Texto_, Cap::Texto, "Texto");
    LimitaTexto(Valor1, Cap::Valor1, "Valor1");
    LimitaTexto(Valor2, Cap::Valor2, "Valor2");
}

int Gera(ParametrosSped p) {
    const int codigo = GeraRegistrosSped(p);
    if (codigo == SpedSucesso)
        DefineErro(Falha::Nenhuma);
    else if (codigo != SpedArquivoInconsistente)  // that one names what the file lacks
        DefineErro(codigo, TextoCodigoSped(codigo));
    return codigo == SpedSucesso ? 1 : 0;
}
}  // namespace

extern "C" TARVO_API int Tarvo_GeraRegistrosSpedTDM(const char* Arquivo, const char* ArquivoSaida,
                                                    const char* DataInicial, const char* DataFinal,
                                                    const char* Perfil, const char* CFOP, const char* Texto_,
                                                    const char* Valor1, const char* Valor2,
                                                    unsigned char UsaArquivoAto, const char* ArquivoAto) {
    return Protegido([&] {
        Limita<cap::Tarvo_GeraRegistrosSpedTDM>(Arquivo, ArquivoSaida, DataInicial, DataFinal, Perfil, CFOP,
                                                Texto_, Valor1, Valor2);
        TARVO_LIMITA(Tarvo_GeraRegistrosSpedTDM, ArquivoAto);
        return Gera({TextoArg(Arquivo), TextoArg(ArquivoSaida), TextoArg(DataInicial), TextoArg(DataFinal),
                     TextoArg(Perfil), TextoArg(CFOP), TextoArg(Texto_), TextoArg(Valor1), TextoArg(Valor2),
                     UsaArquivoAto != 0, TextoArg(ArquivoAto)});
    });
}

extern "C" TARVO_API int Tarvo_GeraRegistrosSpedMFD(const char* Arquivo, const char* ArquivoSaida,
                                                    const char* DataInicial, const char* DataFinal,
                                                    const char* Perfil, const char* CFOP, const char* Texto_,
                                                    const char* Valor1, const char* Valor2) {
    return Protegido([&] {
        Limita<cap::Tarvo_GeraRegistrosSpedMFD>(Arquivo, ArquivoSaida, DataInicial, DataFinal, Perfil, CFOP,
                                                Texto_, Valor1, Valor2);
        return Gera({TextoArg(Arquivo), TextoArg(ArquivoSaida), TextoArg(DataInicial), TextoArg(DataFinal),
                     TextoArg(Perfil), TextoArg(CFOP), TextoArg(Texto_), TextoArg(Valor1), TextoArg(Valor2),
                     false, ""});
    });
}
