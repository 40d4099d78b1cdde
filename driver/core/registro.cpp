#include "driver/core/registro.h"

#include <charconv>
#include <cstring>
#include <mutex>
#include <random>

#include "driver/core/configuracao.h"
#include "driver/core/erros.h"
#include "driver/core/formatadores.h"
#include "platform/arquivo.h"
#include "platform/pastas.h"
#include "platform/relogio.h"

namespace tarvo {

const char* const kBannerVersao = "---------------[1.0.0.22]------------";

UltimoErro& Erro() {
    static UltimoErro e;
    return e;
}

void DefineErro(std::int32_t codigo, const std::string& mensagem) {
    Erro().UltimoRetorno = codigo;
    Erro().UltimaMensagem = mensagem;
}

void ZeraStatus() {
    Erro().EstadoAck = 6;
    Erro().EstadoSt1 = 0;
    Erro().EstadoSt2 = 0;
}

namespace {

std::mutex& TravaLog() {
    static std::mutex m;
    return m;
}

std::string Dois(int v) {
    char b[8];
    std::snprintf(b, sizeof b, "%02d", v);
    return b;
}

// Time of day in seconds with its fraction, written with the decimal comma of the
// Brazilian number format.
std::string SegundosDoDia(const plataforma::DataHora& t) {
    double s = t.hora * 3600.0 + t.minuto * 60.0 + t.segundo + t.milissegundo / 1000.0;
    char b[64];
    auto r = std::to_chars(b, b + sizeof b, s);
    std::string texto(b, r.ptr);
    for (char& c : texto)
        if (c == '.') c = ',';
    return texto;
}

}  // namespace

std::string EmbaralhaTexto(const std::string& texto, std::uint64_t semente) {
    static const char* hex = "0123456789ABCDEF";
    std::mt19937 gerador(static_cast<std::mt19937::result_type>(semente ^ (semente >> 32)));
    std::uniform_int_distribution<int> sorteio(0, 254);
    std::string r;
    r.reserve(texto.size() * 4);
    for (unsigned char c : texto) {
        int chave = sorteio(gerador);
        if (chave % 2 == 0) chave += 1;  // odd: 1 to 255
        unsigned char x = static_cast<unsigned char>(c ^ chave);
        r += hex[x >> 4];
        r += hex[x & 15];
        r += hex[chave >> 4];
        r += hex[chave & 15];
    }
    return r;
}

bool LogLigado() {
    return Config().Homologar;
}

void GravaLogTexto(const std::string& texto) {
    if (!Config().Homologar) return;
    std::lock_guard<std::mutex> trava(TravaLog());
    plataforma::DataHora t = plataforma::Agora();
    std::string homol = EmbaralhaTexto(SegundosDoDia(t) + "**" + texto, plataforma::ContadorAltaResolucao());
    std::string data = Dois(t.dia) + "/" + Dois(t.mes) + "/" + std::to_string(t.ano);
    std::string hora = Dois(t.hora) + ":" + Dois(t.minuto) + ":" + Dois(t.segundo);
    // A log that cannot be written must not disturb the command being logged.
    GravaLinhaArquivo("HOMOL.DAT", homol);
    GravaLinhaArquivo("LOG.DAT", data + " " + hora + "=>" + texto);
}

void GravaVersaoLog() {
    GravaLog(kBannerVersao);
}

int InformaNaoImplementado(const std::string& nome) {
    Erro().TextoRetorno.clear();
    Erro().TextoValor.clear();  // nor may a second buffer keep an earlier export's answer
    DefineErro(Falha::NaoImplementado, nome);
    GravaLog("---[", Erro().UltimaMensagem, "]---");
    return 0;
}

int InformaComandoInexistente(const std::string& nome) {
    DefineErro(Falha::ComandoInexistente, nome);
    GravaLog("---[", Erro().UltimaMensagem, "]---");
    Erro().EstadoAck = 6;
    Erro().EstadoSt1 = 4;
    Erro().EstadoSt2 = 1;
    return 0;
}

void CopiaParaBuffer(char* buffer, std::size_t capacidade, const std::string& texto) {
    if (!buffer || capacidade == 0) return;
    std::size_t n = std::min(texto.size(), capacidade - 1);
    std::memcpy(buffer, texto.data(), n);
    buffer[n] = '\0';
}

std::string ArquivoRetorno() {
    return Config().Path + "RETORNO.TXT";
}

namespace {
void EntregaRetorno(char* buffer, std::size_t capacidade) {
    CopiaParaBuffer(buffer, capacidade, Erro().TextoRetorno);
    // Hosts read RETORNO.TXT while later commands rewrite it: it is replaced whole, never
    // emptied first. A file that cannot be written does not fail the export.
    std::string linha;
    linha.reserve(Erro().TextoRetorno.size() + 2);
    linha += Erro().TextoRetorno;
    linha += "\r\n";
    plataforma::SubstituiArquivo(ArquivoRetorno(), linha);
}
}  // namespace

void DevolveRetorno(char* buffer, std::size_t capacidade) {
    if (LogLigado()) GravaLog("LenParm=", buffer && capacidade ? ::strnlen(buffer, capacidade) : 0);
    EntregaRetorno(buffer, capacidade);
}

void DevolveRetornoZeros(int n, char* buffer, std::size_t capacidade) {
    Erro().TextoRetorno = PreencheZerosEsquerda(Erro().TextoRetorno, n);
    EntregaRetorno(buffer, capacidade);
}

void DevolveRetornoBrancos(int n, char* buffer, std::size_t capacidade) {
    Erro().TextoRetorno = PreencheEspacosDireita(Erro().TextoRetorno, n);
    EntregaRetorno(buffer, capacidade);
}

void DevolveValor(char* buffer, std::size_t capacidade) {
    CopiaParaBuffer(buffer, capacidade, Erro().TextoValor);
}

void DevolveValorZeros(int n, char* buffer, std::size_t capacidade) {
    Erro().TextoValor = PreencheZerosEsquerda(Erro().TextoValor, n);
    DevolveValor(buffer, capacidade);
}

void DevolveValorBrancos(int n, char* buffer, std::size_t capacidade) {
    Erro().TextoValor = PreencheEspacosDireita(Erro().TextoValor, n);
    DevolveValor(buffer, capacidade);
}

}  // namespace tarvo
