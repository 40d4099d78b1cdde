// The driver log, the last-error record with the status triple, and the hand-back of
// answer texts into caller buffers and "RETORNO.TXT".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

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
void GravaLog(const std::string& texto);
void GravaVersaoLog();
extern const char* const kBannerVersao;

// Scrambled form of one text as HOMOL.DAT holds it (each byte XOR an odd random key,
// written as two hex pairs); `semente` seeds the draws.
std::string EmbaralhaTexto(const std::string& texto, std::uint64_t semente);

// --- reporters (each returns 0, the value the export then returns) ---------------------------
int InformaNaoImplementado(const std::string& nome);
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
