// The outside libraries of the memory-dump route: the reader "Leitura.dll" (DLLReadLeMemorias,
// DLLReadStatus, and DLLReadCancelaLeitura when it has one) and the converter "ATO17.dll"
// (DLLATO17GeraArquivo). The console loads them by name when a run of that route starts, so
// the rest of the console works without them; once loaded they stay loaded for the life of
// the process (a reading may still run on a thread of the reader's own).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace belmora::geracao {

// The reader's status record, 148 bytes, little-endian.
struct RegistroStatusLeitura {
    std::uint32_t tamanho;
    std::uint32_t situacao;
    std::uint32_t erro;
    std::uint32_t total;
    std::uint32_t atual;
    char mensagem[128];
};
static_assert(sizeof(RegistroStatusLeitura) == 148, "the reader's status record is 148 bytes");

using FnLeMemorias = int (*)(const char* porta, const char* arquivo, const char* serie, int aguarda);
using FnStatusLeitura = int (*)(void* registro);
using FnCancelaLeitura = int (*)();
using FnGeraArquivo = int (*)(const char* dump, const char* saida, const char* inicio, const char* fim,
                              char tipoPeriodo, const char* usuario, const char* tipoLeitura);

struct EntradasExternas {
    FnLeMemorias leMemorias = nullptr;
    FnStatusLeitura status = nullptr;
    FnCancelaLeitura cancela = nullptr;  // may be missing: a reading that is given up runs on
    FnGeraArquivo geraArquivo = nullptr;
};

// Loads both libraries by their Windows names and looks the entry points up. False with
// `erro` (which library or entry is missing, and the loader's text) when one is not there.
bool CarregaEntradasExternas(EntradasExternas& e, std::string& erro,
                             const std::string& leitura = "Leitura.dll",
                             const std::string& ato17 = "ATO17.dll");

// Runs use this loader; tests put another in its place (an empty function restores the one
// above).
using CarregadorExterno = std::function<bool(EntradasExternas&, std::string&)>;
void DefineCarregadorExterno(CarregadorExterno carregador);
bool CarregaExternas(EntradasExternas& e, std::string& erro);

}  // namespace belmora::geracao
