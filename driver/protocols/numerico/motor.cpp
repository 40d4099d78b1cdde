#include "driver/protocols/numerico/motor.h"

#include <cctype>
#include <iterator>

#include "driver/core/canal.h"
#include "driver/core/configuracao.h"
#include "driver/core/erros.h"
#include "driver/core/exclusao.h"
#include "driver/core/formatadores.h"
#include "driver/core/porta.h"
#include "driver/core/registro.h"
#include "platform/relogio.h"

namespace tarvo::numerico {

namespace {

constexpr char STX = 0x02, ETX = 0x03, ESC = 0x1B;

// Commands that print long reports wait longer for their reply.
struct TempoComando {
    int numero;
    int segundos;
};
constexpr TempoComando kTemposLongos[] = {
    {3, 60},   // authentication: the operator inserts the slip
    {15, 60},  // X reading
    {16, 60},  // Z reduction
    {8, 20},   // closing a receipt
    {14, 20},  // cancelling a receipt
};
constexpr int kTempoPadrao = 10;

// What one read asks for, and the most a reply may grow to before its ETX: a printer that
// streams bytes without ever ending a frame cannot make the library hold more than this.
constexpr std::size_t kTamanhoLeitura = 1024;
constexpr std::size_t kMaximoResposta = 16 * 1024;

// Position of the code (and of a reading's value) after the STX, and the width of the
// status reading's value.
constexpr std::size_t kDesvioCodigo = 6;
constexpr std::size_t kTamanhoStatus = 10;
constexpr int kComandoStatus = 32;

const char* const kPrefixoErroEcf = "Erro retornado pelo ECF: ";

std::string& Valor() {
    static std::string v;
    return v;
}

// Number of a command text: its first two characters when both are digits, else -1.
int NumeroDoComando(const std::string& comando) {
    if (comando.size() < 2 || !std::isdigit(static_cast<unsigned char>(comando[0])) ||
        !std::isdigit(static_cast<unsigned char>(comando[1])))
        return -1;
    return (comando[0] - '0') * 10 + (comando[1] - '0');
}

bool Leitura(int numero) {
    return numero >= 30 && numero <= 34;
}

// The reply's two-character code as a signed decimal number ("00", "18", "-5", " 8"); a
// code that is no such number has no text and keeps its characters in the message.
constexpr int kCodigoIlegivel = 9999;
int CodigoDecimal(const std::string& c) {
    std::size_t i = c.find_first_not_of(' ');
    if (i == std::string::npos) return kCodigoIlegivel;
    bool negativo = c[i] == '-';
    if (c[i] == '-' || c[i] == '+') ++i;
    if (i >= c.size()) return kCodigoIlegivel;
    int v = 0;
    for (; i < c.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(c[i]))) return kCodigoIlegivel;
        v = v * 10 + (c[i] - '0');
    }
    return negativo ? -v : v;
}

// Keeps the bytes waiting for a frame bounded: noise before any STX is dropped, and a frame
// that outgrows the largest reply gives way to the last STX in it.
void LimitaResposta(std::string& r) {
    std::size_t stx = r.find(STX);
    if (stx == std::string::npos) {
        r.clear();
        return;
    }
    if (stx > 0) r.erase(0, stx);
    if (r.size() > kMaximoResposta) {
        std::size_t ultimo = r.rfind(STX);
        r.erase(0, ultimo == 0 ? r.size() : ultimo);
    }
}

// True when an ETX came with no STX before it.
bool FimSemInicio(const std::string& r) {
    const std::size_t etx = r.find(ETX);
    return etx != std::string::npos && etx < r.find(STX);
}

}  // namespace

const std::string& ValorRespostaNum() {
    return Valor();
}

int TempoLimiteNum(int numero) {
    for (const TempoComando& t : kTemposLongos)
        if (t.numero == numero) return t.segundos;
    return kTempoPadrao;
}

std::string MensagemErroNum(int codigo, const std::string& caracteres) {
    if (const char* texto = TextoDoCodigo(Tabela::Numerica, codigo)) return texto;
    return kPrefixoErroEcf + caracteres;
}

