// libleitura.so: reads a printer's fiscal memory and detail tape over the serial port into a
// memory dump file, on a thread of its own, and reports its progress through a status record.
// It speaks to the printer with frames of its own making and shares no code with libtarvo.so
// but the platform's serial port. README.md gives the entry points, the states, the codes and
// the dump format.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/relogio.h"
#include "platform/serial.h"
#include "standin.h"

namespace {

// --- codes and states ----------------------------------------------------------------------------
using namespace standin;
constexpr int kErroAbreArquivo = 4097;
constexpr int kErroCanalCOM = 16386;
constexpr int kErroBinarioECF = 16390;
constexpr int kErroECFInvalido = 16391;
constexpr int kErroFaltaRAM = 16392;

constexpr std::uint32_t kParado = 0;
constexpr std::uint32_t kIniciando = 96;
constexpr std::uint32_t kLendo = 112;
constexpr std::uint32_t kConcluida = 256;
constexpr std::uint32_t kComErro = 512;
constexpr std::uint32_t kCancelada = 1024;

struct RegistroStatus {
    std::uint32_t tamanho;
    std::uint32_t situacao;
    std::uint32_t erro;
    std::uint32_t tamanhoLeitura;
    std::uint32_t progresso;
    char texto[128];
};
static_assert(sizeof(RegistroStatus) == 148, "the status record is 148 bytes");

// --- the dump file ---------------------------------------------------------------------------------
// Header of 64 bytes, little-endian: "TARVOTDM", version, complete flag, serial (24 bytes,
// blank-filled), size of the fiscal memory, size of the detail tape; then both memories.
constexpr std::size_t kCabecalho = 64;
constexpr char kMarca[8] = {'T', 'A', 'R', 'V', 'O', 'T', 'D', 'M'};
constexpr std::uint32_t kVersao = 1;
constexpr std::size_t kSerie = 24;

void PoeU32(unsigned char* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}
void PoeU64(unsigned char* p, std::uint64_t v) {
    for (int i = 0; i < 8; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

std::string Apara(std::string s) {
    std::size_t i = s.find_first_not_of(' ');
    if (i == std::string::npos) return "";
    return s.substr(i, s.find_last_not_of(' ') - i + 1);
}

bool EscreveTudo(int fd, const void* dados, std::size_t n, off_t posicao) {
    const char* p = static_cast<const char*>(dados);
    while (n > 0) {
        ssize_t w = ::pwrite(fd, p, n, posicao);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        p += w, n -= static_cast<std::size_t>(w), posicao += w;
    }
    return true;
}

bool EscreveCabecalho(int fd, const std::string& serie, std::uint64_t mf, std::uint64_t mfd, bool completo) {
    unsigned char h[kCabecalho] = {};
    std::memcpy(h, kMarca, sizeof kMarca);
    PoeU32(h + 8, kVersao);
    PoeU32(h + 12, completo ? 1 : 0);
    std::memset(h + 16, ' ', kSerie);
    std::memcpy(h + 16, serie.data(), std::min(serie.size(), kSerie));
    PoeU64(h + 40, mf);
    PoeU64(h + 48, mfd);
    return EscreveTudo(fd, h, sizeof h, 0);
}

// Checks a dump that already exists: 0 when it is empty or belongs to `serie`, else a code.
int ConfereDumpExistente(int fd, const std::string& serie) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return kErroBinarioInvalido;
    if (st.st_size == 0) return kOk;
    unsigned char h[kCabecalho] = {};
    if (st.st_size < static_cast<off_t>(kCabecalho) ||
        ::pread(fd, h, sizeof h, 0) != static_cast<ssize_t>(sizeof h) ||
        std::memcmp(h, kMarca, sizeof kMarca) != 0)
        return kErroBinarioInvalido;
    std::string gravada(reinterpret_cast<const char*>(h + 16), kSerie);
    return Apara(gravada) == Apara(serie) ? kOk : kErroBinarioECF;
}

// --- the line: frames of the printer's named-parameter protocol --------------------------------
constexpr std::size_t kMaiorResposta = 64 * 1024;  // a reply longer than this is refused
constexpr int kPrazoMs = 3000;                     // per attempt
constexpr int kTentativas = 3;
constexpr std::size_t kPedaco = 8192;  // bytes of memory asked per frame

class Linha {
  public:
    Linha(plataforma::PortaSerial& porta, const std::atomic<bool>& cancela)
        : porta_(porta), cancela_(cancela) {}

    enum class Fim { Resposta, Silencio, Cancelada };

    // Sends one command and waits for its reply (the same packet number); a silent printer is
    // asked again. `codigo` and `dados` are those of the reply.
    Fim Troca(const std::string& comando, const std::string& parametros, int& codigo, std::string& dados) {
        for (int tentativa = 0; tentativa < kTentativas; ++tentativa) {
            pacote_ = pacote_ % 99 + 1;
            std::string corpo = std::to_string(pacote_) + ";" + comando + ";" + parametros + ";";
            std::string quadro = "{" + corpo + std::to_string(corpo.size()) + "}";
            porta_.Descarta();
            if (porta_.Escreve(quadro.data(), quadro.size(), kPrazoMs) != quadro.size()) continue;
            Fim f = Espera(codigo, dados);
            if (f != Fim::Silencio || cancela_) return f;
        }
        return Fim::Silencio;
    }

  private:
    Fim Espera(int& codigo, std::string& dados) {
        std::string recebido;
        std::int64_t prazo = plataforma::Monotonico() + kPrazoMs;
        // A cancel still waits for the reply under way (within its deadline), so that the port
        // is handed back quiet: a late reply would otherwise reach the port's next user.
        auto fim = [&](Fim f) { return cancela_ ? Fim::Cancelada : f; };
        while (true) {
            std::int64_t agora = plataforma::Monotonico();
            if (agora >= prazo) return fim(Fim::Silencio);
            auto r = porta_.LeAte(recebido, kMaiorResposta, prazo);
            if (r == plataforma::PortaSerial::Resultado::Fim) return fim(Fim::Silencio);
            if (recebido.size() >= kMaiorResposta) recebido.clear();
            if (Separa(recebido, codigo, dados)) return fim(Fim::Resposta);
        }
    }

    // Finds a complete reply of the current packet in `bytes`: "{" packet ";" code ";" data ";"
    // length "}", the length counting from after "{" through the last ";".
    bool Separa(std::string& bytes, int& codigo, std::string& dados) const {
        std::size_t inicio = bytes.find('{');
        while (inicio != std::string::npos) {
            for (std::size_t fim = bytes.find('}', inicio); fim != std::string::npos;
                 fim = bytes.find('}', fim + 1)) {
                std::size_t pv = bytes.rfind(';', fim);
                if (pv == std::string::npos || pv <= inicio || pv + 1 == fim) continue;
                std::string n = bytes.substr(pv + 1, fim - pv - 1);
                if (n.find_first_not_of("0123456789") != std::string::npos || n.size() > 6) continue;
                if (std::stoul(n) != pv - inicio) continue;
                std::string corpo = bytes.substr(inicio + 1, pv - inicio - 1);
                bytes.erase(0, fim + 1);
                std::size_t a = corpo.find(';');
                if (a == std::string::npos) break;
                std::size_t b = corpo.find(';', a + 1);
                if (b == std::string::npos) break;
                if (corpo.substr(0, a) != std::to_string(pacote_)) break;  // a stale reply
                std::string c = corpo.substr(a + 1, b - a - 1);
                if (c.empty() || c.size() > 6 || c.find_first_not_of("0123456789") != std::string::npos)
                    break;
                codigo = std::stoi(c);
                dados = corpo.substr(b + 1);
                return true;
            }
            inicio = bytes.find('{', inicio + 1);
        }
        return false;
    }

    plataforma::PortaSerial& porta_;
    const std::atomic<bool>& cancela_;
    int pacote_ = 0;
};

// Value of `nome=` in reply data: a quoted text without its quotes, or a bare word.
bool Valor(const std::string& dados, const std::string& nome, std::string& valor) {
    std::size_t i = 0;
    while ((i = dados.find(nome + "=", i)) != std::string::npos) {
        if (i == 0 || dados[i - 1] == ' ') break;
        i += nome.size();
    }
    if (i == std::string::npos) return false;
    i += nome.size() + 1;
    if (i < dados.size() && dados[i] == '"') {
        std::size_t f = dados.find('"', i + 1);
        if (f == std::string::npos) return false;
        valor = dados.substr(i + 1, f - i - 1);
    } else {
        valor = dados.substr(i, dados.find(' ', i) - i);
    }
    return true;
}

bool Numero(const std::string& texto, std::uint64_t& n) {
    if (texto.empty() || texto.size() > 18 || texto.find_first_not_of("0123456789") != std::string::npos)
        return false;
    n = std::stoull(texto);
    return true;
}

bool DeHex(const std::string& hex, std::string& bytes) {
    if (hex.size() % 2) return false;
    bytes.resize(hex.size() / 2);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        int v = 0;
        for (int k = 0; k < 2; ++k) {
            char c = hex[2 * i + static_cast<std::size_t>(k)];
            int d = c >= '0' && c <= '9'   ? c - '0'
                    : c >= 'A' && c <= 'F' ? c - 'A' + 10
                    : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                           : -1;
            if (d < 0) return false;
            v = v * 16 + d;
        }
        bytes[i] = static_cast<char>(v);
    }
    return true;
}

// --- the reader ------------------------------------------------------------------------------------

// What one reading owns: the port and the dump file (locked), handed to its thread.
struct Tarefa {
    plataforma::PortaSerial porta;
    int fd = -1;
    std::string serie, caminho;
    bool criado = false;   // the dump did not exist before this reading
    bool escrito = false;  // something of this reading went into it
    bool falhou = true;
    ~Tarefa() {
        // A dump this reading made and never wrote to goes away with its failure.
        if (falhou && criado && !escrito) ::unlink(caminho.c_str());
        if (fd >= 0) ::close(fd);  // the lock goes with the descriptor
    }
};

class Leitor {
  public:
    ~Leitor() {
        // Unloaded while reading: the thread stops before the code it runs goes away.
        cancela_ = true;
        std::unique_lock<std::mutex> l(m_);
        if (fio_.joinable()) {
            l.unlock();
            fio_.join();
        }
    }

