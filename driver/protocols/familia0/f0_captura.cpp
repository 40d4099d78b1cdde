#include "driver/protocols/familia0/f0_captura.h"

#include <array>
#include <cstdio>
#include <fstream>

#include "driver/core/erros.h"
#include "driver/core/estado.h"
#include "driver/core/exclusao.h"
#include "driver/core/formatadores.h"
#include "driver/core/porta.h"
#include "driver/core/registro.h"
#include "driver/protocols/familia0/parametros.h"
#include "platform/pastas.h"

namespace tarvo {

namespace {

constexpr unsigned char kEsc = 27;
constexpr unsigned char kBarra = '\\';
constexpr unsigned char kAvanco = '\n';
constexpr std::size_t kLarguraNormal = 48;
constexpr std::size_t kLarguraCondensada = 57;
// How much of an unknown escape sequence goes to the log.
constexpr std::size_t kTrechoEscape = 20;
// Font sizes of the rich text, in points: the printer's normal and double-size modes.
constexpr int kTamanhoNormal = 8;
constexpr int kTamanhoExpandido = 15;
// A capture ends after this many consecutive replies of at most one character.
constexpr int kFinsDeCaptura = 2;
// The most a capture takes: a printer that never stops handing out text (a fault, or a
// stream that does not end) fails the capture here instead of filling the disk.
constexpr std::uint64_t kMaximoCaptura = 64ull * 1024 * 1024;

// The code page 850 letters the printers send, as Windows-1252 bytes; every other byte
// passes unchanged.
constexpr std::array<unsigned char, 256> MontaMapa() {
    std::array<unsigned char, 256> m{};
    for (int i = 0; i < 256; ++i) m[static_cast<std::size_t>(i)] = static_cast<unsigned char>(i);
    m[128] = 199;  // C cedilla
    m[144] = 201;  // E acute
    m[160] = 97;   // a acute, written as a
    m[181] = 193;  // A acute
    m[198] = 227;  // a tilde
    m[199] = 195;  // A tilde
    m[214] = 73;   // I acute, written as I
    m[224] = 211;  // O acute
    m[229] = 213;  // O tilde
    return m;
}
constexpr std::array<unsigned char, 256> kMapa = MontaMapa();

bool EhSeparador(const std::string& linha) {
    return linha.size() == kLarguraNormal && linha.find_first_not_of('-') == std::string::npos;
}

// The rich-text document, built alongside the plain lines when it is asked for.
class RichText {
  public:
    explicit RichText(bool ativo) : ativo_(ativo) {
        if (ativo_)
            corpo_ =
                "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fmodern\\fcharset0 Courier New;}}"
                "\\pard\\f0\\fs16 ";
    }
    void Texto(const std::string& t) {
        if (!ativo_) return;
        static const char* hex = "0123456789abcdef";
        for (unsigned char c : t) {
            if (c == '\\' || c == '{' || c == '}') {
                corpo_ += '\\';
                corpo_ += static_cast<char>(c);
            } else if (c < 0x20 || c >= 0x80) {
                corpo_ += "\\'";
                corpo_ += hex[c >> 4];
                corpo_ += hex[c & 15];
            } else {
                corpo_ += static_cast<char>(c);
            }
        }
    }
    void Separador(const std::string& t) {
        if (!ativo_) return;
        corpo_ += "{\\fs" + std::to_string(kTamanhoNormal * 2) + " ";
        Texto(t);
        corpo_ += "}";
    }
    void FimDeLinha() {
        if (ativo_) corpo_ += "\\par\r\n";
    }
    void Negrito(bool sim) {
        if (ativo_) corpo_ += sim ? "\\b " : "\\b0 ";
    }
    void Tamanho(int pontos) {
        if (ativo_) corpo_ += "\\fs" + std::to_string(pontos * 2) + " ";
    }
    std::string Documento() { return ativo_ ? corpo_ + "}\r\n" : std::string(); }

