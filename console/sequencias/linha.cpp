#include "console/sequencias/linha.h"

#include <cctype>
#include <charconv>

namespace seq {

namespace {

// Apara that also drops line ends at the end (a type may be handed over as read).
std::string AparaTipo(const std::string& s) {
    std::size_t i = 0, f = s.size();
    while (i < f && (s[i] == ' ' || s[i] == '\t')) ++i;
    while (f > i && (s[f - 1] == ' ' || s[f - 1] == '\t' || s[f - 1] == '\r' || s[f - 1] == '\n')) --f;
    return s.substr(i, f - i);
}

}  // namespace

std::string Apara(const std::string& s) {
    std::size_t i = 0, f = s.size();
    while (i < f && (s[i] == ' ' || s[i] == '\t')) ++i;
    while (f > i && (s[f - 1] == ' ' || s[f - 1] == '\t')) --f;
    return s.substr(i, f - i);
}

std::string Minusculas(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool TipoTexto(const std::string& tipo) {
    const std::string t = Minusculas(AparaTipo(tipo));
    return t == "string" || t == "pchar" || t == "char";
}

std::vector<std::string> SeparaLinha(const std::string& linha) {
    std::vector<std::string> tokens;
    std::string atual;
    char aspa = 0;  // the quote that opened the quoted stretch, 0 outside one
    auto fecha = [&] {
        std::size_t i = 0;
        while (i < atual.size() && atual[i] == ' ') ++i;
        if (i < atual.size()) tokens.push_back(atual.substr(i));
        atual.clear();
    };
    for (std::size_t i = 0; i < linha.size(); ++i) {
        const char c = linha[i];
        if (c == '\r' || c == '\n') continue;
        if (aspa) {
            if (c == aspa) aspa = 0;
            atual += c;
        } else if ((c == '\'' || c == '"') && linha.find(c, i + 1) != std::string::npos) {
            // Only a pair of quotes keeps separators together; a lone quote is a plain character.
            aspa = c;
            atual += c;
        } else if (c == '(' || c == ')' || c == ':' || c == ';') {
            fecha();
        } else {
            atual += c;
        }
    }
    fecha();
    return tokens;
}

bool GeraListaParametros(const std::string& declaracao, TComando& comando, std::string& erro) {
    const std::vector<std::string> t = SeparaLinha(declaracao);
    if (t.size() < 2) {
        erro = "declaração sem contagem de parâmetros: " + declaracao;
        return false;
    }
    const std::string contagem = Apara(t.back());
    int n = 0;
    auto [fim, ec] = std::from_chars(contagem.data(), contagem.data() + contagem.size(), n);
    if (ec != std::errc() || fim != contagem.data() + contagem.size()) {
        erro = "'" + contagem + "' não é um número inteiro válido";
        return false;
    }
    if (n < 0 || static_cast<std::size_t>(n) * 2 + 2 > t.size()) {
        erro = "a declaração não tem os " + std::to_string(n) + " parâmetros que anuncia: " + declaracao;
        return false;
    }
    TComando novo;
    novo.Nome = Apara(t[0]);
    novo.Quantidade = n;
    for (int k = 1; k <= n; ++k) {
        TParametro p;
        std::string nome = Apara(t[2 * k - 1]);
        p.Tipo = Apara(t[2 * k]);
        p.Entrada = true;
        const std::size_t espaco = nome.find_first_of(" \t");
        if (espaco != std::string::npos && Minusculas(nome.substr(0, espaco)) == "var") {
            std::string resto = Apara(nome.substr(espaco));
            const std::size_t fim_palavra = resto.find_first_of(" \t");
            nome = resto.substr(0, fim_palavra);
            p.Entrada = false;
        }
        p.Nome = nome;
        novo.Parametros.push_back(std::move(p));
    }
    comando = std::move(novo);
    return true;
}

}  // namespace seq
