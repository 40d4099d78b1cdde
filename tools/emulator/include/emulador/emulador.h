// The printer on a line: a pseudo-terminal whose slave is linked as `COMn` in a folder (the
// driver's TARVO_DEVDIR), or the COMANDO.TXT/STATUS.TXT exchange in a work folder. It serves
// on its own thread; tests reach the printer, the faults and the logs through this class.
//
//     emulador::Emulador e;
//     e.Inicia(devdir, "COM1");
//     ... drive the library ...
//     EXPECT_EQ(e.Quadros().back(), "{3;LeInteiro;NomeInteiro=\"COO\";30}");
//     EXPECT_EQ(e.Impressora().contadores.coo, 2);
//     e.Altera([](emulador::Impressora& i) { i.semPapel = true; });
#pragma once

#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "emulador/impressora.h"
#include "emulador/registro_trocas.h"

namespace emulador {

struct ErroInjetado {
    int codigo = 0;
    std::string texto1, texto2;  // the two quoted texts of the error reply
    int vezes = -1;              // replies left (-1: until cleared)
};

// Faults to inject. The line faults apply to the next `vezes` frames (-1: until cleared) and
// then clear together; each error by command keeps its own count.
struct Falhas {
    bool silencio = false;           // the printer is off: frames arrive, nothing runs, no reply
    int atrasoMs = 0;                // wait before replying
    int pedacos = 1;                 // reply written in this many pieces ...
    int pausaMs = 0;                 // ... with this pause before each one after the first
    bool semFechamento = false;      // reply without its final "}"
    std::string antes, depois;       // noise written just before and just after the reply
    bool comprimentoErrado = false;  // the reply's length field one more than it should be
    std::string tagarela;            // instead of replying, these bytes over and over ...
    int tagarelaMs = 0;              // ... for this long
    bool desliga = false;            // the cable is pulled when the frame arrives: the line hangs up
    int vezes = -1;
    std::map<std::string, ErroInjetado> erros;  // by command word: reply with this error, run nothing
    std::size_t capturaSemFim = 0;  // when not 0, every LeImpressao hands this many more bytes, forever
};

// One frame received and what went back.
struct Troca {
    std::string quadro;  // bytes of the frame as received
    std::string comando, parametros;
    std::string resposta;  // bytes written back (empty when silent)
    int codigo = 0;        // code of the reply (-1 when silent)
};

class Emulador : public RegistroDeTrocas<Troca> {
  public:
    Emulador();
    ~Emulador();
    Emulador(const Emulador&) = delete;
    Emulador& operator=(const Emulador&) = delete;

    // Opens a pseudo-terminal and links `pasta`/`porta` to its slave (the folder is created
    // when missing; a stale link of that name is replaced). False with Erro() on failure.
    bool Inicia(const std::string& pasta, const std::string& porta = "COM1");
    // Serves the file exchange: reads COMANDO.TXT of `pastaTrabalho`, answers in STATUS.TXT.
    bool IniciaArquivos(const std::string& pastaTrabalho);
    // Stops serving, closes the terminal and removes the link. Safe to call twice.
    void Para();
    bool Ativo() const;
    std::string Link() const;         // the COMn link (pty) or the work folder (files)
    std::string Dispositivo() const;  // the pty slave, such as /dev/pts/4
    std::string Erro() const;

    // --- the printer --------------------------------------------------------------------------
    emulador::Impressora Impressora() const;  // a copy taken under the lock
    template <typename F>
    auto Altera(F&& f) {
        std::lock_guard<std::mutex> l(m_);
        return f(impressora_);
    }
    void Reinicia();  // a printer fresh from the factory

    // --- faults ---------------------------------------------------------------------------------
    void DefineFalhas(const Falhas& f);
    Falhas FalhasAtuais() const;
    void LimpaFalhas();
    void Silencia(int vezes = -1);
    void Atrasa(int ms, int vezes = -1);
    void Fatia(int pedacos, int pausaMs, int vezes = -1);
    void SemFechamento(int vezes = -1);
    void Ruido(const std::string& antes, const std::string& depois, int vezes = -1);
    void ComprimentoErrado(int vezes = -1);
    void Tagarela(const std::string& bytes, int ms, int vezes = -1);
    void Desliga();  // at the next frame: the pseudo-terminal closes (a hang-up) and its link goes
    void CapturaSemFim(std::size_t bytesPorResposta);
    void ErroEm(const std::string& comando, int codigo, const std::string& texto1 = "ErroInjetado",
                const std::string& texto2 = "Erro provocado pelo teste", int vezes = -1);

    // --- logs (also Comandos, Trocas, Recebidos, Enviados, LimpaRegistros, AoTrocar) ------------
    std::vector<std::string> Quadros() const;  // frames received, byte for byte
    // Waits until at least `n` frames were received since the last LimpaRegistros; false
    // after `prazoMs`.
    bool EsperaQuadros(std::size_t n, int prazoMs) const;

  private:
    // Sets up the next failures under the lock and how many replies they last for.
    void ArmaFalha(int vezes, const std::function<void(Falhas&)>& arma);
    void ServePty();
    void ServeArquivos();
    // Handles one frame; returns the pieces to write (empty when silent) and the pauses.
    struct Saida {
        std::vector<std::string> pedacos;
        int atrasoMs = 0;
        int pausaMs = 0;
        std::string tagarela;  // babble instead of the pieces
        int tagarelaMs = 0;
        bool desliga = false;
    };
    Saida Atende(const std::string& quadro);
    bool Dorme(int ms);  // false when asked to stop meanwhile

    mutable std::condition_variable cv_;  // with m_: a frame was logged
    emulador::Impressora impressora_;
    Falhas falhas_;

    std::thread fio_;
    int master_ = -1, slave_ = -1;
    int acorda_[2] = {-1, -1};
    std::string link_, dispositivo_, pasta_, erro_;
    bool arquivos_ = false;
    bool ativo_ = false;
};

}  // namespace emulador
