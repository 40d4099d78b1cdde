#include "console/binding/auxiliar.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <mutex>

#include "console/binding/ecf_dll.h"
#include "platform/codepage.h"

namespace belmora {

namespace {

std::mutex& TravaLog() {
    static std::mutex m;
    return m;
}

std::function<void(const std::string&)>& LogOperador() {
    static std::function<void(const std::string&)> f;
    return f;
}

bool SoDigitos(const std::string& t) {
    return !t.empty() && std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool UmDigitoRepetido(const std::string& t) {
    return std::all_of(t.begin(), t.end(), [&](char c) { return c == t[0]; });
}

int Digito(char c) {
    return c - '0';
}

// Check digit of the CNPJ rule: 0 when the remainder is below 2, else 11 minus it.
int DigitoCnpj(const std::string& t, const int* pesos, int n) {
    int s = 0;
    for (int i = 0; i < n; ++i) s += Digito(t[static_cast<std::size_t>(i)]) * pesos[i];
    int r = s % 11;
    return r < 2 ? 0 : 11 - r;
}

std::string Apara(const std::string& t) {
    auto a = t.find_first_not_of(' ');
    if (a == std::string::npos) return "";
    auto b = t.find_last_not_of(' ');
    return t.substr(a, b - a + 1);
}

}  // namespace

void DefineLogOperador(std::function<void(const std::string&)> adicionaRetorno) {
    std::lock_guard<std::mutex> l(TravaLog());
    LogOperador() = std::move(adicionaRetorno);
}

void AdicionaRetorno(const std::string& linha) {
    std::function<void(const std::string&)> f;
    {
        std::lock_guard<std::mutex> l(TravaLog());
        f = LogOperador();
    }
    if (f) f(linha);
}

std::string TextoDoRetorno(int resultado) {
    switch (resultado) {
        case 0: {
            std::string texto;
            return LeErroDLL(texto) ? texto : "Erro na comunicação.";
        }
        case -2:
            return "Erro Nº: -2 - Parâmetro inválido";
        case -4:
            return "Erro Nº: -4 - Arquivo ini não encontrado ou parâmetro inválido para o nome da porta";
        case -5:
            return "Erro Nº: -5 - Erro ao abrir a porta de comunicação";
        case -6:
            return "Erro Nº: -6 - Impressora desligada ou cabo de comunicação desconectado";
        case -27:
            return "Erro Nº: -27 - Status da impressora diferente de 6,0,0,0 (Ack, St1, St2 e St3)";
        default:
            return "Erro não identificado";
    }
}

bool TrataRetorno(int resultado) {
    if (resultado == 1) return true;
    AdicionaRetorno("  <- " + TextoDoRetorno(resultado));
    return false;
}

bool LeErroDLL(std::string& texto) {
    int codigo = 0;
    std::string mensagem;
    int r = dll::Tarvo_RetornoImpressora(codigo, mensagem);
    texto = "Erro nº: " + std::to_string(codigo) + " - " + plataforma::Cp1252ParaUtf8(mensagem);
    return r == 1;
}

bool ValidaCPF(const std::string& t) {
    if (t.size() != 11 || !SoDigitos(t) || UmDigitoRepetido(t)) return false;
    int s = 0, s2 = 0;
    for (int i = 0; i < 9; ++i) {
        s += Digito(t[static_cast<std::size_t>(i)]) * (10 - i);
        s2 += Digito(t[static_cast<std::size_t>(i)]) * (11 - i);
    }
    int k1 = 11 - s % 11;
    if (k1 >= 10) k1 = 0;
    s2 += 2 * k1;
    int k2 = 11 - s2 % 11;
    if (k2 >= 10) k2 = 0;
    return Digito(t[9]) == k1 && Digito(t[10]) == k2;
}

bool ValidaCNPJ(const std::string& t) {
    if (t.size() != 14 || !SoDigitos(t) || UmDigitoRepetido(t)) return false;
    static const int p1[] = {5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2};
    static const int p2[] = {6, 5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2};
    return DigitoCnpj(t, p1, 12) == Digito(t[12]) && DigitoCnpj(t, p2, 13) == Digito(t[13]);
}

std::string FormataAliquota(const std::string& texto) {
    auto p = texto.find(',');
    if (p == std::string::npos) return texto;
    std::string inteira = "00" + Apara(texto.substr(0, p));
    std::string fracao = Apara(texto.substr(p + 1)) + "00";
    return inteira.substr(inteira.size() - 2) + "," + fracao.substr(0, 2);
}

bool EhInteiro(const std::string& texto) {
    if (texto.empty()) return false;
    std::size_t i = (texto[0] == '-' || texto[0] == '+') ? 1 : 0;
    if (!SoDigitos(texto.substr(i))) return false;
    errno = 0;
    long long v = std::strtoll(texto.c_str(), nullptr, 10);
    return errno == 0 && v >= INT_MIN && v <= INT_MAX;
}

}  // namespace belmora
