// Readings of family-0 printers shared by the table walks, the status words, the
// programming and the cheque exports.
#pragma once

#include <string>

#include "driver/core/exclusao.h"

namespace tarvo::consultas {

// Answers of a table reading for a slot that holds nothing.
constexpr int kVazioAliquota = 8005;       // rate or totaliser slot
constexpr int kVazioMeioPagamento = 8014;  // payment-form slot
constexpr int kVazioGerencial = 8018;      // management report
constexpr int kVazioDepartamento = 8031;   // department

// One reading of a table slot. 1 with `vazio` false: the slot holds a value
// (ValorResposta); 1 with `vazio` true: the printer answered the empty-slot code, whose
// error is cleared (code 0, message empty, ST2 0); anything else is the engine's failure.
int LeSlot(const std::string& comando, const std::string& parametros, int codigoVazio, bool& vazio);

// Named readings by their data name; `valor` is the engine's value, empty after a failure.
int LeInteiro(const std::string& nome, std::string& valor);
int LeMoeda(const std::string& nome, std::string& valor);
int LeTexto(const std::string& nome, std::string& valor);
int LeIndicador(const std::string& nome, std::string& valor);

// The same for a table slot: an answer with `codigoVazio` gives 1 and an empty value.
int LeMoedaSlot(const std::string& nome, int codigoVazio, std::string& valor);

// The payment-form table (tipo 0: 20-digit totals and 52 entries, tipo 1: 14 digits and
// 20 entries); empty after a failure.
int TabelaFormasPagamento(int tipo, std::string& texto);

// The printer's status word: ack 6, st1 with the receipt-open and paper bits, st2 without
// bit value 4; nothing is written unless the three readings succeed.
int EstadoImpressora(int& ack, int& st1, int& st2);

// A command of several readings holds the printer for itself, so that another thread's
// command cannot come between them and change the reply values they read.
using Sequencia = ComandoExclusivo;

// True when `texto` is an integer (a sign and digits): an index that goes bare into a frame.
bool EhIndice(const std::string& texto);

// Refuses an argument: last error -2 "Parametro invalido"; returns -2.
int ParametroInvalido();

}  // namespace tarvo::consultas
