// A host program that defines functions under the names of the library's exports (built
// with its symbols exported, as -rdynamic does): the library's calls to its own exports
// must still reach its own, never the host's.
#include <gtest/gtest.h>

#include <atomic>

#include "comum/emulado.h"

namespace {
std::atomic<int> gChamadasDoHospedeiro{0};
}  // namespace

extern "C" __attribute__((visibility("default"))) int Tarvo_ExecutaComando(const char*, const char*) {
    ++gChamadasDoHospedeiro;
    return 77;
}

extern "C" __attribute__((visibility("default"))) int Tarvo_ExecutaLeitura(const char*, const char*, char*) {
    ++gChamadasDoHospedeiro;
    return 77;
}

namespace {

class Hospedeiro : public teste::EmuladorNoFilho {};

TEST_F(Hospedeiro, TheLibraryCallsItsOwnExportsNotTheHostsNamesakes) {
    Roda("", [](teste::Tarvo& t, emulador::Emulador& e) {
        // Programs the spacing through the library's own command export.
        EXPECT_EQ(t.Chama<int(int)>("Tarvo_LinhasEntreCupons", 5), 1);
        // Reads the movement date through the library's own reading export.
        char data[16] = {};
        EXPECT_EQ(t.Chama<int(char*)>("Tarvo_DataMovimento", data), 1);
        EXPECT_EQ(gChamadasDoHospedeiro, 0);
        int comandos = 0;
        for (const std::string& c : e.Comandos()) comandos += c == "EscreveInteiro";
        EXPECT_EQ(comandos, 2);  // the spacing of the first command and the programmed one
    });
}

}  // namespace
