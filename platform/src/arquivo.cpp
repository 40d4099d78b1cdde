#include "platform/arquivo.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>

#include "platform/pastas.h"

namespace plataforma {

namespace {

bool EscreveTudo(int fd, std::string_view texto) {
    std::size_t feito = 0;
    while (feito < texto.size()) {
        ssize_t n = ::pwrite(fd, texto.data() + feito, texto.size() - feito, static_cast<off_t>(feito));
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        feito += static_cast<std::size_t>(n);
    }
    return true;
}

// Writes `texto` over the file's content and sets its length (without passing through an
// empty file).
bool Sobrescreve(int fd, off_t tamanho, std::string_view texto) {
    if (!EscreveTudo(fd, texto)) return false;
    return tamanho <= static_cast<off_t>(texto.size()) || ::ftruncate(fd, static_cast<off_t>(texto.size())) == 0;
}

void Trava(int fd) {
    while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
    }
}

// The companion, open and locked, still under its name (another writer may have exchanged
// it with the file between our open and our lock), with its size. -1 when it cannot be had.
int AbreCompanheiro(const std::string& nome, off_t& tamanho) {
    for (int tentativa = 0; tentativa < 16; ++tentativa) {
        int fd = ::open(nome.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd < 0) return -1;
        Trava(fd);
        struct stat aberto {}, nomeado {};
        if (::fstat(fd, &aberto) == 0 && ::lstat(nome.c_str(), &nomeado) == 0 && aberto.st_dev == nomeado.st_dev &&
            aberto.st_ino == nomeado.st_ino) {
            tamanho = aberto.st_size;
            return fd;
        }
        ::close(fd);
    }
    return -1;
}

}  // namespace

bool SubstituiArquivo(const std::string& caminho, const std::string& texto) {
    const std::string pasta = PastaDe(caminho);
    const std::string companheiro = pasta + "." + caminho.substr(pasta.size()) + ".tarvo";
    off_t tamanho = 0;
    int fd = AbreCompanheiro(companheiro, tamanho);
    if (fd >= 0) {
        bool ok = Sobrescreve(fd, tamanho, texto);
        if (ok) {
            if (::renameat2(AT_FDCWD, companheiro.c_str(), AT_FDCWD, caminho.c_str(), RENAME_EXCHANGE) != 0) {
                // No file yet, or a file system without exchange: a plain rename (the next
                // write creates the companion again).
                ok = ::rename(companheiro.c_str(), caminho.c_str()) == 0;
            }
        }
        ::close(fd);
        if (ok) return true;
    }
    // The folder cannot hold the companion: the file itself, written in place.
    int alvo = ::open(caminho.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (alvo < 0) return false;
    Trava(alvo);
    struct stat st {};
    bool ok = ::fstat(alvo, &st) == 0 && Sobrescreve(alvo, st.st_size, texto);
    ::close(alvo);
    return ok;
}

}  // namespace plataforma
