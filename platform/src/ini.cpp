#include "platform/ini.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/pastas.h"

namespace fs = std::filesystem;

namespace plataforma {

namespace {

struct Linha {
    std::size_t inicio;  // first byte of the line
    std::size_t fimConteudo;  // first byte of the line end (CR LF, LF) or end of text
    std::size_t fim;  // first byte of the next line
};

std::vector<Linha> Linhas(const std::string& t) {
    std::vector<Linha> v;
    std::size_t i = 0;
    while (i < t.size()) {
        std::size_t nl = t.find('\n', i);
        std::size_t fim = nl == std::string::npos ? t.size() : nl + 1;
        std::size_t conteudo = nl == std::string::npos ? t.size() : nl;
        if (conteudo > i && t[conteudo - 1] == '\r') --conteudo;
        v.push_back({i, conteudo, fim});
        i = fim;
    }
    return v;
}

bool Branco(char c) { return c == ' ' || c == '\t'; }

std::string Apara(const std::string& s) {
    std::size_t a = 0, b = s.size();
    while (a < b && Branco(s[a])) ++a;
    while (b > a && Branco(s[b - 1])) --b;
    return s.substr(a, b - a);
}

bool IgualSemCaixa(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// Section name of a header line, or nullopt when the line is not a header.
std::optional<std::string> Secao(const std::string& linha) {
    std::string t = Apara(linha);
    if (t.empty() || t[0] != '[') return std::nullopt;
    auto f = t.find(']');
    return Apara(t.substr(1, f == std::string::npos ? std::string::npos : f - 1));
}

bool Comentario(const std::string& linha) {
    std::string t = Apara(linha);
    return !t.empty() && (t[0] == ';' || t[0] == '#');
}

// Key of a "key=value" line, with the position of '=' in the line.
std::optional<std::pair<std::string, std::size_t>> Chave(const std::string& linha) {
    if (Comentario(linha)) return std::nullopt;
    auto eq = linha.find('=');
    if (eq == std::string::npos) return std::nullopt;
    return std::make_pair(Apara(linha.substr(0, eq)), eq);
}

std::string FimDeLinha(const std::string& t) {
    auto nl = t.find('\n');
    if (nl == std::string::npos) return "\r\n";
    return (nl > 0 && t[nl - 1] == '\r') ? "\r\n" : "\n";
}

std::string LeArquivo(const std::string& caminho) {
    std::ifstream f(caminho, std::ios::binary);
    if (!f) return {};
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

std::string Destino(const std::string& caminho) {
    std::error_code ec;
    if (fs::is_symlink(caminho, ec)) {
        fs::path alvo = fs::canonical(caminho, ec);
        if (!ec) return alvo.string();
    }
    return caminho;
}

// Exclusive lock on the folder that holds the file, for the time of one read-modify-write.
class TravaPasta {
public:
    explicit TravaPasta(const std::string& arquivo) {
        std::string pasta = PastaDe(arquivo);
        if (pasta.empty()) pasta = "./";
        fd_ = ::open(pasta.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd_ >= 0) ::flock(fd_, LOCK_EX);
    }
    ~TravaPasta() {
        if (fd_ >= 0) {
            ::flock(fd_, LOCK_UN);
            ::close(fd_);
        }
    }
    TravaPasta(const TravaPasta&) = delete;
    TravaPasta& operator=(const TravaPasta&) = delete;

private:
    int fd_ = -1;
};

// Writes the text to a temporary file beside the target and renames it over the target.
bool EscreveAtomico(const std::string& caminho, const std::string& texto) {
    std::string pasta = PastaDe(caminho);
    std::string nome = caminho.substr(pasta.size());
    std::string modelo = (pasta.empty() ? std::string("./") : pasta) + "." + nome + ".XXXXXX";
    std::vector<char> buf(modelo.begin(), modelo.end());
    buf.push_back('\0');
    int fd = ::mkstemp(buf.data());
    if (fd < 0) return false;
    bool ok = true;
    std::size_t feito = 0;
    while (ok && feito < texto.size()) {
        ssize_t n = ::write(fd, texto.data() + feito, texto.size() - feito);
        if (n < 0) {
            if (errno == EINTR) continue;
            ok = false;
        } else {
            feito += static_cast<std::size_t>(n);
        }
    }
    struct stat st {};
    if (ok && ::stat(caminho.c_str(), &st) == 0)
        ::fchmod(fd, st.st_mode & 07777);
    else if (ok)
        ::fchmod(fd, 0644);
    if (::close(fd) != 0) ok = false;
    if (ok && ::rename(buf.data(), caminho.c_str()) != 0) ok = false;
    if (!ok) ::unlink(buf.data());
    return ok;
}

}  // namespace

std::optional<std::string> ArquivoIni::Procura(const std::string& texto, const std::string& secao,
                                               const std::string& chave) {
    bool dentro = false;
    for (const Linha& l : Linhas(texto)) {
        std::string linha = texto.substr(l.inicio, l.fimConteudo - l.inicio);
        if (auto s = Secao(linha)) {
            if (dentro) return std::nullopt;  // only the first section of that name counts
            dentro = IgualSemCaixa(*s, secao);
            continue;
        }
        if (!dentro) continue;
        if (auto k = Chave(linha); k && IgualSemCaixa(k->first, chave)) {
            std::string v = Apara(linha.substr(k->second + 1));
            if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
                v = v.substr(1, v.size() - 2);
            return v;
        }
    }
    return std::nullopt;
}

void ArquivoIni::AplicaEdicao(std::string& texto, const std::string& secao, const std::string& chave,
                              const std::string& valor) {
    const std::string eol = FimDeLinha(texto);
    const auto linhas = Linhas(texto);
    bool dentro = false, achouSecao = false;
    std::size_t insercao = 0;  // end of the last non-blank line of the section
    for (const Linha& l : linhas) {
        std::string linha = texto.substr(l.inicio, l.fimConteudo - l.inicio);
        if (auto s = Secao(linha)) {
            if (dentro) break;
            dentro = IgualSemCaixa(*s, secao);
            if (dentro) {
                achouSecao = true;
                insercao = l.fim;
            }
            continue;
        }
        if (!dentro) continue;
        if (auto k = Chave(linha); k && IgualSemCaixa(k->first, chave)) {
            // Keep the key as written and replace what follows '='.
            texto.replace(l.inicio + k->second + 1, l.fimConteudo - (l.inicio + k->second + 1), valor);
            return;
        }
        if (!Apara(linha).empty()) insercao = l.fim;
    }
    std::string nova = chave + "=" + valor + eol;
    if (achouSecao) {
        // The section's last line may be the file's last line without a line end.
        if (insercao > 0 && texto[insercao - 1] != '\n') nova = eol + nova;
        texto.insert(insercao, nova);
        return;
    }
    if (!texto.empty() && texto.back() != '\n') texto += eol;
    texto += "[" + secao + "]" + eol + nova;
}

ArquivoIni::ArquivoIni(std::string caminho) : caminho_(std::move(caminho)) { texto_ = LeArquivo(caminho_); }

std::string ArquivoIni::Le(const std::string& secao, const std::string& chave, const std::string& padrao) const {
    auto v = Procura(texto_, secao, chave);
    return v ? *v : padrao;
}

bool ArquivoIni::Existe(const std::string& secao, const std::string& chave) const {
    return Procura(texto_, secao, chave).has_value();
}

void ArquivoIni::Grava(const std::string& secao, const std::string& chave, const std::string& valor) {
    AplicaEdicao(texto_, secao, chave, valor);
    pendentes_.push_back({{secao, chave}, valor});
}

bool ArquivoIni::Salva() {
    if (pendentes_.empty()) return true;
    std::string alvo = Destino(caminho_);
    TravaPasta trava(alvo);
    // Another process may have written since we read: apply our edits to what is there now.
    std::string atual = LeArquivo(alvo);
    for (const auto& [sk, v] : pendentes_) AplicaEdicao(atual, sk.first, sk.second, v);
    if (!EscreveAtomico(alvo, atual)) return false;
    texto_ = std::move(atual);
    pendentes_.clear();
    return true;
}

std::string ArquivoIni::LeChave(const std::string& caminho, const std::string& secao, const std::string& chave,
                                const std::string& padrao) {
    auto v = Procura(LeArquivo(caminho), secao, chave);
    return v ? *v : padrao;
}

bool ArquivoIni::GravaChave(const std::string& caminho, const std::string& secao, const std::string& chave,
                            const std::string& valor) {
    return Atualiza(caminho, secao, chave, [&](const std::optional<std::string>&) { return valor; }).has_value();
}

std::optional<std::string> ArquivoIni::Atualiza(
    const std::string& caminho, const std::string& secao, const std::string& chave,
    const std::function<std::string(const std::optional<std::string>&)>& novo) {
    std::string alvo = Destino(caminho);
    TravaPasta trava(alvo);
    std::string texto = LeArquivo(alvo);
    std::string valor = novo(Procura(texto, secao, chave));
    AplicaEdicao(texto, secao, chave, valor);
    if (!EscreveAtomico(alvo, texto)) return std::nullopt;
    return valor;
}

}  // namespace plataforma