  private:
    bool ativo_;
    std::string corpo_;
};

bool LeArquivoInteiro(const std::string& nome, std::string& conteudo) {
    std::ifstream f(nome, std::ios::binary);
    if (!f) return false;
    f.seekg(0, std::ios::end);
    std::streamoff tamanho = f.tellg();
    if (tamanho < 0) return false;
    f.seekg(0, std::ios::beg);
    conteudo.resize(static_cast<std::size_t>(tamanho));
    f.read(conteudo.data(), tamanho);
    conteudo.resize(static_cast<std::size_t>(f.gcount()));
    return true;
}

}  // namespace

Conversao ConverteTextoImpressao(std::string_view entrada, bool rico) {
    Conversao r;
    r.texto.reserve(entrada.size() + entrada.size() / 16 + 2);
    RichText rt(rico);
    std::string linha;      // text of the line being built
    std::size_t conta = 0;  // columns used on the printed line (survives a mode change)
    std::size_t largura = kLarguraNormal;
    bool terminou = true;  // the last output ended a line

    // A mode change mid-line: what is there so far goes out without a line end, unless
    // the printed line is already full.
    auto descarrega = [&] {
        if (!linha.empty()) {
            r.texto += linha;
            rt.Texto(linha);
            terminou = false;
        }
        if (conta >= largura) {
            r.texto += "\r\n";
            rt.FimDeLinha();
            terminou = true;
            conta = 0;
        }
        linha.clear();
    };
    auto terminaLinha = [&] {
        r.texto += linha;
        r.texto += "\r\n";
        if (EhSeparador(linha))
            rt.Separador(linha);
        else
            rt.Texto(linha);
        rt.FimDeLinha();
        linha.clear();
        conta = 0;
        largura = kLarguraNormal;
        terminou = true;
    };

    const std::size_t n = entrada.size();
    std::size_t i = 0;
    while (i < n) {
        const unsigned char c = kMapa[static_cast<unsigned char>(entrada[i])];
        if (c == kEsc) {
            if (i + 1 >= n) break;  // ESC at the very end: nothing to act on
            const unsigned char b = static_cast<unsigned char>(entrada[i + 1]);
            if (b == 0x20) {  // ESC SP n: character spacing, no effect on the text
                i = std::min(i + 3, n);
                continue;
            }
            if (b == 0x21 || b == 0x45) {  // ESC ! n: print mode; ESC E n: emphasis
                if (i + 2 >= n) break;     // cut by the end of the stream
                const unsigned char m = static_cast<unsigned char>(entrada[i + 2]);
                descarrega();
                if (b == 0x21) {
                    largura = m == 1 ? kLarguraCondensada : kLarguraNormal;
                    rt.Negrito(m == 0x28);
                    rt.Tamanho(m == 0x28 ? kTamanhoExpandido : kTamanhoNormal);
                } else {
                    rt.Negrito(m == '1');
                }
                i += 3;
                continue;
            }
            std::string trecho(entrada.substr(i, kTrechoEscape));
            GravaLog("Erro ESC:" + trecho);
            r.escapesDesconhecidos.push_back(std::move(trecho));
            i += 2;
            continue;
        }
        if (c == kBarra) {
            if (i + 1 >= n) break;    // a lone "\" at the end escapes nothing
            linha += entrada[i + 1];  // the escaped byte, as it came
            ++conta;
            i += 2;
        } else if (c == kAvanco) {
            ++i;
        } else {
            linha += static_cast<char>(c);
            ++conta;
            ++i;
        }
        if (conta >= largura || c == kAvanco || EhSeparador(linha)) terminaLinha();
    }
    if (!linha.empty()) {
        terminaLinha();
    } else if (!terminou) {
        r.texto += "\r\n";
        rt.FimDeLinha();
    }
    r.rtf = rt.Documento();
    return r;
}

std::string ArquivoImpr() {
    return plataforma::ArquivoNaPasta(plataforma::PastaAtual(), "IMPR.TXT");
}
std::string ArquivoImpr2() {
    return plataforma::ArquivoNaPasta(plataforma::PastaAtual(), "IMPR2.TXT");
}

std::string ArquivoDoUsuario(const std::string& nome) {
    if (Apara(nome).empty()) return {};
    std::string caminho = plataforma::ConverteArquivo(nome);
    std::string pasta = plataforma::PastaDe(caminho);
    if (pasta.empty()) return caminho;
    return plataforma::ArquivoNaPasta(pasta, caminho.substr(pasta.size()));
}

bool ConverteImpressao(const std::string& origem, FormatoConversao formato, const std::string& destino) {
    std::string entrada;
    if (!LeArquivoInteiro(origem, entrada)) return false;
    Conversao c = ConverteTextoImpressao(entrada, formato == FormatoConversao::RichText);
    bool ok = GravaArquivo(ArquivoImpr2(), c.texto);
    // The plain output is the IMPR2.TXT text itself; written directly so that a target
    // that is IMPR2.TXT, or the source, cannot be lost to a copy onto itself.
    ok = GravaArquivo(destino, formato == FormatoConversao::RichText ? c.rtf : c.texto) && ok;
    return ok;
}

int CapturaImpressao() {
    ComandoExclusivo exclusivo;  // another thread's command waits until the capture ends
    EstadoDriver& e = Estado();

    // Whatever happens below, the port is closed again and the engine goes back to
    // opening and closing it around each command.
    struct Fim {
        EstadoDriver& e;
        std::FILE* arquivo = nullptr;
        ~Fim() {
            if (arquivo) std::fclose(arquivo);
            FechaPorta(SlotImpressora);
            e.CapturaMantemPortaAberta = false;
        }
    } fim{e};

    e.CapturaMantemPortaAberta = true;
    if (!AbrePorta(SlotImpressora)) {
        DefineErro(Falha::AberturaPorta);
        return -5;
    }
    const std::string nome = ArquivoImpr();
    fim.arquivo = std::fopen(nome.c_str(), "wb");
    if (!fim.arquivo) {
        DefineErro(Falha::GravacaoArquivo, nome);
        GravaLog("---[" + Erro().UltimaMensagem + "]---");
        return 0;
    }

    int r = 1;
    int curtos = 0;
    std::uint64_t bytes = 0;
    do {
        r = EnviaComandoTxt("LeImpressao", "");
        if (r == 1) {
            const std::string& pedaco = Resposta().ValorResposta;
            if (pedaco.size() <= 1) {
                ++curtos;
            } else {
                if (bytes + pedaco.size() > kMaximoCaptura) {
                    DefineErro(Falha::CapturaExcessiva);
                    GravaLog("---[", Erro().UltimaMensagem, "]---");
                    r = 0;
                    break;
                }
                std::fwrite(pedaco.data(), 1, pedaco.size(), fim.arquivo);
                bytes += pedaco.size();
                curtos = 0;
            }
        }
    } while (r == 1 && curtos < kFinsDeCaptura);

    const bool gravou = std::fclose(fim.arquivo) == 0;
    fim.arquivo = nullptr;
    GravaLog((r == 1 ? "cntBytes1(OK):" : "cntBytes1(FALHA):") + std::to_string(bytes));
    if (r == 1 && !gravou) {
        DefineErro(Falha::GravacaoArquivo, nome);
        return 0;
    }
    return r;
}

int CapturaEConverte(const std::string& destino) {
    int r = CapturaImpressao();
    if (r != 1) {
        ApagaArquivo(destino);
        return r;
    }
    if (!ConverteImpressao(ArquivoImpr(), FormatoConversao::Texto, destino)) {
        // The reading came, but its text could not be kept: the caller must not take it
        // for done.
        ApagaArquivo(destino);
        DefineErro(Falha::GravacaoArquivo, destino);
        GravaLog("---[" + Erro().UltimaMensagem + "]---");
        return 0;
    }
    return r;
}

}  // namespace tarvo
