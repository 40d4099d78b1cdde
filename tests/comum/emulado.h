// What the end-to-end tests share: a printer emulator on COM1 of a scratch device folder,
// a scratch program folder with its TARVO.INI, a scratch current folder, a day of sales sent
// with the printer's own commands, and small helpers to lay out printed lines.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "comum/ambiente.h"
#include "comum/biblioteca.h"
#include "comum/cenario.h"
#include "emulador/emulador.h"
#include "platform/ini.h"

namespace teste {

// The TARVO.INI of the tests: the printer on COM1 with a five-second time-out.
inline const char* const kIniBase = "[Sistema]\r\nPorta=COM1\r\nTimeOutComandos=5\r\n";

// The emulator runs in the test's process; the library runs in child processes
// (`Roda`, one fresh load each), so each scenario starts from the load sequence.
class ComEmulador : public ::testing::Test {
  protected:
    PastaTemporaria home, dev, atual;
    Variavel v1{"TARVO_HOME", home.Caminho()};
    Variavel v2{"TARVO_DEVDIR", dev.Caminho()};
    emulador::Emulador e;

    void SetUp() override { ASSERT_TRUE(e.Inicia(dev.Caminho(), "COM1")) << e.Erro(); }

    // Writes TARVO.INI: the base [Sistema] keys, then `sistema` (more [Sistema] lines), then
    // `secoes` (whole sections).
    void Ini(const std::string& sistema = "", const std::string& secoes = "") {
        EscreveArquivo(home / "TARVO.INI", kIniBase + sistema + secoes);
    }
    std::string Roda(const std::function<void(Cenario&)>& corpo) {
        return Cenario::Roda(atual.Caminho(), corpo);
    }
    std::string Chave(const char* secao, const char* chave) {
        return plataforma::ArquivoIni::LeChave(home / "TARVO.INI", secao, chave, "<none>");
    }
    // Parameters of the frames with this command word, in order.
    std::vector<std::string> Parametros(const std::string& comando) {
        std::vector<std::string> r;
        for (const emulador::Troca& t : e.Trocas())
            if (t.comando == comando) r.push_back(t.parametros);
        return r;
    }
    static bool Contem(const std::string& texto, const std::string& trecho) {
        return texto.find(trecho) != std::string::npos;
    }
};

// Library and emulator together in one child process per scenario, for tests that drive
// the printer and the library turn by turn (`corpo` uses gtest assertions; the child's
// failures are reported by the parent).
class EmuladorNoFilho : public ::testing::Test {
  protected:
    PastaTemporaria home, dev, atual;
    std::string iniBase = kIniBase;  // the [Sistema] keys every scenario starts from

