#include "emulador/protocolo.h"

#include <cctype>
#include <cstdlib>

namespace emulador {

namespace {

bool EhBranco(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool InicioNome(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}
bool CaracterNome(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '[' || c == ']';
}
int Hexa(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A '"' at `i` closes a text when the parameter text ends after it or the next parameter
// ("  Nome=") follows. Some callers do not escape quotes inside free texts, so a quote that
// is followed by anything else is taken as part of the text, as the printer does.
bool FechaTexto(std::string_view t, std::size_t i) {
    std::size_t j = i + 1;
    if (j >= t.size()) return true;
    if (!EhBranco(t[j])) return false;
    while (j < t.size() && EhBranco(t[j])) ++j;
    if (j >= t.size()) return true;
    if (!InicioNome(t[j])) return false;
    while (j < t.size() && CaracterNome(t[j])) ++j;
    while (j < t.size() && t[j] == ' ') ++j;
    return j < t.size() && t[j] == '=';
}

}  // namespace

bool MesmoNome(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string ResolveEscapes(std::string_view t) {
    std::string r;
    r.reserve(t.size());
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i] == '\\' && i + 1 < t.size()) {
            if (t[i + 1] == 'n') {
                r += '\n';
                ++i;
                continue;
            }
            if ((t[i + 1] == 'x' || t[i + 1] == 'X') && i + 3 < t.size() && Hexa(t[i + 2]) >= 0 &&
                Hexa(t[i + 3]) >= 0) {
                r += static_cast<char>(Hexa(t[i + 2]) * 16 + Hexa(t[i + 3]));
                i += 3;
                continue;
            }
        }
        r += t[i];
    }
    return r;
}

bool LeParametros(std::string_view t, std::vector<Parametro>& saida, std::string& erro) {
    saida.clear();
    std::size_t i = 0;
    while (true) {
        while (i < t.size() && EhBranco(t[i])) ++i;
        if (i >= t.size()) return true;
        if (!InicioNome(t[i])) {
            erro = "nome de parametro esperado na posicao " + std::to_string(i + 1);
            return false;
        }
        Parametro p;
        std::size_t ini = i;
        while (i < t.size() && CaracterNome(t[i])) ++i;
        p.nome = std::string(t.substr(ini, i - ini));
        while (i < t.size() && t[i] == ' ') ++i;
        if (i >= t.size() || t[i] != '=') {
            erro = "'=' esperado depois de " + p.nome;
            return false;
        }
        ++i;
        while (i < t.size() && t[i] == ' ') ++i;
        if (i < t.size() && t[i] == '"') {
            std::size_t j = i + 1;
            while (j < t.size() && !(t[j] == '"' && FechaTexto(t, j))) ++j;
            if (j >= t.size()) {
                erro = "texto sem aspas de fechamento em " + p.nome;
                return false;
            }
            p.tipo = Parametro::Tipo::Texto;
            p.valor = ResolveEscapes(t.substr(i + 1, j - i - 1));
            i = j + 1;
        } else if (i < t.size() && t[i] == '#') {
            std::size_t j = t.find('#', i + 1);
            if (j == std::string_view::npos) {
                erro = "'#' de fechamento ausente em " + p.nome;
                return false;
            }
            p.tipo = Parametro::Tipo::DataHora;
            p.valor = std::string(t.substr(i + 1, j - i - 1));
            i = j + 1;
        } else {
            std::size_t j = i;
            while (j < t.size() && !EhBranco(t[j])) ++j;
            p.valor = std::string(t.substr(i, j - i));
            i = j;
        }
        if (i < t.size() && !EhBranco(t[i])) {
            erro = "separador esperado depois de " + p.nome;
            return false;
        }
        saida.push_back(std::move(p));
    }
}

bool DivideQuadro(const std::string& b, Quadro& q) {
    q = Quadro{};
    q.bruto = b;
    if (b.size() < 4 || b.front() != '{' || b.back() != '}') return false;
    std::size_t p1 = b.find(';', 1);
    if (p1 == std::string::npos) return false;
    std::size_t p2 = b.find(';', p1 + 1);
    if (p2 == std::string::npos) return false;
    std::size_t p3 = b.rfind(';');
    if (p3 <= p2) return false;
    q.pacote = b.substr(1, p1 - 1);
    q.comando = b.substr(p1 + 1, p2 - p1 - 1);
    q.parametros = b.substr(p2 + 1, p3 - p2 - 1);
    std::string comp = b.substr(p3 + 1, b.size() - p3 - 2);
    q.comprimentoPresente = !comp.empty();
    bool digitos = !comp.empty() && comp.size() < 9;
    for (char c : comp) digitos = digitos && std::isdigit(static_cast<unsigned char>(c));
    q.comprimentoCorreto = digitos && std::strtoul(comp.c_str(), nullptr, 10) == p3;
    return true;
}

void Enquadrador::Acrescenta(std::string_view bytes) {
    buffer_.append(bytes);
}

std::string Enquadrador::Descartados() {
    std::string r;
    r.swap(descartados_);
    return r;
}

bool Enquadrador::AguardaOcio() const {
    return !buffer_.empty() && buffer_.back() == '}';
}

std::optional<std::string> Enquadrador::Proximo(bool ocioso) {
    std::size_t inicio = buffer_.find('{');
    if (inicio == std::string::npos) {
        descartados_ += buffer_;
        buffer_.clear();
        return std::nullopt;
    }
    if (inicio > 0) {
        descartados_ += buffer_.substr(0, inicio);
        buffer_.erase(0, inicio);
    }
    for (std::size_t j = 1; j < buffer_.size(); ++j) {
        if (buffer_[j] != '}') continue;
        std::size_t k = j;
        while (k > 1 && std::isdigit(static_cast<unsigned char>(buffer_[k - 1]))) --k;
        if (k < 2 || buffer_[k - 1] != ';') continue;
        std::size_t pontoVirgula = k - 1;
        bool completo = false;
        if (k < j && j - k < 9) {
            unsigned long n = std::strtoul(buffer_.substr(k, j - k).c_str(), nullptr, 10);
            completo = n == pontoVirgula;  // characters after '{' through that ';'
        }
        if (!completo && ocioso && j + 1 == buffer_.size()) completo = true;
        if (completo) {
            std::string quadro = buffer_.substr(0, j + 1);
            buffer_.erase(0, j + 1);
            return quadro;
        }
    }
    // Guard against a sender that never closes a frame.
    constexpr std::size_t kMaximo = 4 * 1024 * 1024;
    if (buffer_.size() > kMaximo) {
        descartados_ += buffer_;
        buffer_.clear();
    }
    return std::nullopt;
}

std::string MontaResposta(const std::string& pacote, int codigo, const std::string& dados) {
    std::string corpo = pacote + ";" + std::to_string(codigo) + ";" + dados + ";";
    return "{" + corpo + std::to_string(corpo.size()) + "}";
}

std::string DadosErro(const std::string& nome, const std::string& circunstancia) {
    auto limpa = [](std::string s) {
        for (char& c : s)
            if (c == '"' || c == ';') c = '\'';
        return s;
    };
    return "NomeErro=\"" + limpa(nome) + "\" Circunstancia=\"" + limpa(circunstancia) + "\"";
}

}  // namespace emulador
