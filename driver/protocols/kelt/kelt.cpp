#include "driver/protocols/kelt/kelt.h"

#include "driver/core/canal.h"
#include "driver/core/configuracao.h"
#include "driver/core/erros.h"
#include "driver/core/estado.h"
#include "driver/core/exclusao.h"
#include "driver/core/formatadores.h"
#include "driver/core/porta.h"
#include "driver/core/registro.h"
#include "driver/protocols/kelt/paralela.h"
#include "platform/relogio.h"

namespace tarvo::kelt {

const char* const kTagKelt = "Funcoes da Impressora Kelt";

namespace {

// How long a serial printer has to raise CTS, and to answer a status request.
constexpr std::int64_t kEsperaCtsMs = 2000;
constexpr std::int64_t kEsperaStatusMs = 2000;
// How long the line must stay quiet after a status answer for it to count as the answer.
constexpr std::int64_t kSobraMs = 20;
// Pause between two looks at CTS (the line cannot be waited on with poll()).
constexpr int kIntervaloCtsMs = 10;
// Most bytes of a status answer kept (the first one decides).
constexpr std::size_t kMaximoResposta = 256;

bool FamiliaKelt() {
    const std::uint8_t f = Config().FamiliaModelo;
    return f == FamiliaKeltParalela || f == FamiliaKeltSerial;
}

int Offline() {
    DefineErro(Falha::ImpressoraOffline);
    GravaLog("[ IMPRESSORA OFFLINE OU DESLIGADA ]");
    return 0;
}

void LogPacote(const std::string& rotuloAscii, const std::string& rotuloHex, const std::string& texto) {
    if (!LogLigado()) return;
    GravaVersaoLog();
    GravaLog(rotuloAscii, texto, " ]");
    GravaLog(rotuloHex, HexaString(texto), " ]");
}

void LogPortaUtilizada() {
    GravaLog("<<Porta (", Config().PortaDispositivo, ") utilizada >>");
}

std::string DoisHex(unsigned char c) {
    static const char* hex = "0123456789ABCDEF";
    return {hex[c >> 4], hex[c & 15]};
}

int SemInpOut() {
    DefineErro(Falha::SemInpOut);
    GravaLog(Erro().UltimaMensagem);
    return 0;
}

// Opens the printer's serial port with family 5's settings; -5 when it does not open.
int AbreSerial() {
    if (AbrePorta(SlotImpressora)) return 1;
    DefineErro(Falha::AberturaPorta);
    return -5;
}

bool EsperaCts() {
    Canal& canal = CanalDoSlot(SlotImpressora);
    const std::int64_t limite = plataforma::Monotonico() + kEsperaCtsMs;
    while (!canal.Cts()) {
        if (plataforma::Monotonico() >= limite) return false;
        plataforma::Dorme(kIntervaloCtsMs);
    }
    return true;
}

// The packet, with the command lock already held.
int EnviaPacoteTravado(const std::string& texto, bool esperaCts) {
    RelePortaConfigurada();
    if (Config().FamiliaModelo == FamiliaKeltParalela) {
        LogPortaUtilizada();
        if (!CarregaInpOut()) return SemInpOut();
        for (unsigned char c : texto)
            if (!EnviaByteLpt(c)) return Offline();
        LogPacote("Pacote Kelt ASCII(LPT):[ ", "Pacote Kelt HEX(LPT):  [ ", texto);
        DefineErro(Falha::Nenhuma);
        return 1;
    }
    int resultado = AbreSerial();
    if (resultado != 1) return resultado;
    Canal& canal = CanalDoSlot(SlotImpressora);
    // The answer read next (a status request) is to this packet: what is pending, or what a
    // request that got no answer in time still brings, is dropped first.
    if (Estado().KeltMantemPortaAberta && !PreparaPedido(SlotImpressora)) {
        resultado = Offline();
    } else if (esperaCts && !EsperaCts()) {
        resultado = Offline();
    } else if (!canal.Escreve(texto)) {
        resultado = Offline();  // the line did not take the bytes
    } else {
        LogPacote("Pacote Kelt ASCII:[ ", "Pacote Kelt HEX:  [ ", texto);
        DefineErro(Falha::Nenhuma);
        resultado = 1;
    }
    if (!Estado().KeltMantemPortaAberta) FechaPorta(SlotImpressora);
    return resultado;
}

// Runs `corpo` holding the command lock: another thread's command waits its turn.
template <typename F>
int ComTrava(F&& corpo) {
    if (ComandoExclusivo::Reentrante()) return RecusaReentrante();
    ComandoExclusivo exclusivo;
    exclusivo.NoFio();
    return corpo();
}

}  // namespace

int RecusaValor(const char* exportacao) {
    if (!FamiliaKelt()) return InformaComandoInexistente(kTagKelt);
    DefineErro(Falha::ValorForaDaFaixa, exportacao);
    GravaLog("---[", Erro().UltimaMensagem, "]---");
    return 0;
}

int EnviaPacoteKelt(const std::string& texto, bool esperaCts) {
    if (!FamiliaKelt()) return InformaComandoInexistente(kTagKelt);
    return ComTrava([&] { return EnviaPacoteTravado(texto, esperaCts); });
}

int EnviaComandoKelt(const std::string& bytes) {
    if (!FamiliaKelt()) return InformaComandoInexistente(kTagKelt);
    return ComTrava([&] {
        RelePortaConfigurada();
        if (Config().FamiliaModelo == FamiliaKeltParalela) {
            LogPortaUtilizada();
            if (!CarregaInpOut()) return SemInpOut();
            for (std::size_t i = 0; i < bytes.size(); ++i) {
                const auto c = static_cast<unsigned char>(bytes[i]);
                if (LogLigado()) GravaLog("[", std::to_string(i), "]=", DoisHex(c));
                if (!EnviaByteLpt(c)) return Offline();
            }
        } else {
            int resultado = AbreSerial();
            if (resultado != 1) return resultado;
            const bool escreveu = CanalDoSlot(SlotImpressora).Escreve(bytes);
            FechaPorta(SlotImpressora);  // always, whatever the keep-open flag
            if (!escreveu) return Offline();
        }
        LogPacote("Pacote Kelt ASCII(LPT):[ ", "Pacote Kelt HEX(LPT):  [ ", bytes);
        DefineErro(Falha::Nenhuma);
        return 1;
    });
}

int LeStatusKelt(int tipo) {
    return ComTrava([&]() -> int {
        if (Config().FamiliaModelo == FamiliaKeltSerial) {
            const std::string pedido =
                tipo == StatusGaveta ? std::string("\x10\x04\x01", 3) : std::string("\x10\x04\x04", 3);
            Estado().KeltMantemPortaAberta = true;
            int enviado = EnviaPacoteTravado(pedido, false);
            Estado().KeltMantemPortaAberta = false;
            if (enviado != 1) {
                // The port did not open (-5 at once) or the request did not go out.
                FechaPorta(SlotImpressora);
                return enviado;
            }
            std::string resposta;
            const std::int64_t limite = plataforma::Monotonico() + kEsperaStatusMs;
            FimLeitura fim = FimLeitura::Prazo;
            while (resposta.empty() && fim != FimLeitura::Fim && plataforma::Monotonico() < limite)
                fim = CanalDoSlot(SlotImpressora).Le(resposta, kMaximoResposta, limite);
            if (!resposta.empty()) {
                // The answer is one byte: whatever else comes with it or right after it is
                // not an answer of this printer to this request (noise, a babbling line).
                const std::int64_t sobra = plataforma::Monotonico() + kSobraMs;
                CanalDoSlot(SlotImpressora).Le(resposta, kMaximoResposta, sobra);
            }
            FechaPorta(SlotImpressora);
            if (LogLigado() && !resposta.empty()) {
                GravaLog("Pacote Rec  ASCII:[ ", resposta, " ]");
                GravaLog("Pacote Rec  HEX:  [ ", HexaString(resposta), " ]");
            }
            if (resposta.size() != 1) {
                MarcaRespostaPendente(SlotImpressora);
                return Offline();
            }
            const auto b = static_cast<unsigned char>(resposta[0]);
            switch (tipo) {
                case StatusGaveta:
                    return (b & 0x04) ? 1 : 2;
                case StatusPoucoPapel:
                    return (b & 0x04) ? 2 : 1;
                default:
                    return (b & 0x20) ? 2 : 1;
            }
        }
        const std::uint8_t b = LePortaLpt(Config().PortaStatus);
        if (LogLigado()) GravaLog("LeituraPorta:", std::to_string(b), " ", DoisHex(b));
        switch (tipo) {
            case StatusOnLine:
                if (!(b & 0x80) || (b & 0x20) || !(b & 0x10)) return Offline();
                return 1;
            case StatusFimPapel:
                return ((b & 0x20) || !(b & 0x10)) ? 2 : 1;
            default:
                return 0;  // no meaning on the parallel port
        }
    });
}

int VerificaOnLineKelt() {
    if (Config().FamiliaModelo != FamiliaKeltSerial) return LeStatusKelt(StatusOnLine);
    return ComTrava([] {
        RelePortaConfigurada();
        int resultado = AbreSerial();
        if (resultado != 1) return resultado;
        resultado = CanalDoSlot(SlotImpressora).Cts() ? 1 : Offline();
        FechaPorta(SlotImpressora);
        return resultado;
    });
}

}  // namespace tarvo::kelt
