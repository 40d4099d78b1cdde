// The binding layer against the real libtarvo.so: the exact bytes of the call log, the
// operator-log texts of TrataRetorno, and the field checks. The printer is a scripted peer
// on a pseudo-terminal behind COM1 (TARVO_DEVDIR is this program's own scratch folder).
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>
#include <vector>

#include "chamada.h"
#include "comum/ambiente.h"
#include "comum/roteiro.h"
#include "console/binding/auxiliar.h"
#include "console/binding/compostas.h"
#include "console/binding/construtores.h"
#include "console/binding/ecf_dll.h"
#include "console/binding/log_dll.h"
#include "console/main/configuracao_console.h"
#include "platform/codepage.h"
#include "platform/ini.h"
#include "platform/pastas.h"

namespace {

using teste::Roteiro;

const plataforma::DataHora kAgora{2026, 3, 4, 5, 6, 7, 89};
const std::string kArquivo = "logDLL-20260304.txt";
const std::string kCarimbo = "05:06:07:089 > ";
const std::string kSep = "----------------\r\n";

std::string Dev() {
    return std::getenv("TARVO_DEVDIR");
}

// Answers every command with success, and the readings the test names with their data.
Roteiro::Responde Impressora(std::map<std::string, std::string> dados = {}) {
    return [dados](const std::string& q) {
        auto d = dados.find(Roteiro::Palavra(q));
        return teste::Resposta{{Roteiro::Quadro(Roteiro::Pacote(q), "0", d == dados.end() ? "" : d->second)}};
    };
}

class Ligacao : public ::testing::Test {
  protected:
    std::vector<std::string> log;
    void SetUp() override {
        std::filesystem::remove(kArquivo);
        belmora::DefineRelogioLogDLL([] { return kAgora; });
        belmora::DefineLogOperador([this](const std::string& l) { log.push_back(l); });
    }
    void TearDown() override {
        belmora::DefineRelogioLogDLL(nullptr);
        belmora::DefineLogOperador(nullptr);
        std::error_code ec;
        std::filesystem::remove_all(kArquivo, ec);
    }
};

TEST_F(Ligacao, ASuccessfulReadingIsLoggedWithItsOutValueAndTheSeparator) {
    Roteiro impressora(Dev(), "COM1", Impressora({{"LeTexto", "ValorTexto=\"ABC\""}}));
    std::string resposta(100, ' ');
    ASSERT_EQ(dll::Tarvo_ExecutaLeitura("LeTexto", "NomeTexto=\"X\"", resposta), 1);
    EXPECT_EQ(resposta, "ValorTexto=\"ABC\"");
    const std::string primeiro =
        kSep + kCarimbo + "Tarvo_ExecutaLeitura(\"LeTexto\",\"NomeTexto=\"X\"\", Retorno);\r\n" + kCarimbo +
        "Retorno da DLL: 1 (SUCESSO)\r\nRetorno=ValorTexto=\"ABC\"\r\n" + kSep;
    EXPECT_EQ(teste::LeArquivo(kArquivo), primeiro);
    // A second call appends to the day's file; a call without outputs has no value line.
    ASSERT_EQ(dll::Tarvo_ExecutaComando("AbreGaveta", ""), 1);
    EXPECT_EQ(teste::LeArquivo(kArquivo), primeiro + kCarimbo +
                                              "Tarvo_ExecutaComando(\"AbreGaveta\",\"\");\r\n" + kCarimbo +
                                              "Retorno da DLL: 1 (SUCESSO)\r\n" + kSep);
}

TEST_F(Ligacao, AFailureLeavesTwoLinesAndTheLastErrorIsReadBackThroughTheLog) {
    Roteiro impressora(Dev(), "COM1", [](const std::string& q) {
        return teste::Resposta{{Roteiro::Quadro(
            Roteiro::Pacote(q), "8005", "TextoErro=\"Aliquota nao programada\" Detalhe=\"indice 3\"")}};
    });
    int r = dll::Tarvo_ExecutaComando("VendeItem", "CodAliquota=3");
    ASSERT_EQ(r, 0);
    EXPECT_FALSE(belmora::TrataRetorno(r));
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0], "  <- Erro nº: 8005 - Aliquota nao programada - indice 3");
    EXPECT_EQ(teste::LeArquivo(kArquivo),
              kSep + kCarimbo + "Tarvo_ExecutaComando(\"VendeItem\",\"CodAliquota=3\");\r\n" + kCarimbo +
                  "Retorno da DLL: 0 (ERRO)\r\n" + kCarimbo + "Tarvo_RetornoImpressora(iCode, strMsg);\r\n" +
                  "iCode=8005\r\nstrMsg=Aliquota nao programada - indice 3\r\n" + kSep);
}

