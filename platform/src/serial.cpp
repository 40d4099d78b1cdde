#include "platform/serial.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <utility>

#include "platform/relogio.h"

namespace fs = std::filesystem;

namespace plataforma {

namespace {

// The number after a prefix ("COM12" -> 12), or -1.
int NumeroApos(const std::string& nome, const std::string& prefixo) {
    if (nome.size() <= prefixo.size()) return -1;
    for (std::size_t i = 0; i < prefixo.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(nome[i])) != prefixo[i]) return -1;
    int n = 0;
    for (std::size_t i = prefixo.size(); i < nome.size(); ++i) {
        if (nome[i] < '0' || nome[i] > '9' || n > 100000) return -1;
        n = n * 10 + (nome[i] - '0');
    }
    return n;
}

speed_t Velocidade(int baud) {
    switch (baud) {
        case 1200:
            return B1200;
        case 2400:
            return B2400;
        case 4800:
            return B4800;
        case 9600:
            return B9600;
        case 19200:
            return B19200;
        case 38400:
            return B38400;
        case 57600:
            return B57600;
        case 115200:
            return B115200;
        case 230400:
            return B230400;
        default:
            return B0;
    }
}

// Sets the line at once (TCSANOW). Where the C library's settings record starts with the
// kernel's own layout and keeps the speed in c_cflag as the kernel does, the kernel takes it
// directly: the library's tcsetattr reads the settings twice more around the change, two more
// calls at every opening of the port. C libraries from 2.42 on may keep the speed elsewhere
// (arbitrary rates), so they keep their own tcsetattr.
bool Aplica(int fd, const termios& t) {
#if defined(__linux__) && defined(__GLIBC__) && (__GLIBC__ == 2 && __GLIBC_MINOR__ < 42) && \
    (defined(__x86_64__) || defined(__i386__) || defined(__aarch64__))
    static_assert(offsetof(termios, c_iflag) == 0 && offsetof(termios, c_oflag) == 4 &&
                  offsetof(termios, c_cflag) == 8 && offsetof(termios, c_lflag) == 12 &&
                  offsetof(termios, c_line) == 16 && offsetof(termios, c_cc) == 17 && NCCS >= 19);
    return ::ioctl(fd, TCSETS, &t) == 0;
#else
    return ::tcsetattr(fd, TCSANOW, &t) == 0;
#endif
}

}  // namespace

std::string DispositivoDaPorta(const std::string& nomeOriginal) {
    std::string nome = nomeOriginal;
    if (nome.rfind("\\\\.\\", 0) == 0) nome = nome.substr(4);
    int com = NumeroApos(nome, "COM");
    if (com >= 1) {
        if (const char* dir = std::getenv("TARVO_DEVDIR"); dir && *dir) {
            std::string d = dir;
            if (d.back() != '/') d += '/';
            return d + "COM" + std::to_string(com);
        }
        return "/dev/ttyS" + std::to_string(com - 1);
    }
    int lpt = NumeroApos(nome, "LPT");
    if (lpt >= 1) return "/dev/parport" + std::to_string(lpt - 1);
    return nome;
}

PortaSerial::~PortaSerial() {
    Fecha();
}

