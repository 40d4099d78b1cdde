#include "platform/arquivo.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <string_view>
#include <utility>

#include "guardado.h"
#include "platform/pastas.h"

namespace plataforma {

namespace {

// Writes `texto` over the file's content and sets its length (without passing through an
// empty file).
bool Sobrescreve(int fd, off_t tamanho, std::string_view texto) {
    if (!EscreveEm(fd, texto, 0)) return false;
    return tamanho <= static_cast<off_t>(texto.size()) ||
           ::ftruncate(fd, static_cast<off_t>(texto.size())) == 0;
}

// The companion, open and locked, still under its name (another writer may have exchanged
// it with the file between our open and our lock), with its state. -1 when it cannot be had
// (`erro` then says why). Each new try means another writer got through meanwhile.
int AbreCompanheiro(const std::string& nome, struct stat& aberto, int& erro) {
    erro = EAGAIN;
    for (int tentativa = 0; tentativa < 1000; ++tentativa) {
        int fd = ::open(nome.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd < 0) {
            erro = errno;
            return -1;
        }
        TravaDescritor(fd, LOCK_EX);
        struct stat nomeado {};
        if (::fstat(fd, &aberto) == 0 && ::lstat(nome.c_str(), &nomeado) == 0 &&
            aberto.st_dev == nomeado.st_dev && aberto.st_ino == nomeado.st_ino)
            return fd;
        ::close(fd);
    }
    return -1;
}

// A companion file this process keeps open between replacements.
struct Mantido {
    int fd = -1;
    dev_t dispositivo = 0;
    ino_t inode = 0;
    std::size_t escrito = 0;  // length of what this process last wrote into it
    void Fecha() {
        if (fd >= 0) ::close(fd);
        *this = Mantido{};
    }
};

// The two files of the last replaced file, kept open from one replacement to the next
// (opening and closing them costs a journalling file system more than the write): `livre`
// was left under the companion's name by the last exchange, `publicado` was put under the
// file's name by it, and becomes the companion after the next exchange. Each is used only
// while the name still leads to it.
struct Companheiros {
    std::string caminho;
    Mantido livre, publicado;
    void Esquece() {
        livre.Fecha();
        publicado.Fecha();
        caminho.clear();
    }
};

// The companion, locked and still under its name, with its size: the kept one when the name
// still leads to it, else opened. -1 when none can be had (`erro` then says why).
int Companheiro(Companheiros& c, const std::string& nome, off_t& tamanho, int& erro) {
    if (c.livre.fd >= 0) {
        TravaDescritor(c.livre.fd, LOCK_EX);
        struct stat nomeado {};
        if (::lstat(nome.c_str(), &nomeado) == 0 && nomeado.st_dev == c.livre.dispositivo &&
            nomeado.st_ino == c.livre.inode) {
            tamanho = nomeado.st_size;
            return c.livre.fd;
        }
        c.livre.Fecha();  // another writer's exchange took it away (closing also unlocks)
    }
    struct stat st {};
    const int fd = AbreCompanheiro(nome, st, erro);
    if (fd < 0) return -1;
    c.livre = {fd, st.st_dev, st.st_ino};
    tamanho = st.st_size;
    return fd;
}

// Takes a write lease on the companion, which the kernel grants only to the file's sole
// opener: the companion held the answer before last, and a reader that opened it then may
// still be reading it. The lease is held through the rewrite and the exchange, so a reader
// whose open of the old file was still on its way when the lease was granted waits for the
// exchange instead of seeing the rewrite. The notice of a broken lease comes as SIGURG, which
// a process ignores unless it asks for it (SIGIO, the default, would end it).
// (Releasing a lease resets the signal, so it is set before each one.)
bool Arrenda(int fd) {
    if (::fcntl(fd, F_SETSIG, SIGURG) != 0) return false;
    return ::fcntl(fd, F_SETLEASE, F_WRLCK) == 0;
}

void SoltaArrendamento(int fd) {
    ::fcntl(fd, F_SETLEASE, F_UNLCK);
}

// One write of at most this many bytes at the start of a file is whole or not done at all,
// a killed writer's included: the kernel copies one page without stopping in between.
constexpr std::size_t kUmaPagina = 4096;

// The file this process published last, rewritten where it is: when its name still leads to
// it, nobody has it open (the write lease says so, and an open on its way waits for the
// release) and the new text covers the whole old one within one page, a single write turns
// the old content into the new one, so the exchange is not needed. False when any of that
// does not hold; the file is then as it was, or (after a short write) about to be replaced
// whole by the exchange.
bool SobrescreveNoLugar(Mantido& publicado, const std::string& caminho, std::string_view texto) {
    if (publicado.fd < 0 || texto.empty() || texto.size() > kUmaPagina || texto.size() < publicado.escrito ||
        !Arrenda(publicado.fd))
        return false;
    struct stat nomeado {};
    const bool ok =
        ::lstat(caminho.c_str(), &nomeado) == 0 && nomeado.st_dev == publicado.dispositivo &&
        nomeado.st_ino == publicado.inode && S_ISREG(nomeado.st_mode) &&
        nomeado.st_size <= static_cast<off_t>(texto.size()) &&
        ::pwrite(publicado.fd, texto.data(), texto.size(), 0) == static_cast<ssize_t>(texto.size());
    SoltaArrendamento(publicado.fd);
    if (ok) publicado.escrito = texto.size();
    return ok;
}

// The replacement through a file of its own, made for this write (never seen by a reader
// before it takes the name): for when the companion cannot be leased.
bool SubstituiPorTemporario(const std::string& pasta, const std::string& caminho, const std::string& texto) {
    std::string nome = pasta + "." + caminho.substr(pasta.size()) + ".XXXXXX";
    int fd = ::mkstemp(nome.data());
    if (fd < 0) return false;
    // The mode the file had (mkstemp makes it private to its writer).
    struct stat st {};
    const mode_t modo = ::stat(caminho.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644;
    bool ok = EscreveEm(fd, texto, 0) && ::fchmod(fd, modo) == 0;
    ::close(fd);
    ok = ok && ::rename(nome.c_str(), caminho.c_str()) == 0;
    if (!ok) ::unlink(nome.c_str());
    return ok;
}

}  // namespace

bool SubstituiArquivo(const std::string& caminho, const std::string& texto) {
    std::unique_lock<std::mutex> g(Guardado<Companheiros>::Trava());
    Companheiros& c = Guardado<Companheiros>::Estado();
    if (c.caminho != caminho) {
        c.Esquece();
        c.caminho = caminho;
    } else if (SobrescreveNoLugar(c.publicado, caminho, texto)) {
        return true;
    }
    const std::string pasta = PastaDe(caminho);
    const std::string companheiro = pasta + "." + caminho.substr(pasta.size()) + ".tarvo";
    off_t tamanho = 0;
    int erro = 0;
    for (int tentativa = 0; tentativa < 3; ++tentativa) {
        const int fd = Companheiro(c, companheiro, tamanho, erro);
        if (fd < 0) break;
        if (!Arrenda(fd)) {
            // Someone may still read the old answer it holds: it stays theirs, a new
            // companion takes its place.
            ::unlink(companheiro.c_str());
            c.livre.Fecha();
            continue;
        }
        bool ok = Sobrescreve(fd, tamanho, texto);
        if (ok &&
            ::renameat2(AT_FDCWD, companheiro.c_str(), AT_FDCWD, caminho.c_str(), RENAME_EXCHANGE) != 0) {
            // No file yet, or a file system without exchange: a plain rename (the next
            // write creates the companion again).
            ok = ::rename(companheiro.c_str(), caminho.c_str()) == 0;
        }
        SoltaArrendamento(fd);
        ::flock(fd, LOCK_UN);
        if (ok) {
            // The file written is now under the file's name; the one it replaced is the
            // next companion.
            std::swap(c.livre, c.publicado);
            c.publicado.escrito = texto.size();
        } else {
            c.Esquece();
        }
        return ok;
    }
    c.Esquece();
    g.unlock();
    if (erro == 0 || erro == EAGAIN) return SubstituiPorTemporario(pasta, caminho, texto);
    if (erro != EACCES && erro != EPERM && erro != EROFS) return false;
    // The companion is another user's, or the folder cannot hold it. Where the folder lets
    // this user make files, a file of its own takes the name (the file under it may be
    // another user's too); else the file itself, written in place.
    if (erro != EROFS && SubstituiPorTemporario(pasta, caminho, texto)) return true;
    int alvo = ::open(caminho.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (alvo < 0) return false;
    TravaDescritor(alvo, LOCK_EX);
    struct stat st {};
    bool ok = ::fstat(alvo, &st) == 0 && Sobrescreve(alvo, st.st_size, texto);
    ::close(alvo);
    return ok;
}

namespace {

constexpr const char* kSufixoParcial = ".parcial";
// Bytes gathered before one write: lines arrive one by one.
constexpr std::size_t kBufferSaida = 1 << 16;

std::string NomeDe(const std::string& caminho) {
    auto p = caminho.find_last_of('/');
    return p == std::string::npos ? caminho : caminho.substr(p + 1);
}

std::string PastaOuAtual(const std::string& caminho) {
    std::string pasta = PastaDe(caminho);
    return pasta.empty() ? "./" : pasta;
}

// Removes the temporaries of `nome` in `pasta` whose writer no longer runs: what a kill left.
void RemoveParciaisOrfaos(const std::string& pasta, const std::string& nome) {
    DIR* d = ::opendir(pasta.c_str());
    if (!d) return;
    const std::string inicio = "." + nome + ".";
    const std::string_view sufixo = kSufixoParcial;
    while (dirent* e = ::readdir(d)) {
        std::string_view n = e->d_name;
        if (n.size() <= inicio.size() + sufixo.size() || n.substr(0, inicio.size()) != inicio ||
            n.substr(n.size() - sufixo.size()) != sufixo)
            continue;
        std::string_view numero = n.substr(inicio.size(), n.size() - inicio.size() - sufixo.size());
        if (numero.empty() || numero.size() > 9 ||
            numero.find_first_not_of("0123456789") != std::string_view::npos)
            continue;
        const pid_t pid = static_cast<pid_t>(std::stol(std::string(numero)));
        if (pid == ::getpid() || ::kill(pid, 0) == 0 || errno != ESRCH) continue;
        ::unlinkat(::dirfd(d), e->d_name, 0);
    }
    ::closedir(d);
}

bool SincronizaPasta(const std::string& pasta) {
    int fd = ::open(pasta.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = ::fsync(fd) == 0 || errno == EINVAL;  // some file systems cannot sync a folder
    ::close(fd);
    return ok;
}

}  // namespace

SaidaSegura::SaidaSegura(std::string caminho) : caminho_(std::move(caminho)) {
    const std::string pasta = PastaOuAtual(caminho_);
    const std::string nome = NomeDe(caminho_);
    if (nome.empty()) return;
    RemoveParciaisOrfaos(pasta, nome);
    temporario_ = pasta + "." + nome + "." + std::to_string(::getpid()) + kSufixoParcial;
    fd_ = ::open(temporario_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
}

SaidaSegura::~SaidaSegura() {
    if (fd_ >= 0) {
        ::close(fd_);
        ::unlink(temporario_.c_str());
    }
}

bool SaidaSegura::Escreve(std::string_view texto) {
    if (fd_ < 0 || falhou_) return false;
    buffer_.append(texto);
    return buffer_.size() < kBufferSaida || Descarrega();
}

bool SaidaSegura::Descarrega() {
    std::string_view resto = buffer_;
    while (!resto.empty() && !falhou_) {
        ssize_t n = ::write(fd_, resto.data(), resto.size());
        if (n < 0 && errno != EINTR) falhou_ = true;
        if (n > 0) resto.remove_prefix(static_cast<std::size_t>(n));
    }
    buffer_.clear();
    return !falhou_;
}

bool SaidaSegura::Conclui() {
    if (fd_ < 0) return false;
    bool ok = !falhou_ && Descarrega();
    ok = ::close(fd_) == 0 && ok;
    fd_ = -1;
    if (ok) {
        // Synced by name: an outside writer may have put another file under the temporary's name.
        int fd = ::open(temporario_.c_str(), O_RDONLY | O_CLOEXEC);
        ok = fd >= 0 && ::fsync(fd) == 0;
        if (fd >= 0) ::close(fd);
    }
    if (ok) ok = ::rename(temporario_.c_str(), caminho_.c_str()) == 0;
    if (!ok) {
        ::unlink(temporario_.c_str());
        return false;
    }
    return SincronizaPasta(PastaOuAtual(caminho_));
}

bool GravaArquivoSeguro(const std::string& caminho, std::string_view texto) {
    SaidaSegura s(caminho);
    return s.Escreve(texto) && s.Conclui();
}

namespace {

// Copies the file `origem` into `s`; false when it cannot be read whole (or, with `falta`
// true, is missing).
bool CopiaPara(SaidaSegura& s, const std::string& origem, bool faltaEhErro) {
    int fd = ::open(origem.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return !faltaEhErro && errno == ENOENT && s.Aberta();
    bool ok = s.Aberta();
    char buffer[1 << 16];
    while (ok) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        ok = s.Escreve(std::string_view(buffer, static_cast<std::size_t>(n)));
    }
    ::close(fd);
    return ok;
}

}  // namespace

bool CopiaArquivoSeguro(const std::string& origem, const std::string& destino) {
    SaidaSegura s(destino);
    return CopiaPara(s, origem, true) && s.Conclui();
}

bool AnexaArquivoSeguro(const std::string& caminho, std::string_view texto) {
    SaidaSegura s(caminho);
    return CopiaPara(s, caminho, false) && s.Escreve(texto) && s.Conclui();
}

}  // namespace plataforma