TEST_F(Ligacao, TwoOutputsShareOneLineJoinedByALineFeed) {
    Roteiro impressora(
        Dev(), "COM1",
        Impressora({{"LeData", "ValorData=#04/03/2026#"}, {"LeHora", "ValorHora=#05:06:07#"}}));
    std::string data, hora;
    ASSERT_EQ(dll::Tarvo_DataHoraImpressora(data, hora), 1);
    EXPECT_FALSE(data.empty());
    EXPECT_FALSE(hora.empty());
    EXPECT_EQ(teste::LeArquivo(kArquivo),
              kSep + kCarimbo + "Tarvo_DataHoraImpressora(strData, strHora);\r\n" + kCarimbo +
                  "Retorno da DLL: 1 (SUCESSO)\r\nstrData=" + data + "\nstrHora=" + hora + "\r\n" + kSep);
}

TEST_F(Ligacao, RecordsOfManyThreadsStayWhole) {
    // The fiscal-file workers write the log from their own threads.
    constexpr int kFios = 8, kVezes = 50;
    std::vector<std::thread> fios;
    for (int f = 0; f < kFios; ++f)
        fios.emplace_back([f] {
            for (int i = 0; i < kVezes; ++i)
                belmora::GravaLogDLL("Fio" + std::to_string(f) + "();", "v=" + std::to_string(i), 1);
        });
    for (auto& f : fios) f.join();
    std::string texto = teste::LeArquivo(kArquivo);
    std::string registro =
        kCarimbo + "FioN();\r\n" + kCarimbo + "Retorno da DLL: 1 (SUCESSO)\r\nv=I\r\n" + kSep;
    ASSERT_EQ(texto.rfind(kSep, 0), 0u);
    std::size_t pos = kSep.size();
    int registros = 0;
    while (pos < texto.size()) {
        // Each record is the call line, the result line, the value and the separator, in one piece.
        std::size_t fim = texto.find(kSep, pos);
        ASSERT_NE(fim, std::string::npos);
        std::string r = texto.substr(pos, fim + kSep.size() - pos);
        ASSERT_EQ(r.rfind(kCarimbo + "Fio", 0), 0u) << r;
        EXPECT_NE(r.find("();\r\n" + kCarimbo + "Retorno da DLL: 1 (SUCESSO)\r\nv="), std::string::npos) << r;
        pos = fim + kSep.size();
        ++registros;
    }
    EXPECT_EQ(registros, kFios * kVezes);
}

TEST_F(Ligacao, ALogThatCannotBeWrittenDoesNotFailASuccessfulCall) {
    std::filesystem::create_directory(kArquivo);  // the log's name is taken by a folder
    Roteiro impressora(Dev(), "COM1", Impressora({{"LeTexto", "ValorTexto=\"ABC\""}}));
    std::string resposta(100, ' ');
    EXPECT_EQ(dll::Tarvo_ExecutaLeitura("LeTexto", "", resposta), 1);
    EXPECT_EQ(resposta, "ValorTexto=\"ABC\"");
    EXPECT_TRUE(belmora::TrataRetorno(1));
    EXPECT_TRUE(log.empty());
    EXPECT_FALSE(belmora::GravaLogDLL("X();", "", 1));
}

TEST_F(Ligacao, AnAnswerLongerThanTheCallersTextCannotOverrunIt) {
    // The caller's text gives the buffer's length, but never less than the export writes.
    std::string longo(3000, 'x');
    Roteiro impressora(Dev(), "COM1", Impressora({{"LeTexto", "ValorTexto=\"" + longo + "\""}}));
    std::string resposta(4, ' ');
    ASSERT_EQ(dll::Tarvo_ExecutaLeitura("LeTexto", "", resposta), 1);
    EXPECT_EQ(resposta, "ValorTexto=\"" + longo + "\"");
}