bool PortaSerial::Abre(const std::string& nome) {
    if (fd_ >= 0) return true;
    std::string dispositivo = DispositivoDaPorta(nome);
    int fd = ::open(dispositivo.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    semPermissao_ = fd < 0 && (errno == EACCES || errno == EPERM);
    if (fd < 0) return false;
    // A port is one program's at a time, as on Windows: a second opener fails here.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    ::ioctl(fd, TIOCEXCL);  // not every device supports it (nor does root honour it)
    fd_ = fd;
    return true;
}

void PortaSerial::Fecha() {
    if (fd_ < 0) return;
    // The exclusive flag belongs to the terminal and would outlive this descriptor while
    // the other side keeps it open.
    ::ioctl(fd_, TIOCNXCL);
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
}

bool PortaSerial::Configura(const ConfiguracaoLinha& linha) {
    if (fd_ < 0) return false;
    // Every field the line needs is set here, so the setting is built whole rather than read
    // first and changed (the control characters are unused in raw mode).
    termios t{};
    ::cfmakeraw(&t);
    t.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    t.c_cflag |= CLOCAL | CREAD | HUPCL;
    switch (linha.bitsDados) {
        case 5:
            t.c_cflag |= CS5;
            break;
        case 6:
            t.c_cflag |= CS6;
            break;
        case 7:
            t.c_cflag |= CS7;
            break;
        default:
            t.c_cflag |= CS8;
            break;
    }
    if (linha.paridade == 'e' || linha.paridade == 'E') t.c_cflag |= PARENB;
    if (linha.paridade == 'o' || linha.paridade == 'O') t.c_cflag |= PARENB | PARODD;
    if (linha.bitsParada == 2) t.c_cflag |= CSTOPB;
    if (linha.controleRtsCts) t.c_cflag |= CRTSCTS;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    bool ok = true;
    speed_t v = Velocidade(linha.baud);
    if (v != B0)
        ok = ::cfsetispeed(&t, v) == 0 && ::cfsetospeed(&t, v) == 0;
    else
        ok = false;
    if (!Aplica(fd_, t)) ok = false;
    int bits = TIOCM_DTR;
    ::ioctl(fd_, TIOCMBIS, &bits);  // fails on pseudo-terminals, which have no modem lines
    return ok;
}

bool PortaSerial::Cts() const {
    if (fd_ < 0) return false;
    int estado = 0;
    if (::ioctl(fd_, TIOCMGET, &estado) != 0) return errno == ENOTTY || errno == EINVAL;
    return (estado & TIOCM_CTS) != 0;
}

std::size_t PortaSerial::Escreve(const void* dados, std::size_t n, int prazoMs) {
    if (fd_ < 0) return 0;
    const char* p = static_cast<const char*>(dados);
    std::size_t feito = 0;
    const std::int64_t limite = Monotonico() + prazoMs;
    while (feito < n) {
        ssize_t r = ::write(fd_, p + feito, n - feito);
        if (r > 0) {
            feito += static_cast<std::size_t>(r);
            continue;
        }
        if (r < 0 && errno == EINTR) continue;
        if (r < 0 && errno != EAGAIN) break;
        std::int64_t resta = limite - Monotonico();
        if (resta <= 0) break;
        pollfd pf{fd_, POLLOUT, 0};
        if (::poll(&pf, 1, static_cast<int>(resta)) <= 0) break;
    }
    return feito;
}

std::string PortaSerial::Le(std::size_t maximo, int prazoMs) {
    std::string r;
    if (fd_ < 0 || maximo == 0) return r;
    const std::int64_t limite = Monotonico() + std::max(prazoMs, 0);
    for (;;) {
        std::int64_t resta = std::max<std::int64_t>(limite - Monotonico(), 0);
        pollfd pf{fd_, POLLIN, 0};
        int p = ::poll(&pf, 1, static_cast<int>(resta));
        if (p < 0 && errno == EINTR) continue;
        if (p <= 0) return r;
        if (pf.revents & POLLIN) {
            r.resize(maximo);
            ssize_t n = ::read(fd_, r.data(), maximo);
            if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
                r.clear();
                if (resta == 0) return r;
                continue;
            }
            r.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
            return r;
        }
        // Hang-up or error without data: nothing more will come within this wait.
        if (resta > 0) Dorme(static_cast<int>(std::min<std::int64_t>(resta, 5)));
        if (Monotonico() >= limite) return r;
    }
}

PortaSerial::Resultado PortaSerial::LeAte(std::string& destino, std::size_t maximo, std::int64_t prazo) {
    if (fd_ < 0) return Resultado::Fim;
    if (maximo == 0) return Resultado::Prazo;
    for (;;) {
        const std::int64_t resta = std::max<std::int64_t>(prazo - Monotonico(), 0);
        pollfd pf{fd_, POLLIN, 0};
        ++EsperasDestaThread().total;
        const int p = ::poll(&pf, 1, static_cast<int>(std::min<std::int64_t>(resta, 1 << 30)));
        if (p < 0 && errno == EINTR) continue;
        if (p < 0) return Resultado::Fim;
        if (p == 0) {
            ++EsperasDestaThread().esgotadas;
            return Resultado::Prazo;
        }
        if (pf.revents & POLLIN) {
            // Read into a buffer of our own: growing `destino` by `maximo` first would clear
            // that many bytes at every read, most of which no reply ever fills.
            char buffer[4096];
            const ssize_t n = ::read(fd_, buffer, std::min(maximo, sizeof buffer));
            if (n > 0) destino.append(buffer, static_cast<std::size_t>(n));
            if (n > 0) return Resultado::Dados;
            if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
                if (resta == 0) return Resultado::Prazo;
                continue;
            }
            return Resultado::Fim;  // read() of 0: end of file
        }
        // POLLHUP, POLLERR or POLLNVAL without data.
        return Resultado::Fim;
    }
}

