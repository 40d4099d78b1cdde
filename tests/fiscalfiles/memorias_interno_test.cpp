// The memory-reading side of the library from the inside: the reader's messages, the dump
// name, the port and rate rules, and the process-wide reader replaced under status polls.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "driver/core/registro.h"
#include "driver/fiscalfiles/memorias.h"
#include "platform/codepage.h"

namespace m = tarvo::memorias;

namespace {

std::string W(const char* utf8) {
    return plataforma::Utf8ParaCp1252(utf8);
}

}  // namespace

TEST(MemoriasMensagens, EveryCodeOfTheReaderGetsItsMessageAndOneClearsTheRecord) {
    const std::pair<int, const char*> tabela[] = {
        {4097,
         "DLLErroAbreArquivo - Arquivo binário encontra-se aberto. Esta ação poderá ser repetida, "
         "solicitando "
         "ao usuário que o arquivo seja fechado."},
        {16385,
         "DLLErroCargaDLL - DLL de comunicação do protocolo Lurdex (DLLG2.DLL) não pôde ser carregada."},
        {16386, "DLLErroCanalCOM - Canal de comunicação indicado não pôde ser aberto."},
        {16387,
         "DLLErroBinarioInvalido - Formato do arquivo binário indicado é inválido para esta versão da DLL."},
        {16388, "DLLErroLeituraArquivo - Erro de leitura do arquivo binário indicado."},
        {16389, "DLLErroEscritaArquivo - Erro de escrita no arquivo binário."},
        {16390,
         "DLLErroBinarioECF - Número de fabricação do ECF gravado anteriormente no arquivo binário informado "
         "não confere com o número de fabricação informado no parâmetro <szSerieECF> da função "
         "<DLLReadLeMemorias>."},
        {16391,
         "DLLErroECFInvalido Número de fabricação indicado no parâmetro <szSerieECF> da função "
         "<DLLReadLeMemorias> não confere com o número de fabricação do ECF conectado na porta de "
         "comunicação indicada."},
        {16392, "DLLErroFaltaRAM Não há memória suficiente para a execução satisfatória da DLL de leitura."},
        {16393, "DLLErroCriaArquivo Não foi possível criar o arquivo com o nome especificado."},
        {16394,
         "DLLErroArquivoIncompleto Não foi possível gerar dados a partir do arquivo binário especificado "
         "pois este não encontra-se com a leitura completa."},
    };
    for (const auto& [codigo, texto] : tabela) {
        m::InformaRetornoLeitura(codigo);
        EXPECT_EQ(tarvo::Erro().UltimoRetorno, codigo);
        EXPECT_EQ(tarvo::Erro().UltimaMensagem, W(texto)) << codigo;
    }
    const std::string desconhecido =
        "Erro desconhecido. Falha ao acessar a dll Leitura.dll, ATO17.dll ou DLLG2.dll";
    for (int codigo : {-1, 0, 2, 4096, 16384, 16395}) {
        m::InformaRetornoLeitura(codigo);
        EXPECT_EQ(tarvo::Erro().UltimoRetorno, codigo);
        EXPECT_EQ(tarvo::Erro().UltimaMensagem, desconhecido) << codigo;
    }
    m::InformaRetornoLeitura(1);
    EXPECT_EQ(tarvo::Erro().UltimoRetorno, 0);
    EXPECT_EQ(tarvo::Erro().UltimaMensagem, "");
}

TEST(MemoriasNomes, DumpNameTakesTheFirstThreeAndTheLastFourCharactersOfTheSerial) {
    EXPECT_EQ(m::NomeArquivoMemorias("TV010500000000012345"), "MemoriasTV02345.tdm");
    // Short serials overlap; very short ones are taken as they are.
    EXPECT_EQ(m::NomeArquivoMemorias("ABCDEFG"), "MemoriasABCDEFG.tdm");
    EXPECT_EQ(m::NomeArquivoMemorias("ABCDE"), "MemoriasABCBCDE.tdm");
    EXPECT_EQ(m::NomeArquivoMemorias("AB"), "MemoriasABAB.tdm");
    EXPECT_EQ(m::NomeArquivoMemorias(""), "Memorias.tdm");
}

TEST(MemoriasNomes, PortLosesItsDevicePrefixAndUnknownRatesBecome115200) {
    EXPECT_EQ(m::PortaDaLeitura("\\\\.\\COM3"), "COM3");
    EXPECT_EQ(m::PortaDaLeitura("com2"), "COM2");
    EXPECT_EQ(m::PortaDaLeitura(""), "COM1");
    // Only a prefix where it stands is taken away.
    EXPECT_EQ(m::PortaDaLeitura("COM4\\\\.\\"), "COM4\\\\.\\");
    EXPECT_EQ(m::BaudDaLeitura(4800), 115200);
    EXPECT_EQ(m::BaudDaLeitura(0), 115200);
    for (int b : {9600, 19200, 38400, 57600, 115200}) EXPECT_EQ(m::BaudDaLeitura(b), b);
    m::TQovDlls d("\\\\.\\com3", 4800);
    EXPECT_EQ(d.Porta(), "COM3");
    EXPECT_EQ(d.Baud(), 115200);
}

TEST(MemoriasLeitor, IdleReaderAnswersItsOwnStateAndMissingConverterDoesNotStopIt) {
    // libleitura.so lies beside this program; libato17.so may not.
    m::TQovDlls d("COM9", 9600);
    ASSERT_EQ(d.ErroLeitura(), "");
    int s = -1, e = -1, t = -1, p = -1;
    std::string texto = "x";
    EXPECT_EQ(d.LeStatus(s, e, t, p, texto), 1);
    EXPECT_EQ(s, 0);
    EXPECT_EQ(e, 0);
    EXPECT_EQ(texto, "Nenhuma leitura");
    EXPECT_TRUE(d.CancelaLeitura());
}

TEST(MemoriasLeitor, StatusPollsRaceTheReplacementOfTheReader) {
    // Several host threads poll while another keeps replacing the process-wide reader: no
    // poll may reach a freed reader or a half-written record.
    std::atomic<bool> fim{false};
    std::atomic<int> falhas{0}, polls{0};
    std::vector<std::thread> pollers;
    for (int i = 0; i < 3; ++i)
        pollers.emplace_back([&] {
            while (!fim) {
                int s = -1, e = -1, t = -1, p = -1;
                std::string texto;
                if (m::Leitor()->LeStatus(s, e, t, p, texto) != 1 || s != 0 || texto != "Nenhuma leitura")
                    ++falhas;
                ++polls;
            }
        });
    for (int i = 0; i < 40; ++i) m::SubstituiLeitor();
    while (polls < 200) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    fim = true;
    for (auto& t : pollers) t.join();
    EXPECT_EQ(falhas, 0);
}