TEST_F(Ligacao, CompositeReadingsCutTheirRepliesAndReportNothingAfterAFailure) {
    {
        Roteiro impressora(Dev(), "COM1", Impressora({{"LeData", "ValorData=#01/05/2011#"}}));
        std::string data;
        ASSERT_EQ(dll::Tarvo_DataReducao(12, data), 1);
        EXPECT_EQ(data, "01/05/2011");
        EXPECT_EQ(impressora.Comandos().back(), "LeData;NomeData=\"DataReducao[12]\"");
    }
    EXPECT_EQ(teste::LeArquivo(kArquivo),
              kSep + kCarimbo + "Tarvo_DataReducao(CRZ, strData);\r\n" + kCarimbo +
                  "Retorno da DLL: 1 (SUCESSO)\r\nCRZ=12\nstrData=01/05/2011\r\n" + kSep);
    std::filesystem::remove(kArquivo);
    {
        // A printer that refuses every command: the six flags stay false.
        Roteiro impressora(Dev(), "COM1", [](const std::string& q) {
            return teste::Resposta{
                {Roteiro::Quadro(Roteiro::Pacote(q), "1", "TextoErro=\"x\" Detalhe=\"y\"")}};
        });
        dll::FlagsFiscais f{true, true, true, true, true, true};
        EXPECT_NE(dll::DecodificaFlagsFiscais(f), 1);
        EXPECT_FALSE(f.bit1 || f.bit2 || f.bit4 || f.bit8 || f.bit32 || f.bit128);
    }
    std::string texto = teste::LeArquivo(kArquivo);
    const std::string chamada = kSep + kCarimbo + "Tarvo_FlagsFiscaisStr(strFlag);\r\n";
    EXPECT_EQ(texto.substr(0, chamada.size()), chamada);
    EXPECT_NE(texto.find("(ERRO)\r\n"), std::string::npos);
    EXPECT_EQ(texto.find("strFlag="), std::string::npos);
}

TEST(RetornoDoDriver, TextsOfTheResultCodes) {
    std::vector<std::string> log;
    belmora::DefineLogOperador([&](const std::string& l) { log.push_back(l); });
    EXPECT_TRUE(belmora::TrataRetorno(1));
    EXPECT_TRUE(log.empty());
    for (int r : {-2, -4, -5, -6, -27, -8, -1, 2}) EXPECT_FALSE(belmora::TrataRetorno(r));
    belmora::DefineLogOperador(nullptr);
    const std::vector<std::string> esperado = {
        "  <- Erro Nº: -2 - Parâmetro inválido",
        "  <- Erro Nº: -4 - Arquivo ini não encontrado ou parâmetro inválido para o nome da porta",
        "  <- Erro Nº: -5 - Erro ao abrir a porta de comunicação",
        "  <- Erro Nº: -6 - Impressora desligada ou cabo de comunicação desconectado",
        "  <- Erro Nº: -27 - Status da impressora diferente de 6,0,0,0 (Ack, St1, St2 e St3)",
        "  <- Erro não identificado",
        "  <- Erro não identificado",
        "  <- Erro não identificado",
    };
    EXPECT_EQ(log, esperado);
}

