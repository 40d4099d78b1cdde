#include "console/geracao/execucao.h"

#include <chrono>

#include "console/geracao/fio.h"
#include "console/geracao/progresso.h"

namespace belmora::geracao {

namespace {

constexpr const char* kFalhou = "  <- Operação falhou!";

bool Final(int status) {
    return status == kLeituraConcluida || status == kLeituraComErro || status == kLeituraCancelada ||
           status == kGeracaoTerminada;
}

// The progress bar as the display loop moves it. The range follows the total of the phase
// (reading, then conversion) and starts over when a phase with another total begins; inside a
// phase the position follows the steps done (the reading's current block plus one, the count
// of files written), so a one-file-per-day conversion moves once per day. A phase that ends
// well fills the bar.
class Barra {
  public:
    explicit Barra(const Eventos& ev) : ev_(ev) {}
    void Inicia(int total) {
        maximo_ = total;
        posicao_ = 0;
        Mostra();
    }
    void Passo(const Andamento& a, int statusAnterior) {
        const bool conversao = a.status >= kGeracaoIniciada;
        if (conversao != (statusAnterior >= kGeracaoIniciada) || (a.total > 0 && a.total != maximo_)) {
            maximo_ = a.total;
            posicao_ = 0;
        }
        if (maximo_ < 1) maximo_ = a.total;
        posicao_ = conversao ? a.atual : a.atual + 1;
        if (a.status == kLeituraConcluida || a.status == kGeracaoTerminada) posicao_ = maximo_;
        Mostra();
    }

