// Serving thread: the pseudo-terminal or the file exchange, frame cutting, fault injection
// and the logs.
#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "emulador/emulador.h"
#include "emulador/portao.h"
#include "terminal.h"

namespace emulador {

namespace fs = std::filesystem;

namespace {

// A "}" that does not end a well-formed frame is taken as the end after this much quiet.
constexpr int kOcioMs = 40;
// The file exchange looks at the folder at least this often, even without a notification.
constexpr int kVarreduraMs = 50;

std::string LeArquivo(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

}  // namespace

Emulador::Emulador() = default;

Emulador::~Emulador() {
    Para();
}

bool Emulador::Inicia(const std::string& pasta, const std::string& porta) {
    Para();
    arquivos_ = false;
    ativo_ = IniciaLinha(
        pasta, porta, master_, slave_, dispositivo_, link_, acorda_, fio_, [this] { ServePty(); }, erro_);
    return ativo_;
}

bool Emulador::IniciaArquivos(const std::string& pastaTrabalho) {
    Para();
    std::error_code ec;
    fs::create_directories(pastaTrabalho, ec);
    if (!fs::is_directory(pastaTrabalho)) {
        erro_ = "pasta de trabalho inexistente: " + pastaTrabalho;
        return false;
    }
    if (::pipe2(acorda_, O_CLOEXEC) != 0) {
        erro_ = "pipe";
        return false;
    }
    pasta_ = link_ = pastaTrabalho;
    arquivos_ = true;
    ativo_ = true;
    fio_ = FioDoServidor([this] { ServeArquivos(); });
    return true;
}

void Emulador::Para() {
    ParaServidor(fio_, acorda_);
    FechaDescritor(master_), FechaDescritor(slave_);
    if (!arquivos_) RemoveLink(link_);
    link_.clear();
    dispositivo_.clear();
    ativo_ = false;
}

bool Emulador::Ativo() const {
    return ativo_;
}
std::string Emulador::Link() const {
    return link_;
}
std::string Emulador::Dispositivo() const {
    return dispositivo_;
}
std::string Emulador::Erro() const {
    return erro_;
}

bool Emulador::Dorme(int ms) {
    return DormeAteAcordar(acorda_[0], ms);
}

// --- one frame -----------------------------------------------------------------------------------

Emulador::Saida Emulador::Atende(const std::string& bruto) {
    Quadro q;
    Troca t;
    t.quadro = bruto;
    Saida s;
    std::string resposta;
    std::unique_lock<std::mutex> l(m_);
    bool dividido = DivideQuadro(bruto, q);
    t.comando = q.comando;
    t.parametros = q.parametros;
    bool aplica = falhas_.vezes != 0;
    if (aplica && falhas_.desliga) {
        t.codigo = -1;
        s.desliga = true;
    } else if (aplica && !falhas_.tagarela.empty()) {
        t.codigo = -1;
        s.tagarela = falhas_.tagarela;
        s.tagarelaMs = falhas_.tagarelaMs;
    } else if (aplica && falhas_.silencio) {
        t.codigo = -1;
    } else {
        Resposta r;
        auto erroInjetado = falhas_.erros.end();
        for (auto it = falhas_.erros.begin(); it != falhas_.erros.end(); ++it)
            if (MesmoNome(it->first, q.comando) && it->second.vezes != 0) erroInjetado = it;
        if (!dividido || (q.comprimentoPresente && !q.comprimentoCorreto)) {
            r = {erro::kQuadroInvalido,
                 DadosErro("QuadroInvalido",
                           dividido ? "Comprimento do quadro incorreto" : "Quadro mal formado")};
        } else if (erroInjetado != falhas_.erros.end()) {
            r = {erroInjetado->second.codigo,
                 DadosErro(erroInjetado->second.texto1, erroInjetado->second.texto2)};
            if (erroInjetado->second.vezes > 0) --erroInjetado->second.vezes;
        } else if (falhas_.capturaSemFim > 0 && MesmoNome(q.comando, "LeImpressao")) {
            r = {0, "TextoImpressao=\"" + std::string(falhas_.capturaSemFim, 'x') + "\""};
        } else {
            r = impressora_.Executa(q.comando, q.parametros);
        }
        t.codigo = r.codigo;
        resposta = MontaResposta(dividido ? q.pacote : "0", r.codigo, r.dados);
        if (aplica && falhas_.comprimentoErrado) {
            // The length field one too many: "...;19}" becomes "...;20}".
            const std::size_t pv = resposta.rfind(';');
            const int n = std::stoi(resposta.substr(pv + 1));
            resposta = resposta.substr(0, pv + 1) + std::to_string(n + 1) + "}";
        }
        if (aplica && falhas_.semFechamento) resposta.pop_back();
        if (aplica) resposta = falhas_.antes + resposta + falhas_.depois;
        t.resposta = resposta;
        int n = aplica ? std::max(1, falhas_.pedacos) : 1;
        std::size_t tam = (resposta.size() + static_cast<std::size_t>(n) - 1) / static_cast<std::size_t>(n);
        for (std::size_t i = 0; i < resposta.size(); i += tam) s.pedacos.push_back(resposta.substr(i, tam));
        if (aplica) {
            s.atrasoMs = falhas_.atrasoMs;
            s.pausaMs = falhas_.pausaMs;
        }
    }
    if (aplica && falhas_.vezes > 0 && --falhas_.vezes == 0) {
        // Used up: the line faults clear (the errors by command keep their own counts).
        auto erros = std::move(falhas_.erros);
        const std::size_t captura = falhas_.capturaSemFim;
        falhas_ = Falhas{};
        falhas_.erros = std::move(erros);
        falhas_.capturaSemFim = captura;
    }
    trocas_.push_back(t);
    auto aviso = aoTrocar_;
    l.unlock();
    cv_.notify_all();
    if (aviso) aviso(t);  // outside the lock, so that it may look at the printer
    return s;
}

// --- pseudo-terminal -----------------------------------------------------------------------------

void Emulador::ServePty() {
    Enquadrador enq;
    char buf[4096];
    auto escreve = [&](const std::string& bytes) {
        const std::size_t feito = EscreveNoMestre(master_, acorda_[0], bytes);
        std::lock_guard<std::mutex> l(m_);
        enviados_ += bytes.substr(0, feito);
    };
    bool desligado = false;
    auto atende = [&](const std::string& quadro) {
        Saida s = Atende(quadro);
        if (s.desliga) {
            // The cable is pulled: both ends of the pseudo-terminal close, the client sees
            // a hang-up, and the port name goes away as an unplugged adapter's does.
            FechaDescritor(master_), FechaDescritor(slave_);
            RemoveLink(link_);
            desligado = true;
            return;
        }
        if (!s.tagarela.empty()) {
            const auto fim = std::chrono::steady_clock::now() + std::chrono::milliseconds(s.tagarelaMs);
            std::string bloco;
            while (bloco.size() < 4096) bloco += s.tagarela;
            while (std::chrono::steady_clock::now() < fim) {
                pollfd p[2] = {{master_, POLLOUT, 0}, {acorda_[0], POLLIN, 0}};
                if (Espera(p, 2, 50) < 0 || (p[1].revents & POLLIN)) return;
                if (p[0].revents & POLLOUT) {
                    [[maybe_unused]] ssize_t n = ::write(master_, bloco.data(), bloco.size());
                }
                // Whatever the client sent meanwhile is read and dropped, so its writes never block.
                char lixo[4096];
                while (::read(master_, lixo, sizeof lixo) > 0) {
                }
            }
            return;
        }
        if (s.pedacos.empty()) return;
        if (!Dorme(s.atrasoMs)) return;
        for (std::size_t i = 0; i < s.pedacos.size(); ++i) {
            if (i > 0 && !Dorme(s.pausaMs)) return;
            escreve(s.pedacos[i]);
        }
    };
    while (true) {
        if (desligado) {
            // Nothing left to serve: wait for the order to stop.
            pollfd p{acorda_[0], POLLIN, 0};
            if (Espera(&p, 1, -1) < 0 && errno == EINTR) continue;
            break;
        }
        pollfd p[2] = {{master_, POLLIN, 0}, {acorda_[0], POLLIN, 0}};
        int r = Espera(p, 2, enq.AguardaOcio() ? kOcioMs : -1);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0 || (p[1].revents & POLLIN)) break;
        if (r == 0) {
            while (auto q = enq.Proximo(true)) atende(*q);
            continue;
        }
        if (p[0].revents & POLLIN) {
            ssize_t n = ::read(master_, buf, sizeof buf);
            if (n > 0) {
                {
                    std::lock_guard<std::mutex> l(m_);
                    recebidos_.append(buf, static_cast<std::size_t>(n));
                }
                enq.Acrescenta(std::string_view(buf, static_cast<std::size_t>(n)));
                while (auto q = enq.Proximo(false)) atende(*q);
            }
        } else if (p[0].revents & (POLLHUP | POLLERR)) {
            if (!Dorme(10)) break;
        }
    }
}

// --- file exchange --------------------------------------------------------------------------------

void Emulador::ServeArquivos() {
    int in = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (in >= 0)
        ::inotify_add_watch(in, pasta_.c_str(), IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE | IN_MODIFY);
    const fs::path comando = fs::path(pasta_) / "COMANDO.TXT";
    const fs::path status = fs::path(pasta_) / "STATUS.TXT";
    const fs::path temporario = fs::path(pasta_) / "STATUS.TXT.tmp";
    while (true) {
        pollfd p[2] = {{in, POLLIN, 0}, {acorda_[0], POLLIN, 0}};
        int r = Espera(p, 2, kVarreduraMs);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0 || (p[1].revents & POLLIN)) break;
        if (in >= 0 && (p[0].revents & POLLIN)) {
            char ev[4096];
            while (::read(in, ev, sizeof ev) > 0) {
            }
        }
        std::error_code ec;
        if (!fs::exists(comando, ec)) continue;
        std::string conteudo = LeArquivo(comando);
        std::size_t fim = conteudo.find('\n');
        if (fim == std::string::npos) continue;  // still being written
        std::string quadro = conteudo.substr(0, fim);
        if (!quadro.empty() && quadro.back() == '\r') quadro.pop_back();
        fs::remove(comando, ec);
        {
            std::lock_guard<std::mutex> l(m_);
            recebidos_ += conteudo;
        }
        Saida s = Atende(quadro);
        if (s.pedacos.empty()) continue;
        if (!Dorme(s.atrasoMs)) break;
        std::string tudo;
        for (const std::string& x : s.pedacos) tudo += x;
        tudo += "\r\n";
        if (s.pedacos.size() == 1) {
            // Written aside and renamed, so that a reader never sees half a line.
            {
                std::ofstream f(temporario, std::ios::binary | std::ios::trunc);
                f << tudo;
            }
            fs::rename(temporario, status, ec);
        } else {
            // The fault "reply in pieces" writes STATUS.TXT itself piece by piece.
            std::ofstream f(status, std::ios::binary | std::ios::trunc);
            for (std::size_t i = 0; i < s.pedacos.size(); ++i) {
                if (i > 0 && !Dorme(s.pausaMs)) break;
                f << s.pedacos[i];
                f.flush();
            }
            f << "\r\n";
        }
        std::lock_guard<std::mutex> l(m_);
        enviados_ += tudo;
    }
    if (in >= 0) ::close(in);
}

