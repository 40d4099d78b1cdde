#include "driver/core/formatadores.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <mutex>
#include <vector>

#include "platform/pastas.h"

namespace fs = std::filesystem;

namespace tarvo {

namespace {

bool Digito(char c) {
    return c >= '0' && c <= '9';
}

// Words of a line separated by runs of blanks, with their start positions (from 0).
std::vector<std::pair<std::size_t, std::string>> Palavras(const std::string& linha) {
    std::vector<std::pair<std::size_t, std::string>> v;
    std::size_t i = 0;
    while (i < linha.size()) {
        while (i < linha.size() && static_cast<unsigned char>(linha[i]) <= ' ') ++i;
        if (i >= linha.size()) break;
        std::size_t ini = i;
        while (i < linha.size() && static_cast<unsigned char>(linha[i]) > ' ') ++i;
        v.push_back({ini, linha.substr(ini, i - ini)});
    }
    return v;
}

}  // namespace

std::string SomenteNumeros(const std::string& texto) {
    std::string r;
    for (char c : texto)
        if (Digito(c)) r += c;
    return r;
}

std::string RemoveZerosEsquerda(const std::string& texto) {
    std::size_t i = 0;
    while (i < texto.size() && texto[i] == '0') ++i;
    return texto.substr(i);
}

std::string PreencheZerosEsquerda(const std::string& texto, int largura) {
    if (largura <= 0) return {};
    std::string d = SomenteNumeros(texto);
    std::size_t n = static_cast<std::size_t>(largura);
    if (d.size() > n) return d.substr(d.size() - n);
    return std::string(n - d.size(), '0') + d;
}

std::string PreencheEspacosDireita(const std::string& texto, int largura) {
    if (largura <= 0) return {};
    std::size_t n = static_cast<std::size_t>(largura);
    std::string r = texto.substr(0, n);
    r.resize(n, ' ');
    return r;
}

std::string ParteDireita(const std::string& texto, int n) {
    if (n <= 0) return {};
    std::size_t k = static_cast<std::size_t>(n);
    return texto.size() <= k ? texto : texto.substr(texto.size() - k);
}

std::string CaracterNaPosicao(const std::string& texto, int posicao) {
    if (posicao < 1 || static_cast<std::size_t>(posicao) > texto.size()) return {};
    return std::string(1, texto[static_cast<std::size_t>(posicao) - 1]);
}

bool EhNumerico(const std::string& texto) {
    return std::all_of(texto.begin(), texto.end(), Digito);
}

namespace {
std::string FormataDecimais(const std::string& digitos, std::size_t casas) {
    std::string d = RemoveZerosEsquerda(SomenteNumeros(digitos));
    if (d.size() < casas + 1) d = std::string(casas + 1 - d.size(), '0') + d;
    return d.substr(0, d.size() - casas) + "," + d.substr(d.size() - casas);
}
}  // namespace

std::string FormataDuasDecimais(const std::string& digitos) {
    return FormataDecimais(digitos, 2);
}
std::string FormataTresDecimais(const std::string& digitos) {
    return FormataDecimais(digitos, 3);
}

void CompletaDecimais(int decimais, std::string& texto) {
    std::size_t sep = texto.find(',');
    if (sep == std::string::npos) sep = texto.find('.');
    if (sep == std::string::npos) {
        texto += ',';
        texto.append(static_cast<std::size_t>(std::max(decimais, 0)), '0');
        return;
    }
    std::size_t tem = texto.size() - sep - 1;
    if (decimais > 0 && tem < static_cast<std::size_t>(decimais))
        texto.append(static_cast<std::size_t>(decimais) - tem, '0');
}

std::string AlinhaTexto(const std::string& esquerda, const std::string& direita, int largura) {
    if (largura <= 0) return {};
    std::size_t w = static_cast<std::size_t>(largura);
    if (esquerda.size() + 1 + direita.size() <= w)
        return esquerda + std::string(w - esquerda.size() - direita.size(), ' ') + direita;
    // Too long for one line: the label keeps its start, one blank, and the value is cut to
    // what is left, so the result is still exactly one line of the width.
    std::string e = esquerda.substr(0, w > 2 ? w - 2 : 0);
    std::string r = e + " ";
    if (r.size() > w) r.resize(w);
    r += direita.substr(0, w - r.size());
    r.resize(w, ' ');
    return r;
}

std::string FormataData(const std::string& texto) {
    std::string d = SomenteNumeros(texto);
    if (d.size() > 6) {
        d = PreencheZerosEsquerda(d, 8);
        return d.substr(0, 2) + "/" + d.substr(2, 2) + "/" + d.substr(4, 4);
    }
    d = PreencheZerosEsquerda(d, 6);
    return d.substr(0, 2) + "/" + d.substr(2, 2) + "/20" + d.substr(4, 2);
}

int ComparaDatas(const std::string& a, const std::string& b) {
    auto chave = [](const std::string& t) {
        std::string f = FormataData(t);  // dd/mm/yyyy
        return f.substr(6, 4) + f.substr(3, 2) + f.substr(0, 2);
    };
    std::string x = chave(a), y = chave(b);
    return x < y ? -1 : (x == y ? 0 : 1);
}

bool DataNoIntervalo(const std::string& data, const std::string& inicio, const std::string& fim) {
    if (inicio.empty() || fim.empty()) return false;
    return ComparaDatas(inicio, data) <= 0 && ComparaDatas(data, fim) <= 0;
}

std::string MaiusculasAnsi(const std::string& texto) {
    std::string r = texto;
    for (char& ch : r) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (c >= 'a' && c <= 'z')
            c = static_cast<unsigned char>(c - 32);
        else if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
            c = static_cast<unsigned char>(c - 32);
        else if (c == 0x9A || c == 0x9C || c == 0x9E)
            c = static_cast<unsigned char>(c - 16);
        else if (c == 0xFF)
            c = 0x9F;
        ch = static_cast<char>(c);
    }
    return r;
}

