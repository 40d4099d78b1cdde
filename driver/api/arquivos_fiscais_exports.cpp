// Exports of the fiscal files.
#include "driver/api/exportacao.h"
#include "driver/core/configuracao.h"
#include "driver/core/estado.h"
#include "driver/fiscalfiles/ato.h"
#include "driver/fiscalfiles/rfd_conversao.h"

using namespace tarvo;

extern "C" TARVO_API int RFD_ConvertedaMFD(const char* CRZ) {
    return Protegido([&] {
        TARVO_LIMITA(RFD_ConvertedaMFD, CRZ);
        GravaLog("Executando RFD_ConvertedaMFD");
        const std::string reducao = CRZ ? CRZ : "";
        int resultado = 0;
        try {
            if (!Estado().ArmazenamentoRFD && Config().TipoGeraRfdRedZ != "0") {
                // The file from the printer's memory dump, through the outside libraries.
                resultado = ato::RFD_ConvertedaMFDMemorias(reducao);
            } else {
                resultado = RFD_ConvertedaMFDTexto(reducao);
            }
        } catch (const std::exception& e) {
            GravaLog(std::string("Erro na execu\xE7\xE3o da fun\xE7\xE3o RFD_ConvertedaMFD: ") + e.what());
            DefineErro(-1, e.what());
            resultado = 0;
        }
        GravaLog("Retorno da fun\xE7\xE3o RFD_ConvertedaMFD: " + std::to_string(resultado));
        return resultado;
    });
}
