#include "numeros.h"

#include <cctype>
#include <vector>

namespace emulador {

bool LeDecimal(std::string_view t, int casas, std::int64_t& valor) {
    std::size_t i = 0, f = t.size();
    while (i < f && t[i] == ' ') ++i;
    while (f > i && t[f - 1] == ' ') --f;
    bool negativo = false;
    if (i < f && (t[i] == '-' || t[i] == '+')) {
        negativo = t[i] == '-';
        ++i;
        while (i < f && t[i] == ' ') ++i;
    }
    if (i >= f) return false;
    std::string_view n = t.substr(i, f - i);
    char decimal = n.find(',') != std::string_view::npos ? ',' : '.';
    std::int64_t inteiro = 0, frac = 0;
    int nfrac = 0;
    bool depois = false, algum = false;
    for (char c : n) {
        if (c == decimal) {
            if (depois) return false;
            depois = true;
        } else if (c == '.' && decimal == ',') {
            if (depois) return false;  // thousands group after the decimal comma
        } else if (std::isdigit(static_cast<unsigned char>(c))) {
            algum = true;
            if (depois) {
                if (++nfrac > casas) return false;
                frac = frac * 10 + (c - '0');
            } else {
                if (inteiro > 100000000000000LL) return false;
                inteiro = inteiro * 10 + (c - '0');
            }
        } else {
            return false;
        }
    }
    if (!algum) return false;
    for (int k = nfrac; k < casas; ++k) frac *= 10;
    std::int64_t escala = 1;
    for (int k = 0; k < casas; ++k) escala *= 10;
    valor = inteiro * escala + frac;
    if (negativo) valor = -valor;
    return true;
}

bool LeInteiro(std::string_view t, std::int64_t& valor) {
    return LeDecimal(t, 0, valor);
}

namespace {
std::string Agrupa(std::int64_t v) {
    std::string d = std::to_string(v);
    std::string r;
    int n = 0;
    for (auto it = d.rbegin(); it != d.rend(); ++it) {
        if (n && n % 3 == 0) r.insert(r.begin(), '.');
        r.insert(r.begin(), *it);
        ++n;
    }
    return r;
}
std::string Decimais(std::int64_t v, int casas) {
    std::string d = std::to_string(v);
    while (static_cast<int>(d.size()) < casas) d.insert(d.begin(), '0');
    return d;
}
}  // namespace

std::string Valor(std::int64_t c) {
    std::string s = c < 0 ? "-" : "";
    std::int64_t a = c < 0 ? -c : c;
    return s + Agrupa(a / 100) + "," + Decimais(a % 100, 2);
}

std::string ValorResposta(std::int64_t c) {
    std::string s = c < 0 ? "-" : "";
    std::int64_t a = c < 0 ? -c : c;
    return s + std::to_string(a / 100) + "," + Decimais(a % 100, 2) + "00";
}

std::string Percentual(int c) {
    return Decimais(c / 100, 2) + "," + Decimais(c % 100, 2);
}

std::string Quantidade(std::int64_t m) {
    if (m % 1000 == 0) return std::to_string(m / 1000);
    return std::to_string(m / 1000) + "," + Decimais(m % 1000, 3);
}

std::string Preco(std::int64_t m, int casas) {
    if (casas == 3) return Agrupa(m / 1000) + "," + Decimais(m % 1000, 3);
    return Agrupa(m / 1000) + "," + Decimais((m % 1000) / 10, 2);
}

std::string Zeros(std::int64_t v, int largura) {
    if (v < 0) v = -v;
    std::string d = std::to_string(v);
    if (static_cast<int>(d.size()) > largura) return d.substr(d.size() - largura);
    return std::string(largura - d.size(), '0') + d;
}

std::int64_t Escala(std::int64_t a, std::int64_t b, std::int64_t divisor, bool trunca) {
    __int128 p = static_cast<__int128>(a) * b;
    bool negativo = p < 0;
    if (negativo) p = -p;
    __int128 q = p / divisor;
    if (!trunca && (p % divisor) * 2 >= divisor) ++q;
    return static_cast<std::int64_t>(negativo ? -q : q);
}

namespace {
const char* kUnidades[] = {"",         "UM",     "DOIS",      "TRES",      "QUATRO",  "CINCO",   "SEIS",
                           "SETE",     "OITO",   "NOVE",      "DEZ",       "ONZE",    "DOZE",    "TREZE",
                           "QUATORZE", "QUINZE", "DEZESSEIS", "DEZESSETE", "DEZOITO", "DEZENOVE"};
const char* kDezenas[] = {"",          "",         "VINTE",   "TRINTA",  "QUARENTA",
                          "CINQUENTA", "SESSENTA", "SETENTA", "OITENTA", "NOVENTA"};
const char* kCentenas[] = {"",           "CENTO",      "DUZENTOS",   "TREZENTOS",  "QUATROCENTOS",
                           "QUINHENTOS", "SEISCENTOS", "SETECENTOS", "OITOCENTOS", "NOVECENTOS"};

std::string Ate999(int n) {
    if (n == 100) return "CEM";
    std::vector<std::string> partes;
    if (n / 100) partes.push_back(kCentenas[n / 100]);
    int r = n % 100;
    if (r >= 20) {
        partes.push_back(kDezenas[r / 10]);
        if (r % 10) partes.push_back(kUnidades[r % 10]);
    } else if (r) {
        partes.push_back(kUnidades[r]);
    }
    std::string s;
    for (std::size_t i = 0; i < partes.size(); ++i) s += (i ? " E " : "") + partes[i];
    return s;
}

std::string Inteiro(std::int64_t n) {
    static const char* kSingular[] = {"", "MIL", "MILHAO", "BILHAO", "TRILHAO"};
    static const char* kPlural[] = {"", "MIL", "MILHOES", "BILHOES", "TRILHOES"};
    std::vector<int> grupos;
    while (n > 0) {
        grupos.push_back(static_cast<int>(n % 1000));
        n /= 1000;
    }
    std::string s;
    for (int g = static_cast<int>(grupos.size()) - 1; g >= 0; --g) {
        int v = grupos[g];
        if (!v) continue;
        std::string parte = (g == 1 && v == 1) ? "MIL" : Ate999(v);
        if (g >= 1 && !(g == 1 && v == 1)) parte += std::string(" ") + (v == 1 ? kSingular[g] : kPlural[g]);
        if (!s.empty()) {
            // "E" joins the last group when it is below one hundred or a round hundred.
            bool e = g == 0 && (v < 100 || v % 100 == 0);
            s += e ? " E " : " ";
        }
        s += parte;
    }
    return s;
}
}  // namespace

std::string Extenso(std::int64_t c) {
    if (c < 0) c = -c;
    std::int64_t reais = c / 100;
    int centavos = static_cast<int>(c % 100);
    std::string s;
    if (reais) {
        s = Inteiro(reais);
        bool de = reais >= 1000000 && reais % 1000000 == 0;
        s += reais == 1 ? " REAL" : (de ? " DE REAIS" : " REAIS");
    }
    if (centavos) {
        if (!s.empty()) s += " E ";
        s += Ate999(centavos) + (centavos == 1 ? " CENTAVO" : " CENTAVOS");
    }
    if (s.empty()) s = "ZERO REAIS";
    return s;
}

std::string Direita(std::string_view e, std::string_view d, int largura) {
    int espaco = largura - static_cast<int>(e.size()) - static_cast<int>(d.size());
    if (espaco < 1) {
        std::string esq(e.substr(0, std::max<int>(0, largura - static_cast<int>(d.size()) - 1)));
        espaco = largura - static_cast<int>(esq.size()) - static_cast<int>(d.size());
        return esq + std::string(std::max(espaco, 0), ' ') + std::string(d);
    }
    return std::string(e) + std::string(espaco, ' ') + std::string(d);
}

std::string Centro(std::string_view t, int largura) {
    if (static_cast<int>(t.size()) >= largura) return std::string(t.substr(0, largura));
    return std::string((largura - t.size()) / 2, ' ') + std::string(t);
}

std::string Completa(std::string_view t, int largura) {
    if (static_cast<int>(t.size()) >= largura) return std::string(t.substr(0, largura));
    return std::string(t) + std::string(largura - t.size(), ' ');
}

std::string Maiusculas(std::string_view t) {
    std::string r(t);
    for (char& c : r)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return r;
}

std::string Apara(std::string_view t) {
    std::size_t i = 0, f = t.size();
    while (i < f && static_cast<unsigned char>(t[i]) <= ' ') ++i;
    while (f > i && static_cast<unsigned char>(t[f - 1]) <= ' ') --f;
    return std::string(t.substr(i, f - i));
}

}  // namespace emulador
