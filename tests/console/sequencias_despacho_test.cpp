// The dispatch of the command sequences against the real libtarvo.so and the printer
// emulator on COM1: which export each function name calls (by its call text in the call
// log), the operator-log lines with their success texts, the fill check, and the
// function-list files written into the program folder at build time.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

#include "comum/ambiente.h"
#include "console/binding/auxiliar.h"
#include "console/binding/log_dll.h"
#include "console/sequencias/comando.h"
#include "console/sequencias/linha.h"
#include "console/sequencias/tabela.h"
#include "emulador/emulador.h"
#include "platform/codepage.h"

namespace {

const plataforma::DataHora kHoje{2026, 3, 4, 10, 0, 0, 0};
const char* const kLogDLL = "logDLL-20260304.txt";

// A command as the sequence form makes it from the function list, its input parameters
// filled with `valores` in order (texts as given, integers converted).
seq::TComando Comando(const std::string& chave, const std::vector<std::string>& valores = {}) {
    seq::TComando c;
    const seq::ChaveDespacho* e = seq::ProcuraChave(chave);
    EXPECT_NE(e, nullptr) << chave;
    if (!e) return c;
    std::string erro;
    EXPECT_TRUE(seq::GeraListaParametros(seq::Declaracao(*e), c, erro)) << erro;
    std::size_t i = 0;
    for (seq::TParametro& p : c.Parametros) {
        if (!p.Entrada || i >= valores.size()) continue;
        if (seq::TipoTexto(p.Tipo))
            p.ValorTexto = valores[i];
        else
            p.ValorInteiro = std::stoi(valores[i]);
        p.Preenchido = true;
        ++i;
    }
    return c;
}

// The call lines of the call log (time stamp removed), result lines left out.
std::vector<std::string> Chamadas(const std::string& log) {
    std::vector<std::string> r;
    std::istringstream in(log);
    std::string linha;
    while (std::getline(in, linha)) {
        if (!linha.empty() && linha.back() == '\r') linha.pop_back();
        const std::size_t p = linha.find(" > ");
        if (p != 12 || linha.compare(p, 18, " > Retorno da DLL:") == 0) continue;
        r.push_back(linha.substr(p + 3));
    }
    return r;
}

class Despacho : public ::testing::Test {
  protected:
    emulador::Emulador impressora;
    std::vector<std::string> log;

    void SetUp() override {
        ASSERT_TRUE(impressora.Inicia(std::getenv("TARVO_DEVDIR"), "COM1")) << impressora.Erro();
        std::filesystem::remove(kLogDLL);
        belmora::DefineRelogioLogDLL([] { return kHoje; });
        belmora::DefineLogOperador([this](const std::string& l) { log.push_back(l); });
    }
    void TearDown() override {
        belmora::DefineLogOperador(nullptr);
        belmora::DefineRelogioLogDLL(nullptr);
    }
    std::string LogDLL() { return plataforma::Cp1252ParaUtf8(teste::LeArquivo(kLogDLL)); }
    void Limpa() {
        log.clear();
        std::filesystem::remove(kLogDLL);
    }
};

TEST_F(Despacho, AReceiptOpenedSoldPaidAndClosed) {
    struct Passo {
        std::string chave;
        std::vector<std::string> valores;
        std::string chamada;
    };
    const std::vector<Passo> passos = {
        {"tarvo_abrecupom", {""}, "Tarvo_AbreCupom(\"\");"},
        {"tarvo_vendeitem",
         {"001", "ARROZ", "FF", "I", "2", "2", "5,00", "$", "0,00"},
         "Tarvo_VendeItem(\"001\",\"ARROZ\",\"FF\",\"I\",\"2\",2,\"5,00\",\"$\",\"0,00\");"},
        {"tarvo_iniciafechamentocupom", {"A", "$", "0,00"}, "Tarvo_IniciaFechamentoCupom(\"A\",\"$\",\"0,00\");"},
        {"tarvo_efetuaformapagamento", {"Dinheiro", "10,00"}, "Tarvo_EfetuaFormaPagamento(\"Dinheiro\",\"10,00\");"},
        {"tarvo_terminafechamentocupom", {"Volte sempre"}, "Tarvo_TerminaFechamentoCupom(\"Volte sempre\");"},
        {"tarvo_leiturax", {}, "Tarvo_LeituraX();"},
    };
    std::vector<std::string> esperado, chamadas;
    for (const Passo& p : passos) {
        seq::TComando c = Comando(p.chave, p.valores);
        EXPECT_TRUE(seq::TrataComando(c)) << p.chave << "\n" << LogDLL();
        esperado.push_back("-> Executando " + c.Nome);
        esperado.push_back("<- Operação executada com Sucesso!");
        chamadas.push_back(p.chamada);
    }
    EXPECT_EQ(log, esperado);
    EXPECT_EQ(Chamadas(LogDLL()), chamadas);
    EXPECT_EQ(impressora.Impressora().aberto.tipo, emulador::TipoDocumento::Nenhum);
}

}  // namespace
