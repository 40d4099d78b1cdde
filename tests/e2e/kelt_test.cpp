// The non-fiscal printer line through the real libtarvo.so: the exact bytes each export puts
// on the serial line (emulated printer on a pseudo-terminal) and on the parallel port
// (simulated printer behind the stand-in libinpout32.so), the status exports, the refusals
// and the log.
#include <chrono>
#include <climits>
#include <functional>
#include <thread>
#include <vector>

#include "comum/perifericos.h"

namespace {

using teste::EsperasDestaThread;
using teste::Hex;
using namespace std::string_literals;

struct Linha {
    const char* oQue;
    std::function<int(teste::Tarvo&)> chama;
    std::string bytes;
};

std::vector<Linha> Linhas() {
    const std::string pdf(300, 'P');
    return {
        {"drawer", [](teste::Tarvo& t) { return K(t, Kelt_AcionaGaveta); }, "\x1Bv2"s},
        {"buzzer 250 ms", [](teste::Tarvo& t) { return K(t, Kelt_AcionaBuzLite, 1, 250, 0); }, "\x1Bv\xC8"s},
        {"full cut", [](teste::Tarvo& t) { return K(t, Kelt_AcionaGuilhotina, 1); }, "\x1Bw"s},
        {"partial cut", [](teste::Tarvo& t) { return K(t, Kelt_AcionaGuilhotina, 7); }, "\x1Bm"s},
        {"partial cut n", [](teste::Tarvo& t) { return K(t, Kelt_AcionaGuilhotinaParcial, 66); },
         "\x1DV\x42"s},
        {"UPCA", [](teste::Tarvo& t) { return K(t, Kelt_ImprimeCodigoBarrasUPCA, "01234"); },
         "\x1Dk\x00"
         "01234\x00"s},
        {"UPCE", [](teste::Tarvo& t) { return K(t, Kelt_ImprimeCodigoBarrasUPCE, "01234"); },
         "\x1Dk\x01"
         "01234\x00"s},
        {"EAN13", [](teste::Tarvo& t) { return K(t, Kelt_ImprimeCodigoBarrasEAN13, "01234"); },
         "\x1Dk\x02"
         "01234\x00"s},
        {"EAN8", [](teste::Tarvo& t) { return K(t, Kelt_ImprimeCodigoBarrasEAN8, "01234"); },
         "\x1Dk\x03"
         "01234\x00"s},
        {"ITF", [](teste::Tarvo& t) { return K(t, Kelt_ImprimeCodigoBarrasITF, "01234"); },
         "\x1Dk\x05"
         "01234\x00"s},
        {"CODABAR", [](teste::Tarvo& t) { return K(t, Kelt_ImprimeCodigoBarrasCODABAR, "01234"); },
         "\x1Dk\x06"
         "01234\x00"s},
        {"ISBN", [](teste::Tarvo& t) { return K(t, Kelt_ImprimeCodigoBarrasISBN, "01234"); },
         "\x1Dk\x15"
         "01234\x00"s},
        {"MSI", [](teste::Tarvo& t) { return K(t, Kelt_ImprimeCodigoBarrasMSI, "01234"); },
         "\x1Dk\x16"
         "01234\x00"s},
        {"PLESSEY", [](teste::Tarvo& t) { return K(t, Kelt_ImprimeCodigoBarrasPLESSEY, "01234"); },
         "\x1Dk\x17"
         "01234\x00"s},
        {"CODE39", [](teste::Tarvo& t) { return K(t, Kelt_ImprimeCodigoBarrasCODE39, "AB-12"); },
         "\x1Dk\x45\x05"
         "AB-12"s},
        {"CODE93", [](teste::Tarvo& t) { return K(t, Kelt_ImprimeCodigoBarrasCODE93, "AB-12"); },
         "\x1Dk\x48\x05"
         "AB-12"s},
        {"CODE128", [](teste::Tarvo& t) { return K(t, Kelt_ImprimeCodigoBarrasCODE128, "AB-12"); },
         "\x1Dk\x49\x05"
         "AB-12"s},
        {"CODE128 of 255",
         [](teste::Tarvo& t) { return K(t, Kelt_ImprimeCodigoBarrasCODE128, std::string(255, 'c').c_str()); },
         "\x1Dk\x49\xFF"s + std::string(255, 'c')},
        {"PDF417 of 300",
         [pdf](teste::Tarvo& t) { return K(t, Kelt_ImprimeCodigoBarrasPDF417, 1, 2, 3, 255, pdf.c_str()); },
         "\x1Dk\x80\x01\x02\x03\xFF\x2C\x01"s + pdf},
        {"bar-code setup",
         [](teste::Tarvo& t) { return K(t, Kelt_ConfiguraCodigoBarras, 162, 3, 2, 1, 300); },
         "\x1Dh\xA2\x1Dw\x03\x1DH\x02\x1D"
         "f\x01\x1Dk\x84\x2C\x01"s},
        {"paper width", [](teste::Tarvo& t) { return K(t, Kelt_AjustaLarguraPapel, 576); }, "\x1DW\x40\x02"s},
        {"every print mode",
         [](teste::Tarvo& t) { return K(t, Kelt_EnviaBufferFormatado, "Texto", 1, 1, 1, 1, 1); },
         "\x1BM1\x1B-1\x1B"
         "4\x1B"
         "E\x1BW1Texto\x1BM0\x1B-0\x1B"
         "5\x1B"
         "F\x1BW0"s},
        {"font only when 1",
         [](teste::Tarvo& t) { return K(t, Kelt_EnviaBufferFormatado, "x", 2, 0, 0, 0, 0); }, "x"s},
        {"italics and bold",
         [](teste::Tarvo& t) { return K(t, Kelt_EnviaBufferFormatado, "y", 0, 9, 0, 0, -1); },
         "\x1B"
         "4\x1B"
         "Ey\x1B"
         "5\x1B"
         "F"s},
        {"text", [](teste::Tarvo& t) { return K(t, Kelt_EnviaBuffer, "Linha 1\nLinha 2\n"); },
         "Linha 1\nLinha 2\n"s},
        {"raw bytes with NULs", [](teste::Tarvo& t) { return K(t, Kelt_EnviaComando, "A\0B\0\x1Bz", 5); },
         "A\0B\0\x1B"s},
        {"no raw bytes", [](teste::Tarvo& t) { return K(t, Kelt_EnviaComando, "ABC", 0); }, ""s},
    };
}

// Calls that do not fit their bytes: refused, nothing sent.
std::vector<Linha> Recusas() {
    return {
        {"CODE128 of 300",
         [](teste::Tarvo& t) { return K(t, Kelt_ImprimeCodigoBarrasCODE128, std::string(300, 'c').c_str()); },
         ""},
        {"CODE39 of 256",
         [](teste::Tarvo& t) { return K(t, Kelt_ImprimeCodigoBarrasCODE39, std::string(256, 'c').c_str()); },
         ""},
        {"CODE93 of 256",
         [](teste::Tarvo& t) { return K(t, Kelt_ImprimeCodigoBarrasCODE93, std::string(256, 'c').c_str()); },
         ""},
        {"PDF417 of 65536",
         [](teste::Tarvo& t) {
             return K(t, Kelt_ImprimeCodigoBarrasPDF417, 1, 1, 1, 1, std::string(65536, 'p').c_str());
         },
         ""},
        {"PDF417 parameter 256",
         [](teste::Tarvo& t) { return K(t, Kelt_ImprimeCodigoBarrasPDF417, 1, 256, 1, 1, "p"); }, ""},
        {"PDF417 parameter -1",
         [](teste::Tarvo& t) { return K(t, Kelt_ImprimeCodigoBarrasPDF417, -1, 1, 1, 1, "p"); }, ""},
        {"negative byte count", [](teste::Tarvo& t) { return K(t, Kelt_EnviaComando, "ABC", -1); }, ""},
        {"null bytes", [](teste::Tarvo& t) { return K(t, Kelt_EnviaComando, nullptr, 3); }, ""},
        {"paper width 65536", [](teste::Tarvo& t) { return K(t, Kelt_AjustaLarguraPapel, 65536); }, ""},
        {"paper width -1", [](teste::Tarvo& t) { return K(t, Kelt_AjustaLarguraPapel, -1); }, ""},
        {"setup count 65536",
         [](teste::Tarvo& t) { return K(t, Kelt_ConfiguraCodigoBarras, 1, 1, 1, 1, 65536); }, ""},
        {"setup height 256",
         [](teste::Tarvo& t) { return K(t, Kelt_ConfiguraCodigoBarras, 256, 1, 1, 1, 1); }, ""},
        {"partial cut 256", [](teste::Tarvo& t) { return K(t, Kelt_AcionaGuilhotinaParcial, 256); }, ""},
        {"partial cut -1", [](teste::Tarvo& t) { return K(t, Kelt_AcionaGuilhotinaParcial, -1); }, ""},
        {"buzzer INT_MAX times", [](teste::Tarvo& t) { return K(t, Kelt_AcionaBuzLite, INT_MAX, 100, 0); },
         ""},
        {"buzzer 11 times", [](teste::Tarvo& t) { return K(t, Kelt_AcionaBuzLite, 11, 100, 0); }, ""},
        {"buzzer pause INT_MAX", [](teste::Tarvo& t) { return K(t, Kelt_AcionaBuzLite, 1, 100, INT_MAX); },
         ""},
    };
}

class Kelt : public teste::ComPerifericos {
  protected:
    // Checks every row against what the printer got, read by `recebidos`.
    static void Confere(teste::Tarvo& t, const std::function<std::string()>& recebidos,
                        const std::function<void()>& limpa, const std::function<void(std::size_t)>& espera) {
        for (const Linha& l : Linhas()) {
            limpa();
            EXPECT_EQ(l.chama(t), 1) << l.oQue << ": " << t.UltimoErro().second;
            EXPECT_EQ(t.UltimoErro().first, 0) << l.oQue;
            espera(l.bytes.size());
            EXPECT_EQ(Hex(recebidos()), Hex(l.bytes)) << l.oQue;
        }
        for (const Linha& l : Recusas()) {
            limpa();
            EXPECT_EQ(l.chama(t), 0) << l.oQue;
            EXPECT_EQ(t.UltimoErro().first, -2) << l.oQue;
            espera(0);
            EXPECT_EQ(Hex(recebidos()), "") << l.oQue;
        }
    }
};

TEST_F(Kelt, EveryExportPutsItsBytesOnTheSerialLine) {
    Ini("TARVO_KELT_SERIAL", "BAUD=9600\r\n");
    Roda([](Contexto& c) {
        Confere(
            c.t, [&] { return c.impressora.Recebidos(); }, [&] { c.impressora.Limpa(); },
            [&](std::size_t n) { c.impressora.EsperaBytes(n, n ? 1000 : 50); });
    });
}

TEST_F(Kelt, EveryExportPutsItsBytesOnTheParallelPort) {
    Ini("TARVO_KELT_LPT");
    Roda([this](Contexto& c) {
        Confere(
            c.t, [&] { return Capturado(); }, [&] { LimpaCaptura(); }, [](std::size_t) {});
    });
}

TEST_F(Kelt, TheBuzzerClampsItsDurationAndPausesAfterEachSound) {
    Ini("TARVO_KELT_LPT");
    Roda([this](Contexto& c) {
        const long esperas = EsperasDestaThread();
        EXPECT_EQ(K(c.t, Kelt_AcionaBuzLite, 2, 30, 100), 1);
        EXPECT_EQ(Hex(Capturado()), "1B 76 32 1B 76 32");  // 30 ms raised to 50
        EXPECT_GE(EsperasDestaThread() - esperas, 2);      // a pause after each of the two
        LimpaCaptura();
        EXPECT_EQ(K(c.t, Kelt_AcionaBuzLite, 0, 100, 100), 0);
        EXPECT_EQ(Capturado(), "");
    });
}

// Each TarvoCupom_ export of the list, called with the arguments its Kelt_ export gets,
// gives the same bytes, the same result and the same last error.
struct Gemeo {
    const char* nome;
    const char* alvo;
    int (*chama)(void* simbolo);
};
#define ARG(k, ...) TARVO_PP_CAT(ARG_, k)(__VA_ARGS__)
#define ARG_s(n, ...) "0123456789"
#define ARG_c(n) "0123456789"
#define ARG_i(n) 2
#define ARG_x(n, quantos) "A\0B", 3
#define ARG_p(n) &inteiro
#define ARG_o(n, max) buffer
#define ARG_r(n, max, modo, largura) buffer
#define ARG_n(...)
#define TARVO_EXPORT(...)
#define TARVO_GEMEO(ret, nome, alvo, ...)                                   \
    {#nome, #alvo, [](void* simbolo) -> int {                               \
         static char buffer[4096];                                          \
         static int inteiro;                                                \
         (void)buffer, (void)inteiro;                                       \
         using F = ret(TARVO_MAP(TARVO_DECL, __VA_ARGS__));                 \
         return reinterpret_cast<F*>(simbolo)(TARVO_MAP(ARG, __VA_ARGS__)); \
     }},
