#include "driver/protocols/balanca/balanca.h"

#include <mutex>

#include "driver/core/canal.h"
#include "driver/core/formatadores.h"
#include "driver/core/porta.h"
#include "driver/core/registro.h"
#include "platform/relogio.h"

namespace tarvo::balanca {

namespace {

constexpr char ENQ = '\x05';
constexpr char STX = '\x02';
constexpr char ETX = '\x03';
constexpr int kTentativas = 3;
constexpr std::int64_t kEsperaMs = 1000;
// Most bytes one try keeps: a scale's answer is a few bytes, a line full of noise must not
// grow without end.
constexpr std::size_t kMaximoResposta = 1024;

std::mutex& TravaBalanca() {
    static std::mutex m;
    return m;
}

// One try: ENQ, then what arrives for up to 1 s until the text ends in ETX.
bool Tentativa(Canal& canal, std::string& texto) {
    texto.clear();
    if (!canal.Escreve(std::string(1, ENQ))) return false;
    const std::int64_t limite = plataforma::Monotonico() + kEsperaMs;
    while (texto.size() < kMaximoResposta && (texto.empty() || texto.back() != ETX)) {
        if (canal.Le(texto, kMaximoResposta - texto.size(), limite) != FimLeitura::Dados) break;
    }
    if (LogLigado()) {
        GravaLog("Pacote Balanca ASCII:[ ", texto, " ]");
        GravaLog("Pacote Balanca HEX  :[ ", HexaString(texto), " ]");
    }
    return !texto.empty() && texto.back() == ETX;
}

}  // namespace

int VelocidadeBalanca(const std::string& texto, bool* reconhecida) {
    int v = 9600;
    bool ok = true;
    if (texto == "1200" || texto == "1") v = 1200;
    else if (texto == "2400" || texto == "2") v = 2400;
    else if (texto == "4800" || texto == "4") v = 4800;
    else ok = texto == "9600";
    if (reconhecida) *reconhecida = ok;
    return v;
}

std::string PayloadBalanca(const std::string& resposta) {
    if (resposta.empty()) return {};
    const std::size_t stx = resposta.find(STX);
    const std::size_t inicio = stx == std::string::npos ? 0 : stx + 1;
    const std::size_t fim = resposta.size() - 1;  // the final ETX
    return inicio < fim ? resposta.substr(inicio, fim - inicio) : std::string();
}

int LeBalanca(const std::string& porta, const std::string& velocidade) {
    std::lock_guard<std::mutex> trava(TravaBalanca());
    Slot& slot = SlotDaPorta(SlotBalanca);
    slot.dispositivo = NomeDispositivoCom(porta);
    GravaVersaoLog();
    bool reconhecida = true;
    slot.baud = std::to_string(VelocidadeBalanca(velocidade, &reconhecida));
    if (!reconhecida && !velocidade.empty())
        GravaLog("Velocidade da balanca nao aceita (" + velocidade + "): usada " + slot.baud);

    if (!AbrePorta(SlotBalanca)) {
        DefineErro(-5, "Erro Abertura Porta Serial");
        return -5;
    }
    Canal& canal = CanalDoSlot(SlotBalanca);
    canal.Descarta();
    std::string texto;
    bool completa = false;
    for (int i = 0; i < kTentativas && !completa; ++i) completa = Tentativa(canal, texto);
    FechaPorta(SlotBalanca);

    if (!completa) {
        DefineErro(-1, "Falha de comunica\xE7\xE3o");
        GravaLog("Falha de comunica\xE7\xE3o");
        return 0;
    }
    Erro().TextoRetorno = PayloadBalanca(texto);
    const std::string& payload = Erro().TextoRetorno;
    if (payload == "IIIII") {
        Erro().UltimaMensagem = "Peso inst\xE1vel";
        return -34;
    }
    if (payload == "SSSSS") {
        Erro().UltimaMensagem = "Peso excedido";
        return -35;
    }
    if (payload == "NNNNN") {
        Erro().UltimaMensagem = "Peso negativo";
        return -33;
    }
    Erro().UltimaMensagem.clear();
    return 1;
}

}  // namespace tarvo::balanca