std::string Apara(const std::string& texto) {
    std::size_t a = 0, b = texto.size();
    while (a < b && static_cast<unsigned char>(texto[a]) <= ' ') ++a;
    while (b > a && static_cast<unsigned char>(texto[b - 1]) <= ' ') --b;
    return texto.substr(a, b - a);
}

std::string AparaDireita(const std::string& texto) {
    std::size_t b = texto.size();
    while (b > 0 && static_cast<unsigned char>(texto[b - 1]) <= ' ') --b;
    return texto.substr(0, b);
}

std::string TextoSemEspacos(const std::string& texto) {
    std::string r;
    for (char c : texto)
        if (c != ' ') r += c;
    return MaiusculasAnsi(r);
}

bool ComecaComTexto(const std::string& a, const std::string& b) {
    std::string x = TextoSemEspacos(a), y = TextoSemEspacos(b);
    return x.compare(0, y.size(), y) == 0 && x.size() >= y.size();
}

bool ContemTexto(const std::string& a, const std::string& b) {
    return TextoSemEspacos(a).find(TextoSemEspacos(b)) != std::string::npos;
}

std::string TextoAteNulo(const std::string& texto) {
    if (texto.empty()) return {};
    std::size_t nulo = texto.find('\0');
    return texto.substr(0, std::min(nulo, texto.size() - 1));
}

std::string HexaString(const std::string& texto) {
    static const char* hex = "0123456789ABCDEF";
    std::string r;
    for (unsigned char c : texto) {
        r += hex[c >> 4];
        r += hex[c & 15];
        r += ' ';
    }
    return r;
}

std::string BitsSimNao(unsigned char primeiro, unsigned char segundo) {
    std::string r;
    for (unsigned char b : {primeiro, segundo})
        for (int i = 7; i >= 0; --i) r += ((b >> i) & 1) ? 'S' : 'T';
    return r;
}