const Gemeo kGemeos[] = {
#include "tarvo_exports.def"
};
#undef TARVO_EXPORT
#undef TARVO_GEMEO

TEST_F(Kelt, EachTwinGivesTheBytesOfItsExport) {
    Ini("TARVO_KELT_LPT");
    Roda([this](Contexto& c) {
        int kelt = 0;
        for (const Gemeo& g : kGemeos) {
            struct Efeito {
                int resultado;
                std::pair<int, std::string> erro;
                std::string bytes;
            };
            auto roda = [&](const char* nome) {
                LimpaCaptura();
                K(c.t, Kelt_AjustaLarguraPapel, 65536);  // a known last error before each call
                Efeito e;
                e.resultado = g.chama(c.t.Simbolo(nome));
                e.erro = c.t.UltimoErro();
                e.bytes = Capturado();
                return e;
            };
            ASSERT_NE(c.t.Simbolo(g.nome), nullptr) << g.nome;
            const Efeito alvo = roda(g.alvo), gemeo = roda(g.nome);
            EXPECT_EQ(gemeo.resultado, alvo.resultado) << g.nome;
            EXPECT_EQ(gemeo.erro, alvo.erro) << g.nome;
            EXPECT_EQ(Hex(gemeo.bytes), Hex(alvo.bytes)) << g.nome;
            if (std::string(g.alvo).rfind("Kelt_", 0) == 0) ++kelt;
        }
        EXPECT_EQ(kelt, 28);
        EXPECT_EQ(std::size(kGemeos), 29u);
    });
}

