// The Kelt_ exports: each builds its escape sequence and sends it as one packet. Their
// TarvoCupom_ twins forward here (generated from the export list).
#include <algorithm>
#include <cstdint>
#include <string>

#include "driver/core/formatadores.h"
#include "driver/core/registro.h"
#include "driver/protocols/familias.h"
#include "driver/protocols/kelt/kelt.h"
#include "platform/relogio.h"

namespace tarvo::kelt {

namespace {

constexpr char ESC = '\x1B';
constexpr char GS = '\x1D';

// A buzzer signal: at most 10 sounds, at most 2 seconds apart.
constexpr int kMaximoToques = 10;
constexpr int kMaximoPausaMs = 2000;

bool CabeEmByte(std::int64_t v) {
    return v >= 0 && v <= 0xFF;
}
bool CabeEmDoisBytes(std::int64_t v) {
    return v >= 0 && v <= 0xFFFF;
}

std::string Byte(std::int64_t v) {
    return std::string(1, static_cast<char>(v & 0xFF));
}
// Low byte, then high byte.
std::string DoisBytes(std::int64_t v) {
    return Byte(v) + Byte(v >> 8);
}

// Bar code of the first form: GS k m data NUL.
int CodigoComNulo(int m, const char* codigo) {
    return EnviaPacoteKelt(std::string{GS, 'k'} + Byte(m) + TextoArg(codigo) + '\0', true);
}

// Bar code of the second form: GS k m length data (the length must fit its byte).
int CodigoComTamanho(const char* exportacao, int m, const char* codigo) {
    const std::string dados = TextoArg(codigo);
    if (!CabeEmByte(static_cast<std::int64_t>(dados.size()))) return RecusaValor(exportacao);
    return EnviaPacoteKelt(
        std::string{GS, 'k'} + Byte(m) + Byte(static_cast<std::int64_t>(dados.size())) + dados, true);
}

}  // namespace

int Kelt_EnviaBuffer(const char* texto) {
    return EnviaPacoteKelt(TextoArg(texto), true);
}

int Kelt_EnviaBufferFormatado(const char* texto, int fonte, int italico, int sublinhado, int expandido,
                              int negrito) {
    std::string antes, depois;
    auto modo = [&](bool ligado, const char* liga, const char* desliga) {
        if (!ligado) return;
        antes += ESC + std::string(liga);
        depois += ESC + std::string(desliga);
    };
    modo(fonte == 1, "M1", "M0");
    modo(sublinhado != 0, "-1", "-0");
    modo(italico != 0, "4", "5");
    modo(negrito != 0, "E", "F");
    modo(expandido != 0, "W1", "W0");
    return EnviaPacoteKelt(antes + TextoArg(texto) + depois, true);
}

int Kelt_EnviaComando(const char* comando, int tamanho) {
    if (tamanho < 0 || (!comando && tamanho > 0)) return RecusaValor("Kelt_EnviaComando");
    return EnviaComandoKelt(std::string(comando ? comando : "", static_cast<std::size_t>(tamanho)));
}

int Kelt_VerificaOnLine() {
    return VerificaOnLineKelt();
}
int Kelt_VerificaPoucoPapel() {
    return LeStatusKelt(StatusPoucoPapel);
}
int Kelt_VerificaFimPapel() {
    return LeStatusKelt(StatusFimPapel);
}
int Kelt_VerificaEstadoGaveta() {
    return LeStatusKelt(StatusGaveta);
}

int Kelt_AcionaGaveta() {
    return EnviaPacoteKelt(std::string{ESC, 'v', '2'}, false);
}

int Kelt_AcionaBuzLite(int vezes, int duracao, int pausa) {
    // The caller's thread sleeps between the sounds: more sounds or a longer pause than a
    // signal needs is refused rather than holding the caller for minutes.
    if (vezes > kMaximoToques || pausa > kMaximoPausaMs) return RecusaValor("Kelt_AcionaBuzLite");
    const int d = std::clamp(duracao, 50, 200);
    int resultado = 0;
    for (int i = 0; i < vezes; ++i) {
        resultado = EnviaPacoteKelt(std::string{ESC, 'v'} + Byte(d), false);
        plataforma::Dorme(std::max(0, pausa + d));
    }
    return resultado;
}

int Kelt_AcionaGuilhotina(int modo) {
    return EnviaPacoteKelt(modo == 1 ? std::string{ESC, 'w'} : std::string{ESC, 'm'}, true);
}

int Kelt_AcionaGuilhotinaParcial(int n) {
    if (!CabeEmByte(n)) return RecusaValor("Kelt_AcionaGuilhotinaParcial");
    return EnviaPacoteKelt(std::string{GS, 'V'} + Byte(n), true);
}

int Kelt_ImprimeCodigoBarrasUPCA(const char* codigo) {
    return CodigoComNulo(0, codigo);
}
int Kelt_ImprimeCodigoBarrasUPCE(const char* codigo) {
    return CodigoComNulo(1, codigo);
}
int Kelt_ImprimeCodigoBarrasEAN13(const char* codigo) {
    return CodigoComNulo(2, codigo);
}
int Kelt_ImprimeCodigoBarrasEAN8(const char* codigo) {
    return CodigoComNulo(3, codigo);
}
int Kelt_ImprimeCodigoBarrasITF(const char* codigo) {
    return CodigoComNulo(5, codigo);
}
int Kelt_ImprimeCodigoBarrasCODABAR(const char* codigo) {
    return CodigoComNulo(6, codigo);
}
int Kelt_ImprimeCodigoBarrasISBN(const char* codigo) {
    return CodigoComNulo(21, codigo);
}
int Kelt_ImprimeCodigoBarrasMSI(const char* codigo) {
    return CodigoComNulo(22, codigo);
}
int Kelt_ImprimeCodigoBarrasPLESSEY(const char* codigo) {
    return CodigoComNulo(23, codigo);
}

int Kelt_ImprimeCodigoBarrasCODE39(const char* codigo) {
    return CodigoComTamanho("Kelt_ImprimeCodigoBarrasCODE39", 69, codigo);
}
int Kelt_ImprimeCodigoBarrasCODE93(const char* codigo) {
    return CodigoComTamanho("Kelt_ImprimeCodigoBarrasCODE93", 72, codigo);
}
int Kelt_ImprimeCodigoBarrasCODE128(const char* codigo) {
    return CodigoComTamanho("Kelt_ImprimeCodigoBarrasCODE128", 73, codigo);
}

int Kelt_ImprimeCodigoBarrasPDF417(int nivelCorrecao, int altura, int largura, int colunas,
                                   const char* codigo) {
    const std::string dados = TextoArg(codigo);
    const auto tamanho = static_cast<std::int64_t>(dados.size());
    if (!CabeEmByte(nivelCorrecao) || !CabeEmByte(altura) || !CabeEmByte(largura) || !CabeEmByte(colunas) ||
        !CabeEmDoisBytes(tamanho))
        return RecusaValor("Kelt_ImprimeCodigoBarrasPDF417");
    return EnviaPacoteKelt(std::string{GS, 'k', '\x80'} + Byte(nivelCorrecao) + Byte(altura) + Byte(largura) +
                               Byte(colunas) + DoisBytes(tamanho) + dados,
                           true);
}

int Kelt_ConfiguraCodigoBarras(int altura, int largura, int posicaoCaracteres, int fonte, int margem) {
    if (!CabeEmByte(altura) || !CabeEmByte(largura) || !CabeEmByte(posicaoCaracteres) || !CabeEmByte(fonte) ||
        !CabeEmDoisBytes(margem))
        return RecusaValor("Kelt_ConfiguraCodigoBarras");
    return EnviaPacoteKelt(std::string{GS, 'h'} + Byte(altura) + std::string{GS, 'w'} + Byte(largura) +
                               std::string{GS, 'H'} + Byte(posicaoCaracteres) + std::string{GS, 'f'} +
                               Byte(fonte) + std::string{GS, 'k', '\x84'} + DoisBytes(margem),
                           true);
}

int Kelt_AjustaLarguraPapel(int largura) {
    if (!CabeEmDoisBytes(largura)) return RecusaValor("Kelt_AjustaLarguraPapel");
    return EnviaPacoteKelt(std::string{GS, 'W'} + DoisBytes(largura), true);
}

int Kelt_ImprimeBitmap() {
    return InformaNaoImplementado("Kelt_ImprimeBitmap");
}
int Kelt_ImprimeBmpEspecial() {
    return InformaNaoImplementado("Kelt");
}

}  // namespace tarvo::kelt
