// Helpers of the emulator's tests: a scratch folder, a client on the pty link, and shortcuts
// for running commands against the printer model and reading its print stream.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "emulador/impressora.h"

namespace teste {

class Pasta {
  public:
    Pasta() {
        std::string m = (std::filesystem::temp_directory_path() / "emulador-XXXXXX").string();
        caminho_ = ::mkdtemp(m.data());
    }
    ~Pasta() {
        std::error_code ec;
        std::filesystem::remove_all(caminho_, ec);
    }
    const std::string& Caminho() const { return caminho_; }
    std::string operator/(const std::string& n) const { return caminho_ + "/" + n; }

  private:
    std::string caminho_;
};

// A serial client as the driver is one: opens the link, raw 8 bits, reads with poll().
class Cliente {
  public:
    explicit Cliente(const std::string& link) {
        fd_ = ::open(link.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (fd_ >= 0) {
            termios t{};
            ::tcgetattr(fd_, &t);
            ::cfmakeraw(&t);
            t.c_cflag |= PARENB | CLOCAL | CREAD;
            ::tcsetattr(fd_, TCSANOW, &t);
        }
    }
    ~Cliente() {
        if (fd_ >= 0) ::close(fd_);
    }
    bool Aberto() const { return fd_ >= 0; }
    void Escreve(const std::string& s) {
        std::size_t feito = 0;
        while (feito < s.size()) {
            ssize_t n = ::write(fd_, s.data() + feito, s.size() - feito);
            if (n <= 0) return;
            feito += static_cast<std::size_t>(n);
        }
    }
    // Reads until the bytes end in "}" with nothing more for 30 ms, or `prazoMs` passes.
    // `leituras` counts the reads that brought bytes.
    std::string Le(int prazoMs, int* leituras = nullptr) {
        std::string r;
        auto fim = std::chrono::steady_clock::now() + std::chrono::milliseconds(prazoMs);
        while (true) {
            int falta = static_cast<int>(
                std::chrono::duration_cast<std::chrono::milliseconds>(fim - std::chrono::steady_clock::now())
                    .count());
            if (falta <= 0) break;
            pollfd p{fd_, POLLIN, 0};
            int espera = !r.empty() && r.back() == '}' ? std::min(falta, 30) : falta;
            if (::poll(&p, 1, espera) <= 0) {
                if (!r.empty() && r.back() == '}') break;
                continue;
            }
            char b[4096];
            ssize_t n = ::read(fd_, b, sizeof b);
            if (n <= 0) break;
            r.append(b, static_cast<std::size_t>(n));
            if (leituras) ++*leituras;
        }
        return r;
    }
    std::string Comando(const std::string& pacote, const std::string& cmd, const std::string& par,
                        int prazo = 2000) {
        Escreve(Quadro(pacote, cmd, par));
        return Le(prazo);
    }
    static std::string Quadro(const std::string& pacote, const std::string& cmd, const std::string& par) {
        std::string corpo = pacote + ";" + cmd + ";" + par + ";";
        return "{" + corpo + std::to_string(corpo.size()) + "}";
    }

  private:
    int fd_ = -1;
};

// Code and data of a reply frame.
inline int Codigo(const std::string& r) {
    auto a = r.find(';'), b = r.find(';', a + 1);
    return a == std::string::npos || b == std::string::npos ? -1
                                                            : std::atoi(r.substr(a + 1, b - a - 1).c_str());
}
inline std::string Dados(const std::string& r) {
    auto a = r.find(';'), b = r.find(';', a + 1), c = r.rfind(';');
    return b == std::string::npos || c <= b ? "" : r.substr(b + 1, c - b - 1);
}

// A printer at a fixed moment, so that dates in texts are known.
inline emulador::Impressora ImpressoraEm(const std::string& data = "15/03/2010",
                                         const std::string& hora = "10:00:00") {
    emulador::Impressora p;
    emulador::DataHora d;
    d.LeData(data);
    d.LeHora(hora);
    p.AjustaRelogio(d);
    return p;
}

// Everything a capture brings back: LeImpressao until it answers an empty piece.
inline std::string Captura(emulador::Impressora& p) {
    std::string s;
    for (int i = 0; i < 100000; ++i) {
        emulador::Resposta r = p.Executa("LeImpressao", "");
        if (r.codigo) return s;
        std::string v = r.dados.substr(16, r.dados.size() - 17);
        if (v.empty()) break;
        s += v;
    }
    return s;
}

// The stream as printed lines: ESC sequences dropped, "\\" undone, a line ends at a line feed
// or at 48 columns.
inline std::vector<std::string> Linhas(const std::string& fluxo) {
    std::vector<std::string> r;
    std::string l;
    for (std::size_t i = 0; i < fluxo.size(); ++i) {
        char c = fluxo[i];
        if (c == '\x1b') {
            i += 2;
            continue;
        }
        if (c == '\\' && i + 1 < fluxo.size())
            c = fluxo[++i];
        else if (c == '\n') {
            r.push_back(l);
            l.clear();
            continue;
        }
        l += c;
        if (l.size() == 48) {
            r.push_back(l);
            l.clear();
        }
    }
    if (!l.empty()) r.push_back(l);
    return r;
}

// A printer model driven directly, without the line: X runs a command, Ok asserts that it
// succeeded, Erro gives its code.
class ComImpressora : public ::testing::Test {
  protected:
    emulador::Impressora p = ImpressoraEm();

    emulador::Resposta X(const std::string& c, const std::string& par = "") { return p.Executa(c, par); }
    void Ok(const std::string& c, const std::string& par = "") {
        emulador::Resposta r = X(c, par);
        ASSERT_EQ(r.codigo, 0) << c << " " << par << ": " << r.dados;
    }
    int Erro(const std::string& c, const std::string& par = "") { return X(c, par).codigo; }
};

}  // namespace teste
