#include "driver/protocols/familia0/parametros.h"

#include <algorithm>

#include "driver/core/canal.h"
#include "driver/core/configuracao.h"
#include "driver/core/erros.h"
#include "driver/core/estado.h"
#include "driver/core/exclusao.h"
#include "driver/core/exportacao.h"
#include "driver/core/formatadores.h"
#include "driver/core/porta.h"
#include "driver/core/registro.h"
#include "driver/protocols/familias.h"
#include "platform/pastas.h"
#include "platform/relogio.h"

namespace tarvo {

namespace {

// Frames of 256 characters or more go out in two writes: the first 255, then the rest,
// as the printers' input buffer expects.
constexpr std::size_t kPrimeiraParte = 255;
// Time-outs of the long-running commands, in seconds.
constexpr int kTempoCmc7 = 40;
constexpr int kTempoFitaDetalhe = 60;
constexpr int kTempoLeImpressao = 40;
// A "}"-ended text that is not a whole frame is taken after this much quiet on the line.
constexpr std::int64_t kQuietoMs = 100;
// The longest reply taken: anything longer is a babbling line, not a printer's answer.
constexpr std::size_t kMaximoResposta = 64 * 1024;
// The longest command sent (its word and parameters).
constexpr std::size_t kMaximoComando = 16 * 1024;

int UltimoDiaDoMes(int mes, int ano) {
    static const int dias[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (mes == 2 && ((ano % 4 == 0 && ano % 100 != 0) || ano % 400 == 0)) return 29;
    return mes >= 1 && mes <= 12 ? dias[mes - 1] : 31;
}

// The text after `chave` in the data (searched in upper case) up to `fim` (or the end of
// the data when `ateOFim`); empty when the key is missing or, without `ateOFim`, when no
// end follows.
std::string ValorApos(const std::string& dados, const std::string& maiusculas, const std::string& chave,
                      char fim, bool ateOFim) {
    std::size_t p = maiusculas.find(chave);
    if (p == std::string::npos) return {};
    p += chave.size();
    std::size_t f = dados.find(fim, p);
    if (f == std::string::npos) return ateOFim ? dados.substr(p) : std::string();
    return dados.substr(p, f - p);
}

enum class Desfecho { Resposta, SemResposta, SemCts, Caiu, Excesso };

// Bytes asked of the link in one read.
constexpr std::size_t kTamanhoLeitura = 4096;

// Where the first whole frame of `t` lies: it ends at a "}" preceded by ";" and a length,
// and starts at the "{" that the length points back to, so that bytes before it (noise,
// a stray "{") and a "}" or ";" inside a text never mislead the cut.
struct Trecho {
    std::size_t inicio = std::string::npos, fim = std::string::npos;
    bool achou() const { return fim != std::string::npos; }
};
Trecho PrimeiroQuadro(const std::string& t) {
    for (std::size_t f = t.find('}'); f != std::string::npos; f = t.find('}', f + 1)) {
        // The ";" before the length lies at most 10 characters back (9 digits): a text full
        // of "}" costs a few steps per "}", never a search back through the whole text.
        std::size_t pv = std::string::npos;
        for (std::size_t k = f; k > 0 && f - k < 10; --k)
            if (t[k - 1] == ';') {
                pv = k - 1;
                break;
            }
        if (pv == std::string::npos || pv + 1 >= f) continue;
        const std::string tamanho = t.substr(pv + 1, f - pv - 1);
        if (!EhNumerico(tamanho)) continue;
        const std::size_t n = static_cast<std::size_t>(std::stoul(tamanho));
        if (n == 0 || n > pv || t[pv - n] != '{') continue;
        return {pv - n, f};
    }
    return {};
}

// Packet number of a frame (the text between "{" and the first ";").
std::string PacoteDoQuadro(const std::string& quadro) {
    const std::size_t pv = quadro.find(';');
    return pv == std::string::npos ? std::string() : quadro.substr(1, pv - 1);
}

// Sends the frame and waits for its reply, on whatever link the printer is reached through.
// Pending input is dropped first. The reply is the first whole frame with the packet sent;
// a whole frame of another packet (a late reply to an earlier command) is dropped and the
// wait goes on; a text that ends in "}" but is not a whole frame is taken once the line has
// been quiet for kQuietoMs. End of file or an I/O error ends the wait at once.
Desfecho Troca(Canal& canal, const std::string& quadro, int pacote, int tempoLimite, std::string& resposta) {
    const std::int64_t limite = plataforma::Monotonico() + static_cast<std::int64_t>(tempoLimite) * 1000;
    ContagemTrocas& contagem = TrocasDestaThread();
    ++contagem.trocas;
    resposta.clear();
    canal.Descarta();
    if (!canal.QuadroInteiro()) {
        if (!AguardaCTS()) return Desfecho::SemCts;
        if (quadro.size() < kPrimeiraParte + 1) {
            canal.Escreve(quadro);
        } else {
            canal.Escreve(std::string_view(quadro).substr(0, kPrimeiraParte));
            canal.Escreve(std::string_view(quadro).substr(kPrimeiraParte));
        }
    } else {
        canal.Escreve(quadro);
    }
    GravaLog(quadro);

    const std::string esperado = std::to_string(pacote);
    std::string recebido;
    for (;;) {
        // Whole frames first: ours ends the wait, another packet's is dropped.
        for (Trecho q = PrimeiroQuadro(recebido); q.achou(); q = PrimeiroQuadro(recebido)) {
            std::string inteiro = recebido.substr(q.inicio, q.fim - q.inicio + 1);
            recebido.erase(0, q.fim + 1);
            if (PacoteDoQuadro(inteiro) == esperado) {
                resposta = std::move(inteiro);
                return Desfecho::Resposta;
            }
            GravaLog("Resposta de outro pacote descartada: " + inteiro);
        }
        // Bytes before the first "{" cannot belong to a reply.
        const std::size_t chave = recebido.find('{');
        recebido.erase(0, chave == std::string::npos ? recebido.size() : chave);
        if (recebido.size() > kMaximoResposta) return Desfecho::Excesso;

        const std::int64_t agora = plataforma::Monotonico();
        const bool fechado = !recebido.empty() && recebido.back() == '}';
        if (agora >= limite) {
            ++contagem.limites;
            break;
        }
        const std::int64_t prazo = fechado ? std::min(limite, agora + kQuietoMs) : limite;
        const std::size_t antes = recebido.size();
        ++contagem.leituras;
        const FimLeitura fim = canal.Le(recebido, kTamanhoLeitura, prazo);
        if (fim == FimLeitura::Fim) return Desfecho::Caiu;
        if (fim == FimLeitura::Prazo && fechado && recebido.size() == antes) {
            ++(prazo < limite ? contagem.silencios : contagem.limites);
            break;
        }
    }
    // The line went quiet (or time is up) after a "}": what came from its "{" is the reply.
    if (!recebido.empty() && recebido.back() == '}') {
        resposta = recebido;
        return Desfecho::Resposta;
    }
    return Desfecho::SemResposta;
}

}  // namespace

RespostaTxt& Resposta() {
    static RespostaTxt r;
    return r;
}

ContagemTrocas& TrocasDestaThread() {
    thread_local ContagemTrocas c;
    return c;
}

std::string Aspas(const std::string& texto) {
    std::string r = "\"";
    for (char c : texto) {
        if (c == '"')
            r += "\\x22";
        else
            r += c;
    }
    return r + "\"";
}

std::string MontaQuadro(int pacote, const std::string& comando, const std::string& parametros) {
    std::string corpo = std::to_string(pacote) + ";" + comando + ";" + parametros + ";";
    return "{" + corpo + std::to_string(corpo.size()) + "}";
}

bool RespostaCompleta(const std::string& recebido) {
    if (recebido.size() < 3 || recebido.back() != '}') return false;
    std::size_t inicio = recebido.find('{');
    std::size_t ultimoPontoVirgula = recebido.rfind(';', recebido.size() - 2);
    if (inicio == std::string::npos || ultimoPontoVirgula == std::string::npos || ultimoPontoVirgula < inicio)
        return false;
    std::string tamanho = recebido.substr(ultimoPontoVirgula + 1, recebido.size() - ultimoPontoVirgula - 2);
    if (tamanho.empty() || tamanho.size() > 9 || !EhNumerico(tamanho)) return false;
    return static_cast<std::size_t>(std::stoul(tamanho)) == ultimoPontoVirgula - inicio;
}

int EspacamentoValido(long long linhas) {
    constexpr long long kMaximoLinhas = 30;
    return static_cast<int>(std::clamp(linhas, 0LL, kMaximoLinhas));
}

int TempoLimiteComando(const std::string& comando, const std::string& parametros) {
    if (comando == "EmiteReducaoZ" || comando == "EmiteLeituraMF") return Config().TimeOutRedZ;
    if (comando == "LeTexto" && parametros == "NomeTexto=\"CMC7Documento\"") return kTempoCmc7;
    if (comando == "EmiteLeituraFitaDetalhe") return kTempoFitaDetalhe;
    if (comando == "LeImpressao") return kTempoLeImpressao;
    return Config().TimeOutComandos;
}

void DivideResposta(const std::string& resposta, std::string& codigo, std::string& dados) {
    codigo.clear();
    dados.clear();
    std::size_t p1 = resposta.find(';');
    if (p1 == std::string::npos) return;
    std::size_t p2 = resposta.find(';', p1 + 1);
    if (p2 == std::string::npos) {
        codigo = resposta.substr(p1 + 1);
        return;
    }
    codigo = resposta.substr(p1 + 1, p2 - p1 - 1);
    std::size_t ultimo = resposta.rfind(';');
    if (ultimo > p2) dados = resposta.substr(p2 + 1, ultimo - p2 - 1);
}

std::string ExtraiValorResposta(const std::string& dados) {
    RespostaTxt& r = Resposta();
    const std::string m = MaiusculasAnsi(dados);
    auto semUltimo = [&](std::size_t desde) {
        if (dados.size() <= desde) return std::string();
        return dados.substr(desde, dados.size() - desde - 1);
    };
    if (ComecaCom(m, "TEXTOIMPRESSAO")) return semUltimo(16);
    if (ComecaCom(m, "CODGERENCIAL")) return ValorApos(dados, m, "NOMEGERENCIAL=\"", '"', false);
    if (ComecaCom(m, "CODDEPARTAMENTO")) return ValorApos(dados, m, "NOMEDEPARTAMENTO=\"", '"', false);
    if (ComecaCom(m, "VALORMOEDA")) {
        std::string d = SomenteNumeros(dados);
        return d.size() > 2 ? d.substr(0, d.size() - 2) : std::string();
    }
    if (ComecaCom(m, "VALORNUMERICOINDICADOR")) return SomenteNumeros(dados);
    if (ComecaCom(m, "VALORTEXTO")) return semUltimo(12);
    if (ComecaCom(m, "CODMEIOPAGAMENTO")) {
        r.CodigoResposta = ValorApos(dados, m, "CODMEIOPAGAMENTOPROGRAM=", ' ', false);
        std::size_t p = m.find("PERMITEVINCULADO=");
        r.PermiteVinculadoResposta =
            p == std::string::npos || p + 17 >= dados.size() ? "" : dados.substr(p + 17, 1);
        return ValorApos(dados, m, "NOMEMEIOPAGAMENTO=\"", '"', false);
    }
    if (ComecaCom(m, "CODNAOFISCAL")) {
        r.CodigoResposta = ValorApos(dados, m, "CODNAOFISCAL=", ' ', false);
        return ValorApos(dados, m, "NOMENAOFISCAL=\"", '"', false);
    }
    if (ComecaCom(m, "ALIQUOTAICMS")) {
        std::string valor = ValorApos(dados, m, "PERCENTUALALIQUOTA=", '"', true);
        if (r.TipoAliquotaPedido > 0) {
            std::size_t p = m.find("ALIQUOTAICMS=");
            bool icms = p != std::string::npos && p + 13 < m.size() && m[p + 13] == 'Y';
            if (icms != (r.TipoAliquotaPedido >= 3)) valor.clear();
        }
        return valor;
    }
    return SomenteNumeros(dados);
}

namespace {

// One exchange: the frame out and its reply decoded. Nothing is sent before it and no setting
// is changed by it.
int TrocaComando(const std::string& comando, const std::string& parametros) {
    ComandoExclusivo exclusivo;
    Configuracao& c = Config();
    EstadoDriver& e = Estado();
    int resultado = 1;
    if (comando.size() + parametros.size() > kMaximoComando) {
        // No printer takes a frame this long: a caller's text without bound is refused
        // whole instead of going out as one endless frame.
        DefineErro(Falha::ComandoExcessivo);
        GravaLog("---[", Erro().UltimaMensagem, "]---");
        return -2;
    }
    exclusivo.NoFio();
    ZeraStatus();
    const int pacote = ProximoPacote();
    const bool mantemAberta = e.CapturaMantemPortaAberta;

    auto final = [&] {
        if (!mantemAberta) FechaPorta(SlotImpressora);
    };

    // The printer's link: the serial port of slot 1, or the exchange files of the work folder.
    Canal& canal = c.ConfigRede == 1 ? CanalDosArquivos() : CanalDoSlot(SlotImpressora);
    if (c.ConfigRede == 1) {
        if (!canal.Abre(c.Path, {})) {
            DefineErro(Falha::DiretorioPath);
            return -8;
        }
    } else if (!mantemAberta && !AbrePorta(SlotImpressora)) {
        DefineErro(Falha::AberturaPorta);
        final();
        return -5;
    }

    const std::string quadro = MontaQuadro(pacote, comando, parametros);
    std::string resposta;
    const Desfecho desfecho = Troca(canal, quadro, pacote, TempoLimiteComando(comando, parametros), resposta);
    if (c.ConfigRede == 1) canal.Fecha();
    switch (desfecho) {
        case Desfecho::Resposta:
            break;
        case Desfecho::SemCts:
            DefineErro(Falha::ComunicacaoCts);
            GravaLog(Erro().UltimaMensagem);
            final();
            return 0;
        case Desfecho::SemResposta:
            DefineErro(Falha::Comunicacao);
            GravaLog(Erro().UltimaMensagem);
            final();
            return 0;
        case Desfecho::Caiu:
            // End of file or an I/O error: the device is gone; the port is closed even
            // when a capture keeps it open, so that the next command opens it afresh.
            DefineErro(Falha::Comunicacao);
            GravaLog(Erro().UltimaMensagem, " (fim da linha)");
            FechaPorta(SlotImpressora);
            return 0;
        case Desfecho::Excesso:
            DefineErro(Falha::RespostaExcessiva);
            GravaLog(Erro().UltimaMensagem);
            FechaPorta(SlotImpressora);
            return 0;
    }

    std::string codigo, dados;
    DivideResposta(resposta, codigo, dados);
    Resposta().DadosResposta = dados;
    Erro().EstadoAck = 6;
    GravaLog(resposta);

    if (codigo == "0") {
        Erro().EstadoSt1 = 0;
        DefineErro(Falha::Nenhuma);
        if (ComecaCom(MaiusculasAnsi(comando), "LE")) Resposta().ValorResposta = ExtraiValorResposta(dados);
        resultado = 1;
    } else {
        Erro().EstadoSt2 = 1;
        int numero = ParaInteiro(codigo, 9999);
        // The message is the first and second quoted texts of the reply's data.
        DefineErro(numero, CampoDelimitado(dados, 2, '"') + " - " + CampoDelimitado(dados, 4, '"'));
        resultado = 0;
    }
    final();
    return resultado;
}

// The monthly fiscal-memory reading of the previous month, due before `comando` while it is
// neither done nor running and the command is no reading nor the Z reduction. 1 when the
// command may go; otherwise the failure of the reading.
int LeituraMfAutomatica(const std::string& comando) {
    Configuracao& c = Config();
    if (c.LmfAutomaticaFeita || c.LmfAutomaticaRodando || ComecaCom(comando, "Le") ||
        comando == "EmiteReducaoZ")
        return 1;
    c.LmfAutomaticaRodando = true;
    int resultado = TrocaComando("LeData", "NomeData=\"Data\"");
    if (resultado != 1) {
        c.LmfAutomaticaRodando = false;
        return resultado;
    }
    std::string data = SomenteNumeros(Resposta().ValorResposta);
    int mes = ParaInteiro(data.size() >= 4 ? data.substr(2, 2) : "", 1);
    int ano = ParaInteiro(data.size() >= 8 ? data.substr(4, 4) : "", 2010);
    if (--mes == 0) {
        mes = 12;
        --ano;
    }
    std::string mesAno = PreencheZerosEsquerda(std::to_string(mes), 2) + "/" + std::to_string(ano);
    if (mesAno == c.LMFAUT_UltimaData) {
        c.LmfAutomaticaFeita = true;
        c.LmfAutomaticaRodando = false;
        return 1;
    }
    resultado = TrocaComando("LeInteiro", "NomeInteiro=\"TipoDocEmEmissao\"");
    if (resultado != 1) {
        c.LmfAutomaticaRodando = false;
        return resultado;
    }
    if (Resposta().ValorResposta != "0") {
        c.LmfAutomaticaRodando = false;  // a document is open: try again next time
        return 1;
    }
    // The month's real last day: a printer refuses "31/11", and the reading would then fail
    // (and fail the caller's command) in every short month.
    resultado = TrocaComando("EmiteLeituraMF",
                             "LeituraSimplificada=false DataInicial=#01/" + mesAno + "# DataFinal=#" +
                                 std::to_string(UltimoDiaDoMes(mes, ano)) + "/" + mesAno + "#");
    // Done either way; the month is stored as read unless the printer had no data for it.
    c.LmfAutomaticaFeita = true;
    if (resultado == 1 || Erro().UltimoRetorno != 8089) GravaUltimaLMF(mesAno);
    c.LmfAutomaticaRodando = false;
    return resultado;
}

// A management report left open is closed before anything but a reading; the reading of
// the month goes before the closing when it is due. The report counts as closed from here
// on, also when the closing fails, so that no later command tries it again. 0 when the
// printer did not answer (the command must not go), 1 otherwise.
int FechaGerencial(const std::string& comando) {
    Configuracao& c = Config();
    if (c.Gerencial == 0 || ComecaCom(comando, "Le")) return 1;
    c.Gerencial = 0;
    const std::string encerra = "EncerraDocumento";
    int r = LeituraMfAutomatica(encerra);
    if (r == 1) r = TrocaComando(encerra, "Operador=" + Aspas(Estado().NomeOperador));
    if (c.SubModelo != 0 && c.HabilitaCorte != "0") {
        plataforma::Dorme(500);
        familia0::Tarvo_AcionaGuilhotinaMFD(c.TipoCorte);
    }
    if (r == 0 && Erro().UltimoRetorno == -1) return 0;
    GravaFlagGerencial(0);
    return 1;
}

// Once per load: the spacing between documents, itself preceded by the closing of a report
// and the reading of the month. A printer that does not answer it will not answer the
// caller's command either: 0 then, and the spacing is tried again at the next command.
int EspacamentoInicial() {
    EstadoDriver& e = Estado();
    if (e.PrimeiroUsoFeito) return 1;
    e.PrimeiroUsoFeito = true;
    const std::string escreve = "EscreveInteiro";
    int r = FechaGerencial(escreve);
    if (r == 1) r = LeituraMfAutomatica(escreve);
    if (r == 1)
        r = TrocaComando(escreve, "NomeInteiro=\"EspacamentoDocumentos\" ValorInteiro=" +
                                      std::to_string(EspacamentoValido(Config().EspacamentoDocumentos) * 30));
    if (r != 1 && Erro().UltimoRetorno < 0) e.PrimeiroUsoFeito = false;
    return r == 0 && Erro().UltimoRetorno == -1 ? 0 : 1;
}

}  // namespace

int EnviaComandoTxt(const std::string& comando, const std::string& parametros) {
    if (ComandoExclusivo::Reentrante()) {
        // A command of this thread is on the wire (a host callback re-entered the library):
        // refuse it rather than claim a success that sent nothing.
        return RecusaReentrante();
    }
    ComandoExclusivo exclusivo;  // other threads wait here until the command and what precedes it are done
    if (EspacamentoInicial() == 0) return 0;
    if (FechaGerencial(comando) == 0) return 0;
    const int r = LeituraMfAutomatica(comando);
    if (r != 1) return r;
    return TrocaComando(comando, parametros);
}

}  // namespace tarvo
