// ATO files from a month of the emulated printer: the real libtarvo.so with our libleitura.so
// and libato17.so, each scenario in a child process that starts the emulator itself.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <thread>

#include "comum/emulado.h"

namespace {

namespace fs = std::filesystem;
using teste::EscreveArquivo;
using teste::LeArquivo;

const std::string kSerie = "TV010500000000012345";

// libtarvo.so loaded from a given path, with the exports these tests call most.
class Biblioteca : public teste::Tarvo {
  public:
    using Tarvo::Tarvo;
    int LeMemorias(const std::string& dump, unsigned char aguarda) const {
        return Funcao<int(const char*, const char*, unsigned char)>("Tarvo_LeMemoriasBinario")(
            dump.c_str(), kSerie.c_str(), aguarda);
    }
    int Gera(const std::string& dump, const std::string& saida, const char* inicio, const char* fim, int tipo,
             const char* leitura = "TDM") const {
        return Funcao<int(const char*, const char*, const char*, const char*, int, const char*, const char*)>(
            "Tarvo_GeraArquivoATO17Binario")(dump.c_str(), saida.c_str(), inicio, fim, tipo, "01", leitura);
    }
    int GeraRFD(const char* inicio, const char* fim, int tipo, int leitura, char* nome) const {
        return Funcao<int(const char*, const char*, int, int, char*)>("Tarvo_GeraRFDBinario")(
            inicio, fim, tipo, leitura, nome);
    }
};

// Lines of a file by type ("E12" ...), each checked at its type's width.
std::map<std::string, std::vector<std::string>> PorTipo(const std::string& arquivo) {
    static const std::map<std::string, std::size_t> kLargura = {
        {"E01", 166}, {"E02", 272}, {"E11", 136}, {"E12", 101}, {"E13", 72},  {"E14", 191},
        {"E15", 267}, {"E16", 90},  {"E17", 80},  {"E18", 80},  {"E21", 106}, {"EAD", 259}};
    std::map<std::string, std::vector<std::string>> r;
    std::string texto = LeArquivo(arquivo);
    EXPECT_FALSE(texto.empty()) << arquivo;
    for (std::size_t i = 0; i < texto.size();) {
        std::size_t fim = texto.find("\r\n", i);
        EXPECT_NE(fim, std::string::npos) << "a line without its CR LF";
        if (fim == std::string::npos) break;
        std::string l = texto.substr(i, fim - i);
        i = fim + 2;
        std::string tipo = l.substr(0, 3);
        auto w = kLargura.find(tipo);
        EXPECT_TRUE(w != kLargura.end()) << l;
        if (w != kLargura.end()) {
            EXPECT_EQ(l.size(), w->second) << l;
        }
        r[tipo].push_back(l);
    }
    return r;
}

std::set<std::string> Tipos(const std::map<std::string, std::vector<std::string>>& m) {
    std::set<std::string> r;
    for (const auto& [t, v] : m) r.insert(t);
    return r;
}

std::string N(std::int64_t v, int w) {
    std::string s = std::to_string(v);
    return std::string(static_cast<std::size_t>(w) - s.size(), '0') + s;
}

// Whether the EAD line closing `texto` is the signature of every byte before it under the public
// half of the stand-in's test key.
bool AssinaturaConfere(const std::string& texto) {
    const std::size_t ead = texto.rfind("\r\nEAD");
    if (ead == std::string::npos) return false;
    const std::string corpo = texto.substr(0, ead + 2), hex = texto.substr(ead + 5, 256);
    unsigned char assinatura[128];
    for (std::size_t i = 0; i < sizeof assinatura; ++i)
        assinatura[i] = static_cast<unsigned char>(std::stoi(hex.substr(2 * i, 2), nullptr, 16));
    std::FILE* f = std::fopen(CHAVE_PUBLICA, "r");
    if (!f) return false;
    EVP_PKEY* chave = PEM_read_PUBKEY(f, nullptr, nullptr, nullptr);
    std::fclose(f);
    EVP_MD_CTX* ctx = EVP_MD_CTX_new();
    const bool ok = chave && ctx && EVP_DigestVerifyInit(ctx, nullptr, EVP_md5(), nullptr, chave) == 1 &&
                    EVP_DigestVerify(ctx, assinatura, sizeof assinatura,
                                     reinterpret_cast<const unsigned char*>(corpo.data()), corpo.size()) == 1;
    EVP_MD_CTX_free(ctx);
    EVP_PKEY_free(chave);
    return ok;
}

class AtoMes : public teste::EmuladorNoFilho {
  protected:
    teste::PastaTemporaria sozinha;

