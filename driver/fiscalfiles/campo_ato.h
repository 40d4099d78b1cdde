// Fixed-capacity text fields of the ATO COTEPE 17/04 records: one length byte followed by
// the capacity in bytes, exactly as the scratch store files keep them. The capacity of a
// field is its width in the ATO COTEPE line.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tarvo {

// Failure of a fiscal-file step (folder not creatable, store file unreadable or unwritable,
// a date that gives no file name). The conversion that called the step stops with its text.
class ErroArquivoFiscal : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
    // A file of the step that could not be written, or read.
    static ErroArquivoFiscal AoGravar(const std::string& nome) {
        return ErroArquivoFiscal("Erro ao gravar " + nome);
    }
    static ErroArquivoFiscal AoLer(const std::string& nome) {
        return ErroArquivoFiscal("Erro ao ler " + nome);
    }
};

// A field seen through its length byte and its bytes, whatever its capacity: what the line
// builders and parsers work on.
struct CampoVista {
    unsigned char* tamanho;
    char* dados;
    std::size_t capacidade;

    std::string Texto() const { return std::string(dados, std::min<std::size_t>(*tamanho, capacidade)); }
    // Stores the text cut to the capacity; the bytes past it become zeros so that nothing of
    // an earlier value stays in the record or reaches the store file.
    void Define(std::string_view texto) const {
        std::size_t n = std::min(texto.size(), capacidade);
        if (n) std::memcpy(dados, texto.data(), n);
        std::memset(dados + n, 0, capacidade - n);
        *tamanho = static_cast<unsigned char>(n);
    }
    // A length byte above the capacity (a damaged store file) is cut back; bytes past the
    // length become zeros.
    void Normaliza() const { Define(Texto()); }
};

template <std::size_t N>
struct Campo {
    static_assert(N > 0 && N < 256, "a length byte holds the length");
    static constexpr std::size_t kCapacidade = N;

    unsigned char tamanho = 0;
    char dados[N] = {};

    CampoVista Vista() { return {&tamanho, dados, N}; }
    std::string Texto() const { return std::string(dados, std::min<std::size_t>(tamanho, N)); }
    void Define(std::string_view texto) { Vista().Define(texto); }
    void Normaliza() { Vista().Normaliza(); }
    bool operator==(std::string_view texto) const { return Texto() == texto; }
};

}  // namespace tarvo
