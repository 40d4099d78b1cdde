// Reading the printer's memories into a dump: the real libtarvo.so with our libleitura.so
// against the emulator on a pseudo-terminal, each scenario in a fresh child process (the
// reading library keeps one reader per process).
#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>
#include <vector>

#include "comum/emulado.h"
#include "platform/codepage.h"
#include "platform/serial.h"

namespace {

using teste::EscreveArquivo;
using teste::LeArquivo;

const std::string kSerie = "TV010500000000012345";

// libtarvo.so loaded from a given path (a copy in a folder of its own shows how it behaves
// with or without a reading library beside it).
class Carregada : public teste::Tarvo {
  public:
    using Tarvo::Tarvo;
    int LeMemorias(const std::string& dump, const std::string& serie, unsigned char aguarda) const {
        return Funcao<int(const char*, const char*, unsigned char)>("Tarvo_LeMemoriasBinario")(
            dump.c_str(), serie.c_str(), aguarda);
    }
    int Cancela() const { return Funcao<int()>("Tarvo_CancelaLeituraBinario")(); }
};

struct Estado {
    int r = -9, situacao = -9, codigo = -9, tamanho = -9, progresso = -9;
    std::string texto;
    bool guardaIntacta = true;
};

Estado LeEstado(const Carregada& t) {
    Estado e;
    char texto[129 + 8];
    std::memset(texto, ' ', sizeof texto);
    texto[128] = '\0';
    e.r = t.Funcao<int(int*, int*, int*, int*, char*)>("Tarvo_LeStatusGeraBinario")(
        &e.situacao, &e.codigo, &e.tamanho, &e.progresso, texto);
    e.texto = texto;
    for (std::size_t i = 129; i < sizeof texto; ++i) e.guardaIntacta &= texto[i] == ' ';
    return e;
}

bool Final(int situacao) {
    return situacao == 256 || situacao == 512 || situacao == 1024;
}

// Polls until the reading ends (bounded); every state seen goes into `vistos`.
Estado EsperaFim(const Carregada& t, std::vector<Estado>* vistos = nullptr) {
    auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    Estado e;
    do {
        e = LeEstado(t);
        if (vistos) vistos->push_back(e);
        if (Final(e.situacao)) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    } while (std::chrono::steady_clock::now() < limite);
    return e;
}

// The dump: header, fiscal memory, detail tape.
struct Dump {
    bool marca = false, completo = false;
    std::string serie, mf, mfd;
};
Dump LeDump(const std::string& caminho) {
    std::string b = LeArquivo(caminho);
    Dump d;
    if (b.size() < 64) return d;
    auto u64 = [&](std::size_t o) {
        std::uint64_t v = 0;
        for (int i = 7; i >= 0; --i)
            v = v << 8 | static_cast<unsigned char>(b[o + static_cast<std::size_t>(i)]);
        return v;
    };
    d.marca = b.compare(0, 8, "TARVOTDM") == 0 && b[8] == 1;
    d.completo = b[12] == 1;
    d.serie = b.substr(16, 24);
    while (!d.serie.empty() && d.serie.back() == ' ') d.serie.pop_back();
    std::uint64_t mf = u64(40), mfd = u64(48);
    d.mf = b.substr(64, mf);
    if (b.size() >= 64 + mf) d.mfd = b.substr(64 + mf, mfd);
    return d;
}

// Makes the detail tape long: copies of its last closed document with new COOs.
void EnchaFita(emulador::Emulador& e, int copias) {
    e.Altera([copias](emulador::Impressora& p) {
        emulador::Documento modelo = p.fita.back();
        for (int i = 0; i < copias; ++i) {
            modelo.coo = ++p.contadores.coo;
            p.fita.push_back(modelo);
        }
    });
}

class Memorias : public teste::EmuladorNoFilho {
  protected:
    teste::PastaTemporaria copia;

    void Roda(const std::string& ini, const std::function<void(Carregada&, emulador::Emulador&)>& corpo,
              const std::string& lib = TARVO_LIB) {
        RodaCom<Carregada>(ini, corpo, lib);
    }

