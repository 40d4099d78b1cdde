// Serving thread of the numeric-code printer: the pseudo-terminal, frame cutting (STX ...
// ETX), fault injection and the logs.
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>

#include "emulador/numerico.h"
#include "emulador/portao.h"
#include "terminal.h"

namespace emulador {

namespace {

constexpr char STX = 0x02, ETX = 0x03, ESC = 0x1B;
// The most a request may grow to before its ETX: longer input is noise and is dropped.
constexpr std::size_t kMaximoQuadro = 4096;
// Code of a frame whose head is not ESC "$".
constexpr int kCabecalhoInvalido = 1;

}  // namespace

EmuladorNumerico::EmuladorNumerico(int familia)
    : familia_(familia == 2 ? 2 : 1), frente_(impressora_, familia_) {}

EmuladorNumerico::~EmuladorNumerico() {
    Para();
}

bool EmuladorNumerico::Inicia(const std::string& pasta, const std::string& porta) {
    Para();
    return IniciaLinha(
        pasta, porta, master_, slave_, dispositivo_, link_, acorda_, fio_, [this] { Serve(); }, erro_);
}

void EmuladorNumerico::Para() {
    EncerraLinha(fio_, acorda_, master_, slave_, link_);
    dispositivo_.clear();
}

std::string EmuladorNumerico::Link() const {
    return link_;
}
std::string EmuladorNumerico::Dispositivo() const {
    return dispositivo_;
}
std::string EmuladorNumerico::Erro() const {
    return erro_;
}

bool EmuladorNumerico::Dorme(int ms) {
    return DormeAteAcordar(acorda_[0], ms);
}

std::vector<std::string> EmuladorNumerico::Atende(const std::string& quadro, int& atrasoMs, int& pausaMs) {
    std::unique_lock<std::mutex> l(m_);
    TrocaNumerica t;
    t.quadro = quadro;
    std::vector<std::string> pedacos;
    const bool aplica = falhas_.vezes != 0;
    const bool cabecalho = quadro.size() >= 4 && quadro[1] == ESC && quadro[2] == '$';
    t.comando = cabecalho ? quadro.substr(3, quadro.size() - 4) : quadro.substr(1, quadro.size() - 2);
    if (!(aplica && falhas_.silencio)) {
        const int numero = t.comando.size() >= 2 && std::isdigit(static_cast<unsigned char>(t.comando[0])) &&
                                   std::isdigit(static_cast<unsigned char>(t.comando[1]))
                               ? (t.comando[0] - '0') * 10 + (t.comando[1] - '0')
                               : 0;
        std::string resposta;
        auto injetado = falhas_.erros.find(numero);
        if (!cabecalho) {
            FrenteNumerica::Resultado r;
            r.codigo = "0" + std::to_string(kCabecalhoInvalido);
            resposta = frente_.Quadro(numero, r);
        } else if (injetado != falhas_.erros.end() && injetado->second.vezes != 0) {
            FrenteNumerica::Resultado r;
            r.codigo = injetado->second.codigo;
            resposta = frente_.Quadro(numero, r);
            if (injetado->second.vezes > 0) --injetado->second.vezes;
        } else {
            resposta = frente_.Atende(t.comando);
            auto aviso = falhas_.avisos.find(numero);
            if (aviso != falhas_.avisos.end() && resposta.size() >= 9 && resposta[1] == '+')
                resposta.replace(6, 2, aviso->second);
        }
        if (aplica && falhas_.semFechamento) resposta.pop_back();
        if (aplica && falhas_.semStx) resposta.erase(0, 1);
        if (aplica && falhas_.doisStx)
            resposta = std::string(1, STX) + "-" + std::string(4, '0') + "99" + resposta;
        if (aplica) resposta += falhas_.aposEtx;
        t.resposta = resposta;
        const std::size_t n = aplica ? static_cast<std::size_t>(std::max(1, falhas_.pedacos)) : 1;
        const std::size_t tam = (resposta.size() + n - 1) / n;
        for (std::size_t i = 0; i < resposta.size(); i += tam) pedacos.push_back(resposta.substr(i, tam));
        pausaMs = aplica ? falhas_.pausaMs : 0;
        atrasoMs = aplica ? falhas_.atrasoMs : 0;
    }
    if (aplica && falhas_.vezes > 0 && --falhas_.vezes == 0) {
        auto erros = std::move(falhas_.erros);
        falhas_ = FalhasNumericas{};
        falhas_.erros = std::move(erros);
    }
    trocas_.push_back(t);
    auto aviso = aoTrocar_;
    l.unlock();
    if (aviso) aviso(t);
    return pedacos;
}

void EmuladorNumerico::Serve() {
    std::string entrada;
    char buf[4096];
    auto escreve = [&](const std::string& bytes) {
        const std::size_t feito = EscreveNoMestre(master_, acorda_[0], bytes);
        std::lock_guard<std::mutex> l(m_);
        enviados_ += bytes.substr(0, feito);
    };
    for (;;) {
        pollfd p[2] = {{master_, POLLIN, 0}, {acorda_[0], POLLIN, 0}};
        int r = Espera(p, 2, -1);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0 || (p[1].revents & POLLIN)) break;
        if (!(p[0].revents & POLLIN)) {
            if (!Dorme(10)) break;  // hang-up while nobody has the port open
            continue;
        }
        ssize_t n = ::read(master_, buf, sizeof buf);
        if (n <= 0) continue;
        {
            std::lock_guard<std::mutex> l(m_);
            recebidos_.append(buf, static_cast<std::size_t>(n));
        }
        entrada.append(buf, static_cast<std::size_t>(n));
        for (;;) {
            std::size_t stx = entrada.find(STX);
            if (stx == std::string::npos) {
                entrada.clear();  // noise
                break;
            }
            entrada.erase(0, stx);
            std::size_t etx = entrada.find(ETX);
            if (etx == std::string::npos) {
                if (entrada.size() > kMaximoQuadro) entrada.clear();
                break;
            }
            // A later STX before the ETX starts the frame over.
            std::size_t inicio = entrada.rfind(STX, etx);
            std::string quadro = entrada.substr(inicio, etx - inicio + 1);
            entrada.erase(0, etx + 1);
            int atraso = 0, pausa = 0;
            std::vector<std::string> pedacos = Atende(quadro, atraso, pausa);
            if (!pedacos.empty() && !Dorme(atraso)) return;
            for (std::size_t i = 0; i < pedacos.size(); ++i) {
                if (i > 0 && !Dorme(pausa)) return;
                escreve(pedacos[i]);
            }
        }
    }
}

Impressora EmuladorNumerico::ImpressoraAtual() const {
    std::lock_guard<std::mutex> l(m_);
    return impressora_;
}

void EmuladorNumerico::DefineFalhas(const FalhasNumericas& f) {
    std::lock_guard<std::mutex> l(m_);
    falhas_ = f;
}

void EmuladorNumerico::ErroEm(int comando, const std::string& codigo, int vezes) {
    std::lock_guard<std::mutex> l(m_);
    falhas_.erros[comando] = {codigo, vezes};
}

}  // namespace emulador
