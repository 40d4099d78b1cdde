#include "driver/fiscalfiles/intervalo.h"

#include <fstream>

#include "driver/core/erros.h"
#include "driver/core/formatadores.h"
#include "driver/core/registro.h"

namespace tarvo::intervalo {

const char* const kDataInexistente = "ErroCMDDataInvalida - Data solicitada inexistente.";

namespace {

bool Valida(int ano, int mes, int dia) {
    return ano >= 1900 && mes >= 1 && mes <= 12 && dia >= 1 && dia <= 31;
}

std::string Chave(int ano, int mes, int dia) {
    return PreencheZerosEsquerda(std::to_string(ano), 4) + PreencheZerosEsquerda(std::to_string(mes), 2) +
           PreencheZerosEsquerda(std::to_string(dia), 2);
}

// Columns of the first and last CRZ in an E01 line (0-based, six digits each).
constexpr std::size_t kColunaCRZInicial = 115, kColunaCRZFinal = 121;

}  // namespace

std::string ChaveData(const std::string& texto) {
    const std::string t = Apara(texto);
    const std::string d = SomenteNumeros(t);
    if (d.size() != t.size() && t.size() == 10 && t[2] == '/' && t[5] == '/' && d.size() == 8) {
        const int dia = std::stoi(d.substr(0, 2)), mes = std::stoi(d.substr(2, 2)),
                  ano = std::stoi(d.substr(4));
        return Valida(ano, mes, dia) ? Chave(ano, mes, dia) : std::string();
    }
    if (d.size() != t.size()) return {};
    if (d.size() == 8) {
        // yyyymmdd when it reads as such, else ddmmyyyy.
        const int ano = std::stoi(d.substr(0, 4)), mes = std::stoi(d.substr(4, 2)),
                  dia = std::stoi(d.substr(6));
        if (Valida(ano, mes, dia)) return Chave(ano, mes, dia);
        const int dia2 = std::stoi(d.substr(0, 2)), mes2 = std::stoi(d.substr(2, 2)),
                  ano2 = std::stoi(d.substr(4));
        return Valida(ano2, mes2, dia2) ? Chave(ano2, mes2, dia2) : std::string();
    }
    if (d.size() == 6) {
        const int dia = std::stoi(d.substr(0, 2)), mes = std::stoi(d.substr(2, 2)),
                  ano = 2000 + std::stoi(d.substr(4));
        return Valida(ano, mes, dia) ? Chave(ano, mes, dia) : std::string();
    }
    return {};
}

bool DatasInvertidas(const std::string& inicio, const std::string& fim) {
    const std::string a = ChaveData(inicio), b = ChaveData(fim);
    if (a.empty() || b.empty() || a <= b) return false;
    DefineErro(Falha::DataInicialPosterior);
    GravaLog("Intervalo recusado: ", inicio, " a ", fim, " - ", Erro().UltimaMensagem);
    return true;
}

bool ContadoresInvertidos(const std::string& primeiro, const std::string& ultimo) {
    const std::string a = Apara(primeiro), b = Apara(ultimo);
    if (a.empty() || b.empty() || a.size() > 9 || b.size() > 9 || !EhNumerico(a) || !EhNumerico(b) ||
        std::stol(a) <= std::stol(b))
        return false;
    DefineErro(Falha::ReducaoInicialPosterior);
    GravaLog("Intervalo recusado: ", primeiro, " a ", ultimo, " - ", Erro().UltimaMensagem);
    return true;
}

int InformaSemReducao() {
    DefineErro(Falha::DataInexistente);
    GravaLog("Nenhuma Redu\xE7\xE3o Z no intervalo: ", kDataInexistente);
    return 0;
}

bool ArquivoTemReducao(const std::string& arquivo) {
    std::ifstream f(arquivo, std::ios::binary);
    std::string linha;
    while (std::getline(f, linha)) {
        if (linha.compare(0, 3, "E01") != 0) continue;
        if (linha.size() < kColunaCRZFinal + 6) return false;
        const std::string crz = linha.substr(kColunaCRZInicial, 12);
        return crz.find_first_not_of('0') != std::string::npos;
    }
    return false;
}

}  // namespace tarvo::intervalo
