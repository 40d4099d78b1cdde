#include "platform/ini.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <set>
#include <string_view>
#include <utility>
#include <vector>

#include "guardado.h"
#include "platform/pastas.h"

namespace fs = std::filesystem;

namespace plataforma {

namespace {

// ---------------------------------------------------------------------------------------------
// Text: lines, sections, keys.

const std::string_view kMarcaUtf8 = "\xEF\xBB\xBF";

// First byte of the profile's text: a leading UTF-8 byte-order mark is not part of it.
std::size_t InicioDoTexto(std::string_view t) {
    return t.substr(0, 3) == kMarcaUtf8 ? 3 : 0;
}

bool FimDeLinhaChar(char c) {
    return c == '\r' || c == '\n';
}

// The line that starts at `i`: its content ends at `fimConteudo`, the next line starts at `fim`.
// CR LF, LF and a lone CR each end a line.
void ProximaLinha(std::string_view t, std::size_t i, std::size_t& fimConteudo, std::size_t& fim) {
    std::size_t j = i;
    while (j < t.size() && !FimDeLinhaChar(t[j])) ++j;
    fimConteudo = j;
    if (j == t.size())
        fim = j;
    else if (t[j] == '\r' && j + 1 < t.size() && t[j + 1] == '\n')
        fim = j + 2;
    else
        fim = j + 1;
}

bool Branco(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Apara(std::string_view s) {
    std::size_t a = 0, b = s.size();
    while (a < b && Branco(s[a])) ++a;
    while (b > a && Branco(s[b - 1])) --b;
    return s.substr(a, b - a);
}

bool IgualSemCaixa(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// Section name of a header line, or nullopt when the line is not a header.
std::optional<std::string_view> Secao(std::string_view linha) {
    std::string_view t = Apara(linha);
    if (t.empty() || t[0] != '[') return std::nullopt;
    auto f = t.find(']');
    return Apara(t.substr(1, f == std::string_view::npos ? std::string_view::npos : f - 1));
}

bool Comentario(std::string_view linha) {
    std::string_view t = Apara(linha);
    return !t.empty() && (t[0] == ';' || t[0] == '#');
}

// Key of a "key=value" line, with the position of '=' in the line.
std::optional<std::pair<std::string_view, std::size_t>> Chave(std::string_view linha) {
    if (Comentario(linha)) return std::nullopt;
    auto eq = linha.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    return std::make_pair(Apara(linha.substr(0, eq)), eq);
}

// The value as a reader sees it: blanks trimmed, one pair of enclosing quotes removed.
std::string ValorLido(std::string_view bruto) {
    std::string_view v = Apara(bruto);
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    return std::string(v);
}

// Where [secao] chave stands in a text.
struct Local {
    bool achouSecao = false;
    std::size_t insercao = 0;  // where a new key of the section goes
    bool achouChave = false;
    std::size_t linhaInicio = 0, valorInicio = 0, valorFim = 0;  // the raw value after '='
};

Local Localiza(std::string_view t, std::string_view secao, std::string_view chave) {
    Local l;
    bool dentro = false;
    std::size_t fimConteudo = 0, fim = 0;
    for (std::size_t i = InicioDoTexto(t); i < t.size(); i = fim) {
        ProximaLinha(t, i, fimConteudo, fim);
        std::string_view linha = t.substr(i, fimConteudo - i);
        if (auto s = Secao(linha)) {
            if (dentro) break;  // only the first section of that name counts
            dentro = IgualSemCaixa(*s, secao);
            if (dentro) {
                l.achouSecao = true;
                l.insercao = fim;
            }
            continue;
        }
        if (!dentro) continue;
        if (auto k = Chave(linha); k && IgualSemCaixa(k->first, chave)) {
            l.achouChave = true;
            l.linhaInicio = i;
            l.valorInicio = i + k->second + 1;
            l.valorFim = fimConteudo;
            return l;
        }
        if (!Apara(linha).empty()) l.insercao = fim;
    }
    return l;
}

// The line end a new line gets: the file's own (LF when it uses bare LF), CR LF otherwise.
std::string FimDeLinha(std::string_view t) {
    for (std::size_t i = InicioDoTexto(t); i < t.size(); ++i) {
        if (t[i] == '\n') return "\n";
        if (t[i] == '\r') return "\r\n";
    }
    return "\r\n";
}

// A value is one line: what follows a line break inside it would become lines of its own.
std::string UmaLinha(std::string valor) {
    auto p = valor.find_first_of("\r\n");
    if (p != std::string::npos) valor.resize(p);
    return valor;
}

// ---------------------------------------------------------------------------------------------
// Files.

// Plain bytes rather than a std::string: a thread-local object with a destructor keeps the
// library in memory after the host unloads it (the loader waits for every thread that used
// it to end, the host's main thread included), so loading it again would not run the load
// sequence on the file as it is then. Room for the longest path and the reason.
thread_local char g_falha[PATH_MAX + 256];

void Falha(const std::string& alvo, const std::string& motivo) {
    const std::string texto = alvo + ": " + motivo;
    const std::size_t n = std::min(texto.size(), sizeof g_falha - 1);
    texto.copy(g_falha, n);
    g_falha[n] = '\0';
}

std::string Destino(const std::string& caminho) {
    std::error_code ec;
    if (fs::is_symlink(caminho, ec)) {
        fs::path alvo = fs::canonical(caminho, ec);
        if (!ec) return alvo.string();
    }
    return caminho;
}

std::string NomeDe(const std::string& caminho) {
    return caminho.substr(PastaDe(caminho).size());
}

// The one temporary name a store uses beside the file (stores hold the folder lock, so no
// two live writers ever use it at once; one left behind belongs to a killed writer).
std::string NomeTemporario(const std::string& caminho) {
    return "." + NomeDe(caminho) + ".tarvo-novo";
}

// Lock on the folder that holds the file: exclusive for a store, shared for a read. Every
// holder keeps it only for its own reading and writing, so the wait is short.
class TravaPasta {
  public:
    TravaPasta(const std::string& arquivo, int modo) {
        std::string pasta = PastaDe(arquivo);
        if (pasta.empty()) pasta = "./";
        fd_ = ::open(pasta.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd_ >= 0) TravaDescritor(fd_, modo);
    }
    ~TravaPasta() {
        if (fd_ >= 0) ::close(fd_);  // closing the descriptor releases the lock
    }
    TravaPasta(const TravaPasta&) = delete;
    TravaPasta& operator=(const TravaPasta&) = delete;
    int Fd() const { return fd_; }

  private:
    int fd_ = -1;
};

struct Identidade {
    dev_t dispositivo = 0;
    ino_t inode = 0;
    off_t tamanho = -1;
    timespec modificado{}, alterado{};
    bool operator==(const Identidade& o) const {
        return dispositivo == o.dispositivo && inode == o.inode && tamanho == o.tamanho &&
               modificado.tv_sec == o.modificado.tv_sec && modificado.tv_nsec == o.modificado.tv_nsec &&
               alterado.tv_sec == o.alterado.tv_sec && alterado.tv_nsec == o.alterado.tv_nsec;
    }
};

Identidade IdentidadeDe(const struct stat& st) {
    return {st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
}

// The file as a store finds it under the lock.
struct Aberto {
    int fd = -1;
    bool existe = false;
    bool gravavel = false;
    std::string motivo;  // why it cannot be written
    struct stat st {};

    Aberto() = default;
    Aberto(const std::string& alvo, bool paraGravar) {
        if (paraGravar) fd = ::open(alvo.c_str(), O_RDWR | O_CLOEXEC);
        if (fd >= 0) {
            gravavel = true;
        } else {
            const int erro = errno;
            if (paraGravar && erro == ENOENT) return;
            fd = ::open(alvo.c_str(), O_RDONLY | O_CLOEXEC);
            if (fd < 0) {
                if (errno == ENOENT && !paraGravar) return;
                existe = errno != ENOENT;
                motivo = std::strerror(errno);
                return;
            }
            motivo = std::strerror(erro);
        }
        existe = true;
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            gravavel = false;
            motivo = "not a regular file";
        } else if ((st.st_mode & 0222) == 0) {
            // Read-only for everyone, root included (as the read-only attribute on Windows).
            gravavel = false;
            motivo = "read-only file";
        }
    }
    ~Aberto() { Fecha(); }
    Aberto(const Aberto&) = delete;
    Aberto& operator=(const Aberto&) = delete;
    Aberto& operator=(Aberto&& o) noexcept {
        if (this != &o) {
            Fecha();
            fd = std::exchange(o.fd, -1);
            existe = o.existe;
            gravavel = o.gravavel;
            motivo = std::move(o.motivo);
            st = o.st;
        }
        return *this;
    }
    void Fecha() {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
};

std::string LeTudo(int fd) {
    std::string t;
    if (fd < 0) return t;
    char buf[16384];
    off_t pos = 0;
    for (;;) {
        ssize_t n = ::pread(fd, buf, sizeof buf, pos);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        t.append(buf, static_cast<std::size_t>(n));
        pos += n;
    }
    return t;
}

std::string LeSobTrava(const std::string& caminho) {
    std::string alvo = Destino(caminho);
    TravaPasta trava(alvo, LOCK_SH);
    Aberto a(alvo, false);
    return LeTudo(a.fd);
}

// The folders whose leftovers of the former temporary-name scheme ("." name "." and six
// random characters) this process has already swept.
bool PrimeiraVezNaPasta(const std::string& pasta) {
    static std::mutex m;
    static std::set<std::string> vistas;
    std::lock_guard<std::mutex> g(m);
    return vistas.insert(pasta).second;
}

// Removes the temporary files that killed writers left beside the file. Runs under the
// exclusive lock, when no live writer can own one.
void RemoveOrfaos(int pastaFd, const std::string& alvo) {
    if (pastaFd < 0) return;
    ::unlinkat(pastaFd, NomeTemporario(alvo).c_str(), 0);
    if (!PrimeiraVezNaPasta(PastaDe(alvo))) return;
    const std::string prefixo = "." + NomeDe(alvo) + ".";
    int fd = ::dup(pastaFd);
    if (fd < 0) return;
    DIR* d = ::fdopendir(fd);
    if (!d) {
        ::close(fd);
        return;
    }
    ::rewinddir(d);
    std::vector<std::string> velhos;
    while (dirent* e = ::readdir(d)) {
        std::string_view n = e->d_name;
        if (n.size() != prefixo.size() + 6 || n.substr(0, prefixo.size()) != prefixo) continue;
        std::string_view resto = n.substr(prefixo.size());
        bool aleatorio = true;
        for (char c : resto) aleatorio = aleatorio && std::isalnum(static_cast<unsigned char>(c));
        if (aleatorio) velhos.emplace_back(n);
    }
    ::closedir(d);
    for (const std::string& n : velhos) ::unlinkat(pastaFd, n.c_str(), 0);
}

// What the per-value store keeps between calls: the file, open (closing a file that was
// written costs a journalling file system more than the write itself), and its parsed text
// while the file's identity, size and time stamps are those of the last store.
struct Memoria {
    std::string alvo;
    Aberto arquivo;
    bool textoValido = false;
    Identidade id;
    std::string texto, secao, chave;
    Local local;

    void Esquece() {
        alvo.clear();
        arquivo = Aberto{};
        textoValido = false;
    }
};

std::mutex& TravaMemoria() {
    static std::mutex m;
    return m;
}
Memoria& MemoriaIni() {
    static Memoria m;
    return m;
}

// The kept descriptor still names the file at `alvo` with the access it was opened with.
bool MesmoArquivo(const Aberto& a, const struct stat& st) {
    return a.fd >= 0 && a.st.st_dev == st.st_dev && a.st.st_ino == st.st_ino && a.st.st_mode == st.st_mode &&
           a.st.st_uid == st.st_uid && a.st.st_gid == st.st_gid;
}

// The folder of the last per-value store, kept open with its identity from store to store:
// opening and closing a folder costs more than locking it. Only while the store's name is
// the file itself (a regular file, no link), so that locking this folder is locking the
// folder that holds the file.
struct PastaGuardada {
    std::string arquivo, pasta;
    int fd = -1;
    dev_t dispositivo = 0;
    ino_t inode = 0;
    void Esquece() {
        if (fd >= 0) ::close(fd);
        fd = -1;
        arquivo.clear();
        pasta.clear();
    }
};

// The exclusive folder lock of one per-value store, with the file as found under it. The kept
// folder is used while its path still leads to it and the name is still a regular file
// there: one look at each instead of locating, opening and closing.
class TravaDeGravacao {
  public:
    explicit TravaDeGravacao(const std::string& caminho) {
        PastaGuardada& g = Guardado<PastaGuardada>::Estado();
        if (g.fd >= 0 && g.arquivo == caminho) {
            struct stat sp {};
            if (::stat(g.pasta.c_str(), &sp) == 0 && sp.st_dev == g.dispositivo && sp.st_ino == g.inode) {
                TravaDescritor(g.fd, LOCK_EX);
                if (::lstat(caminho.c_str(), &st_) == 0 && S_ISREG(st_.st_mode)) {
                    fd_ = g.fd;
                    guardada_ = true;
                    existe_ = true;
                    alvo_ = caminho;
                    return;
                }
                ::flock(g.fd, LOCK_UN);
            }
        }
        g.Esquece();
        alvo_ = Destino(caminho);
        std::string pasta = PastaDe(alvo_);
        if (pasta.empty()) pasta = "./";
        fd_ = ::open(pasta.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd_ >= 0) TravaDescritor(fd_, LOCK_EX);
        RemoveOrfaos(fd_, alvo_);
        orfaosRemovidos_ = true;
        existe_ = ::stat(alvo_.c_str(), &st_) == 0;
        struct stat sp {};
        if (fd_ >= 0 && alvo_ == caminho && existe_ && S_ISREG(st_.st_mode) && ::fstat(fd_, &sp) == 0) {
            g.arquivo = caminho;
            g.pasta = pasta;
            g.fd = fd_;
            g.dispositivo = sp.st_dev;
            g.inode = sp.st_ino;
            guardada_ = true;
        }
    }
    ~TravaDeGravacao() {
        if (fd_ < 0) return;
        if (guardada_)
            ::flock(fd_, LOCK_UN);
        else
            ::close(fd_);  // closing the descriptor releases the lock
    }
    TravaDeGravacao(const TravaDeGravacao&) = delete;
    TravaDeGravacao& operator=(const TravaDeGravacao&) = delete;

    // The file to write (a link's target) and its state under the lock; false when missing.
    const std::string& Alvo() const { return alvo_; }
    bool Estado(struct stat& st) const {
        st = st_;
        return existe_;
    }
    // Before a rewrite: the temporary name a killed writer may have left must be free.
    void LiberaTemporario() {
        if (!orfaosRemovidos_ && fd_ >= 0) ::unlinkat(fd_, NomeTemporario(alvo_).c_str(), 0);
        orfaosRemovidos_ = true;
    }

  private:
    std::string alvo_;
    int fd_ = -1;
    bool guardada_ = false, existe_ = false, orfaosRemovidos_ = false;
    struct stat st_ {};
};

// Writes the new text of a file that the caller holds open under the exclusive lock.
bool Reescreve(const std::string& alvo, Aberto& a, const std::string& antigo, const std::string& novo) {
    if (a.existe && !a.gravavel) {
        Falha(alvo, a.motivo);
        return false;
    }
    if (a.existe) {
        // A change that stays inside one page of a file that keeps its size is one write
        // that a kill cannot cut: done in place.
        if (novo.size() == antigo.size()) {
            std::size_t i = 0, j = novo.size();
            while (i < j && novo[i] == antigo[i]) ++i;
            while (j > i && novo[j - 1] == antigo[j - 1]) --j;
            if (i == j) return true;
            if (i / 4096 == (j - 1) / 4096) {
                if (EscreveEm(a.fd, std::string_view(novo).substr(i, j - i), static_cast<off_t>(i)))
                    return true;
                Falha(alvo, std::strerror(errno));
                return false;
            }
        }
    }

    // A new file beside the old one, renamed over it: a reader or a kill sees one or the other.
    bool emLugar = a.existe && a.st.st_nlink > 1;  // a rename would break the other links
    if (!emLugar) {
        const std::string pasta = PastaDe(alvo).empty() ? std::string("./") : PastaDe(alvo);
        const std::string temporario = pasta + NomeTemporario(alvo);
        const mode_t modo = a.existe ? (a.st.st_mode & 07777) : 0666;
        int fd = ::open(temporario.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, a.existe ? 0600 : 0666);
        if (fd < 0) {
            if (!a.existe) {
                Falha(alvo, std::strerror(errno));
                return false;
            }
            emLugar = true;  // the folder cannot be written: edit the file itself
        } else {
            bool ok = EscreveEm(fd, novo, 0);
            int erro = ok ? 0 : errno;
            if (ok && a.existe) {
                // The new file keeps the old one's owner and mode; when the owner cannot be
                // kept the file is edited in place instead.
                struct stat nst {};
                if (::fstat(fd, &nst) == 0 && (nst.st_uid != a.st.st_uid || nst.st_gid != a.st.st_gid) &&
                    ::fchown(fd, a.st.st_uid, a.st.st_gid) != 0)
                    emLugar = true;
                else if (::fchmod(fd, modo) != 0)
                    emLugar = true;
            }
            if (::close(fd) != 0 && ok) ok = false, erro = errno;
            if (ok && !emLugar && ::rename(temporario.c_str(), alvo.c_str()) == 0) return true;
            if (ok && !emLugar) erro = errno, emLugar = a.existe;
            ::unlink(temporario.c_str());
            if (!emLugar) {
                Falha(alvo, std::strerror(erro));
                return false;
            }
        }
    }

    // In place: from the first byte that changes to the end, then the new length.
    std::size_t i = 0;
    while (i < novo.size() && i < antigo.size() && novo[i] == antigo[i]) ++i;
    if (!EscreveEm(a.fd, std::string_view(novo).substr(i), static_cast<off_t>(i)) ||
        (novo.size() < antigo.size() && ::ftruncate(a.fd, static_cast<off_t>(novo.size())) != 0)) {
        Falha(alvo, std::strerror(errno));
        return false;
    }
    return true;
}

}  // namespace

std::string ArquivoIni::UltimaFalha() {
    return g_falha;
}

std::optional<std::string> ArquivoIni::Procura(const std::string& texto, const std::string& secao,
                                               const std::string& chave) {
    Local l = Localiza(texto, secao, chave);
    if (!l.achouChave) return std::nullopt;
    return ValorLido(std::string_view(texto).substr(l.valorInicio, l.valorFim - l.valorInicio));
}

void ArquivoIni::AplicaEdicao(std::string& texto, const std::string& secao, const std::string& chave,
                              const std::string& valorDado) {
    const std::string valor = UmaLinha(valorDado);
    const Local l = Localiza(texto, secao, chave);
    if (l.achouChave) {
        std::string_view bruto = std::string_view(texto).substr(l.valorInicio, l.valorFim - l.valorInicio);
        if (ValorLido(bruto) == valor) return;  // already holds it: the line stays as written
        // Keep the key as written and replace what follows '='.
        texto.replace(l.valorInicio, l.valorFim - l.valorInicio, valor);
        return;
    }
    const std::string eol = FimDeLinha(texto);
    std::string nova = chave + "=" + valor + eol;
    if (l.achouSecao) {
        // The section's last line may be the file's last line without a line end.
        if (l.insercao > 0 && !FimDeLinhaChar(texto[l.insercao - 1])) nova = eol + nova;
        texto.insert(l.insercao, nova);
        return;
    }
    if (texto.size() > InicioDoTexto(texto) && !FimDeLinhaChar(texto.back())) texto += eol;
    texto += "[" + secao + "]" + eol + nova;
}

ArquivoIni::ArquivoIni(std::string caminho) : caminho_(std::move(caminho)) {
    texto_ = LeSobTrava(caminho_);
}

std::string ArquivoIni::Le(const std::string& secao, const std::string& chave,
                           const std::string& padrao) const {
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
    const std::string alvo = Destino(caminho_);
    TravaPasta trava(alvo, LOCK_EX);
    RemoveOrfaos(trava.Fd(), alvo);
    Aberto a(alvo, true);
    // Another process may have written since we read: apply our edits to what is there now.
    const std::string atual = LeTudo(a.fd);
    std::string novo = atual;
    for (const auto& [sk, v] : pendentes_) AplicaEdicao(novo, sk.first, sk.second, v);
    if (novo != atual) {
        const bool ok = Reescreve(alvo, a, atual, novo);
        {
            std::lock_guard<std::mutex> g(TravaMemoria());
            MemoriaIni().Esquece();
        }
        if (!ok) return false;
    }
    g_falha[0] = '\0';
    texto_ = std::move(novo);
    pendentes_.clear();
    return true;
}

std::string ArquivoIni::LeChave(const std::string& caminho, const std::string& secao,
                                const std::string& chave, const std::string& padrao) {
    auto v = Procura(LeSobTrava(caminho), secao, chave);
    return v ? *v : padrao;
}

bool ArquivoIni::GravaChave(const std::string& caminho, const std::string& secao, const std::string& chave,
                            const std::string& valor) {
    return Atualiza(caminho, secao, chave, [&](const std::optional<std::string>&) { return valor; })
        .has_value();
}

std::optional<std::string> ArquivoIni::Atualiza(
    const std::string& caminho, const std::string& secao, const std::string& chave,
    const std::function<std::string(const std::optional<std::string>&)>& novo, std::size_t largura,
    bool* ausente) {
    if (ausente) *ausente = false;
    std::lock_guard<std::mutex> gg(Guardado<PastaGuardada>::Trava());
    TravaDeGravacao trava(caminho);
    const std::string& alvo = trava.Alvo();
    struct stat st {};
    const bool existe = trava.Estado(st);
    if (ausente && !(existe && S_ISREG(st.st_mode))) {
        *ausente = true;
        return std::nullopt;
    }

    std::lock_guard<std::mutex> g(TravaMemoria());
    Memoria& m = MemoriaIni();
    if (existe && m.alvo == alvo && MesmoArquivo(m.arquivo, st)) {
        m.arquivo.st = st;
    } else {
        m.Esquece();
        m.arquivo = Aberto(alvo, true);
        m.alvo = alvo;
    }
    Aberto& a = m.arquivo;

    bool lembrada = false;
    if (a.fd >= 0 && m.textoValido && m.secao == secao && m.chave == chave && m.local.achouChave &&
        m.id == IdentidadeDe(a.st)) {
        // Unchanged by its identity, size and time stamps; the key's own line, read again,
        // settles a change made within the same tick of the file system's clock.
        const std::size_t n = std::min(m.texto.size(), m.local.valorFim + 1) - m.local.linhaInicio;
        std::string disco(n, '\0');
        ssize_t lido = ::pread(a.fd, disco.data(), n, static_cast<off_t>(m.local.linhaInicio));
        lembrada =
            lido == static_cast<ssize_t>(n) && disco.compare(0, n, m.texto, m.local.linhaInicio, n) == 0;
    }
    if (!lembrada) {
        m.textoValido = a.fd >= 0;
        m.secao = secao;
        m.chave = chave;
        m.id = IdentidadeDe(a.st);
        m.texto = LeTudo(a.fd);
        m.local = Localiza(m.texto, secao, chave);
    }

    std::optional<std::string> atual;
    if (m.local.achouChave)
        atual = ValorLido(
            std::string_view(m.texto).substr(m.local.valorInicio, m.local.valorFim - m.local.valorInicio));
    const std::string valor = UmaLinha(novo(atual));
    if (atual && *atual == valor) {
        g_falha[0] = '\0';
        return valor;
    }
    if (!a.gravavel && a.existe) {
        Falha(alvo, a.motivo);
        return std::nullopt;
    }

    std::string escrito = valor;
    if (escrito.size() < largura) escrito.resize(largura, ' ');
    if (m.textoValido && m.local.achouChave && escrito.size() == m.local.valorFim - m.local.valorInicio) {
        // Same number of bytes: the value's bytes are written in place.
        if (!EscreveEm(a.fd, escrito, static_cast<off_t>(m.local.valorInicio))) {
            Falha(alvo, std::strerror(errno));
            m.Esquece();
            return std::nullopt;
        }
        m.texto.replace(m.local.valorInicio, escrito.size(), escrito);
        if (::fstat(a.fd, &st) == 0) {
            a.st = st;
            m.id = IdentidadeDe(st);
        } else {
            m.Esquece();
        }
        g_falha[0] = '\0';
        return valor;
    }

    // Another length: the whole file, read afresh (the kept text only vouches for the key's line).
    trava.LiberaTemporario();
    const std::string antigo = lembrada ? LeTudo(a.fd) : m.texto;
    std::string texto = antigo;
    AplicaEdicao(texto, secao, chave, escrito);
    const bool ok = Reescreve(alvo, a, antigo, texto);
    m.Esquece();  // a rename leaves the kept descriptor on the old file
    if (!ok) return std::nullopt;
    g_falha[0] = '\0';
    return valor;
}

}  // namespace plataforma
