// Fixture of the engine tests against a scripted printer whose replies a test chooses by
// command word and parameters ("Comando Parametros" -> code, data); any other frame succeeds
// with the fixture's default data. Every test runs in a scratch current folder.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <map>
#include <memory>
#include <string>
#include <utility>

#include "comum/ambiente.h"
#include "comum/roteiro.h"
#include "driver/core/configuracao.h"
#include "driver/core/estado.h"

namespace teste {

class ComRespostas : public ::testing::Test {
  protected:
    PastaTemporaria home, dev, atual;
    Variavel v1{"TARVO_HOME", home.Caminho()};
    Variavel v2{"TARVO_DEVDIR", dev.Caminho()};
    std::string antes;
    std::map<std::string, std::pair<std::string, std::string>> respostas;
    std::unique_ptr<Roteiro> impressora;

    void SetUp() override {
        char b[4096];
        antes = ::getcwd(b, sizeof b) ? b : "/";
        ASSERT_EQ(::chdir(atual.Caminho().c_str()), 0);
    }
    void TearDown() override {
        impressora.reset();
        (void)!::chdir(antes.c_str());
    }
    // The data of a frame no entry of `respostas` answers ("Comando Parametros").
    virtual std::string Padrao(const std::string& chave) = 0;
    // TARVO.INI with the printer on COM1, the program folder and `extra`, loaded; the printer
    // started.
    void Liga(const std::string& extra) {
        EscreveArquivo(home / "TARVO.INI", "[Sistema]\r\nPorta=COM1\r\nTimeOutComandos=5\r\nPath=" +
                                               home.Caminho() + "\r\n" + extra);
        tarvo::CarregaConfiguracao();
        tarvo::Estado().PrimeiroUsoFeito = true;
        impressora = std::make_unique<Roteiro>(dev.Caminho(), "COM1", [this](const std::string& q) {
            const std::string chave = Roteiro::ComandoEParametros(q);
            std::string codigo = "0", dados;
            if (auto it = respostas.find(chave); it != respostas.end()) {
                codigo = it->second.first;
                dados = it->second.second;
            } else {
                dados = Padrao(chave);
            }
            return Resposta{{Roteiro::Quadro(Roteiro::Pacote(q), codigo, dados)}};
        });
    }
};

}  // namespace teste
