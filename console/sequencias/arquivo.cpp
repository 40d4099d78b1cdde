#include "console/sequencias/arquivo.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "console/sequencias/linha.h"
#include "platform/codepage.h"
#include "platform/pastas.h"

namespace seq {

namespace fs = std::filesystem;

namespace {

// The characters that travel escaped inside a text value.
bool Escapavel(unsigned char c) {
    return std::strchr("():;'\"%! \t\r\n", c) != nullptr && c != 0;
}

int Hex(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The character of an escape starting at s[i] ("%" and two hex digits naming one of the
// escaped characters), -1 when there is none there.
int Escape(const std::string& s, std::size_t i) {
    if (s[i] != '%' || i + 2 >= s.size()) return -1;
    const int a = Hex(s[i + 1]), b = Hex(s[i + 2]);
    if (a < 0 || b < 0) return -1;
    const int c = a * 16 + b;
    return Escapavel(static_cast<unsigned char>(c)) ? c : -1;
}

// `prefixo` and the byte in two hex digits.
void AcrescentaHex(std::string& r, const char* prefixo, unsigned char c) {
    static const char kHex[] = "0123456789ABCDEF";
    r += prefixo;
    r += kHex[c >> 4];
    r += kHex[c & 0x0F];
}

void AcrescentaEscape(std::string& r, unsigned char c) {
    AcrescentaHex(r, "%", c);
}

std::string EscapaValor(const std::string& v) {
    std::string r;
    r.reserve(v.size());
    const bool marcador = v == kParametroNaoPreenchido || v == kRetornoNaoPreenchido;
    for (std::size_t i = 0; i < v.size(); ++i) {
        const char c = v[i];
        const bool separa = std::strchr("():;'\"\r\n", c) != nullptr;
        const bool brancoInicial = i == 0 && (c == ' ' || c == '\t');
        const bool percentual = c == '%' && Escape(v, i) >= 0;
        const bool exclamacao = i == 0 && marcador;
        if (c != 0 && (separa || brancoInicial || percentual || exclamacao))
            AcrescentaEscape(r, static_cast<unsigned char>(c));
        else
            r += c;
    }
    return r;
}

std::string DesescapaValor(const std::string& v) {
    std::string r;
    r.reserve(v.size());
    for (std::size_t i = 0; i < v.size(); ++i) {
        const int c = Escape(v, i);
        if (c >= 0) {
            r += static_cast<char>(c);
            i += 2;
        } else {
            r += v[i];
        }
    }
    return r;
}

bool LeInteiro(const std::string& texto, std::int32_t& valor, std::string& erro) {
    const std::string t = Apara(texto);
    auto [fim, ec] = std::from_chars(t.data(), t.data() + t.size(), valor);
    if (t.empty() || ec != std::errc() || fim != t.data() + t.size()) {
        erro = "'" + texto + "' não é um número inteiro válido";
        return false;
    }
    return true;
}

// The lines of a text file (CR LF or LF), converted to UTF-8; blank lines are left out,
// each with its number in the file.
std::vector<std::pair<int, std::string>> Linhas(const std::string& bytes) {
    std::vector<std::pair<int, std::string>> linhas;
    std::size_t inicio = 0;
    int numero = 0;
    while (inicio < bytes.size()) {
        std::size_t fim = bytes.find('\n', inicio);
        if (fim == std::string::npos) fim = bytes.size();
        std::string linha = bytes.substr(inicio, fim - inicio);
        if (!linha.empty() && linha.back() == '\r') linha.pop_back();
        ++numero;
        if (!Apara(linha).empty()) linhas.emplace_back(numero, plataforma::Cp1252ParaUtf8(linha));
        inicio = fim + 1;
    }
    return linhas;
}

// The text with its control characters shown as "\x" and two hex digits, so that a message
// that quotes a line shows all of it (a NUL would end it).
std::string Legivel(const std::string& t) {
    std::string r;
    for (unsigned char c : t) {
        if (c < 0x20 || c == 0x7F)
            AcrescentaHex(r, "\\x", c);
        else
            r += static_cast<char>(c);
    }
    return r;
}

bool LeArquivo(const std::string& caminho, std::string& bytes, std::string& erro) {
    std::error_code ec;
    // Only a plain file is read: a folder or a device named like one would fail or block.
    if (!fs::is_regular_file(caminho, ec)) {
        erro = "Não foi possível ler o arquivo " + caminho + ": " +
               (fs::exists(caminho, ec) ? "não é um arquivo comum" : "arquivo não encontrado");
        return false;
    }
    std::ifstream f(caminho, std::ios::binary);
    std::ostringstream conteudo;
    if (f) conteudo << f.rdbuf();
    if (!f || f.bad()) {
        erro = "Não foi possível ler o arquivo " + caminho + ": " + std::strerror(errno);
        return false;
    }
    bytes = conteudo.str();
    return true;
}

}  // namespace

// --- one line --------------------------------------------------------------------------------

std::string LinhaSequencia(const TComando& comando) {
    std::string linha = comando.Nome + "(";
    for (const TParametro& p : comando.Parametros) {
        const std::string tipo = Minusculas(Apara(p.Tipo));
        std::string valor;
        // An empty text is no value: the line could not hold it, so it is saved unfilled.
        const bool vazio = TipoTexto(p.Tipo) && p.ValorTexto.empty();
        if (!p.Preenchido || vazio)
            valor = p.Entrada ? kParametroNaoPreenchido : kRetornoNaoPreenchido;
        else if (TipoTexto(p.Tipo))
            valor = EscapaValor(p.ValorTexto);
        else
            valor = std::to_string(p.ValorInteiro);
        linha += p.Nome + ":" + tipo + ":" + valor + ";";
    }
    return linha + ");" + std::to_string(comando.Parametros.size());
}

bool LeLinhaSequencia(const std::string& linha, TComando& comando, std::string& erro) {
    const std::vector<std::string> t = SeparaLinha(linha);
    if (t.empty()) {
        erro = "a linha não tem nome nem contagem de parâmetros: " + linha;
        return false;
    }
    std::int32_t n = 0;
    if (!LeInteiro(t.back(), n, erro)) return false;
    if (n < 0 || t.size() != static_cast<std::size_t>(n) * 3 + 2) {
        const std::size_t sobra = t.size() >= 2 ? t.size() - 2 : 0;
        erro = "a linha anuncia " + std::to_string(n) + " parâmetro(s), mas traz " +
               std::to_string(sobra / 3) + ((sobra % 3) ? " e parte de outro" : "") + ": " + linha;
        return false;
    }
    // Only what the writer can write back as read: a name, and each parameter's name and type,
    // that are more than blanks and tabs.
    auto vazio = [&](const std::string& parte, const char* oQue) {
        if (!Apara(parte).empty()) return false;
        erro = std::string("a linha não tem ") + oQue + ": " + linha;
        return true;
    };
    if (vazio(t[0], "nome de comando")) return false;
    TComando novo;
    novo.Nome = Apara(t[0]);
    novo.Quantidade = n;
    for (int k = 0; k < n; ++k) {
        if (vazio(t[3 * k + 1], "nome de parâmetro") || vazio(t[3 * k + 2], "tipo de parâmetro"))
            return false;
        TParametro p;
        p.Nome = Apara(t[3 * k + 1]);
        // As the writer writes it (lower-cased), so that what loads saves and loads back equal.
        p.Tipo = Minusculas(Apara(t[3 * k + 2]));
        const std::string& valor = t[3 * k + 3];
        if (valor == kParametroNaoPreenchido) {
            p.Entrada = true;
        } else if (valor == kRetornoNaoPreenchido) {
            p.Entrada = false;
        } else {
            // A value read is one the operator filled in: the parameter stays editable.
            p.Entrada = true;
            p.Preenchido = true;
            if (TipoTexto(p.Tipo)) {
                p.ValorTexto = DesescapaValor(valor);
            } else if (!LeInteiro(valor, p.ValorInteiro, erro)) {
                return false;
            }
        }
        novo.Parametros.push_back(std::move(p));
    }
    comando = std::move(novo);
    return true;
}

// --- whole files -------------------------------------------------------------------------------

std::string TextoSequencia(const std::vector<TComando>& comandos) {
    std::string texto;
    for (const TComando& c : comandos) texto += plataforma::Utf8ParaCp1252(LinhaSequencia(c)) + "\r\n";
    return texto;
}

bool LeTextoSequencia(const std::string& bytes, std::vector<TComando>& comandos, std::string& erro) {
    if (bytes.rfind("\xFF\xFE", 0) == 0 || bytes.rfind("\xFE\xFF", 0) == 0) {
        erro = "Linha 1: o arquivo está em UTF-16; as sequências são texto Windows-1252.";
        return false;
    }
    for (const auto& [numero, linha] : Linhas(bytes)) {
        TComando c;
        std::string motivo;
        if (!LeLinhaSequencia(linha, c, motivo)) {
            erro = "Linha " + std::to_string(numero) + ": " + Legivel(motivo);
            return false;
        }
        comandos.push_back(std::move(c));
    }
    return true;
}

// --- names and folders ---------------------------------------------------------------------------

std::string PastaSequencias() {
    return plataforma::PastaPrograma() + "Sequencias/";
}

bool NomeSequenciaValido(const std::string& nome) {
    return !nome.empty() && nome.find('/') == std::string::npos && nome.find('\\') == std::string::npos &&
           nome.find("..") == std::string::npos;
}

std::string ArquivoDaSequencia(const std::string& nome) {
    const std::string ext = ".seq";
    if (nome.size() >= ext.size() && nome.compare(nome.size() - ext.size(), ext.size(), ext) == 0)
        return nome;
    return nome + ext;
}

std::vector<std::string> PegarSequencias(const std::string& pasta) {
    std::vector<std::string> nomes;
    std::error_code ec;
    for (fs::directory_iterator it(pasta, ec), fim; !ec && it != fim; it.increment(ec)) {
        const std::string nome = it->path().filename().string();
        if (nome.size() < 4 || Minusculas(nome.substr(nome.size() - 4)) != ".seq") continue;
        std::error_code e2;
        if (!it->is_regular_file(e2) && !it->is_directory(e2)) continue;
        nomes.push_back(nome);
    }
    std::sort(nomes.begin(), nomes.end(), [](const std::string& a, const std::string& b) {
        const std::string x = Minusculas(a), y = Minusculas(b);
        return x != y ? x < y : a < b;
    });
    return nomes;
}

bool GravaSequencia(const std::string& caminho, const std::vector<TComando>& comandos, std::string& erro) {
    const std::string pasta = plataforma::PastaDe(caminho);
    if (!pasta.empty() && !plataforma::CriaPasta(pasta)) {
        erro = "Não foi possível criar a pasta " + pasta;
        return false;
    }
    const std::string texto = TextoSequencia(comandos);
    std::ofstream f(caminho, std::ios::binary | std::ios::trunc);
    if (f) f.write(texto.data(), static_cast<std::streamsize>(texto.size()));
    if (f) f.flush();
    if (!f) {
        erro = "Não foi possível gravar o arquivo " + caminho + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

bool LeSequencia(const std::string& caminho, std::vector<TComando>& comandos, std::string& erro) {
    std::string bytes;
    if (!LeArquivo(caminho, bytes, erro)) return false;
    if (LeTextoSequencia(bytes, comandos, erro)) return true;
    erro = "Erro ao ler " + fs::path(caminho).filename().string() + ". " + erro;
    return false;
}

// --- function lists ----------------------------------------------------------------------------

bool LeListaFuncoes(const std::string& caminho, ListaFuncoes& lista, std::string& erro) {
    std::string bytes;
    if (!LeArquivo(caminho, bytes, erro)) return false;
    ListaFuncoes nova;
    for (const auto& [numero, linha] : Linhas(bytes)) {
        const std::vector<std::string> t = SeparaLinha(linha);
        if (t.empty()) continue;
        nova.nomes.push_back(Apara(t[0]));
        nova.declaracoes.push_back(linha);
    }
    lista = std::move(nova);
    return true;
}

}  // namespace seq