TEST_F(Kelt, StatusOfTheSerialPrinter) {
    Ini("TARVO_KELT_SERIAL");
    Roda([](Contexto& c) {
        emulador::EstadoKelt e;
        c.impressora.Define(e);
        EXPECT_EQ(K(c.t, Kelt_VerificaEstadoGaveta), 1);
        EXPECT_EQ(K(c.t, Kelt_VerificaPoucoPapel), 1);
        EXPECT_EQ(K(c.t, Kelt_VerificaFimPapel), 1);
        EXPECT_EQ(K(c.t, Kelt_VerificaOnLine), 1);
        c.impressora.EsperaBytes(9, 1000);
        EXPECT_EQ(Hex(c.impressora.Recebidos()), "10 04 01 10 04 04 10 04 04");
        e.gavetaAberta = e.poucoPapel = true;
        c.impressora.Define(e);
        EXPECT_EQ(K(c.t, Kelt_VerificaEstadoGaveta), 2);
        EXPECT_EQ(K(c.t, Kelt_VerificaPoucoPapel), 2);
        EXPECT_EQ(K(c.t, Kelt_VerificaFimPapel), 1);
        e.semPapel = true;
        c.impressora.Define(e);
        EXPECT_EQ(K(c.t, Kelt_VerificaFimPapel), 2);
        // An offline printer answers nothing: -10 after the 2 s wait.
        e.offline = true;
        c.impressora.Define(e);
        const long esperas = EsperasDestaThread();
        EXPECT_EQ(K(c.t, Kelt_VerificaFimPapel), 0);
        EXPECT_LE(EsperasDestaThread() - esperas, 50);  // one wait for the answer, not a look every few ms
        EXPECT_EQ(c.t.UltimoErro(), std::make_pair(-10, std::string("Impressora offline ou desligada")));
    });
}

