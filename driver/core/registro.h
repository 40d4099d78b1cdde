// The driver log, the last-error record with the status triple, and the hand-back of
// answer texts into caller buffers and "RETORNO.TXT".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

namespace tarvo {

// --- last-error record and status triple ----------------------------------------------------
struct UltimoErro {
    std::int32_t UltimoRetorno = 0;
    std::string UltimaMensagem;
    std::int32_t EstadoAck = 0, EstadoSt1 = 0, EstadoSt2 = 0;
    std::string TextoRetorno;  // main answer of the current export
    std::string TextoValor;    // second answer
};
UltimoErro& Erro();

// Sets code and message together (most failures do).
void DefineErro(std::int32_t codigo, const std::string& mensagem);
void ZeraStatus();  // status triple 6, 0, 0

// --- log ------------------------------------------------------------------------------------------
// Appends a line to "LOG.DAT" and a scrambled copy to "HOMOL.DAT" in the current folder,
// only while [Sistema] Homologar is on.
bool LogLigado();
void GravaLogTexto(const std::string& texto);

namespace detalhe {
inline void Acrescenta(std::string& s, std::string_view parte) {
    s += parte;
}
inline void Acrescenta(std::string& s, char c) {
    s += c;
}
template <class N, std::enable_if_t<std::is_integral_v<N> && !std::is_same_v<N, char>, int> = 0>
void Acrescenta(std::string& s, N n) {
    s += std::to_string(n);
}
}  // namespace detalhe

// The line is the pieces one after the other (texts, characters, integers in decimal). The
// pieces are joined only when the log is on: with it off a call costs one test.
template <class... Partes>
void GravaLog(const Partes&... partes) {
    if (!LogLigado()) return;
    std::string texto;
    (detalhe::Acrescenta(texto, partes), ...);
    GravaLogTexto(texto);
}
void GravaVersaoLog();
extern const char* const kBannerVersao;

// Scrambled form of one text as HOMOL.DAT holds it (each byte XOR an odd random key,
// written as two hex pairs); `semente` seeds the draws.
std::string EmbaralhaTexto(const std::string& texto, std::uint64_t semente);

// --- reporters (each returns 0, the value the export then returns) ---------------------------
int InformaNaoImplementado(const std::string& nome);
// The same as the result of an export of type R: 0 as R, nothing for an export without a result.
template <typename R>
R NaoImplementadoComo(const std::string& nome) {
    const int r = InformaNaoImplementado(nome);
    if constexpr (!std::is_void_v<R>) return static_cast<R>(r);
}
int InformaComandoInexistente(const std::string& nome);

// --- hand-back ----------------------------------------------------------------------------------
// Copies a text into a caller buffer of `capacidade` bytes (NUL included), cutting what
// does not fit. A null buffer or a capacity of 0 receives nothing.
void CopiaParaBuffer(char* buffer, std::size_t capacidade, const std::string& texto);

void DevolveRetorno(char* buffer, std::size_t capacidade);
void DevolveRetornoZeros(int n, char* buffer, std::size_t capacidade);
void DevolveRetornoBrancos(int n, char* buffer, std::size_t capacidade);
void DevolveValor(char* buffer, std::size_t capacidade);
void DevolveValorZeros(int n, char* buffer, std::size_t capacidade);
void DevolveValorBrancos(int n, char* buffer, std::size_t capacidade);

// Full name of "RETORNO.TXT" in the work folder.
std::string ArquivoRetorno();

}  // namespace tarvo
