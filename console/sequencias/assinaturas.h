// The signatures of the driver's exports as the command sequences see them, taken from the
// library's export list (driver/include/tarvo_exports.def): for each export its parameters
// in order, what each one carries, and the most an output text receives. The function-list
// files and the dispatch both read them here, so no signature is written twice.
// No driver call and no Qt: the generator of the function lists links this alone.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace seq {

enum class Passagem {
    EntradaTexto,    // text read by the export
    EntradaInteira,  // integer (or flag) by value
    SaidaTexto,      // text buffer the export fills
    SaidaInteira,    // integer the export writes
};

// A parameter the export writes (a text buffer or an integer variable).
inline bool EhSaida(Passagem p) {
    return p == Passagem::SaidaTexto || p == Passagem::SaidaInteira;
}

struct ArgumentoExportado {
    const char* nome;
    Passagem passagem;
    std::size_t maximo;  // output texts: the most the export writes, zero included
};

struct Assinatura {
    const char* nome;
    bool semResultado;  // the export returns nothing
    // One item per parameter as the sequence fills it: raw bytes with their count are two
    // (the bytes as a text, then the count).
    std::vector<ArgumentoExportado> argumentos;

    bool TemEntradas() const;
};

// Every export of the list, in the list's order.
const std::vector<Assinatura>& Assinaturas();

// The export of that exact name, or nullptr.
const Assinatura* ProcuraAssinatura(std::string_view nome);

}  // namespace seq