TEST_F(Kelt, SerialPortThatDoesNotOpenAnswersMinusFiveAtOnce) {
    Ini("TARVO_KELT_SERIAL");
    GravaChave("Porta", "COM9");
    Roda([](Contexto& c) {
        const long esperas = EsperasDestaThread();
        EXPECT_EQ(K(c.t, Kelt_VerificaFimPapel), -5);
        EXPECT_EQ(K(c.t, Kelt_VerificaEstadoGaveta), -5);
        EXPECT_EQ(K(c.t, Kelt_VerificaOnLine), -5);
        EXPECT_EQ(K(c.t, Kelt_AcionaGaveta), -5);
        EXPECT_EQ(K(c.t, Kelt_EnviaComando, "x", 1), -5);
        EXPECT_LE(EsperasDestaThread() - esperas, 50);  // no waiting for a port that is not there
        EXPECT_EQ(c.t.UltimoErro(), std::make_pair(-5, std::string("Erro Abertura Porta Serial")));
    });
}

TEST_F(Kelt, StatusOfTheParallelPrinter) {
    Ini("TARVO_KELT_LPT");
    Roda([this](Contexto& c) {
        EstadoLpt("");
        EXPECT_EQ(K(c.t, Kelt_VerificaOnLine), 1);
        EXPECT_EQ(K(c.t, Kelt_VerificaFimPapel), 1);
        // Drawer and paper low have no meaning here: 0, the last error as it was.
        K(c.t, Kelt_AjustaLarguraPapel, -1);
        EXPECT_EQ(K(c.t, Kelt_VerificaPoucoPapel), 0);
        EXPECT_EQ(K(c.t, Kelt_VerificaEstadoGaveta), 0);
        EXPECT_EQ(c.t.UltimoErro().first, -2);
        EstadoLpt("sempapel");
        EXPECT_EQ(K(c.t, Kelt_VerificaFimPapel), 2);
        EXPECT_EQ(K(c.t, Kelt_VerificaOnLine), 0);
        EXPECT_EQ(c.t.UltimoErro().first, -10);
        EstadoLpt("ocupada");
        EXPECT_EQ(K(c.t, Kelt_VerificaOnLine), 0);
        EXPECT_EQ(K(c.t, Kelt_VerificaFimPapel), 1);
        EstadoLpt("offline");
        EXPECT_EQ(K(c.t, Kelt_VerificaOnLine), 0);
        EXPECT_EQ(K(c.t, Kelt_VerificaFimPapel), 2);  // not selected
        // An offline printer takes no byte: -10 after 1 s of waiting that costs no CPU,
        // nothing latched.
        LimpaCaptura();
        const long esperas = EsperasDestaThread();
        EXPECT_EQ(K(c.t, Kelt_AcionaGaveta), 0);
        // Pauses growing to 5 ms: some two hundred in the second, not a look every few µs.
        EXPECT_GE(EsperasDestaThread() - esperas, 1);
        EXPECT_LE(EsperasDestaThread() - esperas, 1000 / 5 + 50);
        EXPECT_EQ(c.t.UltimoErro(), std::make_pair(-10, std::string("Impressora offline ou desligada")));
        EXPECT_EQ(Capturado(), "");
    });
}

