// The numeric-code printers' readings: registers ("34M" and the register number), the
// status bytes ("32"), the clock ("33") and the rate list ("30"), and the exports these
// printers answer with a report of their own.
#include <cstdint>
#include <string>

#include "driver/core/formatadores.h"
#include "driver/core/registro.h"
#include "driver/protocols/familias.h"
#include "driver/protocols/numerico/motor.h"

namespace tarvo::numerico {

namespace {

// Registers of the readings.
enum Registrador : int {
    RegDescontos = 36,
    RegAcrescimos = 37,
    RegCancelamentos = 38,
    RegGrandeTotal = 39,
    RegVendaBruta = 40,
    RegNumeroCupom = 41,
    RegReducoes = 42,
    RegIntervencoes = 43,
    RegVersao = 47,
    RegCaixa = 48,
    RegSerie = 49,
    RegPrimeiraForma = 50,  // 50 to 65: the 16 payment forms
    RegDataHoraReducao = 83,
    RegTiposAliquota = 86,
    RegSubTotal = 96,
};
constexpr int kFormas = 16;
constexpr int kLarguraForma = 16;
constexpr std::size_t kMaximoAliquotas = 16;

// Bits of the status bytes.
constexpr unsigned kBitModo = 1u << 3;        // byte 1: technical intervention
constexpr unsigned kBitGaveta = 1u << 1;      // byte 3
constexpr unsigned kBitPoucoPapel = 1u << 6;  // byte 3

int HexaDigito(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Byte k (from 1) of a text of hexadecimal pairs; 0 when the pair is missing or not hex.
unsigned ByteHexa(const std::string& texto, int k) {
    std::size_t i = static_cast<std::size_t>(2 * (k - 1));
    if (i + 1 >= texto.size()) return 0;
    int a = HexaDigito(texto[i]), b = HexaDigito(texto[i + 1]);
    return a < 0 || b < 0 ? 0u : static_cast<unsigned>(a * 16 + b);
}

// "34M" and the register: the reply value into `saida` (empty after a failure).
int LeRegistradorNum(int registrador, std::string& saida) {
    int r = EnviaComandoNum("34M" + PreencheZerosEsquerda(std::to_string(registrador), 2));
    saida = r == 1 ? ValorRespostaNum() : std::string();
    return r;
}

int Registro(int registrador) {
    return LeRegistradorNum(registrador, Erro().TextoRetorno);
}

// The status bytes; false when the reading failed. The export's answer is emptied first:
// after a failure its buffer holds nothing, never an earlier export's answer.
int Status(std::string& status) {
    Erro().TextoRetorno.clear();
    int r = EnviaComandoNum("32");
    if (r == 1) status = ValorRespostaNum();
    return r;
}

// An amount of a register as a whole number of its smallest unit; 0 when it is no number.
std::int64_t Inteiro(const std::string& texto) {
    return ParaInteiro64(Apara(texto), 0);
}

// The clock: date ddmmyy into the main answer, time hhmmss into the second. After a failure
// both are empty, or the date "000000" when only the date is asked for.
int DataHora(bool comHora) {
    UltimoErro& e = Erro();
    int r = EnviaComandoNum("33");
    std::string d = r == 1 ? SomenteNumeros(ValorRespostaNum()) : std::string();
    e.TextoRetorno =
        r == 1 || comHora ? d.substr(0, std::min<std::size_t>(6, d.size())) : std::string("000000");
    if (comHora)
        e.TextoValor = d.size() > 6 ? d.substr(6, std::min<std::size_t>(6, d.size() - 6)) : std::string();
    return r;
}

}  // namespace

// --- registers ------------------------------------------------------------------------------

int Tarvo_SubTotal(char*) {
    return Registro(RegSubTotal);
}
int Tarvo_NumeroCupom(char*) {
    return Registro(RegNumeroCupom);
}
int Tarvo_VersaoFirmware(char*) {
    return Registro(RegVersao);
}
int Tarvo_Descontos(char*) {
    return Registro(RegDescontos);
}
int Tarvo_Acrescimos(char*) {
    return Registro(RegAcrescimos);
}
int Tarvo_Cancelamentos(char*) {
    return Registro(RegCancelamentos);
}
int Tarvo_GrandeTotal(char*) {
    return Registro(RegGrandeTotal);
}
int Tarvo_VendaBruta(char*) {
    return Registro(RegVendaBruta);
}
int Tarvo_NumeroReducoes(char*) {
    return Registro(RegReducoes);
}
int Tarvo_NumeroIntervencoes(char*) {
    return Registro(RegIntervencoes);
}
int Tarvo_NumeroCaixa(char*) {
    return Registro(RegCaixa);
}
int Tarvo_NumeroSerie(char*) {
    return Registro(RegSerie);
}

int Tarvo_DataHoraReducao(char*, char*) {
    int r = Registro(RegDataHoraReducao);
    Erro().TextoValor.clear();
    return r;
}

int Tarvo_VendaLiquida(char*) {
    std::string bruta, cancelamentos, descontos;
    int r = LeRegistradorNum(RegVendaBruta, bruta);
    if (r == 1) r = LeRegistradorNum(RegCancelamentos, cancelamentos);
    if (r == 1) r = LeRegistradorNum(RegDescontos, descontos);
    Erro().TextoRetorno = r == 1
                              ? std::to_string(Inteiro(bruta) - Inteiro(cancelamentos) - Inteiro(descontos))
                              : std::string("000");
    return r;
}

int Tarvo_VerificaFormasPagamento(char*) {
    std::string lista, valor;
    int r = 1;
    for (int i = 0; i < kFormas; ++i) {
        r = LeRegistradorNum(RegPrimeiraForma + i, valor);
        if (r != 1) break;
        lista += valor.substr(0, kLarguraForma);
    }
    Erro().TextoRetorno = lista;
    return r;
}

int Tarvo_RetornoAliquotas(char*) {
    Erro().TextoRetorno.clear();
    int r = EnviaComandoNum("30");
    if (r != 1) return r;
    const std::string taxas = ValorRespostaNum();
    std::string tipos;
    r = LeRegistradorNum(RegTiposAliquota, tipos);
    const unsigned bits = ByteHexa(tipos, 1) << 8 | ByteHexa(tipos, 2);
    std::string lista;
    // One rate per slot; a printer that answers more slots than it has kinds for is read
    // only as far as its 16 kinds go.
    for (std::size_t i = 0; i < taxas.size() / 4 && i < kMaximoAliquotas; ++i) {
        const std::string taxa = taxas.substr(4 * i, 4);
        const char tipo = bits & (0x8000u >> i) ? 'S' : 'T';
        lista += taxa != "0000" ? tipo + taxa : "-0000";
    }
    Erro().TextoRetorno = lista;
    return r;
}

// --- clock and status -----------------------------------------------------------------------

int Tarvo_DataHoraImpressora(char*, char*) {
    return DataHora(true);
}
int Tarvo_DataMovimento(char*) {
    return DataHora(false);
}

int Tarvo_VerificaModoOperacao(char*) {
    std::string s;
    int r = Status(s);
    if (r == 1) Erro().TextoRetorno = ByteHexa(s, 1) & kBitModo ? "0" : "1";
    return r;
}

int Tarvo_FlagsFiscais(int* iRetorno) {
    std::string s;
    int r = Status(s);
    if (r == 1 && iRetorno) {
        unsigned b = ByteHexa(s, 1);
        *iRetorno = static_cast<int>((b & 1u) + (b >> 2 & 1u) * 8 + (b >> 6 & 1u) * 4 + (b >> 7 & 1u) * 32);
    }
    return r;
}

int Tarvo_VerificaEstadoGaveta(int* iEstadoGaveta) {
    std::string s;
    int r = Status(s);
    if (r == 1 && iEstadoGaveta) *iEstadoGaveta = ByteHexa(s, 3) & kBitGaveta ? 1 : 0;
    return r;
}

int Tarvo_VerificaSensorPoucoPapelMFD(char*) {
    std::string s;
    int r = Status(s);
    if (r == 1) Erro().TextoRetorno = ByteHexa(s, 3) & kBitPoucoPapel ? "1" : "0";
    return r;
}

// --- what these printers answer with a report of their own -------------------------------------

int Tarvo_DadosUltimaReducao(char*) {
    InformaNaoImplementado("Dados Ultima Reducao");
    Erro().TextoRetorno = std::string(8, ' ');
    return 0;
}

int Tarvo_VerificaTotalizadoresParciaisMFD(char*) {
    return InformaNaoImplementado("Tarvo_VerificaTotalizadoresParciais");
}

// These printers keep no change totals: the buffer is left empty.
int Tarvo_TotalDocTroco(char*) {
    Erro().TextoRetorno.clear();
    return InformaComandoInexistente("TARVOSARTO_TotalDocTroco");
}
int Tarvo_TotalDiaTroco(char*) {
    Erro().TextoRetorno.clear();
    return InformaComandoInexistente("Tarvo_TotalDiaTroco");
}

}  // namespace tarvo::numerico
