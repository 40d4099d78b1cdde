// The RFD of a reduction made from what the emulated printer prints, through the real port
// code: the normal way (the library asks the printer for everything), then the storage way
// on the same detail-tape text, which must give the same lines without a printer command.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "comum/ambiente.h"
#include "comum/dia_rfd.h"
#include "driver/core/configuracao.h"
#include "driver/core/estado.h"
#include "driver/core/formatadores.h"
#include "driver/core/registro.h"
#include "driver/fiscalfiles/registros_ato.h"
#include "driver/fiscalfiles/rfd_conversao.h"
#include "driver/protocols/familia0/parametros.h"
#include "emulador/emulador.h"
#include "emulador/modelos.h"
#include "fiscalfiles/pasta_rfd.h"
#include "fiscalfiles/rfd_emulador.h"
#include "tarvo.h"

namespace {

using namespace tarvo;

class ConversaoEmulador : public teste::RfdComEmulador {
  protected:
    // The day, its reduction and its file made the normal way; the text left where the storage
    // way reads it.
    void ConvertidoUmaVez() {
        Dia();
        if (HasFatalFailure()) return;
        ASSERT_EQ(RFD_ConvertedaMFDTexto("1"), 1);
        ASSERT_TRUE(CopiaArquivo(Rfdtemp("DET_1.TXT"), Rfdtemp("DETALHE.TXT"), false));
    }
    std::vector<std::string> Saida() { return LinhasRfd(); }
};

std::vector<std::string> SemTipo(std::vector<std::string> linhas, const std::string& tipo) {
    std::erase_if(linhas, [&](const std::string& l) { return l.rfind(tipo, 0) == 0; });
    return linhas;
}

TEST_F(ConversaoEmulador, StorageModeOnTheSameTextGivesTheSameLinesWithoutThePrinter) {
    Dia();
    if (HasFatalFailure()) return;
    ASSERT_EQ(RFD_ConvertedaMFDTexto("1"), 1);
    std::vector<std::string> normal = Saida();
    ASSERT_FALSE(normal.empty());
    EXPECT_EQ(normal.front().substr(0, 3), "E00");
    EXPECT_FALSE(plataforma::ExisteArquivo(Rfdtemp("RFD.DAT")));
    // The first document of the first reduction is in the file.
    bool coo1 = false;
    for (const auto& l : normal) coo1 |= l.rfind("E14", 0) == 0 && l.substr(46, 12) == "000001000001";
    EXPECT_TRUE(coo1);

    // The host's files of the storage way: the detail-tape text and the rate table.
    ASSERT_TRUE(CopiaArquivo(Rfdtemp("DET_1.TXT"), Rfdtemp("DETALHE.TXT"), false));
    teste::EscreveArquivo(Rfdtemp("ALQ_0001.TXT"), "T1800T1200T0700S0500\r\n");
    std::size_t comandos = e.Trocas().size();
    Estado().ArmazenamentoRFD = true;
    ASSERT_EQ(RFD_ConvertedaMFDTexto("1"), 1);
    EXPECT_EQ(e.Trocas().size(), comandos);
    // The counters (E11) come from the printer only, or from the host's E11 file.
    EXPECT_EQ(Saida(), SemTipo(normal, "E11"));
}

TEST_F(ConversaoEmulador, AMovementOutsideTheSintegraPeriodGivesNoFile) {
    Dia();
    if (HasFatalFailure()) return;
    PeriodoBuscaSintegra() = {"01/01/2001", "31/01/2001"};
    ASSERT_EQ(RFD_ConvertedaMFDTexto("1"), 1);
    EXPECT_TRUE(std::filesystem::is_empty(home / "rfd"));
}

TEST_F(ConversaoEmulador, AFileThatCannotReachPathRfdIsAFailure) {
    Dia();
    if (HasFatalFailure()) return;
    std::filesystem::remove(home / "rfd");
    EXPECT_EQ(RFD_ConvertedaMFDTexto("1"), -8);
    EXPECT_EQ(Erro().UltimoRetorno, -8);
    EXPECT_FALSE(std::filesystem::exists(home / "rfd"));
}

TEST_F(ConversaoEmulador, WithFlagTdmClearOnlyTheDocumentAndHeadLinesRemain) {
    Dia();
    if (HasFatalFailure()) return;
    Estado().FlagTDM = false;
    ASSERT_EQ(RFD_ConvertedaMFDTexto("1"), 1);
    std::vector<std::string> linhas = Saida();
    ASSERT_FALSE(linhas.empty());
    for (const auto& l : linhas) {
        int tipo = std::stoi(l.substr(1, 2));
        EXPECT_TRUE(tipo <= 2 || tipo >= 12) << l;
    }
    EXPECT_EQ(linhas[1].substr(112, 3), "MFD");  // the E01 names its generating command
}

TEST_F(ConversaoEmulador, TheExportTakesTheTextWayOnlyWhenAskedAndCatchesItsErrors) {
    Dia();
    if (HasFatalFailure()) return;
    // The memory-dump way: its file, named by the serial's ends and the day.
    Config().TipoGeraRfdRedZ = "1";
    EXPECT_EQ(RFD_ConvertedaMFD("1"), 1) << Erro().UltimaMensagem;
    for (const auto& a : std::filesystem::directory_iterator(home / "rfd")) {
        EXPECT_EQ(a.path().filename().string().substr(0, 8), "TV02345.");
        std::filesystem::remove(a.path());
    }
    Config().TipoGeraRfdRedZ = "0";
    EXPECT_EQ(RFD_ConvertedaMFD("1"), 1);
    EXPECT_FALSE(std::filesystem::is_empty(home / "rfd"));
    // Storage mode takes the text way whatever the setting holds.
    ASSERT_TRUE(CopiaArquivo(Rfdtemp("DET_1.TXT"), Rfdtemp("DETALHE.TXT"), false));
    Config().TipoGeraRfdRedZ = "1";
    Estado().ArmazenamentoRFD = true;
    std::size_t comandos = e.Trocas().size();
    EXPECT_EQ(RFD_ConvertedaMFD("1"), 1);
    EXPECT_EQ(e.Trocas().size(), comandos);
    Estado().ArmazenamentoRFD = false;
    Config().TipoGeraRfdRedZ = "0";
    // A scratch folder that cannot be made: the error is caught and the result is a failure.
    teste::EscreveArquivo(dev / "arquivo", "");
    teste::Variavel outra{"TARVO_HOME", dev / "arquivo"};
    EXPECT_EQ(RFD_ConvertedaMFD("1"), 0);
    EXPECT_EQ(Erro().UltimaMensagem, "Impossivel Criar" + dev / "arquivo/RFDTEMP/");
}

// Every model the library knows, with either of the two ways of finding a document's end date
// and time: the reduction's emission and the file's name and identity follow the model.
TEST_F(ConversaoEmulador, EachModelGivesItsIdentityNameAndDates) {
    for (std::size_t linha = 0; linha < emulador::Modelos().size(); ++linha) {
        SCOPED_TRACE(emulador::Modelos()[linha].modelo);
        e.Reinicia();
        e.Altera([&](emulador::Impressora& p) { emulador::AplicaModelo(p, linha); });
        for (const auto& a : std::filesystem::directory_iterator(home / "rfd"))
            std::filesystem::remove(a.path());
        std::filesystem::remove_all(Rfdtemp());
        Dia();
        if (HasFatalFailure()) return;
        ASSERT_EQ(RFD_ConvertedaMFDTexto("1"), 1);
        const emulador::Impressora p = e.Impressora();
        std::vector<std::string> linhas = Saida();
        ASSERT_GT(linhas.size(), 2u);

        const emulador::ModeloEcf& m = emulador::Modelos()[linha];
        std::string e01 = linhas[1];
        EXPECT_EQ(e01.substr(24, 7), PreencheEspacosDireita(m.tipo, 7));
        EXPECT_EQ(e01.substr(31, 40),
                  PreencheEspacosDireita(m.marca, 20) + PreencheEspacosDireita(m.modelo, 20));
        EXPECT_EQ(e01.substr(71, 10), PreencheEspacosDireita(m.versao, 10));

        // The reduction's end as its foot prints it (the line before "FAB:").
        const emulador::Documento* z = p.DocumentoPorCoo(p.contadores.coo);
        ASSERT_NE(z, nullptr);
        std::vector<std::string> impresso;
        std::string texto = z->Texto();
        for (std::size_t i = 0, f; i <= texto.size(); i = f + 1) {
            f = std::min(texto.find('\n', i), texto.size());
            impresso.push_back(texto.substr(i, f - i));
        }
        std::string fim;
        for (std::size_t i = 1; i < impresso.size(); ++i)
            if (impresso[i].rfind("FAB:", 0) == 0) fim = impresso[i - 1];
        ASSERT_GE(fim.size(), 47u);
        std::string data = fim.substr(34, 4) + fim.substr(31, 2) + fim.substr(28, 2);
        std::string hora = fim.substr(39, 2) + fim.substr(42, 2) + fim.substr(45, 2);
        std::string e12;
        for (const auto& l : linhas)
            if (l.rfind("E12", 0) == 0) e12 = l;
        ASSERT_FALSE(e12.empty());
        EXPECT_EQ(e12.substr(72, 14), data + hora);

        std::string nome;
        for (const auto& a : std::filesystem::directory_iterator(home / "rfd"))
            nome = a.path().filename().string();
        EXPECT_EQ(nome.substr(0, 8), std::string(linha < 2 ? "TV" : "OR") + p.numeroSerie.substr(14));
        EXPECT_EQ(nome.substr(8), ExtensaoRFDData(e12.substr(64, 8)));
    }
}

TEST_F(ConversaoEmulador, TwoConversionsAtOnceRunOneAfterTheOther) {
    ConvertidoUmaVez();
    if (HasFatalFailure()) return;
    Estado().ArmazenamentoRFD = true;
    ASSERT_EQ(RFD_ConvertedaMFDTexto("1"), 1);
    std::vector<std::string> uma = Saida();
    // Both share the records and the scratch folder: the second waits for the first, and the
    // file is the one a single conversion makes.
    int r1 = 0, r2 = 0;
    std::thread a([&] { r1 = RFD_ConvertedaMFDTexto("1"); });
    std::thread b([&] { r2 = RFD_ConvertedaMFDTexto("1"); });
    a.join();
    b.join();
    EXPECT_EQ(r1, 1);
    EXPECT_EQ(r2, 1);
    EXPECT_EQ(Saida(), uma);
}

TEST_F(ConversaoEmulador, DebugModeAsksThePrinterNothingAndLogsInsteadOfShowingMessages) {
    ConvertidoUmaVez();
    if (HasFatalFailure()) return;
    Config().Debugger = true;
    Config().Homologar = true;
    std::size_t antes = e.Trocas().size();
    ASSERT_EQ(RFD_ConvertedaMFDTexto("1"), 1);
    Config().Debugger = false;
    Config().Homologar = false;
    // Only the X reading of the user's name and address went to the printer.
    std::vector<std::string> comandos;
    for (std::size_t i = antes; i < e.Trocas().size(); ++i) comandos.push_back(e.Trocas()[i].comando);
    ASSERT_FALSE(comandos.empty());
    EXPECT_EQ(comandos.front(), "EmiteLeituraX");
    for (const auto& c : comandos) EXPECT_TRUE(c == "EmiteLeituraX" || c == "LeImpressao") << c;
    std::string log = Log();
    EXPECT_NE(log.find("Modo Debug1 iCountAliq=(14)- Nao deve ser usado em producao"), std::string::npos);
    EXPECT_NE(log.find("Modo Debug2 - Nao deve ser usado em producao"), std::string::npos);
    EXPECT_NE(log.find("***(CMD5)  FIM ***"), std::string::npos);
    // The fixed rate table: slot 1 is 7,00 %.
    bool taxa = false;
    for (const auto& l : Saida()) taxa |= l.rfind("E15", 0) == 0 && l.substr(223, 7) == "01T0700";
    EXPECT_TRUE(taxa);
}

TEST_F(ConversaoEmulador, TheDevelopersLineAndTheNameOfAStateThatAsksForTheModelsCode) {
    Configura("[ECF]\r\nUF=se\r\n" + std::string(teste::kSoftwareHouse));
    Dia();
    if (HasFatalFailure()) return;
    ASSERT_EQ(RFD_ConvertedaMFDTexto("1"), 1);
    std::vector<std::string> linhas = Saida();
    ASSERT_FALSE(linhas.empty());
    const std::string e00 = linhas[0];
    ASSERT_EQ(e00.size(), 297u);
    EXPECT_EQ(e00.substr(24, 2), "01");
    EXPECT_EQ(e00.substr(73, 8), "00007703");
    EXPECT_EQ(e00.substr(81, 42),
              "12345678000195"
              "00110042490114"
              "00000000009876");
    EXPECT_EQ(e00.substr(123, 22), "SOFTWARE DE TESTE LTDA");
    EXPECT_EQ(e00.substr(163, 5), "CAIXA");
    EXPECT_EQ(e00.substr(203, 10), "2.1       ");
    EXPECT_EQ(e00.substr(213, 8), "PRIMEIRA");
    EXPECT_EQ(e00.substr(255, 7), "SEGUNDA");
    // Sergipe: maker code, model letter and the serial's characters 16 to 20.
    std::string nome;
    for (const auto& a : std::filesystem::directory_iterator(home / "rfd"))
        nome = a.path().filename().string();
    EXPECT_EQ(nome.substr(0, 8), "TVA12345");
}

}  // namespace