TEST_F(Kelt, UnderFamilyZeroTheSendersRefuseAndTheStatusReadsTheParallelPort) {
    teste::EscreveArquivo(home / "TARVO.INI", "[Sistema]\r\nPorta=COM1\r\nHomologar=1\r\n");
    Roda([this](Contexto& c) {
        const std::string tag = "Comando Inexistente para este modelo:Funcoes da Impressora Kelt";
        EXPECT_EQ(K(c.t, Kelt_AcionaGaveta), 0);
        EXPECT_EQ(c.t.UltimoErro(), std::make_pair(-2, tag));
        EXPECT_EQ(K(c.t, TarvoCupom_AcionaGaveta), 0);
        EXPECT_EQ(K(c.t, Kelt_EnviaComando, "abc", 3), 0);
        EXPECT_EQ(K(c.t, Kelt_ImprimeCodigoBarrasCODE128, std::string(300, 'c').c_str()), 0);
        EXPECT_EQ(c.t.UltimoErro(), std::make_pair(-2, tag));
        EstadoLpt("sempapel");
        EXPECT_EQ(K(c.t, Kelt_VerificaFimPapel), 2);
        EXPECT_EQ(K(c.t, Kelt_VerificaOnLine), 0);
        EstadoLpt("");
        EXPECT_EQ(K(c.t, Kelt_VerificaOnLine), 1);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_EQ(c.impressora.Recebidos(), "");
        EXPECT_EQ(Capturado(), "");
    });
}

