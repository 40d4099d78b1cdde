#include "console/binding/log_dll.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>

namespace belmora {

namespace {

const char* const kSeparador = "----------------";
const char* const kFimDeLinha = "\r\n";

std::mutex& Trava() {
    static std::mutex m;
    return m;
}

std::function<plataforma::DataHora()>& Relogio() {
    static std::function<plataforma::DataHora()> r;
    return r;
}

plataforma::DataHora Agora() {
    const auto& r = Relogio();
    return r ? r() : plataforma::Agora();
}

// Appends one whole record. The caller holds the lock; the file is opened and closed for
// each record, and a new file begins with the separator line.
bool Anexa(const plataforma::DataHora& dia, const std::string& registro) {
    try {
        std::string nome = NomeLogDLL(dia);
        std::error_code ec;
        bool novo = !std::filesystem::exists(nome, ec);
        std::ofstream f(nome, std::ios::binary | std::ios::app);
        if (!f) return false;
        if (novo) f << kSeparador << kFimDeLinha;
        f << registro;
        f.flush();
        return static_cast<bool>(f);
    } catch (...) {
        return false;
    }
}

}  // namespace

std::string NomeLogDLL(const plataforma::DataHora& agora) {
    char nome[40];
    std::snprintf(nome, sizeof nome, "logDLL-%04d%02d%02d.txt", agora.ano % 10000, agora.mes % 100,
                  agora.dia % 100);
    return nome;
}

std::string CarimboLogDLL(const plataforma::DataHora& agora) {
    char texto[32];
    std::snprintf(texto, sizeof texto, "%02d:%02d:%02d:%03d", agora.hora % 100, agora.minuto % 100,
                  agora.segundo % 100, agora.milissegundo % 1000);
    return texto;
}

bool GravaLogDLL(const std::string& chamada, const std::string& valores, int resultado) {
    try {
        std::lock_guard<std::mutex> trava(Trava());
        plataforma::DataHora inicio = Agora();
        std::string registro = CarimboLogDLL(inicio) + " > " + chamada + kFimDeLinha;
        registro += CarimboLogDLL(Agora()) + " > Retorno da DLL: " + std::to_string(resultado) +
                    (resultado == 1 ? " (SUCESSO)" : " (ERRO)") + kFimDeLinha;
        if (resultado == 1) {
            if (!valores.empty()) registro += valores + kFimDeLinha;
            registro += std::string(kSeparador) + kFimDeLinha;
        }
        return Anexa(inicio, registro);
    } catch (...) {
        return false;
    }
}

bool GravaLogRetornoImpressora(int codigo, const std::string& mensagem) {
    try {
        std::lock_guard<std::mutex> trava(Trava());
        plataforma::DataHora inicio = Agora();
        std::string registro =
            CarimboLogDLL(inicio) + " > Tarvo_RetornoImpressora(iCode, strMsg);" + kFimDeLinha;
        registro += "iCode=" + std::to_string(codigo) + kFimDeLinha;
        registro += "strMsg=" + mensagem + kFimDeLinha;
        registro += std::string(kSeparador) + kFimDeLinha;
        return Anexa(inicio, registro);
    } catch (...) {
        return false;
    }
}

void DefineRelogioLogDLL(std::function<plataforma::DataHora()> relogio) {
    std::lock_guard<std::mutex> trava(Trava());
    Relogio() = std::move(relogio);
}

}  // namespace belmora
