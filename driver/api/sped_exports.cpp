// Exports of the SPED Fiscal block C records.
#include "driver/api/exportacao.h"
#include "driver/fiscalfiles/sped.h"

using namespace tarvo;

namespace {
std::string Texto(const char* t) {
    return t ? t : "";
}

int Gera(ParametrosSped p) {
    const int codigo = GeraRegistrosSped(p);
    if (codigo == SpedSucesso)
        DefineErro(0, "");
    else
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
        return Gera({Texto(Arquivo), Texto(ArquivoSaida), Texto(DataInicial), Texto(DataFinal), Texto(Perfil),
                     Texto(CFOP), Texto(Texto_), Texto(Valor1), Texto(Valor2), UsaArquivoAto != 0,
                     Texto(ArquivoAto)});
    });
}

extern "C" TARVO_API int Tarvo_GeraRegistrosSpedMFD(const char* Arquivo, const char* ArquivoSaida,
                                                    const char* DataInicial, const char* DataFinal,
                                                    const char* Perfil, const char* CFOP, const char* Texto_,
                                                    const char* Valor1, const char* Valor2) {
    return Protegido([&] {
        return Gera({Texto(Arquivo), Texto(ArquivoSaida), Texto(DataInicial), Texto(DataFinal), Texto(Perfil),
                     Texto(CFOP), Texto(Texto_), Texto(Valor1), Texto(Valor2), false, ""});
    });
}
