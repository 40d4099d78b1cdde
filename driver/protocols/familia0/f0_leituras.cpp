#include "driver/protocols/familia0/f0_leituras.h"

#include <algorithm>
#include <cstdlib>

#include "driver/core/configuracao.h"
#include "driver/core/erros.h"
#include "driver/core/estado.h"
#include "driver/core/exportacao.h"
#include "driver/core/formatadores.h"
#include "driver/core/recusa.h"
#include "driver/core/registro.h"
#include "driver/protocols/familia0/f0_captura.h"
#include "driver/protocols/familia0/parametros.h"
#include "driver/protocols/familias.h"
#include "platform/pastas.h"
#include "platform/relogio.h"

namespace tarvo {

namespace {

// A wanted time further than this from the printer's clock moves the clock by
// kPassoRelogio only: the printers refuse larger steps at a reduction.
constexpr int kToleranciaRelogio = 290;
constexpr int kPassoRelogioMinutos = 5;
// How far (whole minutes) the computer's clock may be from the printer's for its time to
// be sent: further in the summer-time months (March to September).
constexpr int kMaximoMinutos = 31;
constexpr int kMaximoMinutosVerao = 61;
// Attempts of a detail-tape download while the link fails.
constexpr int kTentativasFitaDetalhe = 3;
// The reduction list of a fiscal-memory text, and its head.
const char* const kTituloReducoes =
    "REDU\xC7\xD5"
    "ES DI\xC1RIAS";
const char* const kSoftwareBasico = "SOFTWARE B\xC1SICO:";

std::string Dois(int v) {
    return PreencheZerosEsquerda(std::to_string(v), 2);
}

int Segundos(const std::string& hhmmss) {
    return ParaInteiro(hhmmss.substr(0, 2), 0) * 3600 + ParaInteiro(hhmmss.substr(2, 2), 0) * 60 +
           ParaInteiro(hhmmss.substr(4, 2), 0);
}

// The paper cut after a document when [Sistema] HabilitaCorte asks for it.
void Corta() {
    if (Config().HabilitaCorte != "0") familia0::Tarvo_AcionaGuilhotinaMFD(Config().TipoCorte);
}

std::string ArquivoNoPath(const char* nome) {
    return plataforma::ArquivoNaPasta(Config().Path, nome);
}

std::string Simplificada(bool sim) {
    return sim ? "true" : "false";
}

std::string FaixaDatas(const char* inicio, const char* fim) {
    return "DataInicial=#" + FormataData(TextoArg(inicio)) + "# DataFinal=#" + FormataData(TextoArg(fim)) +
           "#";
}

std::string FaixaReducoes(const char* inicio, const char* fim) {
    return "ReducaoInicial=" + NumeroDoChamador(TextoArg(inicio), "ReducaoInicial") +
           " ReducaoFinal=" + NumeroDoChamador(TextoArg(fim), "ReducaoFinal");
}

// A fiscal-memory reading sent through the port into IMPRESSAO.TXT of the work folder.
int LeituraMFSerial(const std::string& parametros) {
    int r = EnviaComandoTxt("EmiteLeituraMF", "Destino=\"S\" " + parametros);
    if (r != 1) return r;
    return CapturaEConverte(ArquivoNoPath("IMPRESSAO.TXT"));
}

// A fiscal-memory reading on paper.
int LeituraMFPapel(const std::string& parametros) {
    int r = EnviaComandoTxt("EmiteLeituraMF", parametros);
    if (r == 1) Corta();
    return r;
}

template <typename F>
void PorLinha(const std::string& texto, F&& f) {
    std::size_t inicio = 0;
    while (inicio < texto.size()) {
        std::size_t fim = texto.find('\n', inicio);
        if (fim == std::string::npos) fim = texto.size();
        f(Apara(texto.substr(inicio, fim - inicio)));
        inicio = fim + 1;
    }
}

}  // namespace

EstadoReducaoZ& ReducaoZ() {
    static EstadoReducaoZ z;
    return z;
}

std::string ParametroHoraReducao(const std::string& desejada, const std::string& impressora,
                                 bool doComputador, int mesDoComputador) {
    const std::string quero = PreencheZerosEsquerda(desejada, 6);
    const std::string agora = PreencheZerosEsquerda(impressora, 6);
    const int diferenca = Segundos(quero) - Segundos(agora);
    std::string envio = quero;
    if (std::abs(diferenca) > kToleranciaRelogio) {
        int h = ParaInteiro(agora.substr(0, 2), 0);
        int m = ParaInteiro(agora.substr(2, 2), 0) +
                (diferenca > 0 ? kPassoRelogioMinutos : -kPassoRelogioMinutos);
        if (m >= 60) {
            m -= 60;
            h = (h + 1) % 24;
        } else if (m < 0) {
            m += 60;
            h = (h + 23) % 24;
        }
        envio = Dois(h) + Dois(m) + agora.substr(4, 2);
    }
    if (doComputador) {
        const int minutos = std::abs(diferenca) / 60;
        const bool verao = mesDoComputador >= 3 && mesDoComputador <= 9;
        if (!(minutos < kMaximoMinutos || (verao && minutos < kMaximoMinutosVerao))) return {};
    }
    return "Hora=#" + envio.substr(0, 2) + ":" + envio.substr(2, 2) + ":" + envio.substr(4, 2) + "#";
}

int RixReducaoZ(const std::string& horaPedida) {
    const Configuracao& c = Config();
    std::string hora = Apara(horaPedida);
    bool doComputador = false;
    const plataforma::DataHora relogio = plataforma::Agora();
    if (hora.empty() && c.CorrigeRelogioZ) {
        hora = Dois(relogio.hora) + Dois(relogio.minuto) + Dois(relogio.segundo);
        doComputador = true;
    }

    std::string parametros;
    if (!hora.empty()) {
        int r = EnviaComandoTxt("LeHora", "NomeHora=\"Hora\"");
        if (r != 1) return r;
        parametros = ParametroHoraReducao(hora, Resposta().ValorResposta, doComputador, relogio.mes);
    }

    EstadoReducaoZ& z = ReducaoZ();
    z.DataAberturaZ =
        EnviaComandoTxt("LeData", "NomeData=\"DataAbertura\"") == 1 ? Resposta().ValorResposta : "";
    z.DataZ = EnviaComandoTxt("LeData", "NomeData=\"Data\"") == 1 ? Resposta().ValorResposta : "";
    z.ReducaoEmAndamento = 1;
    GravaChaveIni("Flags", "AberturaDia", z.DataAberturaZ);

    const std::string& operador = Estado().NomeOperador;
    if (!Apara(operador).empty()) parametros += " Operador=" + Aspas(operador);

    auto encerra = [&z] {
        z.ReducaoEmAndamento = 0;
        z.DataAberturaZ.clear();
        z.DataZ.clear();
    };

    int r = EnviaComandoTxt("EmiteReducaoZ", parametros);
    if (r != 1) {
        // No reduction was made: nothing is in progress for the fiscal files.
        encerra();
        return r;
    }
    Corta();
    if (c.GeraRfdRedZ == "1") {
        std::string crz;
        if (LeRegistradorTxt(9, crz) != 1) {
            GravaLog("---[Reducao Z feita; CRZ nao lido para o RFD: ", Erro().UltimaMensagem, "]---");
        } else {
            ::RFD_ConvertedaMFD(crz.c_str());
        }
    }
    encerra();
    // The day is closed: whatever failed after the reduction stays in the last-error
    // record, but the caller must not be led to try a second reduction.
    return 1;
}

int LeituraFitaDetalheTxt(const std::string& destino, const std::string& tipo, const std::string& inicio,
                          const std::string& fim, const std::string& proprietario) {
    std::string parametros;
    switch (tipo.empty() ? '\0' : tipo[0]) {
        case '0':
            parametros = "COOInicial=1 COOFinal=999999";
            break;
        case '1':
            parametros = "DataInicial=#" + FormataData(inicio) + "# DataFinal=#" + FormataData(fim) + "#";
            break;
        case '2':
            parametros = "COOInicial=" + NumeroDoChamador(inicio, "COOInicial") +
                         " COOFinal=" + NumeroDoChamador(fim, "COOFinal");
            break;
        default:
            break;
    }
    parametros += " Destino=\"S\"";
    if (!proprietario.empty())
        parametros += " Proprietario=" + NumeroDoChamador(proprietario, "Proprietario");

    Erro().UltimoRetorno = -1;
    int r = 0;
    for (int tentativa = 0; tentativa < kTentativasFitaDetalhe; ++tentativa) {
        r = EnviaComandoTxt("EmiteLeituraFitaDetalhe", parametros);
        if (r != 1) break;
        r = CapturaImpressao();
        if (r == 1 || Erro().UltimoRetorno != -1) break;
    }
    if (r != 1) {
        ApagaArquivo(destino);  // no stale download may pass for this one
        return r;
    }
    if (!CopiaArquivo(ArquivoImpr(), destino, false)) {
        DefineErro(Falha::GravacaoArquivo, destino);
        GravaLog("---[", Erro().UltimaMensagem, "]---");
        return 0;
    }
    return 1;
}

void DataHoraSoftwareBasicoNoTexto(const std::string& texto, std::string& data, std::string& hora) {
    bool naSecao = false;
    PorLinha(texto, [&](const std::string& linha) {
        if (linha.empty()) return;
        if (ContemTexto(linha, kSoftwareBasico)) {
            naSecao = true;
        } else if (ContemTexto(linha, "MOEDA:") || ComecaComTexto(linha, "MFD:")) {
            naSecao = false;
        } else if (naSecao) {
            std::string d = SomenteNumeros(linha.size() > 9 ? linha.substr(9, 10) : std::string());
            data = d.substr(0, 4) + (d.size() > 6 ? d.substr(6, 2) : std::string());
            hora = SomenteNumeros(linha.size() > 22 ? linha.substr(22, 8) : std::string());
        }
    });
}

int ReducoesNoTexto(const std::string& texto, ReducoesDoPeriodo& saida) {
    int primeira = 9999, ultima = 0;
    int cabecalho = 0;
    std::string endereco;
    bool naLista = false;
    saida.nome.clear();
    PorLinha(texto, [&](const std::string& linha) {
        if (cabecalho < 4 && !linha.empty()) {
            if (cabecalho == 0)
                saida.nome = PreencheEspacosDireita(linha, 40);
            else
                endereco += PreencheEspacosDireita(linha, 48);
            ++cabecalho;
            return;
        }
        if (ContemTexto(linha, kTituloReducoes)) {
            naLista = true;
            return;
        }
        if (naLista && linha.size() >= 5 && EhNumerico(linha.substr(0, 4)) && linha[4] == ' ') {
            const int crz = ParaInteiro(linha.substr(0, 4), 0);
            primeira = std::min(primeira, crz);
            ultima = std::max(ultima, crz);
            GravaLog("***Lido(", primeira, ",", ultima, ")=>", linha);
        }
    });
    saida.endereco = PreencheEspacosDireita(endereco, 120);
    if (saida.nome.empty()) saida.nome = std::string(40, ' ');
    if (primeira == 9999 || ultima == 0) return 0;
    saida.primeira = PreencheZerosEsquerda(std::to_string(primeira), 4);
    saida.ultima = PreencheZerosEsquerda(std::to_string(ultima), 4);
    return 1;
}

int RixReducoesDoPeriodo(const std::string& dataInicial, const std::string& dataFinal,
                         ReducoesDoPeriodo& saida) {
    const std::string d1 = FormataData(dataInicial), d2 = FormataData(dataFinal);
    int r = EnviaComandoTxt("EmiteLeituraMF", "Destino=\"S\" LeituraSimplificada=false DataInicial=#" + d1 +
                                                  "# DataFinal=#" + d2 + "#");
    if (r != 1) return r;
    const std::string arquivo = ArquivoNoPath("LEITMF.TXT");
    r = CapturaEConverte(arquivo);
    // A reading that did not arrive is a failure of its own, not a period without sales.
    if (r != 1) return r;
    GravaLog("***(CMD) Analisando arq:", arquivo);
    if (ReducoesNoTexto(LeArquivo(arquivo), saida) != 1) {
        DefineMensagem(Falha::SemMovimento);
        GravaLog(Erro().UltimaMensagem, " Dt. Inicial:", d1, " Dt. Final:", d2);
        return 0;
    }
    return 1;
}

namespace familia0 {

int Tarvo_LeituraX() {
    int r = EnviaComandoTxt("EmiteLeituraX", "Operador=" + Aspas(Estado().NomeOperador));
    if (r == 1) Corta();
    return r;
}

int Tarvo_LeituraXSerial() {
    int r = EnviaComandoTxt("EmiteLeituraX", "Destino=\"S\"");
    if (r != 1) return r;
    return CapturaEConverte(ArquivoNoPath("IMPRESSAO.TXT"));
}

int Tarvo_ReducaoZ(const char* /*Data*/, const char* Hora) {
    return RixReducaoZ(TextoArg(Hora));
}

int Tarvo_LeituraMemoriaFiscalData(const char* DataInicial, const char* DataFinal, const char* FlagLeitura) {
    const bool completa = MaiusculasAnsi(TextoArg(FlagLeitura)) == "C";
    return LeituraMFPapel("LeituraSimplificada=" + Simplificada(!completa) + " " +
                          FaixaDatas(DataInicial, DataFinal));
}

int Tarvo_LeituraMemoriaFiscalReducao(const char* ReducaoInicial, const char* ReducaoFinal,
                                      const char* FlagLeitura) {
    const bool completa = MaiusculasAnsi(TextoArg(FlagLeitura)) == "C";
    return LeituraMFPapel("LeituraSimplificada=" + Simplificada(!completa) + " " +
                          FaixaReducoes(ReducaoInicial, ReducaoFinal));
}

int Tarvo_LeituraMemoriaFiscalSerialData(const char* DataInicial, const char* DataFinal,
                                         const char* FlagLeitura) {
    const bool simplificada = MaiusculasAnsi(TextoArg(FlagLeitura)) == "S";
    return LeituraMFSerial("LeituraSimplificada=" + Simplificada(simplificada) + " " +
                           FaixaDatas(DataInicial, DataFinal));
}

int Tarvo_LeituraMemoriaFiscalSerialReducao(const char* ReducaoInicial, const char* ReducaoFinal,
                                            const char* FlagLeitura) {
    const bool simplificada = MaiusculasAnsi(TextoArg(FlagLeitura)) == "S";
    return LeituraMFSerial("LeituraSimplificada=" + Simplificada(simplificada) + " " +
                           FaixaReducoes(ReducaoInicial, ReducaoFinal));
}

int Tarvo_DataHoraSoftwareBasico(char* /*DataSW*/, char* /*HoraSW*/) {
    int r = EnviaComandoTxt("EmiteLeituraMF",
                            "Destino=\"S\" LeituraSimplificada=false ReducaoInicial=1 ReducaoFinal=1");
    if (r != 1) return r;
    const std::string arquivo = ArquivoNoPath("LEITMF.TXT");
    r = CapturaEConverte(arquivo);
    if (r != 1) return r;
    std::string data, hora;
    DataHoraSoftwareBasicoNoTexto(LeArquivo(arquivo), data, hora);
    Erro().TextoRetorno = data;
    Erro().TextoValor = hora;
    return r;
}

int Tarvo_DownloadMFD(const char* Arquivo, const char* TipoDownload, const char* Inicio, const char* Fim,
                      const char* Usuario) {
    const std::string destino = ArquivoDoUsuario(TextoArg(Arquivo));
    if (destino.empty()) {
        DefineErro(Falha::ArquivoDestino);
        return -8;
    }
    return LeituraFitaDetalheTxt(destino, TextoArg(TipoDownload), TextoArg(Inicio), TextoArg(Fim),
                                 TextoArg(Usuario));
}

int Tarvo_FormatoDadosMFD(const char* ArquivoOrigem, const char* ArquivoDestino, const char* TipoFormato,
                          const char* /*TipoDownload*/, const char* /*Inicio*/, const char* /*Fim*/,
                          const char* /*Usuario*/) {
    const std::string origem = ArquivoDoUsuario(TextoArg(ArquivoOrigem));
    if (origem.empty() || !plataforma::ExisteArquivo(origem)) {
        DefineErro(Falha::ArquivoOrigem);
        return -8;
    }
    const std::string destino = ArquivoDoUsuario(TextoArg(ArquivoDestino));
    const FormatoConversao formato =
        TextoArg(TipoFormato) == "1" ? FormatoConversao::RichText : FormatoConversao::Texto;
    if (destino.empty() || !ConverteImpressao(origem, formato, destino)) {
        DefineErro(Falha::ArquivoDestino);
        return 0;
    }
    return 1;
}

}  // namespace familia0

}  // namespace tarvo
