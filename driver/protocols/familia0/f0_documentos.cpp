// The routines that every document of a family-0 printer shares.
#include "driver/protocols/familia0/f0_documentos.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "driver/core/configuracao.h"
#include "driver/core/estado.h"
#include "driver/core/exportacao.h"
#include "driver/core/formatadores.h"
#include "driver/core/registro.h"
#include "driver/protocols/familia0/parametros.h"
#include "driver/protocols/familias.h"
#include "platform/pastas.h"

namespace tarvo {

namespace {

// The printer takes at most this many characters of free text per command.
constexpr std::size_t kPedacoTexto = 480;
// The payment's additional text is cut to what the printer prints under a payment.
constexpr std::size_t kTextoAdicional = 80;
// The printer's line break inside a text parameter: backslash and n.
const char* const kQuebra = "\\n";
// Consumer identification of the document in progress, in the current folder.
const char* const kArquivoIdentificacao = "ID.TXT";

bool TerminaEmLF(const std::string& texto) {
    return !texto.empty() && texto.back() == '\n';
}

std::string SemCaracteres(std::string texto, const std::string& remover) {
    texto.erase(std::remove_if(texto.begin(), texto.end(),
                               [&](char c) { return remover.find(c) != std::string::npos; }),
                texto.end());
    return texto;
}

// Characters of the escape that starts at `i`, as the printer reads a text from left to
// right: "\xHH" is four, "\n" two; any other character (a lone backslash too) is one.
std::size_t TamanhoEscape(const std::string& texto, std::size_t i) {
    if (texto[i] != '\\' || i + 1 >= texto.size()) return 1;
    if (texto[i + 1] == 'n') return 2;
    if (texto[i + 1] == 'x' && i + 3 < texto.size() &&
        std::isxdigit(static_cast<unsigned char>(texto[i + 2])) &&
        std::isxdigit(static_cast<unsigned char>(texto[i + 3])))
        return 4;
    return 1;
}

// Length of the piece of at most `maximo` characters that starts at `inicio`: it ends
// before an escape that would not fit whole, so the printer never sees half of one.
std::size_t TamanhoPedaco(const std::string& texto, std::size_t inicio, std::size_t maximo) {
    std::size_t fim = inicio;
    while (fim < texto.size()) {
        const std::size_t n = TamanhoEscape(texto, fim);
        if (fim + n - inicio > maximo) break;
        fim += n;
    }
    return fim - inicio;
}

void GravaFlagsCampanha() {
    const Configuracao& c = Config();
    GravaChaveIni("Flags", "CupomManiaLido", c.CupomManiaLido ? "1" : "0");
    GravaChaveIni("Flags", "CupomManiaValorAux", c.CupomManiaValorAux);
}

// A reading through the generic reading export, as the host would make it: the raw reply
// data, cut at its end.
int LeituraBruta(const char* comando, const std::string& parametros, std::string& dados) {
    std::vector<char> buffer(cap::Tarvo_ExecutaLeitura::Retorno, ' ');
    buffer.back() = '\0';
    int r = ::Tarvo_ExecutaLeitura(comando, parametros.c_str(), buffer.data());
    dados = std::string(buffer.data());
    return r;
}

// Day, month and two-digit year of the last document (ddmmyy) from ValorData=#dd/mm/yyyy#.
int LeDataUltimoDocumento(std::string& ddmmaa) {
    std::string dados;
    int r = LeituraBruta("LeData", "NomeData=\"DataUltimoDoc\"", dados);
    if (r != 1) return r;
    ddmmaa = TrechoLinha(dados, 12, 2) + TrechoLinha(dados, 15, 2) + TrechoLinha(dados, 20, 2);
    return 1;
}

// The code of the Rio de Janeiro campaign: state registration, date of the last document,
// COO and ECF number.
int TextoCampanhaRJ(std::string& texto) {
    std::string dados, data;
    int r = LeituraBruta("LeTexto", "NomeTexto=\"IE\"", dados);
    if (r != 1) return r;
    std::string ie = TrechoLinha(SemCaracteres(dados, "."), 13, 8);
    if ((r = LeDataUltimoDocumento(data)) != 1) return r;
    if ((r = LeituraBruta("LeInteiro", "NomeInteiro=\"COO\"", dados)) != 1) return r;
    std::string coo = PreencheZerosEsquerda(TrechoLinha(dados, 14), 6);
    if ((r = LeituraBruta("LeInteiro", "NomeInteiro=\"ECF\"", dados)) != 1) return r;
    std::string ecf = PreencheZerosEsquerda(TrechoLinha(dados, 14), 3);
    // Bytes 0xA7 and 0x87 are the printer's code page 850 for the ordinal sign and c-cedilla.
    texto = std::string("CUPOM MANIA, CONCORRA A PREMIOS \\n") + "ENVIE SMS P/ 6789:" + ie + data + coo +
            ecf + "\\n" + "PROCON - R da Ajuda 5 - RJ - (21) 151 \\n" +
            "ALERJ - R 1\xA7 de Mar\x87o s/n - RJ - (21) 25881418";
    return 1;
}

// The Minas Gerais campaign line: CNPJ, date of the last document and the cash of the document.
int TextoCampanhaMG(std::string& texto) {
    std::string dados, data;
    int r = LeituraBruta("LeTexto", "NomeTexto=\"CNPJ\"", dados);
    if (r != 1) return r;
    std::string cnpj = SemCaracteres(dados, "./-");
    cnpj = cnpj.size() > 13 ? cnpj.substr(12, cnpj.size() - 13) : std::string();
    if ((r = LeDataUltimoDocumento(data)) != 1) return r;
    if ((r = LeituraBruta("LeMoeda", "NomeDadoMonetario=\"TotalDocDinheiro\"", dados)) != 1) return r;
    std::string valor = SemCaracteres(dados, ",.");
    valor = valor.size() > 13 ? valor.substr(11, valor.size() - 13) : std::string();
    texto = "MINAS LEGAL: " + cnpj + " " + data + " " + valor + kQuebra;
    return 1;
}

// The consumer identification stored by Tarvo_IdentificaConsumidor, as the parameters of
// IdentificaConsumidor (empty when its three lines are).
std::string ParametrosIdentificacao(const std::string& arquivo) {
    std::vector<std::string> linhas = LinhasDoTexto(LeArquivo(arquivo));
    linhas.resize(3);
    static const char* const kNomes[] = {"IdConsumidor=", "NomeConsumidor=", "EnderecoConsumidor="};
    std::string parametros;
    for (std::size_t i = 0; i < 3; ++i) {
        std::string valor = Apara(linhas[i]);
        if (valor.empty()) continue;
        parametros += (i == 0 ? "" : " ") + std::string(kNomes[i]) + Aspas(valor);
    }
    return parametros;
}

}  // namespace

std::string TrechoInteiro(const std::string& texto, std::size_t inicio, std::size_t maximo) {
    if (inicio >= texto.size()) return {};
    return texto.substr(inicio, TamanhoPedaco(texto, inicio, maximo));
}

int PrimeiraFalha::Registra(int resultado) {
    if (resultado != 1 && !houve_) {
        houve_ = true;
        resultado_ = resultado;
        codigo_ = Erro().UltimoRetorno;
        mensagem_ = Erro().UltimaMensagem;
    }
    return resultado;
}

int PrimeiraFalha::Mantem(int resultado) const {
    if (houve_) DefineErro(codigo_, mensagem_);
    return resultado;
}

int PrimeiraFalha::Final(int resultado) const {
    if (!houve_) return resultado;
    DefineErro(codigo_, mensagem_);
    return resultado_;
}

bool ValorZero(const std::string& valor) {
    return PreencheZerosEsquerda(valor, 12) == "000000000000";
}

std::string ValorComSinal(const std::string& tipo, const std::string& valor) {
    const std::string numero = ValorDoChamador(valor, "Valor");
    return (MaiusculasAnsi(Apara(tipo)) == "A" ? " " : "-") + FormataDuasDecimais(numero);
}

int CortaSeHabilitado(int resultado) {
    const Configuracao& c = Config();
    if (resultado == 1 && c.HabilitaCorte != "0") familia0::Tarvo_AcionaGuilhotinaMFD(c.TipoCorte);
    return resultado;
}

int AtualizaImpostoCampanha(bool inicio) {
    Configuracao& c = Config();
    if (!c.HabilitaICMSCupom) return 1;
    if (inicio && c.CupomManiaLido) return 1;
    // The printer writes amounts with four decimals: the reading's value is in cents.
    int r = EnviaComandoTxt("LeMoeda", "NomeDadoMonetario=\"TotalDiaImpostoICMS\"");
    if (r != 1) return r;
    if (inicio) {
        c.CupomManiaLido = true;
        c.CupomManiaValorAux = Resposta().ValorResposta;  // kept in memory until the close
        return 1;
    }
    std::int64_t imposto =
        ParaInteiro64(Resposta().ValorResposta, 0) - ParaInteiro64(c.CupomManiaValorAux, 0);
    if (imposto < 0) imposto = 0;
    std::string centavos = std::to_string(imposto % 100);
    if (centavos.size() < 2) centavos = "0" + centavos;
    c.CupomManiaTotalImp = std::to_string(imposto / 100) + "." + centavos;
    GravaChaveIni("Flags", "CupomManiaTotalImp", c.CupomManiaTotalImp);
    return 1;
}

int RixImprimeTextoLivre(const std::string& texto) {
    std::size_t inicio = 0;
    do {
        const std::size_t n = TamanhoPedaco(texto, inicio, kPedacoTexto);
        int r = EnviaComandoTxt("ImprimeTexto", "TextoLivre=" + Aspas(texto.substr(inicio, n)));
        if (r != 1) return r;
        inicio += n;
    } while (inicio < texto.size());
    return 1;
}

int RixPagaCupom(const std::string& forma, const std::string& valor, const std::string& textoAdicional) {
    std::string parteValor = " Valor=" + FormataDuasDecimais(ValorDoChamador(valor, "Valor"));
    if (!textoAdicional.empty())
        parteValor += " TextoAdicional=" + Aspas(TrechoInteiro(textoAdicional, 0, kTextoAdicional));
    std::string f = Apara(forma);
    if (MaiusculasAnsi(f) == "DINHEIRO") f = "-2";
    if (f == "-2" || EhNumerico(f)) return EnviaComandoTxt("PagaCupom", "CodMeioPagamento=" + f + parteValor);
    return EnviaComandoTxt("PagaCupom", "NomeMeioPagamento=" + Aspas(f) + parteValor);
}

int CodigoMeioPagamento(const std::string& forma, std::string& codigo) {
    const std::string f = Apara(forma);
    codigo.clear();
    if (MaiusculasAnsi(f) == "DINHEIRO" || f == "-2") {
        codigo = "-2";
        return 1;
    }
    if (f.empty()) return 1;
    if (EhNumerico(f)) {
        codigo = f;
        return 1;
    }
    Resposta().CodigoResposta.clear();  // no code of an earlier reading may stand for this name
    int r = EnviaComandoTxt("LeMeioPagamento", "NomeMeioPagamento=" + Aspas(f));
    if (r == 1) codigo = Resposta().CodigoResposta;
    return r;
}

std::string CodigoMeioPagamento(const std::string& forma) {
    std::string codigo;
    CodigoMeioPagamento(forma, codigo);
    return codigo;
}

int EncerraDocumentoTxt(bool comTextos, const std::string& mensagem) {
    Configuracao& c = Config();
    PrimeiraFalha falhas;
    if (comTextos) {
        std::string texto = mensagem;
        if (c.HabilitaICMSCupom) {
            AtualizaImpostoCampanha(false);
            if (c.CampanhaEstadual) {
                std::string campanha;
                // A reading that fails leaves the campaign text out, not the document open:
                // the close goes on, and the failure stays in the last-error record.
                const int r =
                    falhas.Registra(c.UF == "MG" ? TextoCampanhaMG(campanha) : TextoCampanhaRJ(campanha));
                const bool direto = texto.empty() || ComecaCom(texto, kQuebra) || TerminaEmLF(texto);
                if (r == 1) texto += (direto ? "" : kQuebra) + campanha;
            }
        }
        if (!c.IdAplicativo.empty()) {
            const bool quebra = !mensagem.empty() && !ComecaCom(mensagem, kQuebra) && !TerminaEmLF(mensagem);
            texto += (quebra ? kQuebra : "") + std::string("Aplicativo:") + c.IdAplicativo;
        }
        falhas.Registra(RixImprimeTextoLivre(texto));
        if (c.HabilitaICMSCupom) {
            c.CupomManiaLido = false;
            c.CupomManiaValorAux = "0";
            GravaFlagsCampanha();
        }
        if (plataforma::ExisteArquivo(kArquivoIdentificacao)) {
            falhas.Registra(
                EnviaComandoTxt("IdentificaConsumidor", ParametrosIdentificacao(kArquivoIdentificacao)));
            ApagaArquivo(kArquivoIdentificacao);
        }
    }
    int r =
        CortaSeHabilitado(EnviaComandoTxt("EncerraDocumento", "Operador=" + Aspas(Estado().NomeOperador)));
    falhas.Registra(r);
    return falhas.Mantem(r);
}

int AbreGerencialTxt() {
    // 8018: the printer cannot use that report index; the next one is tried.
    constexpr int kIndiceRecusado = 8018;
    constexpr int kIndices = 20;
    Erro().UltimoRetorno = kIndiceRecusado;
    int r = 0;
    for (int n = 0; Erro().UltimoRetorno == kIndiceRecusado && n < kIndices; ++n)
        r = EnviaComandoTxt("AbreGerencial", "CodGerencial=" + std::to_string(n));
    return r;
}

int ImprimeGerencialTxt(const std::string& texto) {
    // Document type 15: a management report is open.
    int r = EnviaComandoTxt("LeInteiro", "NomeInteiro=\"TipoDocEmEmissao\"");
    if (r != 1) return r;
    if (Resposta().ValorResposta != "15" && (r = AbreGerencialTxt()) != 1) return r;
    return RixImprimeTextoLivre(texto);
}

}  // namespace tarvo
