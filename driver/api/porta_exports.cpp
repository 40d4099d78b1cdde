// Exports of the last-error record, the result file and the serial port.
#include <fstream>

#include "driver/api/exportacao.h"
#include "driver/core/configuracao.h"
#include "driver/core/formatadores.h"
#include "driver/core/porta.h"
#include "platform/pastas.h"

using namespace tarvo;

extern "C" TARVO_API int Tarvo_RetornoImpressora(int* iCode, char* strMsg) {
    return Protegido([&] {
        if (iCode) *iCode = Erro().UltimoRetorno;
        CopiaParaBuffer(strMsg, cap::Tarvo_RetornoImpressora::strMsg, Erro().UltimaMensagem);
        return 1;
    });
}

extern "C" TARVO_API int Tarvo_LeArquivoRetorno(char* strRetorno) {
    return Protegido([&] {
        std::ifstream f(ArquivoRetorno(), std::ios::binary);
        if (!f) return 0;
        std::string linha;
        std::getline(f, linha);
        if (!linha.empty() && linha.back() == '\r') linha.pop_back();
        CopiaParaBuffer(strRetorno, cap::Tarvo_LeArquivoRetorno::strRetorno, linha);
        return 1;
    });
}

extern "C" TARVO_API int Tarvo_IniciaPorta(const char* porta) {
    return Protegido([&] {
        TARVO_LIMITA(Tarvo_IniciaPorta, porta);
        std::string nome = porta ? porta : "";
        int numero = ParaInteiro(nome.size() > 3 ? nome.substr(3, 2) : std::string(), 1);
        GravaChaveIni("Sistema", "Porta", "COM" + std::to_string(numero));
        return AbrePortaConfigurada();
    });
}

extern "C" TARVO_API int Tarvo_AbrePortaSerial(void) {
    return Protegido([] { return AbrePortaConfigurada(); });
}

extern "C" TARVO_API int Tarvo_FechaPortaSerial(void) {
    return Protegido([] {
        switch (Config().FamiliaModelo) {
            case FamiliaParametros:
                FechaPorta(SlotImpressora);
                Erro().UltimaMensagem.clear();
                return 1;
            case FamiliaNumerica1:
            case FamiliaNumerica2:
                return InformaNaoImplementado("Tarvo_FechaPortaSerial");
            default:
                return InformaNaoImplementado(" Tarvo_FechaPortaSerial");
        }
    });
}
