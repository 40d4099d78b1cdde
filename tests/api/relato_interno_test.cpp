// The report wrapper of the fiscal-file exports: a failing body gives the wrapper's result,
// two log lines and, when asked, the last-error record; a body that ends well is untouched.
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

#include "comum/ambiente.h"
#include "driver/api/exportacao.h"
#include "driver/core/configuracao.h"

namespace {

using namespace tarvo;

TEST(Relato, AFailingBodyIsReportedAndAGoodOneIsNot) {
    struct Caso {
        const char* prefixo;
        int falha;
        bool informa;
        bool lanca;
        int esperado;
        const char* segundaLinha;  // empty: no log at all
        const char* mensagem;      // the last error after the call
    };
    const Caso casos[] = {
        {"Erro: ", -1, true, true, -1, "=>Erro: arquivo ruim\r\n", "arquivo ruim"},
        {"ERRO: ", 0, true, true, 0, "=>ERRO: arquivo ruim\r\n", "arquivo ruim"},
        {"Erro: ", -1, false, true, -1, "=>Erro: arquivo ruim\r\n", "antes"},
        {"Erro: ", -1, true, false, 7, "", "antes"},
    };
    const auto antes = std::filesystem::current_path();
    for (const Caso& c : casos) {
        teste::PastaTemporaria pasta;
        std::filesystem::current_path(pasta.Caminho());
        Config().Path = pasta.Caminho();
        Config().Homologar = true;
        DefineErro(3, "antes");
        const int r = ComRelato(
            "Tarvo_Teste", c.prefixo, c.falha,
            [&] {
                if (c.lanca) throw std::runtime_error("arquivo ruim");
                return 7;
            },
            c.informa);
        const std::string log = teste::LeArquivo(pasta / "LOG.DAT");
        Config().Homologar = false;
        std::filesystem::current_path(antes);

        EXPECT_EQ(r, c.esperado) << c.prefixo << c.informa;
        EXPECT_EQ(Erro().UltimaMensagem, c.mensagem) << c.prefixo << c.informa;
        EXPECT_EQ(Erro().UltimoRetorno, c.mensagem == std::string("antes") ? 3 : -1);
        if (*c.segundaLinha) {
            const auto primeira = log.find("=>ERRO na fun\xE7\xE3o Tarvo_Teste: arquivo ruim\r\n");
            ASSERT_NE(primeira, std::string::npos) << log;
            EXPECT_NE(log.find(c.segundaLinha, primeira), std::string::npos) << log;
        } else {
            EXPECT_EQ(log.find("arquivo ruim"), std::string::npos) << log;
        }
    }
}

}  // namespace