TEST(TextosDeChamada, SpecialCallTextsOfTheTable) {
    using belmora::ligacao::Chamada;
    std::string a(5, ' '), b, c, d, e, f, g;
    {
        Chamada ch("Tarvo_ValorFormaPagamento");
        ch.Texto("s1", "Dinheiro");
        ch.Saida("strRetorno", a, 10);
        EXPECT_EQ(ch.TextoChamada(), "Tarvo_ValorFormaPagamento(\"Dinheiro\", strRetorno);");
    }
    {
        Chamada ch("Tarvo_LeNomeRelatorioGerencial");
        ch.Texto("s1", "01");
        ch.Saida("Nome", a, 10);
        EXPECT_EQ(ch.TextoChamada(), "Tarvo_LeNomeRelatorioGerencial(\"01\",Nome);");
    }
    {
        Chamada ch("Tarvo_VendeItem");
        ch.Texto("s1", "1");
        ch.Texto("s2", "Caf\xE9");
        ch.Inteiro("i6", 2);
        EXPECT_EQ(ch.TextoChamada(), "Tarvo_VendeItem(\"1\",\"Caf\xE9\",2);");
        EXPECT_EQ(ch.TextoValores(), "");
    }
    {
        Chamada ch("Tarvo_LeParametrosPAF");
        const char* nomes[] = {"CNPJ", "Data", "Hora", "NumSerie", "NumECF", "GT"};
        std::string* saidas[] = {&a, &b, &c, &d, &e, &f};
        for (int i = 0; i < 6; ++i) ch.Saida(nomes[i], *saidas[i], 512);
        EXPECT_EQ(ch.TextoChamada(), "Tarvo_LeParametrosPAF( CNPJ, Data, Hora, NumSerie, NumECF, GT );");
        // The buffers the wrapper makes itself: 18, 6, 6, 21, 4 and 20 blanks.
        EXPECT_EQ(a.size(), 18u);
        EXPECT_EQ(f.size(), 20u);
        EXPECT_EQ(ch.TextoValores().substr(ch.TextoValores().rfind('\n') + 1), "GrandeTotal=" + f);
    }
    {
        Chamada ch("Tarvo_AcionaGuilhotinaMFD");
        ch.Inteiro("iTipoCorte", 1);
        EXPECT_EQ(ch.TextoChamada(), "Tarvo_AcionaGuilhotinaMFD(iTipoCorte);");
        EXPECT_EQ(ch.TextoValores(), "iTipoCorte=1");
    }
    {
        Chamada ch("Tarvo_LeMemoriasBinario");
        ch.Texto("szNomeArquivo", "a.tdm");
        ch.Texto("szSerieECF", "BE0001");
        ch.Inteiro("bAguardaConcluirLeitura", 1);
        EXPECT_EQ(ch.TextoChamada(), "LeMemoriasBinario(szNomeArquivo,szSerieECF,bAguardaConcluirLeitura);");
        EXPECT_EQ(ch.TextoValores(), "szNomeArquivo=a.tdm szSerieECF=BE0001 bAguardaConcluirLeitura=-1");
    }
    {
        // The ATO exports of the same family: integers and the name buffer by their names.
        Chamada ch("Tarvo_GeraRFDBinario");
        ch.Texto("periodoInicial", "01/03/2010");
        ch.Texto("periodoFinal", "31/03/2010");
        ch.Inteiro("tipoPeriodo", 1);
        ch.Inteiro("tipoLeitura", 0);
        std::string nome = "a.txt";
        ch.Saida("nomeArquivo", nome, 256);
        EXPECT_EQ(ch.TextoChamada(),
                  "GeraRFDBinario(periodoInicial,periodoFinal,tipoPeriodo,tipoLeitura,nomeArquivo);");
        EXPECT_EQ(ch.TextoValores(),
                  "periodoInicial=01/03/2010 periodoFinal=31/03/2010 tipoPeriodo=1 tipoLeitura=0 "
                  "nomeArquivo=a.txt");
    }
    {
        Chamada ch("Tarvo_ConverteATO17ParaPAFRJ");
        ch.Texto("ArquivoATO17", "a.txt");
        EXPECT_EQ(ch.TextoChamada(), "ConverteATO17ParaPAFRJ(ArquivoATO17);");
        EXPECT_EQ(ch.TextoValores(), "ArquivoATO17=a.txt");
    }
    {
        Chamada ch("Tarvo_LeCodigoNacionalIdentificacaoECF");
        ch.Saida("CNI", g, 7);
        EXPECT_EQ(ch.TextoChamada(), "Tarvo_LeCodigoNacionalIdentificacaoECF( CNI );");
        EXPECT_EQ(g, "      ");
    }
}