  private:
    void Mostra() {
        if (!ev_.barra) return;
        const int maximo = maximo_ < 0 ? 0 : maximo_;
        ev_.barra(0, maximo, posicao_ < 0 ? 0 : posicao_ > maximo ? maximo : posicao_);
    }
    const Eventos& ev_;
    int maximo_ = 0, posicao_ = 0;
};

// Follows a progress thread until one of its changes has a final status, forwarding each new
// message to the log and moving the bar. Bounded: ends when the thread ends without a final
// status, when `parar` is raised, or after `silencioMs` without any change.
enum class Seguimento { Final, FioAcabou, Parado, Silencio };
Seguimento Acompanha(TProgresso& fio, Andamento& visto, Barra& barra, const Eventos& ev, int silencioMs,
                     const std::atomic<bool>& parar) {
    auto ultimaMudanca = std::chrono::steady_clock::now();
    while (true) {
        // Read before the changes are taken: when the thread had ended, they are its last.
        const bool acabou = fio.Finalizado();
        const std::vector<Andamento> mudancas = fio.Mudancas();
        for (const Andamento& a : mudancas) {
            barra.Passo(a, visto.status);
            if (a.mensagem != visto.mensagem && ev.log) ev.log("  -> " + a.mensagem);
            visto = a;
            if (Final(static_cast<std::uint16_t>(a.status))) return Seguimento::Final;
        }
        const auto agora = std::chrono::steady_clock::now();
        if (!mudancas.empty()) ultimaMudanca = agora;
        if (acabou) return Seguimento::FioAcabou;
        if (parar) return Seguimento::Parado;
        if (agora - ultimaMudanca >= std::chrono::milliseconds(silencioMs)) return Seguimento::Silencio;
        fio.EsperaMudanca(kPeriodoMs);
    }
}

}  // namespace

FimBinario ExecutaGeracaoBinaria(const ParametrosBinarios& p, const Eventos& ev, const Prazos& prazos,
                                 const std::atomic<bool>& parar) {
    auto log = [&](const std::string& linha) {
        if (ev.log) ev.log(linha);
    };
    const std::string serie = AparaDireita(p.serie);
    if (serie.empty()) {
        log("  <- Número de série do ECF não disponível: a leitura das memórias não foi feita.");
        log(kFalhou);
        return FimBinario::Recusado;
    }
    EntradasExternas e;
    std::string erro;
    if (!CarregaExternas(e, erro)) {
        log("  <- " + erro);
        log(kFalhou);
        return FimBinario::SemBiblioteca;
    }

    TTDM tdm(e, p.porta, p.pasta, NomeArquivoTDM(serie), serie);
    tdm.DefineAguarda(0);
    const int r = tdm.LeMemorias();
    Barra barra(ev);
    barra.Inicia(0);
    log("  -> Aguardando início da leitura das Memórias");
    TTDM::Inicio inicio = TTDM::Inicio::SemInicio;
    if (r == 0) inicio = tdm.AguardaInicio(prazos.inicioMs, &parar);
    if (inicio == TTDM::Inicio::SemInicio) {
        // A reading this run started is stopped; a refusal may be about another one's.
        if (r == 0) tdm.CancelaLeitura();
        if (parar) return FimBinario::Interrompido;
        log(r != 0 ? "  <- A leitura das memórias não foi iniciada (código " + std::to_string(r) + ")."
                   : "  <- A leitura das memórias não foi iniciada.");
        log(kFalhou);
        return FimBinario::SemInicio;
    }
    Andamento visto = tdm.Leitor().Atual();
    barra.Inicia(visto.total);
    log("  -> " + visto.mensagem);

    // Reading phase.
    if (!Final(static_cast<std::uint16_t>(visto.status))) {
        switch (Acompanha(tdm.Leitor(), visto, barra, ev, prazos.silencioMs, parar)) {
            case Seguimento::Final:
                break;
            case Seguimento::Parado:
                tdm.CancelaLeitura();
                return FimBinario::Interrompido;
            case Seguimento::FioAcabou:
                log("  <- Erro inesperado!");
                log(kFalhou);
                return FimBinario::LeituraFalhou;
            case Seguimento::Silencio:
                tdm.CancelaLeitura();
                log("  <- A leitura das memórias parou de responder.");
                log(kFalhou);
                return FimBinario::LeituraFalhou;
        }
    }
    switch (static_cast<std::uint16_t>(visto.status)) {
        case kLeituraConcluida:
            log("  <- Leitura das memórias realizada com sucesso!");
            break;
        case kLeituraComErro:
            log("  <- Leitura das memórias finalizada com erro!");
            log(kFalhou);
            return FimBinario::LeituraFalhou;
        default:
            log("  <- Leitura das memórias cancelada!");
            log(kFalhou);
            return FimBinario::LeituraFalhou;
    }

    // Conversion phase: the 1025 state is where it starts; each later message is told.
    tdm.GeraAtoCotepe(p.arquivoUnico, p.inicio, p.fim);
    TProgresso& conversor = *tdm.Reportado();
    visto = Andamento{kGeracaoIniciada, 0, 0, "Iniciando Geração do arquivo RFD ...", 0};
    switch (Acompanha(conversor, visto, barra, ev, prazos.silencioMs, parar)) {
        case Seguimento::Final:
        case Seguimento::FioAcabou:
            return FimBinario::Convertido;
        case Seguimento::Parado:
            return FimBinario::Interrompido;
        case Seguimento::Silencio:
            conversor.Terminate();
            log("  <- A geração dos arquivos RFD parou de responder.");
            log(kFalhou);
            return FimBinario::ConversaoParada;
    }
    return FimBinario::Convertido;
}

// --- FioTrabalho -----------------------------------------------------------------------------------

FioTrabalho::~FioTrabalho() {
    Encerra();
}

void FioTrabalho::Resume() {
    std::lock_guard<std::mutex> l(m_);
    if (fio_.joinable() || terminado_) return;
    fio_ = std::thread([this] {
        const int r = Executa(parar_);
        {
            std::lock_guard<std::mutex> t(m_);
            retorno_ = r;
            terminado_ = true;
            cv_.notify_all();
        }
        if (aoTerminar_) aoTerminar_();
    });
}

bool FioTrabalho::Terminado() const {
    std::lock_guard<std::mutex> l(m_);
    return terminado_;
}

int FioTrabalho::Retorno() const {
    std::lock_guard<std::mutex> l(m_);
    return retorno_;
}

bool FioTrabalho::EsperaFim(int prazoMs) {
    return JuntaAoAcabar(m_, cv_, fio_, prazoMs, [this] { return terminado_; });
}

void FioTrabalho::Encerra() {
    parar_ = true;
    Junta(m_, fio_);
}

// --- the text route ------------------------------------------------------------------------------------

TGeraRFDDataThread::TGeraRFDDataThread(const Data& inicio, const Data& fim, ExportaPorData exporta)
    : inicio_(inicio), fim_(fim), exporta_(std::move(exporta)) {}

TGeraRFDDataThread::~TGeraRFDDataThread() {
    Encerra();
}

int TGeraRFDDataThread::Executa(const std::atomic<bool>&) {
    return exporta_(Ddmmaa(inicio_), Ddmmaa(fim_));
}

std::string RecusaIntervaloZ(int primeiro, int ultimo) {
    if (primeiro < 1 || ultimo < 1) return "  <- Contador de redução Z inválido.";
    if (primeiro > ultimo) return "  <- A redução Z inicial é maior que a final.";
    return "";
}

TGeraRFDCRZThread::TGeraRFDCRZThread(int primeiro, int ultimo, ExportaPorCRZ exporta,
                                     std::function<void(int, int, int)> barra)
    : primeiro_(primeiro), ultimo_(ultimo), exporta_(std::move(exporta)), barra_(std::move(barra)) {}

TGeraRFDCRZThread::~TGeraRFDCRZThread() {
    Encerra();
}

int TGeraRFDCRZThread::Executa(const std::atomic<bool>& parar) {
    if (!RecusaIntervaloZ(primeiro_, ultimo_).empty()) return 0;
    const int maximo = ultimo_ - primeiro_ + 2;
    int posicao = 1;
    if (barra_) barra_(0, maximo, posicao);
    int r = 0;
    for (int n = primeiro_; n <= ultimo_ && !parar; ++n) {
        r = exporta_(n);
        ++posicao;
        // The last counter done well fills the bar.
        if (barra_) barra_(0, maximo, r == 1 && n == ultimo_ ? maximo : posicao);
        if (r != 1) break;
        if (n == ultimo_) break;  // never past the largest counter
    }
    return r;
}

TGeraRFDBinarioThread::TGeraRFDBinarioThread(ParametrosBinarios p, Eventos ev, Prazos prazos)
    : p_(std::move(p)), ev_(std::move(ev)), prazos_(prazos) {}

TGeraRFDBinarioThread::~TGeraRFDBinarioThread() {
    Encerra();
}

int TGeraRFDBinarioThread::Executa(const std::atomic<bool>& parar) {
    fim_ = ExecutaGeracaoBinaria(p_, ev_, prazos_, parar);
    return fim_ == FimBinario::Convertido ? 1 : 0;
}

}  // namespace belmora::geracao
