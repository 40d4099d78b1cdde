#include "driver/core/porta.h"

#include "driver/core/configuracao.h"
#include "driver/core/erros.h"
#include "driver/core/formatadores.h"
#include "driver/core/registro.h"
#include "platform/relogio.h"

namespace tarvo {

namespace {
// Read size and wait of one LePorta, as the port's time-outs were set.
constexpr std::size_t kTamanhoLeitura = 1024;
// How long AguardaCTS waits for the printer to raise CTS.
constexpr int kEsperaCtsMs = 2000;
// Pause between two looks at CTS while waiting (the line cannot be waited on with poll).
constexpr int kIntervaloCtsMs = 10;
// After an exchange that lost its reply: how long the line must stay quiet before the next
// request, and the most that wait may last on a line that keeps sending.
constexpr std::int64_t kQuietoMs = 500;
constexpr std::int64_t kMaximoQuietoMs = 3000;
}  // namespace

Slot& SlotDaPorta(int slot) {
    static Slot slots[2];
    return slots[slot == SlotBalanca ? 1 : 0];
}

bool AbrePorta(int slot) {
    Slot& s = SlotDaPorta(slot);
    if (slot == SlotImpressora) {
        s.dispositivo = Config().PortaDispositivo;
        s.baud = Config().PortaBaud;
    }
    Canal& canal = CanalDoSlot(slot);
    if (canal.Aberto()) return true;
    bool ok = canal.Abre(s.dispositivo, LinhaDoSlot(slot));
    GravaVersaoLog();
    if (ok)
        GravaLog("<<Porta (", s.dispositivo, ")(", s.baud, ") Aberta com sucesso>>");
    else
        GravaLog("<<Falha na Abertura da Porta (", s.dispositivo, ") a ", s.baud, ">>");
    return ok;
}

Canal& CanalDoSlot(int slot) {
    Slot& s = SlotDaPorta(slot);
    if (!s.canal) s.canal = NovoCanal();
    return *s.canal;
}

Canal& CanalDosArquivos() {
    static std::unique_ptr<Canal> canal = NovoCanalArquivos();
    return *canal;
}

plataforma::ConfiguracaoLinha LinhaDoSlot(int slot) {
    Slot& s = SlotDaPorta(slot);
    const std::uint8_t familia = Config().FamiliaModelo;
    plataforma::ConfiguracaoLinha linha;
    linha.bitsDados = 8;
    linha.bitsParada = 1;
    if (slot == SlotBalanca) {
        linha.baud = ParaInteiro(s.baud, 9600);
        linha.paridade = 'n';
        linha.controleRtsCts = false;
    } else if (familia == FamiliaNumerica1 || familia == FamiliaNumerica2) {
        linha.baud = 9600;
        linha.paridade = 'n';
        linha.controleRtsCts = true;
    } else if (familia == FamiliaKeltSerial) {
        linha.baud = ParaInteiro(s.baud, 9600);
        linha.paridade = 'n';
        linha.controleRtsCts = false;
    } else {
        linha.baud = ParaInteiro(s.baud, 115200);
        linha.paridade = 'e';
        linha.controleRtsCts = true;
    }
    return linha;
}

bool TestaCTS(int slot) {
    return CanalDoSlot(slot).Cts();
}

bool AguardaCTS() {
    if (!Config().ChecaCTS) return true;
    const std::int64_t limite = plataforma::Monotonico() + kEsperaCtsMs;
    bool cts = TestaCTS(SlotImpressora);
    while (!cts && plataforma::Monotonico() <= limite) {
        plataforma::Dorme(kIntervaloCtsMs);
        cts = TestaCTS(SlotImpressora);
    }
    return cts;
}

void EnviaTexto(int slot, const std::string& texto) {
    CanalDoSlot(slot).Escreve(texto);
}

void EnviaBytes(int slot, const std::string& texto, std::size_t n) {
    CanalDoSlot(slot).Escreve(std::string_view(texto).substr(0, n));
}

std::string LePorta(int slot, int prazoMs) {
    std::string r;
    CanalDoSlot(slot).Le(r, kTamanhoLeitura, plataforma::Monotonico() + std::max(prazoMs, 0));
    return r;
}

void FechaPorta(int slot) {
    CanalDoSlot(slot).Fecha();
}

bool PreparaPedido(int slot) {
    Slot& s = SlotDaPorta(slot);
    Canal& canal = CanalDoSlot(slot);
    if (s.respostaPendente) {
        const std::int64_t limite = plataforma::Monotonico() + kMaximoQuietoMs;
        std::int64_t quieto = plataforma::Monotonico() + kQuietoMs;
        std::string descartado;
        for (;;) {
            if (quieto > limite) {
                GravaLog("Linha sem sil\xEAncio: pedido n\xE3o enviado");
                return false;
            }
            descartado.clear();
            const FimLeitura fim = canal.Le(descartado, kTamanhoLeitura, quieto);
            if (fim == FimLeitura::Prazo) break;
            if (fim == FimLeitura::Fim) break;  // the request will find the link gone
            if (LogLigado()) GravaLog("Resposta atrasada descartada:[ ", HexaString(descartado), " ]");
            quieto = plataforma::Monotonico() + kQuietoMs;
        }
        s.respostaPendente = false;
    }
    canal.Descarta();
    return true;
}

void MarcaRespostaPendente(int slot) {
    SlotDaPorta(slot).respostaPendente = true;
}

void FechaTodasAsPortas() {
    FechaPorta(SlotImpressora);
    FechaPorta(SlotBalanca);
}

std::string NomeDispositivoCom(const std::string& nome) {
    int numero = ParaInteiro(nome.size() > 3 ? nome.substr(3, 2) : std::string(), 1);
    return "\\\\.\\COM" + std::to_string(numero);
}

int AbrePortaConfigurada() {
    RelePortaConfigurada();
    if (AbrePorta(SlotImpressora)) {
        Erro().EstadoSt2 = 0;
        DefineErro(Falha::Nenhuma);
        FechaPorta(SlotImpressora);
        return 1;
    }
    DefineErro(Falha::AberturaPorta);
    return -5;
}

}  // namespace tarvo