TEST(Construtores, ParameterTextsOfTheNamedParameterCommands) {
    namespace p = dll::parametros;
    EXPECT_EQ(p::EmiteLeituraFitaDetalhe("1", "9", 0), "COOInicial=0");
    EXPECT_EQ(p::EmiteLeituraFitaDetalhe("01/05/2011", "31/05/2011", 1),
              "Destino=\"i\" DataInicial=#01/05/2011# DataFinal=#31/05/2011#");
    EXPECT_EQ(p::EmiteLeituraFitaDetalhe("10", "20", 2), "Destino=\"i\" COOInicial=10 COOFinal=20");
    EXPECT_EQ(p::DefineNaoFiscal("", "Vale", "", "Entrada"), " NomeNaoFiscal=\"Vale\" TipoNaoFiscal=Yes");
    EXPECT_EQ(p::DefineNaoFiscal("3", "Vale", "Vale gas", "Saida"),
              " CodNaoFiscal=3 NomeNaoFiscal=\"Vale\" DescricaoNaoFiscal=\"Vale gas\" TipoNaoFiscal=No");
    EXPECT_EQ(p::DefineAliquota("1", "18,00", "", "ICMS"),
              " CodAliquotaProgramavel=1 PercentualAliquota=18,00 AliquotaICMS=Yes");
    EXPECT_EQ(p::DefineMeioPagamento("2", "", "Cart\xE3o", "Yes"),
              " CodMeioPagamentoProgram=2 NomeMeioPagamento=\"Cart\\xC6o\" PermiteVinculado=Yes");
    EXPECT_EQ(p::DefineDadosCabecalho("Loja X", "1", "2", "", "", ""),
              "Loja=1 ECF=2 TextoCabecalho=\"Loja X\"");
    EXPECT_EQ(p::DefineProprietario("11222333000181", "123", "", "999"),
              "CNPJ=\"11222333000181\" InscricaoEstadual=\"123\" Senha=999");
    EXPECT_EQ(
        p::IniciaFitaDetalhe("BE01", "11222333000181", "1", "2", "9"),
        "NumSerie=\"BE01\" CNPJ=\"11222333000181\" InscricaoEstadual=\"1\" InscricaoMunicipal=\"2\" Senha=9");
    EXPECT_EQ(p::ProgramaRelogio("04/03/2026", "10:00:00"), " Data=#04/03/2026# Hora=#10:00:00#");
    // A double quote in a name cannot end the value and smuggle parameters in.
    EXPECT_EQ(p::ExcluiGerencial("1", "A\" Senha=1"), " CodGerencial=1 NomeGerencial=\"A\\x22 Senha=1\"");
}

TEST(Construtores, AccentedLettersGoAsCodePage850Escapes) {
    using plataforma::Utf8ParaCp1252;
    EXPECT_EQ(dll::ConverteAcentos(Utf8ParaCp1252("Cartão")), "Cart\\xC6o");
    EXPECT_EQ(dll::ConverteAcentos(Utf8ParaCp1252("Crédito")), "Cr\\x82dito");
    EXPECT_EQ(dll::ConverteAcentos(Utf8ParaCp1252("ÀÁÇÈÉÍÓ")), "\\xB7\\xB5\\x80\\xD4\\x90\\xD6\\xE0");
    // Letters outside the table, and everything outside 192..249, pass unchanged.
    EXPECT_EQ(dll::ConverteAcentos(Utf8ParaCp1252("ÂÊÔÕÚôúüí")), Utf8ParaCp1252("ÂÊÔÕÚôúüí"));
    EXPECT_EQ(dll::ConverteAcentos(Utf8ParaCp1252("ù")), "\\xA1");
    EXPECT_EQ(dll::ConverteAcentos(""), "");
}

TEST(Campos, CpfAndCnpjCheckDigits) {
    EXPECT_TRUE(belmora::ValidaCPF("52998224725"));
    EXPECT_FALSE(belmora::ValidaCPF("52998224726"));
    EXPECT_TRUE(belmora::ValidaCNPJ("11222333000181"));
    EXPECT_FALSE(belmora::ValidaCNPJ("11222333000182"));
    // One digit repeated passes the check digits but is no number at all.
    EXPECT_FALSE(belmora::ValidaCPF("11111111111"));
    EXPECT_FALSE(belmora::ValidaCPF("00000000000"));
    EXPECT_FALSE(belmora::ValidaCNPJ("00000000000000"));
    EXPECT_FALSE(belmora::ValidaCNPJ("11111111111180") && belmora::ValidaCNPJ("99999999999999"));
    // Anything but digits is refused, never raised.
    EXPECT_FALSE(belmora::ValidaCPF("5299822472a"));
    EXPECT_FALSE(belmora::ValidaCPF("529.982.247-25"));
    EXPECT_FALSE(belmora::ValidaCNPJ("11.222.333/0001-81"));
    EXPECT_FALSE(belmora::ValidaCNPJ("1122233300018 "));
    EXPECT_FALSE(belmora::ValidaCNPJ("1122233300018"));
    EXPECT_FALSE(belmora::ValidaCPF(""));
}