    // Runs `corpo` in a child process: TARVO.INI with the base keys, `Path` at the program
    // folder and `ini` added; an emulator on COM1; the library loaded afresh; the current
    // folder a scratch one.
    void Roda(const std::string& ini, const std::function<void(Tarvo&, emulador::Emulador&)>& corpo) {
        RodaCom<Tarvo>(ini, corpo);
    }
    // The same with the library loaded from `lib` as an `L` (a Tarvo with more calls).
    template <typename L>
    void RodaCom(const std::string& ini, const std::function<void(L&, emulador::Emulador&)>& corpo,
                 const std::string& lib = TARVO_LIB) {
        int r = EmProcessoFilho([&] {
            Variavel h{"TARVO_HOME", home.Caminho()}, d{"TARVO_DEVDIR", dev.Caminho()};
            if (::chdir(atual.Caminho().c_str()) != 0) return 3;
            EscreveArquivo(home / "TARVO.INI", iniBase + ("Path=" + home.Caminho() + "\r\n") + ini);
            {
                emulador::Emulador e;
                if (!e.Inicia(dev.Caminho(), "COM1")) return 4;
                L t(lib);
                corpo(t, e);
            }
            std::fflush(stdout);
            return ::testing::Test::HasFailure() ? 1 : 0;
        });
        EXPECT_EQ(r, 0) << "the child process reported failures (above) or died";
    }
    std::string Chave(const char* secao, const char* chave) {
        return plataforma::ArquivoIni::LeChave(home / "TARVO.INI", secao, chave, "<none>");
    }
};

inline int Comando(Tarvo& t, const char* comando, const std::string& parametros) {
    return t.Chama<int(const char*, const char*)>("Tarvo_ExecutaComando", comando, parametros.c_str());
}

// The day of sales, sent with the printer's own commands:
// receipt 1: 2 x 10,00 at 18 % (slot 0) and 5,50 under tax substitution (F1), cash 30,00;
// receipt 2: 100,00 at 12 % (slot 1) with 10,00 off and 4 x 2,50 of service (ISS, slot 3),
//            paid by cheque;
// receipt 3: 7,00 at 7 % (slot 2), cancelled;
// a cash-in of 50,00.
inline void VendeODia(Tarvo& t) {
    const std::pair<const char*, std::string> passos[] = {
        {"AbreCupomFiscal", ""},
        {"VendeItem",
         "CodAliquota=0 CodProduto=\"001\" NomeProduto=\"ARROZ\" PrecoUnitario=10,00 Quantidade=2,000"},
        {"VendeItem",
         "CodAliquota=-2 CodProduto=\"002\" NomeProduto=\"REFRIGERANTE\" PrecoUnitario=5,50 "
         "Quantidade=1,000"},
        {"PagaCupom", "CodMeioPagamento=-2 Valor=30,00"},
        {"EncerraDocumento", "Operador=\"ANA\""},
        {"AbreCupomFiscal", ""},
        {"VendeItem",
         "CodAliquota=1 CodProduto=\"003\" NomeProduto=\"PANELA\" PrecoUnitario=100,00 Quantidade=1,000"},
        {"AcresceItemFiscal", "Cancelar=false NumItem=1 ValorAcrescimo=-10,00"},
        {"VendeItem",
         "CodAliquota=3 CodProduto=\"004\" NomeProduto=\"SERVICO\" PrecoUnitario=2,50 Quantidade=4,000"},
        {"PagaCupom", "CodMeioPagamento=2 Valor=100,00"},
        {"EncerraDocumento", "Operador=\"ANA\""},
        {"AbreCupomFiscal", ""},
        {"VendeItem",
         "CodAliquota=2 CodProduto=\"005\" NomeProduto=\"PAO\" PrecoUnitario=7,00 Quantidade=1,000"},
        {"CancelaCupom", "Operador=\"ANA\""},
        {"AbreCupomNaoFiscal", ""},
        {"EmiteItemNaoFiscal", "CodNaoFiscal=0 Valor=50,00"},
        {"PagaCupom", "CodMeioPagamento=-2 Valor=50,00"},
        {"EncerraDocumento", "Operador=\"ANA\""},
    };
    for (const auto& [comando, parametros] : passos) {
        ASSERT_EQ(Comando(t, comando, parametros), 1)
            << comando << " " << parametros << ": " << t.UltimoErro().second;
    }
}

// Records a mismatch of a text in a scenario, with both lengths (padding is often the fault).
inline void Igual(Cenario& c, const std::string& oQue, const std::string& esperado,
                  const std::string& obtido) {
    if (obtido != esperado)
        c.Falha(oQue + ":\n  esperado [" + esperado + "] (" + std::to_string(esperado.size()) +
                ")\n  obtido   [" + obtido + "] (" + std::to_string(obtido.size()) + ")");
}

// A printed line of 48 columns: the label on the left, the value on the right.
inline std::string Linha48(const std::string& rotulo, const std::string& valor) {
    return rotulo + std::string(48 - rotulo.size() - valor.size(), ' ') + valor;
}

inline std::string Zeros(std::int64_t n, std::size_t largura) {
    std::string s = std::to_string(n);
    return std::string(s.size() < largura ? largura - s.size() : 0, '0') + s;
}

// The lines of a text whose lines end in CR LF.
inline std::vector<std::string> Linhas(const std::string& texto) {
    std::vector<std::string> r;
    for (std::size_t i = 0; i < texto.size();) {
        std::size_t f = texto.find("\r\n", i);
        if (f == std::string::npos) f = texto.size();
        r.push_back(texto.substr(i, f - i));
        i = f + 2;
    }
    return r;
}

}  // namespace teste
