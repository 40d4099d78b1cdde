#include "console/geracao/progresso.h"

#include <chrono>
#include <cstring>

#include "console/geracao/fio.h"
#include "platform/codepage.h"
#include "platform/pastas.h"

namespace belmora::geracao {

namespace {

std::string Apara(const std::string& s) {
    const std::size_t i = s.find_first_not_of(' ');
    if (i == std::string::npos) return "";
    return s.substr(i, s.find_last_not_of(' ') - i + 1);
}

// The u32 fields of the reader's record as the int fields of the progress (a reading past
// 2 GiB is shown halved rather than negative).
int Inteiro(std::uint32_t v) {
    return v > 0x7FFFFFFFu ? 0x7FFFFFFF : static_cast<int>(v);
}

}  // namespace

// --- TProgresso ------------------------------------------------------------------------------------

TProgresso::TProgresso(bool criaSuspenso) : suspenso_(criaSuspenso) {}

TProgresso::~TProgresso() {
    // The most derived destructor has already joined; this is only the last safeguard.
    Encerra();
}

void TProgresso::IniciaSeNaoSuspenso() {
    if (!suspenso_) {
        suspenso_ = true;
        Resume();
    }
}

void TProgresso::Resume() {
    std::lock_guard<std::mutex> l(m_);
    if (fio_.joinable() || finalizado_) return;
    fio_ = std::thread([this] {
        Execute();
        std::lock_guard<std::mutex> t(m_);
        finalizado_ = true;
        cv_.notify_all();
    });
}

void TProgresso::Terminate() {
    std::lock_guard<std::mutex> l(m_);
    terminated_ = true;
    cv_.notify_all();
}

bool TProgresso::Terminated() const {
    std::lock_guard<std::mutex> l(m_);
    return terminated_;
}

bool TProgresso::Finalizado() const {
    std::lock_guard<std::mutex> l(m_);
    return finalizado_;
}

bool TProgresso::EsperaFim(int prazoMs) {
    return JuntaAoAcabar(m_, cv_, fio_, prazoMs, [this] { return finalizado_; });
}

void TProgresso::Encerra() {
    Terminate();
    Junta(m_, fio_);
}

Andamento TProgresso::Atual() const {
    std::lock_guard<std::mutex> l(m_);
    return atual_;
}

std::vector<Andamento> TProgresso::Mudancas() {
    std::lock_guard<std::mutex> l(m_);
    std::vector<Andamento> r(mudancas_.begin(), mudancas_.end());
    mudancas_.clear();
    return r;
}

bool TProgresso::EsperaMudanca(int prazoMs) {
    std::unique_lock<std::mutex> l(m_);
    return cv_.wait_for(l, std::chrono::milliseconds(prazoMs),
                        [this] { return !mudancas_.empty() || finalizado_; });
}

void TProgresso::Publica(const std::function<void(Andamento&)>& altera) {
    std::lock_guard<std::mutex> l(m_);
    Andamento novo = atual_;
    altera(novo);
    if (novo == atual_) return;
    atual_ = novo;
    if (mudancas_.size() >= kMaisMudancas) mudancas_.pop_front();
    mudancas_.push_back(novo);
    cv_.notify_all();
}

void TProgresso::DefineStatus(int status, const std::string& mensagem) {
    Publica([&](Andamento& a) {
        a.status = status;
        a.mensagem = mensagem;
    });
}
void TProgresso::DefineTotal(int total) {
    Publica([&](Andamento& a) { a.total = total; });
}
void TProgresso::DefineAtual(int atual) {
    Publica([&](Andamento& a) { a.atual = atual; });
}
void TProgresso::DefineResultado(int resultado) {
    Publica([&](Andamento& a) { a.resultado = resultado; });
}
void TProgresso::DefineTudo(const Andamento& novo) {
    Publica([&](Andamento& a) { a = novo; });
}

bool TProgresso::Pausa(int ms) {
    std::unique_lock<std::mutex> l(m_);
    return !cv_.wait_for(l, std::chrono::milliseconds(ms), [this] { return terminated_; });
}

// --- TStatusTDM ------------------------------------------------------------------------------------

TStatusTDM::TStatusTDM(FnStatusLeitura status) : TProgresso(true), status_(status) {}

TStatusTDM::~TStatusTDM() {
    Encerra();
}

void TStatusTDM::Execute() {
    while (!Terminated()) {
        if (!status_) {
            DefineStatus(Atual().status, "Falha na leitura do Status da DLL");
            return;
        }
        RegistroStatusLeitura r;
        std::memset(&r, 0, sizeof r);
        r.tamanho = sizeof r;
        std::memset(r.mensagem, ' ', sizeof r.mensagem);
        status_(&r);
        // The text ends at its zero, or at the end of the field when the reader wrote none.
        const std::string texto(r.mensagem, strnlen(r.mensagem, sizeof r.mensagem));
        DefineTudo({Inteiro(r.situacao), Inteiro(r.total), Inteiro(r.atual),
                    plataforma::Cp1252ParaUtf8(Apara(texto)), Inteiro(r.erro)});
        if (!Pausa(kPeriodoMs)) return;
    }
}

// --- TStatusAtoCotep -------------------------------------------------------------------------------

TStatusAtoCotep::TStatusAtoCotep(FnGeraArquivo gera, ParametrosAtoCotep p)
    : TProgresso(false), gera_(gera), p_(std::move(p)) {
    p_.serie = AparaDireita(p_.serie);
    IniciaSeNaoSuspenso();
}

TStatusAtoCotep::~TStatusAtoCotep() {
    Encerra();
}

int TStatusAtoCotep::Gera(const std::string& saida, const Data& inicio, const Data& fim) {
    static const char kTipos[] = {'D', 'M', 'C'};
    static const char* const kOrigens[] = {"TDM", "MF", "MFD"};
    const char tipo = kTipos[p_.tipoPeriodo >= 0 && p_.tipoPeriodo <= 2 ? p_.tipoPeriodo : 1];
    const char* origem = kOrigens[p_.tipoOrigem >= 0 && p_.tipoOrigem <= 2 ? p_.tipoOrigem : 0];
    const std::string entrada = p_.pasta + p_.arquivoEntrada, arquivo = p_.pasta + saida;
    return gera_(entrada.c_str(), arquivo.c_str(), Aaaammdd(inicio).c_str(), Aaaammdd(fim).c_str(), tipo,
                 p_.usuario.c_str(), origem);
}

void TStatusAtoCotep::Execute() {
    DefineStatus(kGeracaoIniciada, "Iniciando Geração do arquivo RFD ...");
    const std::string base = NomeBaseRFD(p_.serie);
    DefineAtual(0);
    if (p_.arquivoUnico) {
        DefineTotal(1);
        const std::string nome = base + ".txt";
        DefineStatus(kGerandoArquivo, "Gerando arquivo RFD: " + nome);
        const int r = Gera(nome, p_.inicio, p_.fim);
        DefineAtual(1);
        DefineResultado(r);
        DefineStatus(kArquivoGerado,
                     r == 0 ? "Arquivo RFD gerado com sucesso!" : "Arquivo RFD gerado com falha.");
    } else {
        DefineTotal(DiasNoPeriodo(p_.inicio, p_.fim));
        int feitos = 0;
        // A failed day does not stop the run; a request to stop does, between two days.
        for (Data dia = p_.inicio; !Antes(p_.fim, dia) && !Terminated(); dia = DiaSeguinte(dia)) {
            const std::string nome = base + SufixoDoDia(dia);
            DefineStatus(kGerandoArquivo, "Gerando arquivo RFD: " + nome);
            const int r = Gera(nome, dia, dia);
            DefineAtual(++feitos);
            DefineResultado(r);
            DefineStatus(kArquivoGerado, r == 0 ? "Arquivo " + nome + " - gerado com sucesso."
                                                : "Erro ao gerar o arquivo " + nome);
            if (!Pausa(kPeriodoMs)) break;
        }
    }
    Terminate();
    DefineStatus(kGeracaoTerminada, "Geração do arquivo RFD terminada.");
}

// --- TAtoCotep ---------------------------------------------------------------------------------------

TAtoCotep::TAtoCotep(FnGeraArquivo gera, std::string pasta, const std::string& serie,
                     std::string arquivoEntrada)
    : gera_(gera),
      pasta_(pasta.empty() ? plataforma::PastaAtual() : std::move(pasta)),
      serie_(AparaDireita(serie)),
      arquivoEntrada_(std::move(arquivoEntrada)) {}

TStatusAtoCotep& TAtoCotep::Gera(bool arquivoUnico, const Data& inicio, const Data& fim) {
    ParametrosAtoCotep p;
    p.serie = serie_;
    p.inicio = inicio;
    p.fim = fim;
    p.tipoPeriodo = 1;
    p.usuario = "01";
    p.tipoOrigem = 0;
    p.arquivoEntrada = arquivoEntrada_;
    p.arquivoUnico = arquivoUnico;
    p.pasta = pasta_;
    fio_.reset();  // an earlier run of this object is joined first
    fio_ = std::make_unique<TStatusAtoCotep>(gera_, std::move(p));
    return *fio_;
}

// --- TTDM ----------------------------------------------------------------------------------------------

TTDM::TTDM(const EntradasExternas& e, std::string porta, std::string pasta, std::string arquivo,
           std::string serie)
    : e_(e),
      porta_(std::move(porta)),
      pasta_(pasta.empty() ? plataforma::PastaAtual() : std::move(pasta)),
      arquivo_(std::move(arquivo)),
      serie_(std::move(serie)),
      statusTDM_(e.status) {
    if (pasta_.back() != '/') pasta_ += '/';
}

TTDM::~TTDM() {
    // The converter first: it may still be writing from the dump.
    atoCotep_.reset();
    statusTDM_.Terminate();
}

int TTDM::LeMemorias() {
    reportado_ = &statusTDM_;
    const std::string caminho = pasta_ + arquivo_;
    const int r =
        e_.leMemorias ? e_.leMemorias(porta_.c_str(), caminho.c_str(), serie_.c_str(), aguarda_ ? 1 : 0) : -1;
    // Polling starts once the call has returned: a poll made before it could still show how
    // an earlier reading ended, and be taken for this one's end.
    statusTDM_.Resume();
    return r;
}

TTDM::Inicio TTDM::AguardaInicio(int prazoMs, const std::atomic<bool>* cancela) {
    const auto limite = std::chrono::steady_clock::now() + std::chrono::milliseconds(prazoMs);
    while (true) {
        // Every state the poller saw counts, not only the last: a reading that started and
        // ended between two looks has still started.
        for (const Andamento& a : statusTDM_.Mudancas()) {
            const int s = static_cast<std::uint16_t>(a.status);
            if (s == kLeituraIniciando || s == kLeituraLendo) return Inicio::Iniciada;
            if (s == kLeituraConcluida || s == kLeituraComErro || s == kLeituraCancelada)
                return Inicio::Encerrada;
        }
        if (statusTDM_.Finalizado() || (cancela && *cancela)) return Inicio::SemInicio;
        const auto agora = std::chrono::steady_clock::now();
        if (agora >= limite) return Inicio::SemInicio;
        const auto resta = std::chrono::duration_cast<std::chrono::milliseconds>(limite - agora).count();
        statusTDM_.EsperaMudanca(static_cast<int>(std::min<long long>(resta, kPeriodoMs)));
    }
}

void TTDM::GeraAtoCotepe(bool arquivoUnico, const Data& inicio, const Data& fim) {
    atoCotep_ = std::make_unique<TAtoCotep>(e_.geraArquivo, pasta_, serie_, arquivo_);
    reportado_ = &atoCotep_->Gera(arquivoUnico, inicio, fim);
}

void TTDM::CancelaLeitura() {
    if (e_.cancela) e_.cancela();
}

}  // namespace belmora::geracao
