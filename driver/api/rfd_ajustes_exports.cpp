// The settings that the RFD conversions read, and the exports that clear the scratch folder.
#include <filesystem>

#include "driver/api/exportacao.h"
#include "driver/core/estado.h"
#include "driver/core/formatadores.h"

using namespace tarvo;

namespace {
// Deletes every file of the scratch folder; its subfolders stay as they are.
void EsvaziaDiretorioTemporarioRFD() {
    namespace fs = std::filesystem;
    std::error_code ec;
    std::vector<std::string> arquivos;
    for (const auto& entrada : fs::directory_iterator(DiretorioTemporarioRFD(), ec))
        if (!entrada.is_directory(ec)) arquivos.push_back(entrada.path().string());
    for (const std::string& nome : arquivos) ApagaArquivo(nome);
}
}  // namespace

extern "C" TARVO_API void RFD_SetaStorage(unsigned char flag) {
    Protegido([&] { Estado().ArmazenamentoRFD = flag != 0; });
}

extern "C" TARVO_API void AtoCotepe_SetaTDMFlag(unsigned char flag) {
    Protegido([&] { Estado().FlagTDM = flag != 0; });
}

extern "C" TARVO_API int RFD_SetaEmiteLMF_RFD(unsigned char flag) {
    return Protegido([&] {
        Estado().EmiteLMF_RFD = flag != 0;
        // Without a new reading per reduction the one kept from before must not be used.
        if (!flag) ApagaArquivo(DiretorioTemporarioRFD() + "LEITMF.TXT");
        return 1;
    });
}

extern "C" TARVO_API void RFD_ApagaArquivos() {
    Protegido([] { EsvaziaDiretorioTemporarioRFD(); });
}

extern "C" TARVO_API void Sintegra_ApagaFiles() {
    Protegido([] {
        ApagaArquivo(DiretorioTemporarioRFD() + "SINT.TXT");
        ApagaArquivo(DiretorioTemporarioRFD() + "SINTEGRA.TXT");
    });
}
