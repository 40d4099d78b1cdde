// Emulators of the peripherals on pseudo-terminals: the non-fiscal printer of the serial
// family (a byte sink that answers the status requests DLE EOT 1 and DLE EOT 4) and the
// weighing scale (ENQ, answered with STX, the weight or a status text, ETX).
//
//     emulador::ImpressoraKelt p;
//     p.Inicia(devdir, "COM1");
//     ... the driver sends ...
//     EXPECT_EQ(p.Recebidos(), std::string("\x1B" "v2"));
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "emulador/linha_pty.h"

namespace emulador {

// State the printer reports.
struct EstadoKelt {
    bool gavetaAberta = false;
    bool poucoPapel = false;
    bool semPapel = false;
    bool offline = false;  // takes the bytes, answers nothing
    int atrasoMs = 0;      // wait before each status answer
};

class ImpressoraKelt {
  public:
    bool Inicia(const std::string& pasta, const std::string& porta = "COM1");
    void Para() { linha_.Para(); }
    std::string Erro() const { return linha_.Erro(); }

    void Define(const EstadoKelt& e);
    // Every byte received, in order; the line speeds they arrived at (one per chunk).
    std::string Recebidos() const;
    std::vector<int> Velocidades() const;
    int StatusRespondidos() const;
    void Limpa();
    // Waits until at least `n` bytes arrived since the last Limpa; false after `prazoMs`.
    bool EsperaBytes(std::size_t n, int prazoMs) const;

    // Writes bytes to the driver now, whatever was asked (a late answer, noise).
    void Envia(const std::string& bytes) { linha_.Escreve(bytes); }

    // Answers to DLE EOT 1 (printer and drawer) and DLE EOT 4 (paper) for a state.
    static char RespostaStatus(const EstadoKelt& e, int n);

  private:
    void Recebe(const std::string& bytes, int baud);

    mutable std::mutex m_;
    EstadoKelt estado_;
    std::string recebidos_, pendente_;
    std::vector<int> velocidades_;
    int respondidos_ = 0;
    LinhaPty linha_;
};

// How the scale answers an ENQ.
enum class ModoBalanca {
    Peso,      // STX, the weight, ETX
    Instavel,  // STX "IIIII" ETX
    Excedido,  // STX "SSSSS" ETX
    Negativo,  // STX "NNNNN" ETX
    Silencio,  // nothing
    Pedacos,   // the weight's answer in three pieces, 100 ms apart
    SemStx,    // the weight and ETX, without STX
};

class Balanca {
  public:
    bool Inicia(const std::string& pasta, const std::string& porta = "COM2");
    void Para() { linha_.Para(); }
    std::string Erro() const { return linha_.Erro(); }

    // `atrasoMs`: wait before the next answer (once).
    void Define(ModoBalanca modo, const std::string& peso = "01250", int atrasoMs = 0);
    // Writes bytes to the driver now, whatever was asked (a late answer, noise).
    void Envia(const std::string& bytes) { linha_.Escreve(bytes); }
    int Enqs() const;  // requests received
    std::vector<int> Velocidades() const;
    std::string Recebidos() const;

  private:
    void Recebe(const std::string& bytes, int baud);

    mutable std::mutex m_;
    ModoBalanca modo_ = ModoBalanca::Peso;
    std::string peso_ = "01250";
    int atrasoMs_ = 0;
    std::string recebidos_;
    std::vector<int> velocidades_;
    int enqs_ = 0;
    LinhaPty linha_;
};

}  // namespace emulador