TEST(Campos, RatesAndIntegers) {
    EXPECT_EQ(belmora::FormataAliquota("7,5"), "07,50");
    EXPECT_EQ(belmora::FormataAliquota("18,00"), "18,00");
    EXPECT_EQ(belmora::FormataAliquota("123,456"), "23,45");
    EXPECT_EQ(belmora::FormataAliquota(" 5 , 1 "), "05,10");
    EXPECT_EQ(belmora::FormataAliquota("5"), "5");
    EXPECT_TRUE(belmora::EhInteiro("2147483647"));
    EXPECT_TRUE(belmora::EhInteiro("-2147483648"));
    EXPECT_FALSE(belmora::EhInteiro("2147483648"));
    EXPECT_FALSE(belmora::EhInteiro(""));
    EXPECT_FALSE(belmora::EhInteiro("12a"));
    EXPECT_FALSE(belmora::EhInteiro("-"));
}

TEST(Configuracao, FoldersStillAtTheDriveRootAreWrittenBack) {
    std::string ini = belmora::ArquivoIniConsole();
    teste::EscreveArquivo(ini, "[Sistema]\r\nPath=C:\\\r\nPathRFD=c:\\\r\nPorta=COM3\r\n");
    belmora::ConfiguracaoConsole c = belmora::LeConfiguracaoConsole();
    std::string programa = plataforma::PastaPrograma();
    EXPECT_EQ(c.Path, programa + "RFDTemp/");
    EXPECT_EQ(c.PathRFD, "c:\\");
    EXPECT_EQ(c.PathTDM, programa + "MemoriasTDM/");
    EXPECT_EQ(c.TimeOutComandos, "6");
    EXPECT_EQ(plataforma::ArquivoIni::LeChave(ini, "Sistema", "Path"), programa + "RFDTemp/");
    EXPECT_EQ(plataforma::ArquivoIni::LeChave(ini, "Sistema", "PathRFD"), "c:\\");
    EXPECT_EQ(plataforma::ArquivoIni::LeChave(ini, "Sistema", "PathTDM"), programa + "MemoriasTDM/");
    EXPECT_FALSE(plataforma::ArquivoIni(ini).Existe("Sistema", "TimeOutComandos"));
    EXPECT_EQ(belmora::PortaAtual(), "COM3");
}

TEST(LogDoOperador, SavedLogsNeverCollideNorOverwrite) {
    teste::PastaTemporaria pasta;
    std::vector<std::string> linhas = {"-> Conectando ECF", "<- Operação executada com Sucesso!"};
    // 11 January and 1 November at 1:05 would both be "log_2009111105" without the zeros.
    std::string a = belmora::SalvaLogOperador(linhas, pasta.Caminho(), {2009, 1, 11, 1, 5, 0, 0});
    std::string b = belmora::SalvaLogOperador({"outro"}, pasta.Caminho(), {2009, 11, 1, 1, 5, 0, 0});
    EXPECT_EQ(a, pasta / "log_200901110105.txt");
    EXPECT_EQ(b, pasta / "log_200911010105.txt");
    // A second save in the same minute keeps the first.
    std::string c = belmora::SalvaLogOperador({"terceiro"}, pasta.Caminho(), {2009, 1, 11, 1, 5, 30, 0});
    EXPECT_EQ(c, pasta / "log_200901110105_2.txt");
    EXPECT_EQ(teste::LeArquivo(a), "-> Conectando ECF\r\n<- Opera\xE7\xE3o executada com Sucesso!\r\n");
    EXPECT_EQ(teste::LeArquivo(c), "terceiro\r\n");
}

}  // namespace
