// The memory-dump run of the RFD form and the text-route threads, without widgets: our
// stand-ins of the reader and the converter against the emulated printer (all in this one
// process, so the thread checker sees every thread), and doubles of a reader that never
// reports a start, ends in error or goes silent.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "comum/ambiente.h"
#include "console/geracao/datas_rfd.h"
#include "console/geracao/execucao.h"
#include "console/geracao/externas.h"
#include "console/geracao/progresso.h"
#include "emulador/emulador.h"

namespace {

namespace fs = std::filesystem;
using namespace belmora::geracao;

// The lines a run logs, kept under a lock (they come from the run's thread).
class Registro {
  public:
    Eventos ComoEventos() {
        Eventos ev;
        ev.log = [this](const std::string& l) {
            std::lock_guard<std::mutex> t(m_);
            linhas_.push_back(l);
        };
        ev.barra = [this](int minimo, int maximo, int posicao) {
            std::lock_guard<std::mutex> t(m_);
            if (minimo != 0 || posicao < minimo || posicao > maximo) barraForaDaFaixa_ = true;
        };
        return ev;
    }
    std::vector<std::string> Linhas() const {
        std::lock_guard<std::mutex> t(m_);
        return linhas_;
    }
    bool BarraForaDaFaixa() const {
        std::lock_guard<std::mutex> t(m_);
        return barraForaDaFaixa_;
    }

  private:
    mutable std::mutex m_;
    std::vector<std::string> linhas_;
    bool barraForaDaFaixa_ = false;
};

TEST(NomesRfd, BaseNameDaySuffixesAndPeriodLength) {
    EXPECT_EQ(NomeBaseRFD("BE0910SC56789012345"), "BE012345");
    EXPECT_EQ(NomeBaseRFD("BE0910SC56789012345   "), "BE012345");
    // Shorter than 8: the two pieces overlap or the name is shorter.
    EXPECT_EQ(NomeBaseRFD("ABCDEF"), "ABCBCDEF");
    EXPECT_EQ(NomeBaseRFD("AB"), "ABAB");
    EXPECT_EQ(NomeBaseRFD(""), "");
    EXPECT_EQ(NomeArquivoTDM("BE0910SC56789012345"), "BE0910SC56789012345.TDM");

    EXPECT_EQ(SufixoDoDia({2009, 12, 31}), ".VC9");
    EXPECT_EQ(SufixoDoDia({2010, 3, 5}), ".530");
    EXPECT_EQ(SufixoDoDia({2010, 10, 10}), ".AA0");
    EXPECT_EQ(SufixoDoDia({2010, 11, 9}), ".9B0");

    EXPECT_EQ(DiasNoPeriodo({2009, 12, 30}, {2010, 1, 2}), 4);
    EXPECT_EQ(DiasNoPeriodo({2012, 2, 28}, {2012, 3, 1}), 3);  // leap day
    EXPECT_EQ(DiasNoPeriodo({2010, 1, 2}, {2010, 1, 2}), 1);
    EXPECT_EQ(DiasNoPeriodo({2010, 1, 3}, {2010, 1, 2}), 0);
    EXPECT_EQ(DiaSeguinte({2009, 12, 31}), (Data{2010, 1, 1}));
    EXPECT_EQ(Aaaammdd({2010, 1, 2}), "20100102");
    EXPECT_EQ(Ddmmaa({2010, 1, 2}), "020110");

    Data d;
    EXPECT_TRUE(LeData("30/12/2009", d));
    EXPECT_EQ(d, (Data{2009, 12, 30}));
    EXPECT_TRUE(LeData("02/01/10", d));
    EXPECT_EQ(d, (Data{2010, 1, 2}));
    EXPECT_FALSE(LeData("31/02/2010", d));
    EXPECT_FALSE(LeData("1/1/201", d));
    EXPECT_FALSE(LeData("", d));
}

// --- doubles of the outside libraries ---------------------------------------------------------------
// Plain functions (the run takes C entry points), their state in atomics.
enum class ModoLeitor { NuncaComeca, TerminaComErro, Silencia, Recusa, AnteriorConcluida };
std::atomic<ModoLeitor> g_modo{ModoLeitor::NuncaComeca};
std::atomic<int> g_leituras{0}, g_polls{0}, g_cancelamentos{0}, g_conversoes{0};
std::atomic<std::int64_t> g_inicioLeitura{0};

std::int64_t AgoraMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

int FalsoLeMemorias(const char*, const char*, const char*, int) {
    // A reader slow to take the request: its status still shows the earlier reading.
    if (g_modo == ModoLeitor::AnteriorConcluida) std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ++g_leituras;
    g_inicioLeitura = AgoraMs();
    return g_modo == ModoLeitor::Recusa ? 16386 : 0;
}
int FalsoStatus(void* registro) {
    ++g_polls;
    auto* r = static_cast<RegistroStatusLeitura*>(registro);
    const std::int64_t decorrido = AgoraMs() - g_inicioLeitura;
    const char* texto = "Nenhuma leitura";
    switch (g_modo.load()) {
        case ModoLeitor::NuncaComeca:
        case ModoLeitor::Recusa:
            r->situacao = 0;
            break;
        case ModoLeitor::TerminaComErro:
            r->situacao = decorrido < 300 ? 112 : 512;
            texto = decorrido < 300 ? "Lendo a memoria fiscal" : "Leitura encerrada com erro";
            r->total = 1000;
            r->atual = decorrido < 300 ? 10 : 10;
            break;
        case ModoLeitor::AnteriorConcluida:
            // An earlier reading ended well; this one, once asked for, reads and fails.
            if (g_leituras == 0) {
                r->situacao = 256;
                texto = "Leitura concluida";
            } else {
                r->situacao = decorrido < 300 ? 112 : 512;
                texto = decorrido < 300 ? "Lendo a memoria fiscal" : "Leitura encerrada com erro";
            }
            break;
        case ModoLeitor::Silencia:
            r->situacao = 112;
            r->total = 1000;
            r->atual = 10;
            texto = "Lendo a memoria fiscal";
            break;
    }
    std::memcpy(r->mensagem, texto, std::strlen(texto) + 1);
    return 0;
}
int FalsoCancela() {
    ++g_cancelamentos;
    return 0;
}
int FalsoGera(const char*, const char*, const char*, const char*, char, const char*, const char*) {
    ++g_conversoes;
    return 0;
}

class LeitorFalso : public ::testing::Test {
  protected:
    teste::PastaTemporaria pasta;
    Registro registro;
    std::atomic<bool> parar{false};

