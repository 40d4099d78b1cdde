#include "driver/protocols/balanca/balanca.h"

#include <mutex>

#include "driver/core/canal.h"
#include "driver/core/erros.h"
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
    // Answers that came together: the last one is the answer to the last request, the ones
    // before it are late answers to earlier requests.
    const std::size_t anterior =
        texto.size() > 1 ? texto.find_last_of(ETX, texto.size() - 2) : std::string::npos;
    if (!texto.empty() && texto.back() == ETX && anterior != std::string::npos) texto.erase(0, anterior + 1);
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
    if (texto == "1200" || texto == "1")
        v = 1200;
    else if (texto == "2400" || texto == "2")
        v = 2400;
    else if (texto == "4800" || texto == "4")
        v = 4800;
    else
        ok = texto == "9600";
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

Leitura LeBalanca(const std::string& porta, const std::string& velocidade) {
    std::lock_guard<std::mutex> trava(TravaBalanca());
    Slot& slot = SlotDaPorta(SlotBalanca);
    slot.dispositivo = NomeDispositivoCom(porta);
    GravaVersaoLog();
    bool reconhecida = true;
    slot.baud = std::to_string(VelocidadeBalanca(velocidade, &reconhecida));
    if (!reconhecida && !velocidade.empty())
        GravaLog("Velocidade da balanca nao aceita (" + velocidade + "): usada " + slot.baud);

    if (!AbrePorta(SlotBalanca)) return {-5, {}};
    Canal& canal = CanalDoSlot(SlotBalanca);
    std::string texto;
    bool completa = false;
    int enviados = 0;
    for (int i = 0; i < kTentativas && !completa; ++i) {
        // A try that got part of an answer leaves the rest on the line: it is dropped with
        // the line's pending input, so that the weight read is one sent after a request.
        if (!PreparaPedido(SlotBalanca)) break;
        ++enviados;
        completa = Tentativa(canal, texto);
        if (!completa && !texto.empty()) MarcaRespostaPendente(SlotBalanca);
    }
    // Every request the scale did not answer in its own try may still be answered: the next
    // reading first lets those answers pass.
    if (!completa || enviados > 1) MarcaRespostaPendente(SlotBalanca);
    FechaPorta(SlotBalanca);

    if (!completa) {
        GravaLog(TextoFalha(Falha::Comunicacao));
        return {0, {}};
    }
    Leitura l{1, PayloadBalanca(texto)};
    if (l.peso == "IIIII")
        l.resultado = -34;
    else if (l.peso == "SSSSS")
        l.resultado = -35;
    else if (l.peso == "NNNNN")
        l.resultado = -33;
    return l;
}

void InformaLeitura(const Leitura& l) {
    switch (l.resultado) {
        case -5:
            DefineErro(Falha::AberturaPorta);
            return;
        case 0:
            DefineErro(Falha::Comunicacao);
            return;
        case -34:
            DefineMensagem(Falha::PesoInstavel);
            break;
        case -35:
            DefineMensagem(Falha::PesoExcedido);
            break;
        case -33:
            DefineMensagem(Falha::PesoNegativo);
            break;
        default:
            Erro().UltimaMensagem.clear();
            break;
    }
    Erro().TextoRetorno = l.peso;
}

}  // namespace tarvo::balanca