TEST_F(Kelt, WithoutTheParallelLibraryOrOneOfItsEntriesNothingLooksSent) {
    Ini("TARVO_KELT_LPT");
    const std::string mensagem = "N\xE3o foi poss\xEDvel carregar INPOUT32.DLL";
    for (const char* standin : {"", INPOUT32_SEM_INP32, INPOUT32_SEM_OUT32}) {
        teste::PastaTemporaria pasta;
        const std::string biblioteca = BibliotecaCom(pasta, standin);
        Roda(
            [&](Contexto& c) {
                EXPECT_EQ(K(c.t, Kelt_AcionaGaveta), 0) << standin;
                EXPECT_EQ(c.t.UltimoErro(), std::make_pair(-11, mensagem)) << standin;
                EXPECT_EQ(K(c.t, Kelt_EnviaComando, "ab", 2), 0) << standin;
                EXPECT_EQ(c.t.UltimoErro().first, -11) << standin;
            },
            biblioteca);
        EXPECT_EQ(Capturado(), "") << standin;
    }
    // Without the library the status register reads 0x80: not selected, offline.
    teste::PastaTemporaria pasta;
    const std::string biblioteca = BibliotecaCom(pasta, "");
    Roda([](Contexto& c) { EXPECT_EQ(K(c.t, Kelt_VerificaOnLine), 0); }, biblioteca);
    EXPECT_NE(Log().find("LeituraPorta:128 80"), std::string::npos);
}

TEST_F(Kelt, ABaudChangeBetweenTwoPacketsIsTakenByTheSecond) {
    Ini("TARVO_KELT_SERIAL", "BAUD=9600\r\n");
    Roda([this](Contexto& c) {
        EXPECT_EQ(K(c.t, Kelt_AcionaGaveta), 1);
        ASSERT_TRUE(c.impressora.EsperaBytes(3, 1000));
        GravaChave("BAUD", "4800");
        EXPECT_EQ(K(c.t, Kelt_AcionaGaveta), 1);
        ASSERT_TRUE(c.impressora.EsperaBytes(6, 1000));
        auto v = c.impressora.Velocidades();
        EXPECT_EQ(v.front(), 9600);
        EXPECT_EQ(v.back(), 4800);
    });
}

TEST_F(Kelt, TheLogLinesOfBothPorts) {
    Ini("TARVO_KELT_LPT");
    Roda([](Contexto& c) {
        EXPECT_EQ(K(c.t, Kelt_AcionaGaveta), 1);
        EXPECT_EQ(K(c.t, Kelt_EnviaComando, "A\x1B", 2), 1);
        EXPECT_EQ(K(c.t, Kelt_VerificaFimPapel), 1);
    });
    std::string log = Log();
    for (const char* linha : {"=><<Porta (LPT1) utilizada >>\r\n", "=>Pacote Kelt ASCII(LPT):[ \x1Bv2 ]\r\n",
                              "=>Pacote Kelt HEX(LPT):  [ 1B 76 32  ]\r\n", "=>[0]=41\r\n", "=>[1]=1B\r\n",
                              "=>Pacote Kelt HEX(LPT):  [ 41 1B  ]\r\n", "=>LeituraPorta:152 98\r\n",
                              "=>---------------[1.0.0.22]------------\r\n"})
        EXPECT_NE(log.find(linha), std::string::npos) << linha << "\n" << log;
    EstadoLpt("offline");
    Roda([](Contexto& c) { EXPECT_EQ(K(c.t, Kelt_AcionaGaveta), 0); });
    EXPECT_NE(Log().find("=>[ IMPRESSORA OFFLINE OU DESLIGADA ]\r\n"), std::string::npos);

    Ini("TARVO_KELT_SERIAL");
    Roda([](Contexto& c) {
        EXPECT_EQ(K(c.t, Kelt_AcionaGaveta), 1);
        EXPECT_EQ(K(c.t, Kelt_VerificaEstadoGaveta), 1);
        EXPECT_EQ(K(c.t, Kelt_EnviaComando, "\0", 1), 1);
    });
    log = Log();
    for (const char* linha : {"=>Pacote Kelt ASCII:[ \x1Bv2 ]\r\n", "=>Pacote Kelt HEX:  [ 1B 76 32  ]\r\n",
                              "=>Pacote Kelt HEX:  [ 10 04 01  ]\r\n", "=>Pacote Rec  ASCII:[ \x16 ]\r\n",
                              "=>Pacote Rec  HEX:  [ 16  ]\r\n", "=>Pacote Kelt HEX(LPT):  [ 00  ]\r\n"})
        EXPECT_NE(log.find(linha), std::string::npos) << linha << "\n" << log;
}