    void SetUp() override {
        g_leituras = g_polls = g_cancelamentos = g_conversoes = 0;
        DefineCarregadorExterno([](EntradasExternas& e, std::string&) {
            e = {FalsoLeMemorias, FalsoStatus, FalsoCancela, FalsoGera};
            return true;
        });
    }
    void TearDown() override { DefineCarregadorExterno(nullptr); }

    ParametrosBinarios Parametros() const {
        ParametrosBinarios p;
        p.pasta = pasta.Caminho();
        p.serie = "BE0910SC56789012345";
        p.inicio = {2010, 1, 1};
        p.fim = {2010, 1, 2};
        return p;
    }
    // Runs on a worker thread as the form does; the run must end within `limiteMs`.
    FimBinario Roda(const Prazos& prazos, int limiteMs) {
        TGeraRFDBinarioThread fio(Parametros(), registro.ComoEventos(), prazos);
        fio.Resume();
        EXPECT_TRUE(fio.EsperaFim(limiteMs)) << "the run did not end within its limit";
        return fio.Fim();
    }
    void ConfereFalha(const std::string& porque) {
        const auto l = registro.Linhas();
        ASSERT_GE(l.size(), 2u);
        EXPECT_EQ(l[l.size() - 2], porque);
        EXPECT_EQ(l.back(), "  <- Operação falhou!");
        EXPECT_EQ(g_conversoes, 0) << "a failed reading must not be converted";
        // The poller was joined with the run: it polls no more.
        const int polls = g_polls;
        std::this_thread::sleep_for(std::chrono::milliseconds(2 * kPeriodoMs + 50));
        EXPECT_EQ(g_polls, polls);
    }
};

TEST_F(LeitorFalso, AReaderThatNeverReportsAStartEndsTheRunWithinItsLimit) {
    g_modo = ModoLeitor::NuncaComeca;
    Prazos prazos;
    prazos.inicioMs = 600;
    EXPECT_EQ(Roda(prazos, 5000), FimBinario::SemInicio);
    EXPECT_EQ(registro.Linhas().front(), "  -> Aguardando início da leitura das Memórias");
    ConfereFalha("  <- A leitura das memórias não foi iniciada.");
    EXPECT_EQ(g_cancelamentos, 1);
    EXPECT_GE(g_polls, 1);
}

TEST_F(LeitorFalso, AReaderThatRefusesToStartIsNotWaitedFor) {
    g_modo = ModoLeitor::Recusa;
    Prazos prazos;
    prazos.inicioMs = 60000;  // the refusal ends the wait, not this
    EXPECT_EQ(Roda(prazos, 5000), FimBinario::SemInicio);
    ConfereFalha("  <- A leitura das memórias não foi iniciada (código 16386).");
}

TEST_F(LeitorFalso, AReadingThatEndsInErrorIsNotConverted) {
    g_modo = ModoLeitor::TerminaComErro;
    EXPECT_EQ(Roda({}, 10000), FimBinario::LeituraFalhou);
    const auto l = registro.Linhas();
    EXPECT_NE(std::find(l.begin(), l.end(), "  -> Leitura encerrada com erro"), l.end());
    ConfereFalha("  <- Leitura das memórias finalizada com erro!");
    EXPECT_FALSE(registro.BarraForaDaFaixa());
}

TEST_F(LeitorFalso, HowAnEarlierReadingEndedIsNeverTakenForThisOne) {
    g_modo = ModoLeitor::AnteriorConcluida;
    EXPECT_EQ(Roda({}, 10000), FimBinario::LeituraFalhou);
    const auto l = registro.Linhas();
    EXPECT_EQ(std::find(l.begin(), l.end(), "  <- Leitura das memórias realizada com sucesso!"), l.end());
    ConfereFalha("  <- Leitura das memórias finalizada com erro!");
}

TEST_F(LeitorFalso, ASilentReadingIsGivenUpAndCancelled) {
    g_modo = ModoLeitor::Silencia;
    Prazos prazos;
    prazos.silencioMs = 700;
    EXPECT_EQ(Roda(prazos, 5000), FimBinario::LeituraFalhou);
    ConfereFalha("  <- A leitura das memórias parou de responder.");
    EXPECT_EQ(g_cancelamentos, 1);
}

TEST_F(LeitorFalso, AnEmptySerialNumberIsRefusedBeforeAnythingIsCalled) {
    TGeraRFDBinarioThread fio(
        [&] {
            ParametrosBinarios p = Parametros();
            p.serie = "   ";
            return p;
        }(),
        registro.ComoEventos());
    fio.Resume();
    ASSERT_TRUE(fio.EsperaFim(5000));
    EXPECT_EQ(fio.Fim(), FimBinario::Recusado);
    EXPECT_EQ(fio.Retorno(), 0);
    EXPECT_EQ(g_leituras, 0);
    EXPECT_EQ(g_polls, 0);
    EXPECT_EQ(registro.Linhas().back(), "  <- Operação falhou!");
}

TEST_F(LeitorFalso, StoppingARunThatWaitsForItsReaderEndsItAtOnce) {
    g_modo = ModoLeitor::NuncaComeca;
    Prazos prazos;
    prazos.inicioMs = 3600 * 1000;  // a wait no test outlasts: only the stop can end it
    auto fio = std::make_unique<TGeraRFDBinarioThread>(Parametros(), registro.ComoEventos(), prazos);
    std::atomic<bool> avisado{false};
    fio->AoTerminar([&] { avisado = true; });
    fio->Resume();
    while (g_polls == 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    fio.reset();  // the form closing: stop, join, free
    EXPECT_TRUE(avisado);
    EXPECT_EQ(g_conversoes, 0);
}

TEST(BibliotecasExternas, AMissingLibraryEndsTheRunWithItsNameAndTheFailureLine) {
    EntradasExternas e;
    std::string erro;
    EXPECT_FALSE(CarregaEntradasExternas(e, erro, "Inexistente.dll", "ATO17.dll"));
    EXPECT_NE(erro.find("Inexistente.dll"), std::string::npos) << erro;
    EXPECT_FALSE(CarregaEntradasExternas(e, erro, "Leitura.dll", "Falta.dll"));
    EXPECT_NE(erro.find("Falta.dll"), std::string::npos) << erro;
    ASSERT_TRUE(CarregaEntradasExternas(e, erro)) << erro;  // our stand-ins, beside this program
    EXPECT_TRUE(e.leMemorias && e.status && e.cancela && e.geraArquivo);

    DefineCarregadorExterno([](EntradasExternas& x, std::string& m) {
        return CarregaEntradasExternas(x, m, "Inexistente.dll", "ATO17.dll");
    });
    Registro registro;
    teste::PastaTemporaria pasta;
    ParametrosBinarios p;
    p.pasta = pasta.Caminho();
    p.serie = "BE0910SC56789012345";
    std::atomic<bool> parar{false};
    EXPECT_EQ(ExecutaGeracaoBinaria(p, registro.ComoEventos(), {}, parar), FimBinario::SemBiblioteca);
    DefineCarregadorExterno(nullptr);
    const auto l = registro.Linhas();
    ASSERT_EQ(l.size(), 2u);
    EXPECT_EQ(l[0].rfind("  <- Biblioteca Inexistente.dll não encontrada", 0), 0u) << l[0];
    EXPECT_EQ(l[1], "  <- Operação falhou!");
}

// --- the stand-ins against the emulated printer ----------------------------------------------------

class SubstitutasComEmulador : public ::testing::Test {
  protected:
    teste::PastaTemporaria dev, destino;
    teste::Variavel v{"TARVO_DEVDIR", dev.Caminho()};
    emulador::Emulador e;
    Registro registro;
    std::atomic<bool> parar{false};

    void SetUp() override {
        ASSERT_TRUE(e.Inicia(dev.Caminho(), "COM1")) << e.Erro();
        e.Altera([](emulador::Impressora& i) { i.numeroSerie = "BE0910SC56789012345"; });
    }
    // A receipt and the Z of each day from the 30th of December 2009 to the 1st of January.
    void Vende() {
        for (int d : {30, 31, 1}) {
            e.Altera([&](emulador::Impressora& i) {
                i.AjustaRelogio(d == 1 ? emulador::DataHora{2010, 1, 1, 9, 0, 0}
                                       : emulador::DataHora{2009, 12, d, 9, 0, 0});
                const std::pair<const char*, const char*> passos[] = {
                    {"AbreCupomFiscal", ""},
                    {"VendeItem",
                     "CodAliquota=0 CodProduto=\"1\" NomeProduto=\"PAO\" PrecoUnitario=1,00 "
                     "Quantidade=3,000"},
                    {"PagaCupom", "CodMeioPagamento=-2 Valor=10,00"},
                    {"EncerraDocumento", ""},
                    {"EmiteReducaoZ", ""},
                };
                for (const auto& [c, p] : passos) ASSERT_EQ(i.Executa(c, p).codigo, 0) << c;
            });
        }
    }
    ParametrosBinarios Parametros(bool unico) const {
        ParametrosBinarios p;
        p.pasta = destino.Caminho();
        p.serie = "BE0910SC56789012345";
        p.arquivoUnico = unico;
        p.inicio = {2009, 12, 30};
        p.fim = {2010, 1, 2};
        return p;
    }
};

TEST_F(SubstitutasComEmulador, OneFilePerDayFromTheDumpWithTheirLogLines) {
    Vende();
    if (HasFatalFailure()) return;
    TGeraRFDBinarioThread fio(Parametros(false), registro.ComoEventos());
    fio.Resume();
    ASSERT_TRUE(fio.EsperaFim(60000));
    EXPECT_EQ(fio.Fim(), FimBinario::Convertido);
    EXPECT_EQ(fio.Retorno(), 1);

    EXPECT_TRUE(fs::exists(destino / "BE0910SC56789012345.TDM"));
    for (const char* nome : {"BE012345.UC9", "BE012345.VC9", "BE012345.110", "BE012345.210"})
        EXPECT_TRUE(fs::exists(destino / nome)) << nome;
    EXPECT_FALSE(fs::exists(destino / "BE012345.txt"));
    // The 30th's file holds that day's reduction only.
    const std::string dia30 = teste::LeArquivo(destino / "BE012345.UC9");
    EXPECT_NE(dia30.find("E12"), std::string::npos);
    EXPECT_NE(dia30.find("20091230"), std::string::npos);
    EXPECT_EQ(dia30.find("20091231"), std::string::npos);

    const auto l = registro.Linhas();
    ASSERT_GE(l.size(), 4u);
    EXPECT_EQ(l[0], "  -> Aguardando início da leitura das Memórias");
    const auto depois = std::find(l.begin(), l.end(), "  <- Leitura das memórias realizada com sucesso!");
    ASSERT_NE(depois, l.end());
    const std::vector<std::string> conversao(depois + 1, l.end());
    EXPECT_EQ(conversao, (std::vector<std::string>{
                             "  -> Gerando arquivo RFD: BE012345.UC9",
                             "  -> Arquivo BE012345.UC9 - gerado com sucesso.",
                             "  -> Gerando arquivo RFD: BE012345.VC9",
                             "  -> Arquivo BE012345.VC9 - gerado com sucesso.",
                             "  -> Gerando arquivo RFD: BE012345.110",
                             "  -> Arquivo BE012345.110 - gerado com sucesso.",
                             "  -> Gerando arquivo RFD: BE012345.210",
                             "  -> Arquivo BE012345.210 - gerado com sucesso.",
                             "  -> Geração do arquivo RFD terminada.",
                         }));
    EXPECT_FALSE(registro.BarraForaDaFaixa());
}

TEST_F(SubstitutasComEmulador, OneFileForThePeriodIsTheBaseNameDotTxt) {
    Vende();
    if (HasFatalFailure()) return;
    EXPECT_EQ(ExecutaGeracaoBinaria(Parametros(true), registro.ComoEventos(), {}, parar),
              FimBinario::Convertido);
    const std::string txt = teste::LeArquivo(destino / "BE012345.txt");
    EXPECT_NE(txt.find("20091230"), std::string::npos);
    EXPECT_NE(txt.find("20091231"), std::string::npos);
    EXPECT_FALSE(fs::exists(destino / "BE012345.UC9"));
    const auto l = registro.Linhas();
    ASSERT_GE(l.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(l.end() - 3, l.end()),
              (std::vector<std::string>{"  -> Gerando arquivo RFD: BE012345.txt",
                                        "  -> Arquivo RFD gerado com sucesso!",
                                        "  -> Geração do arquivo RFD terminada."}));
}

TEST_F(SubstitutasComEmulador, AReadingOfAnotherPrinterEndsInErrorAndIsNotConverted) {
    ParametrosBinarios p = Parametros(false);
    p.serie = "XX0000000000000000001";
    EXPECT_EQ(ExecutaGeracaoBinaria(p, registro.ComoEventos(), {}, parar), FimBinario::LeituraFalhou);
    const auto l = registro.Linhas();
    ASSERT_GE(l.size(), 2u);
    EXPECT_EQ(l[l.size() - 2], "  <- Leitura das memórias finalizada com erro!");
    EXPECT_EQ(l.back(), "  <- Operação falhou!");
    for (const auto& f : fs::directory_iterator(destino.Caminho()))
        EXPECT_NE(f.path().filename().string().rfind("XX000001", 0), 0u) << f.path();
}

// --- the text route ---------------------------------------------------------------------------------

TEST(RotaTexto, TheZThreadCallsOncePerCounterAndStopsAtTheFirstFailure) {
    struct Caso {
        int primeiro, ultimo, falhaEm;
        std::vector<int> chamadas;
        int retorno, maximo, posicaoFinal;
    };
    const Caso casos[] = {
        {7, 7, 0, {7}, 1, 2, 2},           // one counter, one call, bar 0..2
        {3, 6, 0, {3, 4, 5, 6}, 1, 5, 5},  // the whole range
        {3, 6, 5, {3, 4, 5}, 0, 5, 4},     // stops at the failure
        {6, 3, 0, {}, 0, -1, -1},          // first above last: nothing is called
        {0, 3, 0, {}, 0, -1, -1},
    };
    for (const Caso& c : casos) {
        std::mutex m;
        std::vector<int> chamadas;
        int maximo = -1, posicao = -1;
        std::atomic<bool> avisado{false};
        {
            TGeraRFDCRZThread fio(
                c.primeiro, c.ultimo,
                [&](int n) {
                    std::lock_guard<std::mutex> l(m);
                    chamadas.push_back(n);
                    return n == c.falhaEm ? 0 : 1;
                },
                [&](int minimo, int max, int pos) {
                    std::lock_guard<std::mutex> l(m);
                    EXPECT_EQ(minimo, 0);
                    maximo = max, posicao = pos;
                });
            fio.AoTerminar([&] { avisado = true; });
            fio.Resume();
            ASSERT_TRUE(fio.EsperaFim(5000));
            EXPECT_TRUE(fio.Terminado());
            EXPECT_EQ(fio.Retorno(), c.retorno) << c.primeiro << ".." << c.ultimo;
        }
        EXPECT_TRUE(avisado);
        EXPECT_EQ(chamadas, c.chamadas) << c.primeiro << ".." << c.ultimo;
        EXPECT_EQ(maximo, c.maximo);
        EXPECT_EQ(posicao, c.posicaoFinal);
    }
    EXPECT_EQ(RecusaIntervaloZ(6, 3), "  <- A redução Z inicial é maior que a final.");
    EXPECT_EQ(RecusaIntervaloZ(3, 3), "");
}

TEST(RotaTexto, TheDateThreadCallsOnceWithBothDatesAsDdmmyy) {
    std::string recebido;
    int vezes = 0;
    TGeraRFDDataThread fio({2009, 12, 30}, {2010, 1, 2}, [&](const std::string& i, const std::string& f) {
        ++vezes;
        recebido = i + "," + f;
        return 1;
    });
    fio.Resume();
    ASSERT_TRUE(fio.EsperaFim(5000));
    EXPECT_EQ(fio.Retorno(), 1);
    EXPECT_EQ(vezes, 1);
    EXPECT_EQ(recebido, "301209,020110");
}

}  // namespace