void PortaSerial::Descarta() {
    if (fd_ >= 0) ::tcflush(fd_, TCIOFLUSH);
}

namespace {

std::function<std::vector<PortaListada>()>& ListaInstalada() {
    static std::function<std::vector<PortaListada>()> f;
    return f;
}

std::string PrimeiraLinha(const fs::path& arquivo) {
    std::ifstream f(arquivo);
    std::string t;
    if (f) std::getline(f, t);
    while (!t.empty() && (t.back() == '\r' || t.back() == ' ')) t.pop_back();
    return t;
}

// The USB device above a tty of /sys/class/tty (the first folder up its device path with
// idVendor and idProduct): fills the friendly name from its product text and the identifier.
// False when the tty is no USB device.
bool DispositivoUsb(const fs::path& tty, std::string& descricao, std::string& usb) {
    std::error_code ec;
    fs::path dev = fs::canonical(tty / "device", ec);
    for (fs::path p = dev; !ec && p.has_parent_path() && p != p.parent_path(); p = p.parent_path()) {
        std::string vid = PrimeiraLinha(p / "idVendor"), pid = PrimeiraLinha(p / "idProduct");
        if (vid.empty() || pid.empty()) continue;
        for (char& c : vid) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        for (char& c : pid) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        usb = "VID_" + vid + "&PID_" + pid;
        std::string produto = PrimeiraLinha(p / "product");
        if (!produto.empty()) descricao = produto;
        return true;
    }
    return false;
}

std::vector<PortaListada> ListaDaMaquina() {
    std::vector<PortaListada> v;
    std::error_code ec;
    if (const char* dir = std::getenv("TARVO_DEVDIR"); dir && *dir) {
        for (fs::directory_iterator it(dir, ec), fim; !ec && it != fim; it.increment(ec)) {
            std::string n = it->path().filename().string();
            if (NumeroApos(n, "COM") < 1) continue;
            PortaListada p{n, n, ""};
            // A link to a USB serial device (/dev/ttyUSB0, /dev/ttyACM0) names its adapter.
            std::error_code e2;
            fs::path alvo = fs::canonical(it->path(), e2);
            if (!e2) {
                fs::path tty = fs::path("/sys/class/tty") / alvo.filename();
                if (fs::exists(tty / "device", e2)) DispositivoUsb(tty, p.descricao, p.usb);
            }
            v.push_back(p);
        }
    } else {
        for (fs::directory_iterator it("/sys/class/tty", ec), fim; !ec && it != fim; it.increment(ec)) {
            std::string n = it->path().filename().string();
            int num = NumeroApos(n, "TTYS");
            if (num < 0 || !fs::exists(it->path() / "device", ec)) continue;
            std::string nome = "COM" + std::to_string(num + 1);
            PortaListada p{nome, nome, ""};
            DispositivoUsb(it->path(), p.descricao, p.usb);
            v.push_back(p);
        }
    }
    std::sort(v.begin(), v.end(), [](const PortaListada& a, const PortaListada& b) {
        return NumeroApos(a.nome, "COM") < NumeroApos(b.nome, "COM");
    });
    return v;
}

}  // namespace

std::vector<PortaListada> ListaPortasSeriais() {
    if (ListaInstalada()) return ListaInstalada()();
    return ListaDaMaquina();
}

void InstalaListaPortasSeriais(std::function<std::vector<PortaListada>()> lista) {
    ListaInstalada() = std::move(lista);
}

}  // namespace plataforma