std::int64_t ParaInteiro64(const std::string& texto, std::int64_t padrao) {
    std::size_t i = 0;
    while (i < texto.size() && (texto[i] == ' ' || texto[i] == '\t')) ++i;
    bool negativo = false;
    if (i < texto.size() && (texto[i] == '+' || texto[i] == '-')) negativo = texto[i++] == '-';
    int base = 10;
    if (i < texto.size() && texto[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < texto.size() && texto[i] == '0' && (texto[i + 1] == 'x' || texto[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= texto.size()) return padrao;
    std::int64_t v = 0;
    for (; i < texto.size(); ++i) {
        char c = texto[i];
        int d;
        if (Digito(c))
            d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return padrao;
        if (v > (std::numeric_limits<std::int64_t>::max() - d) / base) return padrao;
        v = v * base + d;
    }
    return negativo ? -v : v;
}

int ParaInteiro(const std::string& texto, int padrao) {
    std::int64_t v = ParaInteiro64(texto, padrao);
    if (v > std::numeric_limits<int>::max() || v < std::numeric_limits<int>::min()) return padrao;
    return static_cast<int>(v);
}

std::string PrimeiraPalavra(const std::string& texto) {
    auto p = texto.find(' ');
    return p == std::string::npos ? texto : texto.substr(0, p);
}

std::string PalavraDaDireita(const std::string& linha, int n, int* posicao) {
    auto palavras = Palavras(linha);
    if (posicao) *posicao = 0;
    if (n < 1 || static_cast<std::size_t>(n) > palavras.size()) return {};
    const auto& w = palavras[palavras.size() - static_cast<std::size_t>(n)];
    if (posicao) *posicao = static_cast<int>(w.first) + 1;
    return w.second;
}

CodigoDescricao SeparaCodigoDescricao(int k, int modo, const std::string& linha) {
    CodigoDescricao r;
    auto palavras = Palavras(linha);
    if (palavras.empty()) return r;
    std::string resto = Apara(linha.substr(palavras[0].first + palavras[0].second.size()));
    std::size_t fimCodigo = resto.find(' ');
    r.codigo = resto.substr(0, std::min<std::size_t>(fimCodigo, 14));
    if (fimCodigo == std::string::npos) return r;
    std::size_t inicioDescricao = fimCodigo;
    while (inicioDescricao < resto.size() && resto[inicioDescricao] == ' ') ++inicioDescricao;
    std::string descricao;
    if (modo == 1) {
        descricao = resto.substr(inicioDescricao);
    } else {
        int pos = 0;
        PalavraDaDireita(resto, k + 3, &pos);
        std::size_t ate = pos > 0 ? static_cast<std::size_t>(pos - 1) : 0;
        if (ate > inicioDescricao) descricao = resto.substr(inicioDescricao, ate - inicioDescricao);
    }
    r.descricao = Apara(descricao).substr(0, 100);
    return r;
}

LinhaAliquota ValidaLinhaAliquota(bool comTipo, const std::string& linha) {
    LinhaAliquota r;
    const char grau = static_cast<char>(0xB0);
    std::string ultima = PalavraDaDireita(linha, 1);
    if (!ultima.empty() && ultima.back() != grau) return r;
    std::string valor;
    if (comTipo) {
        std::string tipo = Apara(PalavraDaDireita(linha, 2));
        if (tipo == "A" || tipo == "T") {
            valor = PalavraDaDireita(linha, 4);
            r.tipo = tipo[0];
        } else {
            valor = PalavraDaDireita(linha, 3);
        }
    } else {
        valor = ultima.empty() ? ultima : ultima.substr(0, ultima.size() - 1);
    }
    std::size_t virgula = valor.find(',');
    if (virgula == std::string::npos) return r;
    std::size_t decimais = valor.size() - virgula - 1;
    if (decimais != 2 && decimais != 3) return r;
    if (valor.size() < 4) return r;
    std::string fim = ParteDireita(valor, 6);
    fim.erase(std::remove(fim.begin(), fim.end(), ','), fim.end());
    if (!EhNumerico(fim)) return r;
    r.valida = true;
    r.decimais = static_cast<int>(decimais);
    return r;
}

std::string CampoDelimitado(const std::string& texto, int n, char separador) {
    if (n < 1) return {};
    std::size_t inicio = 0;
    for (int i = 1; i < n; ++i) {
        std::size_t p = texto.find(separador, inicio);
        if (p == std::string::npos) return {};
        inicio = p + 1;
    }
    std::size_t fim = texto.find(separador, inicio);
    return texto.substr(inicio, fim == std::string::npos ? std::string::npos : fim - inicio);
}

std::string TrechoLinha(const std::string& texto, std::size_t inicio, std::size_t n) {
    if (inicio < 1 || inicio > texto.size()) return {};
    return texto.substr(inicio - 1, n);
}

std::vector<std::string> LinhasDoTexto(const std::string& texto) {
    std::vector<std::string> linhas;
    std::size_t inicio = 0;
    while (inicio < texto.size()) {
        std::size_t fim = texto.find('\n', inicio);
        std::string linha = texto.substr(inicio, fim == std::string::npos ? std::string::npos : fim - inicio);
        if (!linha.empty() && linha.back() == '\r') linha.pop_back();
        linhas.push_back(std::move(linha));
        if (fim == std::string::npos) break;
        inicio = fim + 1;
    }
    return linhas;
}

bool ApagaArquivo(const std::string& nome) {
    std::error_code ec;
    if (!fs::is_regular_file(nome, ec)) return false;
    return fs::remove(nome, ec);
}

bool CopiaArquivo(const std::string& origem, const std::string& destino, bool falhaSeExiste) {
    std::error_code ec;
    ApagaArquivo(destino);
    auto opcao = falhaSeExiste ? fs::copy_options::none : fs::copy_options::overwrite_existing;
    return fs::copy_file(origem, destino, opcao, ec);
}

bool AnexaTextoArquivo(const std::string& nome, const std::string& texto) {
    std::FILE* f = std::fopen(nome.c_str(), "ab");
    if (!f) return false;
    std::fwrite(texto.data(), 1, texto.size(), f);
    std::fflush(f);
    std::fclose(f);
    return true;
}

bool GravaLinhaArquivo(const std::string& nome, const std::string& texto) {
    return AnexaTextoArquivo(nome, texto + "\r\n");
}

bool GravaArquivo(const std::string& nome, const std::string& texto) {
    std::FILE* f = std::fopen(nome.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(texto.data(), 1, texto.size(), f) == texto.size();
    return std::fclose(f) == 0 && ok;
}

std::string LeArquivo(const std::string& nome) {
    std::ifstream f(nome, std::ios::binary);
    if (!f) return {};
    // In blocks, not character by character: day files and detail tapes run to megabytes.
    std::string texto;
    char bloco[65536];
    while (f.read(bloco, sizeof bloco) || f.gcount() > 0)
        texto.append(bloco, static_cast<std::size_t>(f.gcount()));
    return texto;
}

// Found whatever its letter case on disk: a folder written as "RFDTemp\" is this one. The
// lookup lists the program folder, so its answer is kept while that folder still exists.
std::string DiretorioTemporarioRFD() {
    static std::mutex trava;
    static std::string programa, pasta;
    const std::string atual = plataforma::CaminhoCurto(plataforma::PastaPrograma());
    std::lock_guard<std::mutex> guarda(trava);
    if (atual != programa || !plataforma::ExistePasta(pasta)) {
        programa = atual;
        pasta = plataforma::PastaNaPasta(atual, "RFDTEMP");
    }
    return pasta;
}

}  // namespace tarvo