// --- access for tests -------------------------------------------------------------------------------

Impressora Emulador::Impressora() const {
    std::lock_guard<std::mutex> l(m_);
    return impressora_;
}

void Emulador::Reinicia() {
    std::lock_guard<std::mutex> l(m_);
    impressora_ = emulador::Impressora();
}

void Emulador::DefineFalhas(const Falhas& f) {
    std::lock_guard<std::mutex> l(m_);
    falhas_ = f;
}

Falhas Emulador::FalhasAtuais() const {
    std::lock_guard<std::mutex> l(m_);
    return falhas_;
}

void Emulador::LimpaFalhas() {
    DefineFalhas(Falhas{});
}

void Emulador::ArmaFalha(int vezes, const std::function<void(Falhas&)>& arma) {
    std::lock_guard<std::mutex> l(m_);
    arma(falhas_);
    falhas_.vezes = vezes;
}

void Emulador::Silencia(int vezes) {
    ArmaFalha(vezes, [](Falhas& f) { f.silencio = true; });
}

void Emulador::Atrasa(int ms, int vezes) {
    ArmaFalha(vezes, [&](Falhas& f) { f.atrasoMs = ms; });
}

void Emulador::Fatia(int pedacos, int pausaMs, int vezes) {
    ArmaFalha(vezes, [&](Falhas& f) {
        f.pedacos = pedacos;
        f.pausaMs = pausaMs;
    });
}