    int LeMemorias(const char* porta, const char* arquivo, const char* serie, bool aguarda) {
        if (!arquivo || !*arquivo) return kErroCriaArquivo;
        if (!porta || !*porta) return kErroCanalCOM;
        auto t = std::make_unique<Tarefa>();
        t->serie = Apara(serie ? serie : "");
        std::unique_lock<std::mutex> l(m_);
        if (ativo_) return kErroCanalCOM;  // the port is taken by the reading under way
        if (fio_.joinable()) fio_.join();  // the last reading has ended: its thread is done
        t->caminho = arquivo;
        t->fd = ::open(arquivo, O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        t->criado = t->fd >= 0;
        if (t->fd < 0 && errno == EEXIST) t->fd = ::open(arquivo, O_RDWR | O_CLOEXEC);
        if (t->fd < 0) return kErroCriaArquivo;
        if (::flock(t->fd, LOCK_EX | LOCK_NB) != 0) return kErroAbreArquivo;
        if (int c = ConfereDumpExistente(t->fd, t->serie)) return c;
        if (!t->porta.Abre(porta)) return kErroCanalCOM;
        plataforma::ConfiguracaoLinha linha;
        linha.baud = baud_;
        if (!t->porta.Configura(linha)) return kErroCanalCOM;
        Publica(kIniciando, 0, 0, 0, "Iniciando a leitura das memorias");
        ativo_ = true;
        cancela_ = false;
        std::uint64_t minha = ++geracao_;
        fio_ = std::thread([this, t = std::move(t), minha]() mutable { Roda(std::move(t), minha); });
        if (!aguarda) return kOk;
        esperados_[minha] = -1;
        fim_.wait(l, [&] { return esperados_[minha] >= 0; });
        int r = esperados_[minha];
        esperados_.erase(minha);
        return r;
    }

    void Status(RegistroStatus& r) {
        std::lock_guard<std::mutex> l(m_);
        r.situacao = situacao_;
        r.erro = erro_;
        r.tamanhoLeitura = tamanho_;
        r.progresso = progresso_;
        std::size_t n = std::min(texto_.size(), sizeof r.texto - 1);
        std::memcpy(r.texto, texto_.data(), n);
        r.texto[n] = '\0';
    }

    void Cancela() {
        std::lock_guard<std::mutex> l(m_);
        if (ativo_) cancela_ = true;
    }

    bool DefineBaud(int baud) {
        if (baud != 9600 && baud != 19200 && baud != 38400 && baud != 57600 && baud != 115200) return false;
        std::lock_guard<std::mutex> l(m_);
        baud_ = baud;
        return true;
    }

  private:
    void Publica(std::uint32_t situacao, std::uint32_t erro, std::uint32_t tamanho, std::uint32_t progresso,
                 const char* texto) {
        situacao_ = situacao, erro_ = erro, tamanho_ = tamanho, progresso_ = progresso, texto_ = texto;
    }

    void Roda(std::unique_ptr<Tarefa> t, std::uint64_t minha) {
        int r = Le(*t);
        t->falhou = r != kOk;
        t.reset();  // port and dump released before the end is told
        std::lock_guard<std::mutex> l(m_);
        if (r == kOk)
            Publica(kConcluida, 0, tamanho_, progresso_, "Leitura concluida");
        else if (r == kErroArquivoIncompleto && cancela_)
            Publica(kCancelada, static_cast<std::uint32_t>(r), tamanho_, progresso_, "Leitura cancelada");
        else
            Publica(kComErro, static_cast<std::uint32_t>(r), tamanho_, progresso_,
                    "Leitura encerrada com erro");
        if (auto e = esperados_.find(minha); e != esperados_.end()) e->second = r;
        ativo_ = false;
        fim_.notify_all();
    }

    int Le(Tarefa& t) {
        Linha linha(t.porta, cancela_);
        int codigo = 0;
        std::string dados, valor;
        Linha::Fim f = linha.Troca("AbreLeituraMemorias", "", codigo, dados);
        if (f == Linha::Fim::Cancelada) return kErroArquivoIncompleto;
        if (f != Linha::Fim::Resposta || codigo != 0) return kErroCanalCOM;
        std::uint64_t tamanhos[2] = {};
        if (!Valor(dados, "NumeroSerie", valor)) return kErroCanalCOM;
        if (Apara(valor) != t.serie) return kErroECFInvalido;
        std::string mf, mfd;
        if (!Valor(dados, "TamanhoMF", mf) || !Valor(dados, "TamanhoMFD", mfd) || !Numero(mf, tamanhos[0]) ||
            !Numero(mfd, tamanhos[1]))
            return kErroCanalCOM;
        // The status record counts in 32 bits.
        if (tamanhos[0] + tamanhos[1] > 0xFFFFFFFFull) return kErroFaltaRAM;
        const auto total = static_cast<std::uint32_t>(tamanhos[0] + tamanhos[1]);
        t.escrito = true;
        if (::ftruncate(t.fd, 0) != 0 || !EscreveCabecalho(t.fd, t.serie, tamanhos[0], tamanhos[1], false))
            return kErroEscritaArquivo;
        {
            std::lock_guard<std::mutex> l(m_);
            Publica(kLendo, 0, total, 0, "Lendo a memoria fiscal");
        }
        static const char* const kMemorias[2] = {"MF", "MFD"};
        std::uint64_t onde = kCabecalho;
        std::uint32_t progresso = 0;
        std::string bytes;
        for (int m = 0; m < 2; ++m) {
            if (m == 1) {
                std::lock_guard<std::mutex> l(m_);
                texto_ = "Lendo a fita detalhe";
            }
            for (std::uint64_t pos = 0; pos < tamanhos[m];) {
                if (cancela_) return kErroArquivoIncompleto;
                std::uint64_t pede = std::min<std::uint64_t>(kPedaco, tamanhos[m] - pos);
                f = linha.Troca("LeMemorias",
                                std::string("Memoria=\"") + kMemorias[m] +
                                    "\" Posicao=" + std::to_string(pos) + " Tamanho=" + std::to_string(pede),
                                codigo, dados);
                if (f == Linha::Fim::Cancelada) return kErroArquivoIncompleto;
                std::uint64_t posicao = 0;
                if (f != Linha::Fim::Resposta || codigo != 0 || !Valor(dados, "Posicao", valor) ||
                    !Numero(valor, posicao) || posicao != pos || !Valor(dados, "Dados", valor) ||
                    !DeHex(valor, bytes) || bytes.empty() || bytes.size() > pede)
                    return kErroCanalCOM;
                if (!EscreveTudo(t.fd, bytes.data(), bytes.size(), static_cast<off_t>(onde + pos)))
                    return kErroEscritaArquivo;
                pos += bytes.size();
                progresso += static_cast<std::uint32_t>(bytes.size());
                std::lock_guard<std::mutex> l(m_);
                progresso_ = progresso;
            }
            onde += tamanhos[m];
        }
        if (!EscreveCabecalho(t.fd, t.serie, tamanhos[0], tamanhos[1], true) || ::fsync(t.fd) != 0)
            return kErroEscritaArquivo;
        return kOk;
    }

    std::mutex m_;
    std::condition_variable fim_;
    std::thread fio_;
    std::atomic<bool> cancela_{false};
    bool ativo_ = false;
    std::uint64_t geracao_ = 0;
    std::map<std::uint64_t, int> esperados_;  // result of each reading a caller waits for
    int baud_ = 115200;
    std::uint32_t situacao_ = kParado, erro_ = 0, tamanho_ = 0, progresso_ = 0;
    std::string texto_ = "Nenhuma leitura";
};

Leitor& O() {
    static Leitor leitor;
    return leitor;
}

}  // namespace

STANDIN_API int DLLReadLeMemorias(const char* porta, const char* arquivo, const char* serie, int aguarda) {
    try {
        return O().LeMemorias(porta, arquivo, serie, aguarda != 0);
    } catch (...) {
        return kErroFaltaRAM;
    }
}

STANDIN_API int DLLReadStatus(void* registro) {
    if (!registro) return -1;
    RegistroStatus r;
    std::memcpy(&r, registro, sizeof r.tamanho);
    if (r.tamanho < sizeof r) return -1;  // a record too small for our fields is left alone
    std::memcpy(&r, registro, sizeof r);
    O().Status(r);
    std::memcpy(registro, &r, sizeof r);
    return 0;
}

STANDIN_API int DLLReadCancelaLeitura() {
    O().Cancela();
    return 0;
}

STANDIN_API int DLLReadDefineBaudRate(int baud) {
    return O().DefineBaud(baud) ? 0 : -1;
}