    // With the log, PathRFD (the program folder's "rfd" unless given) and PathTDM.
    void Roda(const std::string& ini, const std::function<void(Biblioteca&, emulador::Emulador&)>& corpo,
              const std::string& lib = TARVO_LIB, std::string pathRfd = "") {
        if (pathRfd.empty()) pathRfd = home / "rfd/";
        fs::create_directories(home / "rfd");
        fs::create_directories(home / "tdm");
        RodaCom<Biblioteca>(
            "Homologar=1\r\nPathRFD=" + pathRfd + "\r\nPathTDM=" + home / "tdm/" + "\r\n" + ini, corpo, lib);
    }

    // Days of March 2010 from the 1st, then the 1st and 2nd of April: a receipt of two items
    // (the second with `d` in its price) paid in cash, a management report, and the Z.
    static void Mes(Biblioteca& t, emulador::Emulador& e, int diasMarco) {
        std::vector<std::pair<int, int>> dias;
        for (int d = 1; d <= diasMarco; ++d) dias.push_back({3, d});
        dias.push_back({4, 1});
        dias.push_back({4, 2});
        for (auto [mes, dia] : dias) {
            e.Altera([&](emulador::Impressora& p) {
                p.AjustaRelogio(emulador::DataHora{2010, mes, dia, 9, 0, 0});
            });
            const std::string preco = std::to_string(dia) + ",50";
            const std::pair<const char*, std::string> passos[] = {
                {"AbreCupomFiscal", ""},
                {"VendeItem",
                 "CodAliquota=0 CodProduto=\"1\" NomeProduto=\"PAO\" PrecoUnitario=1,00 Quantidade=3,000"},
                {"VendeItem", "CodAliquota=-2 CodProduto=\"2\" NomeProduto=\"OLEO\" PrecoUnitario=" + preco +
                                  " Quantidade=1,000"},
                {"PagaCupom", "CodMeioPagamento=-2 Valor=100,00"},
                {"EncerraDocumento", ""},
                {"AbreGerencial", "CodGerencial=0"},
                {"EncerraDocumento", ""},
                {"EmiteReducaoZ", ""},
            };
            for (const auto& [comando, parametros] : passos)
                ASSERT_EQ(t.Comando(comando, parametros), 1) << comando << ": " << t.UltimoErro().second;
        }
    }
};

TEST_F(AtoMes, AMonthsDumpBecomesFilesByDatesByMonthAndByCountersCheckedAgainstThePrinter) {
    Roda("", [&](Biblioteca& t, emulador::Emulador& e) {
        Mes(t, e, 6);
        if (HasFatalFailure()) return;
        const std::string dump = atual / "mes.tdm";
        ASSERT_EQ(t.LeMemorias(dump, 1), 1) << t.UltimoErro().second;
        emulador::Impressora p = e.Impressora();
        ASSERT_EQ(p.memoriaFiscal.size(), 8u);

        // Days 3 to 5 of March: three reductions, three receipts, their items and payments.
        const std::string dias = atual / "dias.txt";
        ASSERT_EQ(t.Gera(dump, dias, "03/03/2010", "05/03/2010", 'D'), 1);
        auto l = PorTipo(dias);
        ASSERT_EQ(l["E12"].size(), 3u);
        for (int i = 0; i < 3; ++i) {
            const auto& z = p.memoriaFiscal[static_cast<std::size_t>(i + 2)];
            const std::string& e12 = l["E12"][static_cast<std::size_t>(i)];
            EXPECT_EQ(e12.substr(46, 18), N(z.crz, 6) + N(z.coo, 6) + N(z.cro, 6)) << e12;
            EXPECT_EQ(e12.substr(64, 8), "201003" + N(z.movimento.dia, 2));
            EXPECT_EQ(e12.substr(86, 14), N(z.VendaBruta(), 14));
            EXPECT_EQ(z.VendaBruta(), 300 + (i + 3) * 100 + 50);
        }
        EXPECT_EQ(l["E14"].size(), 3u);
        EXPECT_EQ(l["E15"].size(), 6u);
        EXPECT_EQ(l["E21"].size(), 3u);
        EXPECT_EQ(l["E16"].size(), 6u);  // the reports and the reductions
        EXPECT_EQ(l["E01"].size(), 1u);
        EXPECT_EQ(l["E01"][0].substr(112, 31),
                  "TDM000003000005"
                  "2010030320100305");
        EXPECT_EQ(l["E14"][1].substr(66, 14), N(300 + 4 * 100 + 50, 14));  // the 4th's receipt
        // The EAD line (its width checked above): the signature under the stand-in's test key.
        std::string texto = LeArquivo(dias);
        EXPECT_TRUE(AssinaturaConfere(texto));
        texto[texto.size() / 2] ^= 1;
        EXPECT_FALSE(AssinaturaConfere(texto));

        // The month by movement date, the period given as yyyymmdd: March only.
        const std::string mes = atual / "mes.txt";
        ASSERT_EQ(t.Gera(dump, mes, "20100301", "20100331", 'M'), 1);
        l = PorTipo(mes);
        EXPECT_EQ(l["E12"].size(), 6u);
        EXPECT_EQ(l["E14"].size(), 6u);

        // By counters, the character in the low byte of the integer: reductions 7 and 8 (April).
        const std::string crz = atual / "crz.txt";
        ASSERT_EQ(t.Gera(dump, crz, "7", "8", 0x4300 | 'C'), 1);
        l = PorTipo(crz);
        ASSERT_EQ(l["E12"].size(), 2u);
        EXPECT_EQ(l["E12"][0].substr(64, 8), "20100401");
        EXPECT_EQ(l["E01"][0].substr(112, 31),
                  "TDM000007000008"
                  "2010040120100402");

        // Each reading type gives its own lines.
        const std::string so = atual / "so.txt";
        ASSERT_EQ(t.Gera(dump, so, "01/03/2010", "31/03/2010", 'M', "MF"), 1);
        EXPECT_EQ(Tipos(PorTipo(so)), (std::set<std::string>{"E01", "E02", "E11", "E12", "E13", "EAD"}));
        ASSERT_EQ(t.Gera(dump, so, "01/03/2010", "31/03/2010", 'M', "MFD"), 1);
        l = PorTipo(so);
        EXPECT_EQ(Tipos(l),
                  (std::set<std::string>{"E01", "E02", "E14", "E15", "E16", "E17", "E18", "E21", "EAD"}));
        EXPECT_EQ(l["E01"][0].substr(112, 3), "MFD");
        ASSERT_EQ(t.Gera(dump, so, "01/03/2010", "31/03/2010", 'M', "TDM"), 1);
        EXPECT_EQ(Tipos(PorTipo(so)), (std::set<std::string>{"E01", "E02", "E11", "E12", "E13", "E14", "E15",
                                                             "E16", "E17", "E18", "E21", "EAD"}));
        // The converter's call is logged as it was made.
        EXPECT_NE(
            LeArquivo(atual / "LOG.DAT").find("DLLATO17GeraArquivo(" + dump + "," + crz + ",7,8,C,01,TDM)"),
            std::string::npos);
    });
}

TEST_F(AtoMes, TheRfdExportsReadConvertNameTheirFileAndTheRjExportWritesThePafRjForm) {
    Roda("", [&](Biblioteca& t, emulador::Emulador& e) {
        Mes(t, e, 3);
        if (HasFatalFailure()) return;
        char nome[256 + 8];
        std::memset(nome, ' ', sizeof nome);
        nome[255] = '\0';
        ASSERT_EQ(t.GeraRFD("01/03/2010", "31/03/2010", 5, 7, nome), 1) << t.UltimoErro().second;
        const std::string esperado = home / ("rfd/" + kSerie + ".txt");
        EXPECT_EQ(std::string(nome), esperado);
        for (std::size_t i = 256; i < sizeof nome; ++i) EXPECT_EQ(nome[i], ' ');
        EXPECT_EQ(PorTipo(esperado)["E12"].size(), 3u);
        EXPECT_TRUE(fs::exists(home / "tdm/MemoriasTV02345.tdm"));
        std::string log = LeArquivo(atual / "LOG.DAT");
        EXPECT_NE(log.find("Lendo as mem\xF3rias do ECF..."), std::string::npos);
        EXPECT_NE(log.find("GeraArquivoATO17( " + home / "tdm/MemoriasTV02345.tdm" + "," + esperado +
                           ",01/03/2010,31/03/2010,M,01,TDM )"),
                  std::string::npos);
        EXPECT_NE(log.find("Retorno da fun\xE7\xE3o Tarvo_GeraRFDBinario:1 - "), std::string::npos);

        // By counters: the dates of reductions 2 and 3, the detail tape only.
        auto crz = t.Funcao<int(const char*, const char*, int, int, char*)>("Tarvo_GeraRFDBinarioCRZ");
        ASSERT_EQ(crz("2", "3", 0, 2, nome), 1) << t.UltimoErro().second;
        auto l = PorTipo(esperado);
        EXPECT_EQ(l["E14"].size(), 2u);
        EXPECT_EQ(l["E12"].size(), 0u);
        EXPECT_NE(LeArquivo(atual / "LOG.DAT")
                      .find("Tarvo_GeraRFDBinarioCRZ=>Data Inicial:20100302;Data final:20100303"),
                  std::string::npos);
        // A counter with no reduction: its own failure, never a success.
        EXPECT_NE(crz("2", "99", 0, 2, nome), 1);
        EXPECT_EQ(t.UltimoErro().second, "Falha ao ler a data da Redu\xE7\xE3o Z n\xBA 99");

        // The RJ export: the detail-tape file and its PAF-RJ form beside it.
        auto rj = t.Funcao<int(const char*, const char*, int)>("Tarvo_GeraRFDBinarioRJ");
        ASSERT_EQ(rj("01/03/2010", "31/03/2010", 1), 1) << t.UltimoErro().second;
        auto paf = PorTipo(home / ("rfd/PAF-RJ_" + kSerie + ".txt"));
        EXPECT_EQ(Tipos(paf),
                  (std::set<std::string>{"E01", "E02", "E14", "E15", "E16", "E17", "E18", "E21"}));
        EXPECT_EQ(paf["E01"][0].substr(112, 3), "MFD");
        EXPECT_EQ(paf["E14"].size(), 3u);
        EXPECT_NE(LeArquivo(atual / "LOG.DAT").find("Retorno da fun\xE7\xE3o Tarvo_GeraRFDBinarioRJ:1 - "),
                  std::string::npos);
    });
}

TEST_F(AtoMes, AZReductionMakesItsFileThroughTheStandInsWhenTheDumpWayIsChosen) {
    Roda("GERA_RFD_REDZ=1\r\nTIPO_GERA_RFD_REDZ=1\r\nCorrigeRelogioZ=0\r\n", [&](Biblioteca& t,
                                                                                 emulador::Emulador& e) {
        e.Altera([](emulador::Impressora& p) { p.AjustaRelogio(emulador::DataHora{2010, 3, 9, 9, 0, 0}); });
        ASSERT_EQ(t.Comando("AbreCupomFiscal", ""), 1);
        ASSERT_EQ(t.Comando("VendeItem",
                            "CodAliquota=0 CodProduto=\"1\" NomeProduto=\"PAO\" PrecoUnitario=1,00 "
                            "Quantidade=1,000"),
                  1);
        ASSERT_EQ(t.Comando("PagaCupom", "CodMeioPagamento=-2 Valor=1,00"), 1);
        ASSERT_EQ(t.Comando("EncerraDocumento", ""), 1);
        ASSERT_EQ(t.Funcao<int(const char*, const char*)>("Tarvo_ReducaoZ")("", ""), 1)
            << t.UltimoErro().second;
        // 9 March 2010: day 9, month 3, year 10 (A).
        auto l = PorTipo(home / "rfd/TV02345.93A");
        ASSERT_EQ(l["E12"].size(), 1u);
        EXPECT_EQ(l["E12"][0].substr(46, 6), "000001");
        EXPECT_EQ(l["E14"].size(), 1u);
        EXPECT_NE(LeArquivo(atual / "LOG.DAT").find("Retorno da fun\xE7\xE3o RFD_ConvertedaMFD: 1"),
                  std::string::npos);
    });
}

TEST_F(AtoMes, ANameThatWouldNotFitTheBufferIsRefusedBeforeTheReading) {
    const std::string longa = home / (std::string(240, 'p') + "/");
    Roda(
        "",
        [&](Biblioteca& t, emulador::Emulador&) {
            char nome[256];
            std::memset(nome, 'x', sizeof nome);
            nome[255] = '\0';
            EXPECT_EQ(t.GeraRFD("01/03/2010", "31/03/2010", 1, 0, nome), 16393);
            EXPECT_EQ(std::string(nome), std::string(255, 'x'));
            EXPECT_FALSE(fs::exists(home / "tdm/MemoriasTV02345.tdm"));  // nothing was read
            EXPECT_EQ(t.UltimoErro().first, 16393);
        },
        TARVO_LIB, longa);
}

TEST_F(AtoMes, ADumpCutByACancelIsRefusedAsIncomplete) {
    Roda("", [&](Biblioteca& t, emulador::Emulador& e) {
        Mes(t, e, 1);
        if (HasFatalFailure()) return;
        e.Altera([](emulador::Impressora& p) {
            emulador::Documento modelo = p.fita.back();
            for (int i = 0; i < 300; ++i) {
                modelo.coo = ++p.contadores.coo;
                p.fita.push_back(modelo);
            }
        });
        e.Atrasa(20, -1);
        const std::string dump = atual / "cortado.tdm";
        ASSERT_EQ(t.LeMemorias(dump, 0), 1);
        auto status = t.Funcao<int(int*, int*, int*, int*, char*)>("Tarvo_LeStatusGeraBinario");
        int situacao = 0, codigo = 0, tamanho = 0, progresso = 0;
        char texto[129];
        auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        do {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            status(&situacao, &codigo, &tamanho, &progresso, texto);
        } while (progresso <= 0 && situacao < 256 && std::chrono::steady_clock::now() < limite);
        ASSERT_EQ(situacao, 112);
        EXPECT_EQ(t.Funcao<int()>("Tarvo_CancelaLeituraBinario")(), 1);
        do {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            status(&situacao, &codigo, &tamanho, &progresso, texto);
        } while (situacao != 1024 && situacao != 256 && std::chrono::steady_clock::now() < limite);
        ASSERT_EQ(situacao, 1024);
        e.LimpaFalhas();
        EXPECT_EQ(t.Gera(dump, atual / "x.txt", "01/03/2010", "31/03/2010", 'M'), 16394);
        EXPECT_FALSE(fs::exists(atual / "x.txt"));
    });
}

TEST_F(AtoMes, EachOutsideLibraryMissingIsAFailureWithItsMessageAndNeverACrash) {
    // libtarvo.so alone in a folder: neither the reader nor the converter.
    fs::copy_file(TARVO_LIB, sozinha / "libtarvo.so");
    Roda(
        "",
        [&](Biblioteca& t, emulador::Emulador&) {
            EXPECT_EQ(t.Gera(atual / "a.tdm", atual / "a.txt", "01/03/2010", "31/03/2010", 'M'), -1);
            char nome[256] = "";
            EXPECT_EQ(t.GeraRFD("01/03/2010", "31/03/2010", 1, 0, nome), -1);
            EXPECT_EQ(t.UltimoErro().second,
                      "Erro desconhecido. Falha ao acessar a dll Leitura.dll, ATO17.dll ou DLLG2.dll");
            auto rj = t.Funcao<int(const char*, const char*, int)>("Tarvo_GeraRFDBinarioRJ");
            EXPECT_EQ(rj("01/03/2010", "31/03/2010", 1), -1);
        },
        sozinha / "libtarvo.so");
    // With the reader beside it but no converter: the memories are read, the file is not made.
    fs::copy_file(fs::path(TARVO_LIB).parent_path() / "libleitura.so", sozinha / "libleitura.so");
    Roda(
        "TIPO_GERA_RFD_REDZ=1\r\n",
        [&](Biblioteca& t, emulador::Emulador& e) {
            Mes(t, e, 1);
            if (HasFatalFailure()) return;
            char nome[256] = "";
            EXPECT_EQ(t.GeraRFD("01/03/2010", "31/03/2010", 1, 0, nome), -1);
            EXPECT_TRUE(fs::exists(home / "tdm/MemoriasTV02345.tdm"));
            EXPECT_FALSE(fs::exists(home / ("rfd/" + kSerie + ".txt")));
            // The dump way of a reduction says which step failed.
            auto rfd = t.Funcao<int(const char*)>("RFD_ConvertedaMFD");
            fs::remove(atual / "LOG.DAT");
            EXPECT_NE(rfd("1"), 1);
            EXPECT_NE(LeArquivo(atual / "LOG.DAT")
                          .find("Falha ao gerar o arquivo do ATO COTEPE da Redu\xE7\xE3o Z n\xBA 1"),
                      std::string::npos);
        },
        sozinha / "libtarvo.so");
}

// Every export that takes a range: first after last, no reduction in it or a Z that does not
// exist fails with a named last error and leaves the earlier file as it was; a success leaves
// no error behind.
TEST_F(AtoMes, EveryRangeExportRefusesAnImpossibleOrEmptyRangeWithANamedErrorAndNoFile) {
    Roda("", [&](Biblioteca& t, emulador::Emulador& e) {
        Mes(t, e, 3);  // reductions 1-3 on 1-3 March 2010, 4 and 5 on 1 and 2 April
        if (HasFatalFailure()) return;
        char nome[256] = {};
        ASSERT_EQ(t.GeraRFD("01/03/2010", "31/03/2010", 0, 0, nome), 1) << t.UltimoErro().second;
        const std::string rfd = home / ("rfd/" + kSerie + ".txt"), anterior = LeArquivo(rfd);
        auto porData = t.Funcao<int(const char*, const char*)>("RFD_ConvertedaMFDData");
        auto crz = t.Funcao<int(const char*, const char*, int, int, char*)>("Tarvo_GeraRFDBinarioCRZ");
        auto rj = t.Funcao<int(const char*, const char*, int)>("Tarvo_GeraRFDBinarioRJ");
        auto sped = t.Funcao<int(const char*, const char*, const char*, const char*, const char*, const char*,
                                 const char*, const char*, const char*, unsigned char, const char*)>(
            "Tarvo_GeraRegistrosSpedTDM");
        auto sintegra = t.Funcao<int(int, const char*, const char*, const char*, const char*, const char*,
                                     const char*, const char*, const char*, const char*, const char*,
                                     const char*, const char*, const char*)>("Tarvo_RelatorioSintegraMFD");
        auto lmf =
            t.Funcao<int(const char*, const char*, const char*)>("Tarvo_LeituraMemoriaFiscalSerialReducao");
        auto download = t.Funcao<int(const char*, const char*, const char*, const char*, const char*)>(
            "Tarvo_DownloadMFD");
        const std::string fita = atual / "fita.txt", saidaSped = atual / "sped.txt", mes = atual / "mes.txt";
        const std::string inexistente = "ErroCMDDataInvalida - Data solicitada inexistente.";
        const struct {
            const char* caso;
            std::function<int()> chamada;
            int codigo;            // the last error's code; 0: any code but 0
            std::string mensagem;  // a part of the last error's message
        } casos[] = {
            {"dates", [&] { return t.GeraRFD("31/03/2010", "01/03/2010", 0, 0, nome); }, 8089, "posterior"},
            {"counters", [&] { return t.GeraRFD("3", "1", 2, 0, nome); }, 8089, "posterior"},
            {"Z counters", [&] { return crz("3", "1", 0, 0, nome); }, 8089, "posterior"},
            {"missing Z", [&] { return crz("2", "99", 0, 0, nome); }, 0, "Z n\xBA 99"},
            {"before the first Z", [&] { return t.GeraRFD("01/01/2009", "31/01/2009", 0, 0, nome); }, 8089,
             inexistente},
            {"PAF-RJ", [&] { return rj("31/03/2010", "01/03/2010", 0); }, 8089, "posterior"},
            {"RFD by date", [&] { return porData("31/03/2010", "01/03/2010"); }, 8089, "posterior"},
            {"RFD before the first Z", [&] { return porData("01/01/2009", "31/01/2009"); }, 8089,
             inexistente},
            {"RFD after the last Z", [&] { return porData("01/05/2010", "31/05/2010"); }, 8089, inexistente},
            {"RFD between two Zs", [&] { return porData("30/03/2010", "31/03/2010"); }, 8089, inexistente},
            {"SPED",
             [&] {
                 return sped("x", saidaSped.c_str(), "31/03/2010", "01/03/2010", "T", "5102", "", "0", "0", 0,
                             "");
             },
             0, "incorretos"},
            {"SINTEGRA month without Z",
             [&] {
                 return sintegra(8, mes.c_str(), "05", "2010", "EMPRESA", "RUA", "1", "", "CENTRO", "SP",
                                 "01234567", "1155551234", "", "MARIA");
             },
             8089, inexistente},
            {"fiscal-memory reading", [&] { return lmf("3", "1", "S"); }, 0, ""},
            {"detail-tape download", [&] { return download(fita.c_str(), "1", "310310", "010310", "1"); }, 0,
             ""},
        };
        EscreveArquivo(atual / "x", "");
        for (const auto& c : casos) {
            SCOPED_TRACE(c.caso);
            EXPECT_EQ(c.chamada(), 0);
            const auto [codigo, mensagem] = t.UltimoErro();
            EXPECT_TRUE(c.codigo ? codigo == c.codigo : codigo != 0) << codigo;
            EXPECT_TRUE(!mensagem.empty() && mensagem.find(c.mensagem) != std::string::npos) << mensagem;
            EXPECT_EQ(LeArquivo(rfd), anterior);
            EXPECT_EQ(std::distance(fs::directory_iterator(home / "rfd"), {}), 1);
            for (const std::string& f : {fita, saidaSped, mes}) EXPECT_FALSE(fs::exists(f)) << f;
        }
        // Successes clear what the failures left, also when the reduction after the range's last
        // one does not exist yet.
        ASSERT_EQ(crz("4", "5", 0, 0, nome), 1);
        EXPECT_EQ(t.UltimoErro().first, 0);
        ASSERT_EQ(porData("03/03/2010", "03/03/2010"), 1) << t.UltimoErro().second;
        EXPECT_EQ(t.UltimoErro(), (std::pair<int, std::string>{0, ""}));
        ASSERT_EQ(porData("01/04/2010", "02/04/2010"), 1) << t.UltimoErro().second;
        EXPECT_EQ(t.UltimoErro(), (std::pair<int, std::string>{0, ""}));
    });
}

}  // namespace
