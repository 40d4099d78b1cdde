// The runs of the RFD form, each on a worker thread of its own that never touches a widget:
// what the form shows reaches it through the callbacks of `Eventos`, called on the worker
// thread (the form turns them into queued signals), and the worker's `AoTerminar` tells it
// that the run is over and the thread can be joined.
//
//  - TGeraRFDDataThread: the library's RFD export by date, once, over the period.
//  - TGeraRFDCRZThread: the library's RFD export by Z counter, once per counter, stopping at
//    the first failure.
//  - TGeraRFDBinarioThread: the memory reading through the outside reader and the conversion
//    of the dump through the outside converter (ExecutaGeracaoBinaria).
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "console/geracao/datas_rfd.h"
#include "console/geracao/externas.h"

namespace belmora::geracao {

struct Eventos {
    // A line of the operator log (UTF-8).
    std::function<void(const std::string&)> log;
    // The progress bar: range and position.
    std::function<void(int minimo, int maximo, int posicao)> barra;
};

// Bounds of the waits of a memory-dump run.
struct Prazos {
    // The reader must report a start within this.
    int inicioMs = 30000;
    // A reading or a conversion that shows no change for this long is given up (the reader
    // gives up on a silent printer well before: three attempts of 3 s per frame).
    int silencioMs = 120000;
};

struct ParametrosBinarios {
    std::string porta = "COM1";
    std::string pasta;  // destination folder, ending in '/'
    std::string serie;  // serial number of the printer, trailing blanks removed
    bool arquivoUnico = false;
    Data inicio, fim;
};

enum class FimBinario {
    Convertido,      // the conversion ran to its end (its lines say which files failed)
    Recusado,        // no serial number: nothing was called
    SemBiblioteca,   // an outside library or entry is missing
    SemInicio,       // the reader refused, or never reported a start
    LeituraFalhou,   // the reading ended with an error, was cancelled, or went silent
    Interrompido,    // asked to stop
    ConversaoParada  // the conversion went silent
};

// The memory-dump run, on the calling thread: loads the outside libraries, reads the
// memories into serial + ".TDM" in the folder, and converts the dump when (and only when) the
// reading ended well. Every failure ends with the line "  <- Operação falhou!" after the line
// that says why. `parar` stops it at its next wait.
FimBinario ExecutaGeracaoBinaria(const ParametrosBinarios& p, const Eventos& ev, const Prazos& prazos,
                                 const std::atomic<bool>& parar);

// A worker thread for one run: created suspended, started by Resume, joined by EsperaFim or
// by the destructor (which asks it to stop first).
class FioTrabalho {
  public:
    FioTrabalho(const FioTrabalho&) = delete;
    FioTrabalho& operator=(const FioTrabalho&) = delete;
    virtual ~FioTrabalho();

    // Called on the worker thread once the run is over (its result is set).
    void AoTerminar(std::function<void()> f) { aoTerminar_ = std::move(f); }
    void Resume();
    // Asks the run to stop at its next check (a call under way is not interrupted).
    void Para() { parar_ = true; }
    bool Terminado() const;
    // Waits for the end at most `prazoMs`; true (and joined) when it has ended.
    bool EsperaFim(int prazoMs);
    int Retorno() const;

  protected:
    FioTrabalho() = default;
    virtual int Executa(const std::atomic<bool>& parar) = 0;
    // The most derived destructor calls it first.
    void Encerra();

  private:
    std::function<void()> aoTerminar_;
    std::atomic<bool> parar_{false};
    mutable std::mutex m_;
    std::condition_variable cv_;
    bool terminado_ = false;
    int retorno_ = 0;
    std::thread fio_;
};

using ExportaPorData = std::function<int(const std::string& inicio, const std::string& fim)>;
using ExportaPorCRZ = std::function<int(int crz)>;

class TGeraRFDDataThread final : public FioTrabalho {
  public:
    // `exporta` gets both dates as "ddmmyy".
    TGeraRFDDataThread(const Data& inicio, const Data& fim, ExportaPorData exporta);
    ~TGeraRFDDataThread() override;

  protected:
    int Executa(const std::atomic<bool>& parar) override;

  private:
    Data inicio_, fim_;
    ExportaPorData exporta_;
};

// The text of the refusal of a Z range ("" when the range can run): counters are 1 or more
// and the first is not above the last.
std::string RecusaIntervaloZ(int primeiro, int ultimo);

class TGeraRFDCRZThread final : public FioTrabalho {
  public:
    TGeraRFDCRZThread(int primeiro, int ultimo, ExportaPorCRZ exporta,
                      std::function<void(int, int, int)> barra);
    ~TGeraRFDCRZThread() override;

  protected:
    // The bar goes 0 .. (last - first + 2) from 1, one step per counter; the last result is
    // the thread's (0 for a refused range, which calls nothing).
    int Executa(const std::atomic<bool>& parar) override;

  private:
    int primeiro_, ultimo_;
    ExportaPorCRZ exporta_;
    std::function<void(int, int, int)> barra_;
};

class TGeraRFDBinarioThread final : public FioTrabalho {
  public:
    TGeraRFDBinarioThread(ParametrosBinarios p, Eventos ev, Prazos prazos = {});
    ~TGeraRFDBinarioThread() override;
    FimBinario Fim() const { return fim_; }

  protected:
    int Executa(const std::atomic<bool>& parar) override;

  private:
    ParametrosBinarios p_;
    Eventos ev_;
    Prazos prazos_;
    std::atomic<FimBinario> fim_{FimBinario::Interrompido};
};

}  // namespace belmora::geracao
