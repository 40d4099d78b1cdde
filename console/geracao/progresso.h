// The threads that publish progress on the memory-dump route: TStatusTDM polls the reader's
// status record every 200 ms, TStatusAtoCotep runs the conversions of a dump into RFD files.
// Their owners: TTDM (one memory reading, then the conversion it starts) and TAtoCotep (one
// conversion run).
//
// Progress is published under a lock: a snapshot (status, total, current, message, result)
// and the list of every change since the watcher last took it, so no message is lost however
// slowly the watcher looks. A watcher waits on the object's condition, which wakes it at each
// change and when the thread ends. Terminate asks a thread to stop; Finalizado says it has.
// Messages are UTF-8 (the reader's texts are converted from Windows-1252 as they arrive).
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "console/geracao/datas_rfd.h"
#include "console/geracao/externas.h"

namespace belmora::geracao {

// Status codes of the converter thread.
constexpr int kGeracaoIniciada = 1025;
constexpr int kGerandoArquivo = 1027;
constexpr int kArquivoGerado = 1028;
constexpr int kGeracaoTerminada = 1029;
// Status codes of the reader, copied as they come.
constexpr int kLeituraIniciando = 96;
constexpr int kLeituraLendo = 112;
constexpr int kLeituraConcluida = 256;
constexpr int kLeituraComErro = 512;
constexpr int kLeituraCancelada = 1024;

// The reader is polled, and daily files are spaced, at this period.
constexpr int kPeriodoMs = 200;

struct Andamento {
    int status = 0;
    int total = 0;
    int atual = 0;
    std::string mensagem;
    int resultado = 0;
    friend bool operator==(const Andamento&, const Andamento&) = default;
};

class TProgresso {
  public:
    TProgresso(const TProgresso&) = delete;
    TProgresso& operator=(const TProgresso&) = delete;
    virtual ~TProgresso();

    // Starts a thread created suspended (nothing when it already runs).
    void Resume();
    // Asks the thread to stop; it ends at its next check.
    void Terminate();
    bool Terminated() const;
    // The thread has run and ended (its last change is published).
    bool Finalizado() const;
    // Waits for the end, at most `prazoMs`; true when it has ended. Joins it then.
    bool EsperaFim(int prazoMs);

    Andamento Atual() const;
    int Status() const { return static_cast<std::uint16_t>(Atual().status); }
    // Every change since the last call, oldest first (at most kMaisMudancas are kept).
    std::vector<Andamento> Mudancas();
    // Waits, at most `prazoMs`, until there are changes not taken yet or the thread ended.
    // True when there are changes or it ended.
    bool EsperaMudanca(int prazoMs);

    static constexpr std::size_t kMaisMudancas = 4096;

  protected:
    explicit TProgresso(bool criaSuspenso);
    // Starts the thread when the object was not created suspended; the most derived
    // constructor calls it last, so the thread never sees a half-built object.
    void IniciaSeNaoSuspenso();
    // Terminates and joins; the most derived destructor calls it first, so the thread never
    // runs into a half-destroyed object.
    void Encerra();
    virtual void Execute() = 0;

    void DefineStatus(int status, const std::string& mensagem);
    void DefineTotal(int total);
    void DefineAtual(int atual);
    void DefineResultado(int resultado);
    void DefineTudo(const Andamento& a);
    // Sleeps `ms` unless terminated meanwhile; false when terminated.
    bool Pausa(int ms);

  private:
    void Publica(const std::function<void(Andamento&)>& altera);

    mutable std::mutex m_;
    std::condition_variable cv_;
    Andamento atual_;
    std::deque<Andamento> mudancas_;
    bool suspenso_;
    bool terminated_ = false;
    bool finalizado_ = false;
    std::thread fio_;
};

// Polls the reader until terminated. A poll that cannot be made (no status entry) sets the
// message "Falha na leitura do Status da DLL" and ends the thread.
class TStatusTDM final : public TProgresso {
  public:
    explicit TStatusTDM(FnStatusLeitura status);
    ~TStatusTDM() override;

  protected:
    void Execute() override;

  private:
    FnStatusLeitura status_;
};

struct ParametrosAtoCotep {
    std::string serie;
    Data inicio, fim;
    int tipoPeriodo = 1;  // 0 'D', 1 'M', 2 'C'
    std::string usuario = "01";
    int tipoOrigem = 0;  // 0 "TDM", 1 "MF", 2 "MFD"
    std::string arquivoEntrada;
    bool arquivoUnico = false;
    std::string pasta;  // ends with '/'
};

// One conversion run, started on construction.
class TStatusAtoCotep final : public TProgresso {
  public:
    TStatusAtoCotep(FnGeraArquivo gera, ParametrosAtoCotep p);
    ~TStatusAtoCotep() override;

  protected:
    void Execute() override;

  private:
    int Gera(const std::string& saida, const Data& inicio, const Data& fim);

    FnGeraArquivo gera_;
    ParametrosAtoCotep p_;
};

class TAtoCotep {
  public:
    TAtoCotep(FnGeraArquivo gera, std::string pasta, const std::string& serie, std::string arquivoEntrada);
    // Period type "M", source "TDM", user "01"; starts the conversion thread.
    TStatusAtoCotep& Gera(bool arquivoUnico, const Data& inicio, const Data& fim);
    TStatusAtoCotep* Fio() const { return fio_.get(); }

  private:
    FnGeraArquivo gera_;
    std::string pasta_, serie_, arquivoEntrada_;
    std::unique_ptr<TStatusAtoCotep> fio_;
};

// One memory reading and the conversion that follows it.
class TTDM {
  public:
    TTDM(const EntradasExternas& e, std::string porta = "COM1", std::string pasta = "",
         std::string arquivo = "Leitura.TDM", std::string serie = "");
    // Terminates and joins both threads.
    ~TTDM();
    TTDM(const TTDM&) = delete;
    TTDM& operator=(const TTDM&) = delete;

    void DefineAguarda(int aguarda) { aguarda_ = aguarda; }
    // Calls the reader, then starts polling it; returns the reader's result.
    int LeMemorias();
    enum class Inicio { Iniciada, Encerrada, SemInicio };
    // Waits until the reader reports a start (96 or 112), at most `prazoMs`. A final code
    // (the reading started and already ended), the end of the poller, or `cancela` also end
    // the wait.
    Inicio AguardaInicio(int prazoMs, const std::atomic<bool>* cancela = nullptr);
    // Starts converting the dump; the converter becomes the reported thread.
    void GeraAtoCotepe(bool arquivoUnico, const Data& inicio, const Data& fim);
    // Stops a reading under way (when the reader has that entry).
    void CancelaLeitura();

    TProgresso* Reportado() const { return reportado_; }
    TStatusTDM& Leitor() { return statusTDM_; }
    const std::string& Pasta() const { return pasta_; }
    const std::string& ArquivoTDM() const { return arquivo_; }

  private:
    EntradasExternas e_;
    std::string porta_, pasta_, arquivo_, serie_;
    int aguarda_ = 1;
    TStatusTDM statusTDM_;
    std::unique_ptr<TAtoCotep> atoCotep_;
    TProgresso* reportado_ = nullptr;
};

}  // namespace belmora::geracao
