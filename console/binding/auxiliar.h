// What every operation form needs besides the wrappers: the translation of a driver result
// into a line of the operator log, the check of the taxpayer numbers CPF and CNPJ, and a few
// small text helpers. Texts here are UTF-8, as the console shows them.
#pragma once

#include <functional>
#include <string>

namespace belmora {

// The operator log of the main window. The window registers its AdicionaRetorno here when
// it is created; without one, lines go nowhere.
void DefineLogOperador(std::function<void(const std::string&)> adicionaRetorno);
void AdicionaRetorno(const std::string& linha);

// Fixed texts of the operator log.
inline const char* const kSucesso = "Operação executada com Sucesso!";
inline const char* const kFalhou = "Operação falhou!";

// True for 1 (nothing logged). Any other result logs "  <- " and the text of that result
// and gives false.
bool TrataRetorno(int resultado);

// The text TrataRetorno logs for a result other than 1 (0 reads the driver's last error).
std::string TextoDoRetorno(int resultado);

// Reads the driver's last error through the logged Tarvo_RetornoImpressora wrapper and
// makes it "Erro nº: " + code + " - " + message. True when that call returned 1.
bool LeErroDLL(std::string& texto);

// Check digits of the Brazilian taxpayer numbers. Only digits are accepted (11 for a CPF,
// 14 for a CNPJ), and a number of one digit repeated is refused.
bool ValidaCPF(const std::string& texto);
bool ValidaCNPJ(const std::string& texto);

// "7,5" -> "07,50": two digits on each side of the comma; text without a comma unchanged.
std::string FormataAliquota(const std::string& texto);

// True when the whole text is a 32-bit integer.
bool EhInteiro(const std::string& texto);

}  // namespace belmora
