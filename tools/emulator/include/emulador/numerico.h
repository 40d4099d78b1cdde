// A printer of the numeric-code families on a line: the same printer model (impressora.h)
// behind another front end. A command is STX ESC "$" text ETX, where the text starts with a
// two-digit command number followed by fixed-width fields; the printer answers with one frame
// STX marker ... ETX. PROTOCOL-NUMERICO.md describes the commands, the reply forms, the
// registers, the status bytes and what each command prints.
//
//     emulador::EmuladorNumerico e(2);   // family 2 (1 is the default)
//     e.Inicia(devdir, "COM1");
//     ... drive the library ...
//     EXPECT_EQ(e.Comandos().back(), "34M41");
//     e.Altera([](emulador::Impressora& i) { i.gavetaAberta = true; });
#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "emulador/impressora.h"
#include "emulador/registro_trocas.h"

namespace emulador {

// The numeric-code command set run against the printer model. `Atende` takes the command
// text (without STX ESC "$" and ETX) and returns the reply frame.
class FrenteNumerica {
  public:
    FrenteNumerica(Impressora& impressora, int familia) : p_(impressora), familia_(familia) {}
    std::string Atende(const std::string& texto);

    struct Resultado {
        std::string codigo = "00";  // two characters; "00" is success
        std::string valor;          // value of a successful reading
    };
    Resultado Executa(const std::string& texto);
    std::string Quadro(int numero, const Resultado& r) const;
    // The printer model's error number as a code of this protocol.
    int CodigoDoErro(int erroModelo) const;

  private:
    Resultado Registrador(int numero);
    std::string Status();
    Resultado Modelo(const std::string& comando, const std::string& parametros);
    std::string EstadoDocumento() const;

    Impressora& p_;
    int familia_;
    bool autenticando_ = false;  // "01" prepared an authentication that "03" prints
};

// Faults to inject on the numeric-code line. The line faults apply to the next `vezes`
// frames (-1: until cleared) and then clear together; each error by command keeps its own
// count.
struct FalhasNumericas {
    bool silencio = false;       // nothing runs, nothing is answered
    int atrasoMs = 0;            // wait before replying
    bool semFechamento = false;  // reply without its ETX
    int pedacos = 1;             // reply written in this many pieces ...
    int pausaMs = 0;             // ... with this pause before each one after the first
    bool doisStx = false;        // a stray STX and half a frame come before the reply
    bool semStx = false;         // the reply without its STX (it still ends in ETX)
    std::string aposEtx;         // bytes written right after the reply's ETX
    int vezes = -1;
    struct Erro {
        std::string codigo;  // the two characters of the reply's code
        int vezes = -1;
    };
    std::map<int, Erro> erros;  // by command number: answer this error, run nothing
    // By command number: run it and answer success ("+") with this code instead of "00".
    std::map<int, std::string> avisos;
};

struct TrocaNumerica {
    std::string quadro;    // bytes of the request frame as received
    std::string comando;   // its text (between ESC "$" and ETX)
    std::string resposta;  // bytes written back (empty when silent)
};

class EmuladorNumerico : public RegistroDeTrocas<TrocaNumerica> {
  public:
    explicit EmuladorNumerico(int familia = 1);
    ~EmuladorNumerico();
    EmuladorNumerico(const EmuladorNumerico&) = delete;
    EmuladorNumerico& operator=(const EmuladorNumerico&) = delete;

    // Opens a pseudo-terminal and links `pasta`/`porta` to its slave. False with Erro().
    bool Inicia(const std::string& pasta, const std::string& porta = "COM1");
    void Para();
    std::string Link() const;
    std::string Dispositivo() const;
    std::string Erro() const;
    int Familia() const { return familia_; }

    Impressora ImpressoraAtual() const;  // a copy taken under the lock
    template <typename F>
    auto Altera(F&& f) {
        std::lock_guard<std::mutex> l(m_);
        return f(impressora_);
    }

    void DefineFalhas(const FalhasNumericas& f);
    void LimpaFalhas() { DefineFalhas(FalhasNumericas{}); }
    void ErroEm(int comando, const std::string& codigo, int vezes = -1);

    // The logs: Comandos (the texts of the commands received), Trocas, Recebidos, Enviados,
    // LimpaRegistros, AoTrocar.

  private:
    void Serve();
    std::vector<std::string> Atende(const std::string& quadro, int& atrasoMs, int& pausaMs);
    bool Dorme(int ms);

    const int familia_;
    Impressora impressora_;
    FrenteNumerica frente_;
    FalhasNumericas falhas_;
    std::thread fio_;
    int master_ = -1, slave_ = -1;
    int acorda_[2] = {-1, -1};
    std::string link_, dispositivo_, erro_;
};

}  // namespace emulador