    // A day of sales and its Z reduction, so that both memories hold something.
    static void DiaComReducao(Carregada& t) {
        const std::pair<const char*, std::string> passos[] = {
            {"AbreCupomFiscal", "IdConsumidor=\"123.456.789-09\" NomeConsumidor=\"JOSE\""},
            {"VendeItem",
             "CodAliquota=0 CodProduto=\"001\" NomeProduto=\"ARROZ\" PrecoUnitario=10,00 Quantidade=2,000"},
            {"AcresceItemFiscal", "NumItem=1 ValorAcrescimo=-1,00"},
            {"PagaCupom", "CodMeioPagamento=-2 Valor=30,00"},
            {"EncerraDocumento", ""},
            {"EmiteReducaoZ", ""},
        };
        for (const auto& [comando, parametros] : passos)
            ASSERT_EQ(t.Comando(comando, parametros), 1) << comando << ": " << t.UltimoErro().second;
    }
};

// --- the reading, waited and not --------------------------------------------------------------------

TEST_F(Memorias, WaitedReadingWritesBothMemoriesIntoTheDumpAndLogsItsSteps) {
    Roda("Homologar=1\r\n", [&](Carregada& t, emulador::Emulador& e) {
        DiaComReducao(t);
        const std::string dump = atual / "mem.tdm";
        ASSERT_EQ(t.LeMemorias(dump, kSerie, 1), 1) << t.UltimoErro().second;
        EXPECT_EQ(t.UltimoErro(), (std::pair<int, std::string>{0, ""}));

        emulador::Impressora p = e.Impressora();
        Dump d = LeDump(dump);
        EXPECT_TRUE(d.marca);
        EXPECT_TRUE(d.completo);
        EXPECT_EQ(d.serie, kSerie);
        EXPECT_EQ(d.mf, p.imagemMF);
        EXPECT_EQ(d.mfd, p.imagemMFD);
        // What the memories hold: the reduction with its rate, the receipt's data beside its lines.
        EXPECT_NE(d.mf.find("ECF\t" + kSerie + "\t"), std::string::npos);
        EXPECT_NE(d.mf.find("REDUCAO\t1\t"), std::string::npos);
        EXPECT_NE(d.mf.find("ALIQUOTA\t1\t0\tT\t1800\t1900\n"), std::string::npos) << d.mf;
        EXPECT_NE(d.mf.find("REINICIO\t0001\t05/01/2010\t09:00:00\n"), std::string::npos);
        EXPECT_NE(d.mfd.find("CONSUMIDOR\t123.456.789-09\tJOSE\t\n"), std::string::npos);
        EXPECT_NE(d.mfd.find("ITEM\t1\t001\tARROZ\t2000\tUn\t10000\t2\t2000\tT00\t100\t0\t0\t0\t-1\n"),
                  std::string::npos)
            << d.mfd;
        EXPECT_NE(d.mfd.find("PAGAMENTO\t-2\tDinheiro\t3000\t\n"), std::string::npos);
        EXPECT_NE(d.mfd.find("LINHA\t1\t                  CUPOM FISCAL\n"), std::string::npos);

        // The library it loaded stays loaded: the status after a waited reading still answers.
        Estado s = LeEstado(t);
        EXPECT_EQ(s.r, 1);
        EXPECT_EQ(s.situacao, 256);
        EXPECT_EQ(s.codigo, 0);
        EXPECT_EQ(s.tamanho, static_cast<int>(p.imagemMF.size() + p.imagemMFD.size()));
        EXPECT_EQ(s.progresso, s.tamanho);
        EXPECT_EQ(s.texto, "Leitura concluida");
        EXPECT_TRUE(s.guardaIntacta);

        const std::string w = plataforma::Utf8ParaCp1252("função");
        const std::string esperadas[] = {
            plataforma::Utf8ParaCp1252("Testando comunicação com o ECF"),
            "Chamando a " + w + " DLLReadLeMemorias da Leitura.dll",
            "DLLReadLeMemorias(" + dump + "," + kSerie + ",1)",
            "Tamanho atual do arquivo TDM=0",
            "Tamanho final do arquivo TDM=" + std::to_string(LeArquivo(dump).size()),
            "Retorno da " + w + " Tarvo_LeMemoriasBinario:1 - ",
        };
        std::string log = LeArquivo(atual / "LOG.DAT");
        std::size_t onde = 0;
        for (const std::string& linha : esperadas) {
            std::size_t achou = log.find("=>" + linha + "\r\n", onde);
            EXPECT_NE(achou, std::string::npos) << linha << "\n" << log;
            if (achou != std::string::npos) onde = achou;
        }
    });
}

TEST_F(Memorias, ReadingThatDoesNotWaitIsPolledFromAnotherThreadToTheEnd) {
    Roda("", [&](Carregada& t, emulador::Emulador& e) {
        DiaComReducao(t);
        EnchaFita(e, 300);
        e.Atrasa(3, -1);  // the reading takes a while: the polls see it under way
        const std::string dump = atual / "mem.tdm";
        ASSERT_EQ(t.LeMemorias(dump, kSerie, 0), 1) << t.UltimoErro().second;
        std::vector<Estado> outro, este;
        std::thread poller([&] { EsperaFim(t, &outro); });
        Estado fim = EsperaFim(t, &este);
        poller.join();
        e.LimpaFalhas();
        EXPECT_EQ(fim.situacao, 256);
        emulador::Impressora p = e.Impressora();
        EXPECT_EQ(fim.progresso, static_cast<int>(p.imagemMF.size() + p.imagemMFD.size()));
        for (const std::vector<Estado>* vistos : {&outro, &este}) {
            auto ordem = [](int s) { return s == 96 ? 1 : s == 112 ? 2 : s == 256 ? 3 : 99; };
            bool lendo = false;
            for (std::size_t i = 0; i < vistos->size(); ++i) {
                const Estado& s = (*vistos)[i];
                ASSERT_EQ(s.r, 1);
                ASSERT_NE(ordem(s.situacao), 99) << s.situacao;
                lendo |= s.situacao == 112;
                if (i == 0) continue;
                const Estado& antes = (*vistos)[i - 1];
                ASSERT_LE(ordem(antes.situacao), ordem(s.situacao));
                ASSERT_LE(antes.progresso, s.progresso) << "progress went back";
                ASSERT_LE(s.progresso, s.tamanho);
            }
            EXPECT_TRUE(lendo);
            EXPECT_EQ(vistos->back().situacao, 256);
        }
        Dump d = LeDump(dump);
        EXPECT_TRUE(d.completo);
        EXPECT_EQ(d.mfd, p.imagemMFD);
    });
}

TEST_F(Memorias, CancelHalfWayLeavesAnIncompleteDump) {
    Roda("", [&](Carregada& t, emulador::Emulador& e) {
        DiaComReducao(t);
        EnchaFita(e, 300);
        const std::string dump = atual / "mem.tdm";
        e.Atrasa(20, -1);
        ASSERT_EQ(t.LeMemorias(dump, kSerie, 0), 1);
        Estado s;
        auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        do {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            s = LeEstado(t);
        } while (s.progresso <= 0 && !Final(s.situacao) && std::chrono::steady_clock::now() < limite);
        ASSERT_EQ(s.situacao, 112);
        EXPECT_EQ(t.Cancela(), 1);
        Estado fim = EsperaFim(t);
        EXPECT_EQ(fim.situacao, 1024);
        EXPECT_EQ(fim.codigo, 16394);
        EXPECT_LT(fim.progresso, fim.tamanho);
        Dump d = LeDump(dump);
        EXPECT_TRUE(d.marca);
        EXPECT_FALSE(d.completo);

        // A waited reading cancelled from another thread reports the incomplete dump.
        int r = 0;
        std::thread leitura([&] { r = t.LeMemorias(dump, kSerie, 1); });
        do {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            s = LeEstado(t);
        } while ((s.situacao != 112 || s.progresso <= 0) && std::chrono::steady_clock::now() < limite);
        EXPECT_EQ(t.Cancela(), 1);
        leitura.join();
        e.LimpaFalhas();
        EXPECT_EQ(r, 16394);
        EXPECT_FALSE(LeDump(dump).completo);
    });
}

TEST_F(Memorias, ReplyFaultsOnTheLineDoNotSpoilTheDump) {
    Roda("", [&](Carregada& t, emulador::Emulador& e) {
        DiaComReducao(t);
        EnchaFita(e, 40);
        const std::string dump = atual / "mem.tdm";
        // Replies in pieces with pauses, then one frame left unanswered: the reader asks again.
        e.Fatia(5, 3, 8);
        ASSERT_EQ(t.LeMemorias(dump, kSerie, 1), 1) << t.UltimoErro().second;
        std::size_t quadros = e.Trocas().size();
        std::thread silencia([&] {
            // The first piece of the next reading goes unanswered.
            while (e.Trocas().size() < quadros + 3) std::this_thread::sleep_for(std::chrono::milliseconds(1));
            e.Silencia(1);
        });
        ASSERT_EQ(t.LeMemorias(dump, kSerie, 1), 1) << t.UltimoErro().second;
        silencia.join();
        emulador::Impressora p = e.Impressora();
        Dump d = LeDump(dump);
        EXPECT_TRUE(d.completo);
        EXPECT_EQ(d.mf, p.imagemMF);
        EXPECT_EQ(d.mfd, p.imagemMFD);
    });
}

// --- refusals ---------------------------------------------------------------------------------------------

TEST_F(Memorias, WrongSerialAndDumpsOfAnotherPrinterAreRefused) {
    Roda("", [&](Carregada& t, emulador::Emulador& e) {
        const std::string dump = atual / "mem.tdm";
        EXPECT_EQ(t.LeMemorias(dump, "TV019999999999999999", 1), 16391);
        auto [codigo, mensagem] = t.UltimoErro();
        EXPECT_EQ(codigo, 16391);
        EXPECT_EQ(mensagem.rfind("DLLErroECFInvalido N", 0), 0u) << mensagem;
        Estado s = LeEstado(t);
        EXPECT_EQ(s.situacao, 512);
        EXPECT_EQ(s.codigo, 16391);
        EXPECT_FALSE(std::filesystem::exists(dump)) << "a dump made for a failed reading stays behind";

        // A dump of this printer, then the same file asked for another printer.
        ASSERT_EQ(t.LeMemorias(dump, kSerie, 1), 1);
        const std::string antes = LeArquivo(dump);
        e.Altera([](emulador::Impressora& p) { p.numeroSerie = "TV010500000000099999"; });
        EXPECT_EQ(t.LeMemorias(dump, "TV010500000000099999", 1), 16390);
        EXPECT_EQ(t.UltimoErro().first, 16390);
        EXPECT_EQ(LeArquivo(dump), antes) << "the other printer's dump was touched";

        // A file that is no dump.
        EscreveArquivo(atual / "outro.tdm", "isto nao e um dump");
        EXPECT_EQ(t.LeMemorias(atual / "outro.tdm", "TV010500000000099999", 1), 16387);
        // A dump that cannot be written (a device that refuses every write).
        EXPECT_EQ(t.LeMemorias("/dev/full", "TV010500000000099999", 1), 16389);
        EXPECT_EQ(LeEstado(t).codigo, 16389);
        // A folder that does not exist.
        EXPECT_EQ(t.LeMemorias(atual / "nao/existe.tdm", "TV010500000000099999", 1), 16393);
    });
}

TEST_F(Memorias, HeldPortOpenDumpAndASecondReadingAreRefusedByTheReader) {
    // The reading library alone, as the console binds it.
    int r = teste::EmProcessoFilho([&] {
        teste::Variavel d{"TARVO_DEVDIR", dev.Caminho()};
        emulador::Emulador e;
        if (!e.Inicia(dev.Caminho(), "COM1")) return 4;
        void* h = ::dlopen(LEITURA_LIB, RTLD_NOW | RTLD_LOCAL);
        if (!h) return 5;
        auto le = reinterpret_cast<int (*)(const char*, const char*, const char*, int)>(
            ::dlsym(h, "DLLReadLeMemorias"));
        auto cancela = reinterpret_cast<int (*)()>(::dlsym(h, "DLLReadCancelaLeitura"));
        auto status = reinterpret_cast<int (*)(void*)>(::dlsym(h, "DLLReadStatus"));
        const std::string dump = atual / "mem.tdm";
        {
            plataforma::PortaSerial outro;
            EXPECT_TRUE(outro.Abre("COM1"));
            EXPECT_EQ(le("COM1", dump.c_str(), kSerie.c_str(), 1), 16386);
        }
        {
            int fd = ::open(dump.c_str(), O_RDWR | O_CREAT, 0644);
            EXPECT_EQ(::flock(fd, LOCK_EX), 0);
            EXPECT_EQ(le("COM1", dump.c_str(), kSerie.c_str(), 1), 4097);
            ::close(fd);
        }
        EXPECT_EQ(le("COM7", dump.c_str(), kSerie.c_str(), 1), 16386);  // no such port
        // While one reading runs, a second one is refused; the first goes on to its end.
        e.Atrasa(30, -1);
        EXPECT_EQ(le("COM1", dump.c_str(), kSerie.c_str(), 0), 0);
        EXPECT_EQ(le("COM1", (atual / "b.tdm").c_str(), kSerie.c_str(), 1), 16386);
        cancela();
        unsigned char registro[148 + 16];
        std::memset(registro, 0xEE, sizeof registro);
        std::uint32_t tamanho = 148;
        std::memcpy(registro, &tamanho, 4);
        auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        std::uint32_t situacao = 0;
        do {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            status(registro);
            std::memcpy(&situacao, registro + 4, 4);
        } while (!Final(static_cast<int>(situacao)) && std::chrono::steady_clock::now() < limite);
        EXPECT_EQ(situacao, 1024u);
        for (std::size_t i = 148; i < sizeof registro; ++i)
            EXPECT_EQ(registro[i], 0xEE) << "wrote past the record";
        // A record that says it is smaller is left alone.
        tamanho = 100;
        std::memcpy(registro, &tamanho, 4);
        std::memset(registro + 4, 0, 4);
        EXPECT_EQ(status(registro), -1);
        std::memcpy(&situacao, registro + 4, 4);
        EXPECT_EQ(situacao, 0u);
        ::dlclose(h);
        return ::testing::Test::HasFailure() ? 1 : 0;
    });
    EXPECT_EQ(r, 0);
}

// --- without the reading library, or without one of its entries ---------------------------------------

TEST_F(Memorias, WithoutTheReadingLibraryTheExportsAnswerMinusOneWithAMessage) {
    std::filesystem::copy_file(TARVO_LIB, copia / "libtarvo.so");
    Roda(
        "",
        [&](Carregada& t, emulador::Emulador&) {
            Estado s = LeEstado(t);
            EXPECT_EQ(s.r, -1);
            EXPECT_EQ(s.situacao, 0);
            EXPECT_EQ(s.codigo, 0);
            EXPECT_EQ(s.tamanho, 0);
            EXPECT_EQ(s.progresso, 0);
            EXPECT_EQ(s.texto, "");
            auto [codigo, mensagem] = t.UltimoErro();
            EXPECT_EQ(codigo, -1);
            EXPECT_EQ(mensagem, plataforma::Utf8ParaCp1252(
                                    "A Dll Leitura.dll não foi encontrada.\nVerifique se a dll está "
                                    "no mesmo diretório da Tarvo.dll ou no diretório System32 do "
                                    "Windows"));
            EXPECT_EQ(t.Cancela(), -1);
            EXPECT_EQ(t.LeMemorias(atual / "mem.tdm", kSerie, 1), -1);
            EXPECT_EQ(t.UltimoErro().second,
                      "Erro desconhecido. Falha ao acessar a dll Leitura.dll, ATO17.dll ou DLLG2.dll");
        },
        copia / "libtarvo.so");
}

TEST_F(Memorias, AReadingLibraryWithoutItsStatusEntryIsReportedAndTheOtherEntriesWork) {
    std::filesystem::copy_file(TARVO_LIB, copia / "libtarvo.so");
    std::filesystem::copy_file(LEITURA_PARCIAL_LIB, copia / "libleitura.so");
    Roda(
        "",
        [&](Carregada& t, emulador::Emulador&) {
            Estado s = LeEstado(t);
            EXPECT_EQ(s.r, -1);
            EXPECT_EQ(s.situacao, 0);
            EXPECT_EQ(s.texto, "");
            EXPECT_EQ(
                t.UltimoErro().second,
                plataforma::Utf8ParaCp1252("A função DLLReadStatus não foi encontrada na Dll Leitura.dll."));
            EXPECT_EQ(t.Cancela(), 1);
            EXPECT_EQ(t.LeMemorias(atual / "mem.tdm", kSerie, 1), 1);
        },
        copia / "libtarvo.so");
}

// --- the restart counter of the last reduction ---------------------------------------------------------

TEST_F(Memorias, RestartCounterOfTheLastReduction) {
    Roda("", [&](Carregada& t, emulador::Emulador& e) {
        auto contador = [&](std::string& valor) {
            char b[7 + 8];
            std::memset(b, '#', sizeof b);
            b[0] = '\0';
            int r = t.Funcao<int(char*)>("Tarvo_ContadorReinicioUltimaReducaoZ")(b);
            valor = b;
            for (std::size_t i = 7; i < sizeof b; ++i) EXPECT_EQ(b[i], '#');
            return r;
        };
        std::string valor;
        // No reduction yet: the reading of reduction 0 fails.
        EXPECT_EQ(contador(valor), 0);
        EXPECT_EQ(t.UltimoErro().second, "Retorno invalido");
        DiaComReducao(t);
        EXPECT_EQ(contador(valor), 1);
        EXPECT_EQ(valor, "1");
        // A technical intervention counts a restart; the next day's reduction carries it.
        e.Altera([](emulador::Impressora& p) {
            p.intervencaoTecnica = true;
            p.EncerraIntervencao();
            p.AvancaRelogio(86400);
        });
        DiaComReducao(t);
        EXPECT_EQ(contador(valor), 1);
        EXPECT_EQ(valor, "2");
        EXPECT_EQ(e.Impressora().memoriaFiscal.back().crz, 2);
    });
}

}  // namespace
