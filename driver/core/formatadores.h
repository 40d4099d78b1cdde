// Field formatters, text, number and date routines shared by every command builder,
// record writer and reply decoder of the library. Texts are 8-bit (Windows-1252)
// std::strings and may hold NUL bytes; positions are counted from 1.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

// --- numeric and text fields -------------------------------------------------------------
std::string SomenteNumeros(const std::string& texto);
std::string RemoveZerosEsquerda(const std::string& texto);
std::string PreencheZerosEsquerda(const std::string& texto, int largura);
std::string PreencheEspacosDireita(const std::string& texto, int largura);
std::string ParteDireita(const std::string& texto, int n);
std::string CaracterNaPosicao(const std::string& texto, int posicao);
bool EhNumerico(const std::string& texto);
std::string FormataDuasDecimais(const std::string& digitos);
std::string FormataTresDecimais(const std::string& digitos);
void CompletaDecimais(int decimais, std::string& texto);
std::string AlinhaTexto(const std::string& esquerda, const std::string& direita, int largura);

// --- dates -----------------------------------------------------------------------------------
std::string FormataData(const std::string& texto);
int ComparaDatas(const std::string& a, const std::string& b);
bool DataNoIntervalo(const std::string& data, const std::string& inicio, const std::string& fim);

// --- comparisons and conversions -------------------------------------------------------------
std::string MaiusculasAnsi(const std::string& texto);  // upper case in Windows-1252
std::string Apara(const std::string& texto);           // trims control characters and blanks
std::string AparaDireita(const std::string& texto);
std::string TextoSemEspacos(const std::string& texto);
bool ComecaComTexto(const std::string& a, const std::string& b);
bool ContemTexto(const std::string& a, const std::string& b);
// Exact tests, letter case and blanks counting.
inline bool ComecaCom(std::string_view texto, std::string_view prefixo) {
    return texto.starts_with(prefixo);
}
inline bool Contem(std::string_view texto, std::string_view parte) {
    return texto.find(parte) != std::string_view::npos;
}
std::string TextoAteNulo(const std::string& texto);
// A text argument of an export (a host may pass a null pointer for an empty text).
inline std::string TextoArg(const char* texto) {
    return texto ? texto : "";
}
std::string HexaString(const std::string& texto);
std::string BitsSimNao(unsigned char primeiro, unsigned char segundo);

// Integer of a text as the system's settings and replies write it: blanks before, a sign, decimal
// digits or '$'/"0x" hexadecimal; `padrao` for anything else or a value out of range.
std::int64_t ParaInteiro64(const std::string& texto, std::int64_t padrao);
int ParaInteiro(const std::string& texto, int padrao);

// --- words and lines -------------------------------------------------------------------------
std::string PrimeiraPalavra(const std::string& texto);
// n-th word from the end (1 = last); `posicao` gets its start (from 1) in `linha`, 0 when absent.
std::string PalavraDaDireita(const std::string& linha, int n, int* posicao = nullptr);
struct CodigoDescricao {
    std::string codigo;
    std::string descricao;
};
CodigoDescricao SeparaCodigoDescricao(int k, int modo, const std::string& linha);
struct LinhaAliquota {
    bool valida = false;
    int decimais = 0;
    std::optional<char> tipo;  // 'A' or 'T' when the line carried a rate kind
};
LinhaAliquota ValidaLinhaAliquota(bool comTipo, const std::string& linha);
std::string CampoDelimitado(const std::string& texto, int n, char separador);
// Up to n characters from position `inicio` (from 1); empty when it lies outside the text.
std::string TrechoLinha(const std::string& texto, std::size_t inicio, std::size_t n = std::string::npos);
// The lines of a text (ended by LF or CR LF), without their ends; a final line end opens no line.
std::vector<std::string> LinhasDoTexto(const std::string& texto);

// --- files and folders -----------------------------------------------------------------------
bool ApagaArquivo(const std::string& nome);
bool CopiaArquivo(const std::string& origem, const std::string& destino, bool falhaSeExiste);
bool AnexaTextoArquivo(const std::string& nome, const std::string& texto);
bool GravaLinhaArquivo(const std::string& nome, const std::string& texto);
// Rewrites a file so that it holds exactly `texto` (used for the one-line hand-back files).
bool GravaArquivo(const std::string& nome, const std::string& texto);
std::string DiretorioTemporarioRFD();
// Whole content of a file (empty when it cannot be read).
std::string LeArquivo(const std::string& nome);

}  // namespace tarvo