LeituraResposta AnalisaRespostaNum(const std::string& bytes, int numeroComando) {
    LeituraResposta r;
    std::size_t inicio = bytes.find(STX);
    if (inicio == std::string::npos) return r;
    std::size_t etx = bytes.find(ETX, inicio);
    if (etx == std::string::npos) return r;
    r.completa = true;
    r.fim = etx + 1;
    // A later STX before the ETX starts the frame over.
    std::size_t p = bytes.rfind(STX, etx);
    const std::string quadro = bytes.substr(p, etx - p);  // STX up to the ETX, without it
    if (quadro.size() < kDesvioCodigo + 2) return r;      // no room for marker and code
    r.codigo = quadro.substr(kDesvioCodigo, 2);
    const char marca = quadro[1];
    const bool leitura = Leitura(numeroComando);
    r.valida = true;
    r.sucesso = marca == '+' || (leitura && marca == 'S');
    if (r.sucesso && leitura) {
        if (numeroComando == kComandoStatus) {
            if (quadro.size() < kDesvioCodigo + kTamanhoStatus) {
                r.valida = r.sucesso = false;
                return r;
            }
            r.valor = quadro.substr(kDesvioCodigo, kTamanhoStatus);
        } else {
            r.valor = quadro.substr(kDesvioCodigo);
        }
    }
    return r;
}

int EnviaComandoNum(const std::string& comando) {
    if (ComandoExclusivo::Reentrante()) {
        // A command of this thread is on the wire (a host callback re-entered the library):
        // refuse it rather than claim a success that sent nothing.
        return RecusaReentrante();
    }
    ComandoExclusivo exclusivo;  // other threads wait here for their turn
    exclusivo.NoFio();
    ZeraStatus();
    Valor().clear();

    const int numero = NumeroDoComando(comando);
    const bool leitura = Leitura(numero);
    Canal& canal = CanalDoSlot(SlotImpressora);
    struct Fechamento {
        Canal& c;
        ~Fechamento() { c.Fecha(); }
    } fechamento{canal};

    const std::string& porta = Config().PortaDispositivo;
    GravaVersaoLog();
    if (!canal.Abre(porta, LinhaDoSlot(SlotImpressora))) {
        GravaLog("<<Falha na Abertura da Porta (", porta, ")>>");
        DefineErro(Falha::AberturaPorta);
        return -5;
    }
    std::string recebido;
    LeituraResposta r;
    // Bytes left from an earlier command, or a reply that came after its command gave up
    // waiting, are no reply to this one.
    if (PreparaPedido(SlotImpressora)) {
        const std::string quadro = std::string{STX, ESC, '$'} + comando + ETX;
        GravaLog(quadro);
        if (canal.Escreve(quadro)) {
            const std::int64_t prazo =
                plataforma::Monotonico() + static_cast<std::int64_t>(TempoLimiteNum(numero)) * 1000;
            while (!r.completa) {
                FimLeitura fim = canal.Le(recebido, kTamanhoLeitura, prazo);
                if (fim != FimLeitura::Dados) break;
                r = AnalisaRespostaNum(recebido, numero);
                if (r.completa) break;
                // An ETX with no STX before it ends a frame that never began: nothing that
                // follows can be this command's reply.
                if (FimSemInicio(recebido)) break;
                LimitaResposta(recebido);
                // A printer that never stops sending cannot hold the caller past the time-out.
                if (plataforma::Monotonico() >= prazo) break;
            }
        }
    }
    if (!recebido.empty()) GravaLog(recebido.substr(0, r.completa ? r.fim : recebido.size()));

    if (!r.completa || !r.valida) {
        // The reply may still come, or the rest of it: the next command lets it pass first.
        MarcaRespostaPendente(SlotImpressora);
        DefineErro(Falha::Comunicacao);
        GravaLog(Erro().UltimaMensagem);
        return 0;
    }
    if (r.sucesso) {
        // A success still carries the printer's code: a command that is not a reading keeps
        // it as the last error ("43", still running), with no message.
        const int codigo = leitura ? 0 : CodigoDecimal(r.codigo);
        DefineErro(codigo == kCodigoIlegivel ? 0 : codigo, "");
        if (leitura) Valor() = r.valor;
        return 1;
    }
    const int codigo = CodigoDecimal(r.codigo);
    DefineErro(codigo, MensagemErroNum(codigo, r.codigo));
    Erro().EstadoSt2 = 1;
    GravaLog("---[", Erro().UltimaMensagem, "]---");
    return 0;
}

}  // namespace tarvo::numerico