void Emulador::SemFechamento(int vezes) {
    ArmaFalha(vezes, [](Falhas& f) { f.semFechamento = true; });
}

void Emulador::Ruido(const std::string& antes, const std::string& depois, int vezes) {
    ArmaFalha(vezes, [&](Falhas& f) {
        f.antes = antes;
        f.depois = depois;
    });
}

void Emulador::ComprimentoErrado(int vezes) {
    ArmaFalha(vezes, [](Falhas& f) { f.comprimentoErrado = true; });
}

void Emulador::Tagarela(const std::string& bytes, int ms, int vezes) {
    ArmaFalha(vezes, [&](Falhas& f) {
        f.tagarela = bytes;
        f.tagarelaMs = ms;
    });
}

void Emulador::Desliga() {
    std::lock_guard<std::mutex> l(m_);
    falhas_.desliga = true;
    falhas_.vezes = 1;
}

void Emulador::CapturaSemFim(std::size_t bytesPorResposta) {
    std::lock_guard<std::mutex> l(m_);
    falhas_.capturaSemFim = bytesPorResposta;
}

void Emulador::ErroEm(const std::string& comando, int codigo, const std::string& texto1,
                      const std::string& texto2, int vezes) {
    std::lock_guard<std::mutex> l(m_);
    falhas_.erros[comando] = {codigo, texto1, texto2, vezes};
}

std::vector<std::string> Emulador::Quadros() const {
    std::lock_guard<std::mutex> l(m_);
    std::vector<std::string> r;
    for (const Troca& t : trocas_) r.push_back(t.quadro);
    return r;
}

bool Emulador::EsperaQuadros(std::size_t n, int prazoMs) const {
    std::unique_lock<std::mutex> l(m_);
    return cv_.wait_for(l, std::chrono::milliseconds(prazoMs), [&] { return trocas_.size() >= n; });
}

}  // namespace emulador