TEST_F(Kelt, ACallFromAnotherThreadWaitsForThePacketOnTheWire) {
    Ini("TARVO_KELT_LPT");
    EstadoLpt("ocupada");
    Roda([this](Contexto& c) {
        // The first packet waits 1 s for the busy printer. The drawer asked meanwhile from
        // another thread waits its turn and then reports what happened to its own packet,
        // never a success for a packet that did not go out.
        std::thread primeiro([&] { EXPECT_EQ(K(c.t, Kelt_AcionaGuilhotina, 1), 0); });
        // The first packet is on the wire once its port line is in the log.
        for (int i = 0; i < 200 && Log().find("utilizada") == std::string::npos; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_NE(Log().find("utilizada"), std::string::npos);
        EXPECT_EQ(K(c.t, Kelt_AcionaGaveta), 0);
        primeiro.join();
        // The drawer's packet went on the wire only after the first one had failed.
        const std::string log = Log();
        const std::size_t offline = log.find("IMPRESSORA OFFLINE");
        const std::size_t segunda = log.find("utilizada", log.find("utilizada") + 1);
        ASSERT_NE(segunda, std::string::npos) << log;
        EXPECT_LT(offline, segunda) << log;
        EXPECT_NE(log.find("IMPRESSORA OFFLINE", segunda), std::string::npos) << log;
        EXPECT_EQ(c.t.UltimoErro().first, -10);
        EXPECT_EQ(Capturado(), "");
    });
}

#ifdef EXEMPLO_NAOFISCAL
// The C example, a host that knows only tarvo.h, against both families and the scale.
TEST_F(Kelt, APlainCHostDrivesBothFamiliesAndTheScale) {
    teste::Variavel h{"TARVO_HOME", home.Caminho()}, d{"TARVO_DEVDIR", dev.Caminho()},
        s{"TARVO_LPT_SIMULADA", lpt.Caminho()};
    emulador::ImpressoraKelt impressora;
    emulador::Balanca balanca;
    ASSERT_TRUE(impressora.Inicia(dev.Caminho(), "COM1"));
    ASSERT_TRUE(balanca.Inicia(dev.Caminho(), "COM3"));
    auto roda = [&] {
        return teste::EmProcessoFilho([&] {
            if (::chdir(atual.Caminho().c_str()) != 0) return 98;
            std::freopen((atual / "saida.txt").c_str(), "w", stdout);
            ::execl(EXEMPLO_NAOFISCAL, EXEMPLO_NAOFISCAL, "COM3", static_cast<char*>(nullptr));
            return 99;
        });
    };
    const std::string esperado =
        "\x1B@\x1B"
        "3\x00\x1B"
        "E\x1BW1PADARIA CENTRAL\n\x1B"
        "F\x1BW0"
        "1 PAO FRANCES       0,75\n"
        "\x1Dh\x50\x1Dw\x02\x1DH\x02\x1D"
        "f\x00\x1Dk\x84\x00\x00"
        "\x1Dk\x02"
        "789100031550\x00\x1Bw\x1Bv2"s;
    Ini("TARVO_KELT_LPT");
    EXPECT_EQ(roda(), 0) << teste::LeArquivo(atual / "saida.txt");
    EXPECT_EQ(Hex(Capturado()), Hex(esperado));
    Ini("TARVO_KELT_SERIAL");
    EXPECT_EQ(roda(), 0) << teste::LeArquivo(atual / "saida.txt");
    impressora.EsperaBytes(esperado.size(), 1000);
    EXPECT_EQ(Hex(impressora.Recebidos()), Hex(esperado));
    EXPECT_NE(teste::LeArquivo(atual / "saida.txt").find("peso: 01250"), std::string::npos);
    EXPECT_EQ(balanca.Enqs(), 2);
}
#endif

}  // namespace
