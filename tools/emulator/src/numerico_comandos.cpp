// The numeric-code command set over the printer model: each command's fixed-width fields are
// checked and read, and the model runs the operation as its own commands; its refusals come
// back as this protocol's codes 1 to 62.
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <string>

#include "emulador/numerico.h"

namespace emulador {

namespace {

constexpr char STX = 0x02, ETX = 0x03;

// Codes of this protocol the front end answers with on its own.
namespace codigo {
constexpr int kComandoInexistente = 2;
constexpr int kNaoNumerico = 3;
constexpr int kCampoAcrescimo = 5;
constexpr int kIntervalo = 7;
constexpr int kSintaxe = 10;
constexpr int kTributo = 15;
constexpr int kAliquota = 18;
constexpr int kSinal = 19;
constexpr int kAbrirCupom = 22;
constexpr int kNaoFiscalNecessario = 24;
constexpr int kJaTotalizado = 50;
constexpr int kFaltaPagamento = 58;
constexpr int kEstadoCheque = 44;
constexpr int kSemEstadoCheque = 45;
constexpr int kRegistrador = 57;
}  // namespace codigo

bool Digitos(const std::string& t) {
    if (t.empty()) return false;
    for (char c : t)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

std::int64_t Numero(const std::string& t) {
    std::int64_t v = 0;
    for (char c : t) v = v * 10 + (c - '0');
    return v;
}

std::string Zeros(std::int64_t v, int largura) {
    std::string s = std::to_string(v < 0 ? -v : v);
    if (static_cast<int>(s.size()) < largura) s.insert(0, static_cast<std::size_t>(largura) - s.size(), '0');
    return s;
}

// A whole number of hundredths or thousandths as the model's decimal text ("12,50").
std::string Decimal(std::int64_t v, int casas) {
    std::int64_t base = casas == 3 ? 1000 : 100;
    return std::to_string(v / base) + "," + Zeros(v % base, casas);
}

std::string Apara(std::string t) {
    while (!t.empty() && t.back() == ' ') t.pop_back();
    std::size_t i = t.find_first_not_of(' ');
    return i == std::string::npos ? std::string() : t.substr(i);
}

// A number out of the model's reply data "Nome=valor": the digits after the first '='.
std::int64_t ValorNumerico(const std::string& dados, int casasAManter) {
    std::size_t p = dados.find('=');
    std::string v = p == std::string::npos ? dados : dados.substr(p + 1);
    std::int64_t inteiro = 0, fracao = 0;
    int casas = 0;
    bool virgula = false, negativo = false;
    for (char c : v) {
        if (c == '-')
            negativo = true;
        else if (c == ',')
            virgula = true;
        else if (std::isdigit(static_cast<unsigned char>(c))) {
            if (!virgula)
                inteiro = inteiro * 10 + (c - '0');
            else if (casas < casasAManter)
                fracao = fracao * 10 + (c - '0'), ++casas;
        } else if (c == ' ')
            break;
    }
    for (; casas < casasAManter; ++casas) fracao *= 10;
    std::int64_t base = 1;
    for (int i = 0; i < casasAManter; ++i) base *= 10;
    std::int64_t r = inteiro * base + fracao;
    return negativo ? -r : r;
}

FrenteNumerica::Resultado Erro(int c) {
    FrenteNumerica::Resultado r;
    r.codigo = Zeros(c, 2);
    return r;
}

}  // namespace

std::string FrenteNumerica::EstadoDocumento() const {
    switch (p_.aberto.tipo) {
        case TipoDocumento::Nenhum:
            return "00";
        case TipoDocumento::CupomFiscal:
            return "01";
        default:
            return "02";
    }
}

std::string FrenteNumerica::Quadro(int numero, const Resultado& r) const {
    const bool sucesso = r.codigo == "00";
    const bool leitura = numero >= 30 && numero <= 34;
    std::string q(1, STX);
    q += sucesso ? (leitura ? 'S' : '+') : '-';
    q += Zeros(numero < 0 ? 0 : numero, 2) + EstadoDocumento();
    q += sucesso && leitura ? r.valor : r.codigo;
    q += ETX;
    return q;
}

std::string FrenteNumerica::Atende(const std::string& texto) {
    Resultado r = Executa(texto);
    int numero =
        texto.size() >= 2 && Digitos(texto.substr(0, 2)) ? static_cast<int>(Numero(texto.substr(0, 2))) : 0;
    return Quadro(numero, r);
}

int FrenteNumerica::CodigoDoErro(int e) const {
    switch (e) {
        case erro::kComandoInexistente:
            return 2;
        case erro::kParametroInvalido:
        case erro::kParametroAusente:
        case erro::kParametroDesconhecido:
        case erro::kPosicaoOcupada:
        case erro::kCodigoBarrasInvalido:
            return 10;
        case erro::kRegistradorInexistente:
        case erro::kMeioPagamentoNaoProgramado:
            return 57;
        case erro::kAliquotaNaoProgramada:
        case erro::kDepartamentoNaoProgramado:
            return 18;
        case erro::kDocumentoAberto:
            return p_.aberto.tipo == TipoDocumento::CupomFiscal ? 23 : 25;
        case erro::kDocumentoNaoAberto:
            return 22;
        case erro::kSequenciaInvalida:
            return 50;
        case erro::kPagamentoExcedido:
            return 56;
        case erro::kItemInexistente:
            return 31;
        case erro::kValorInvalido:
            return 3;
        case erro::kReducaoZPendente:
            return 28;
        case erro::kDiaFechado:
            return 29;
        case erro::kSemPapel:
            return 33;
        case erro::kForaDeIntervencao:
            return 20;
        case erro::kRelogio:
            return 17;
        case erro::kGerencialIndisponivel:
            return 30;
        case erro::kTabelaCheia:
            return 60;
        case erro::kVinculadoNaoPermitido:
            return 24;
        case erro::kCancelamentoNaoPermitido:
            return 32;
        case erro::kAutenticacaoNaoPermitida:
            return 62;
        case erro::kQuadroInvalido:
            return 12;
        case erro::kSemDados:
            return 7;
        default:
            return 10;
    }
}

FrenteNumerica::Resultado FrenteNumerica::Modelo(const std::string& comando, const std::string& parametros) {
    Resposta r = p_.Executa(comando, parametros);
    if (r.codigo == 0) return Resultado{"00", r.dados};
    return Erro(CodigoDoErro(r.codigo));
}

std::string FrenteNumerica::Status() {
    const std::int64_t ind = ValorNumerico(p_.Executa("LeInteiro", "NomeInteiro=\"Indicadores\"").dados, 0);
    unsigned b1 = 0, b3 = 0;
    if (ind & 1024) b1 |= 1u << 0;                  // receipt open
    if (ind & (2048 | 4096 | 8192)) b1 |= 1u << 1;  // another document open
    if (ind & 16) b1 |= 1u << 2;                    // day closed by a Z
    if (ind & 1) b1 |= 1u << 3;                     // technical intervention
    if (ind & 128) b1 |= 1u << 4;                   // Z pending
    if (ind & 256) b1 |= 1u << 5;                   // out of paper
    if (ind & 8) b1 |= 1u << 6;                     // summer time
    if (p_.aberto.tipo == TipoDocumento::Nenhum && p_.ultimo.cancelavel)
        b1 |= 1u << 7;           // last receipt cancellable
    if (ind & 4) b3 |= 1u << 1;  // drawer open
    if (ind & 2) b3 |= 1u << 6;  // paper low
    char s[16];
    std::snprintf(s, sizeof s, "%02X00%02X0000", b1, b3);
    return s;
}

FrenteNumerica::Resultado FrenteNumerica::Registrador(int n) {
    auto moeda = [&](const std::string& nome, int largura) {
        return Resultado{
            "00", Zeros(ValorNumerico(p_.Executa("LeMoeda", "NomeDadoMonetario=\"" + nome + "\"").dados, 2),
                        largura)};
    };
    auto texto = [](const std::string& t, std::size_t largura) {
        std::string r = t.substr(0, largura);
        r.resize(largura, ' ');
        return Resultado{"00", r};
    };
    const TotaisDia& d = p_.dia;
    switch (n) {
        case 36:
            return {"00", Zeros(d.descontosIcms + d.descontosIss, 14)};
        case 37:
            return {"00", Zeros(d.acrescimosIcms + d.acrescimosIss, 14)};
        case 38:
            return {"00", Zeros(d.cancelamentosIcms + d.cancelamentosIss, 14)};
        case 39:
            return {"00", Zeros(p_.gt, 18)};
        case 40:
            return {"00", Zeros(p_.VendaBruta(), 14)};
        case 41:
            return {"00", Zeros(p_.contadores.coo, 6)};
        case 42:
            return {"00", Zeros(p_.contadores.crz, 4)};
        case 43:
            return {"00", Zeros(p_.contadores.cro, 4)};
        case 47:
            return texto(p_.versaoSW, 8);
        case 48:
            return {"00", Zeros(p_.ecf, 4)};
        case 49:
            return texto(p_.numeroSerie, 20);
        case 83: {
            if (p_.memoriaFiscal.empty()) return {"00", std::string(12, '0')};
            const DataHora& z = p_.memoriaFiscal.back().emissao;
            return {"00", z.DDMMAA() + Zeros(z.hora, 2) + Zeros(z.minuto, 2) + Zeros(z.segundo, 2)};
        }
        case 86: {
            unsigned bits = 0;
            for (int i = 0; i < 16; ++i)
                if (p_.aliquotas[static_cast<std::size_t>(i)].programada &&
                    !p_.aliquotas[static_cast<std::size_t>(i)].icms)
                    bits |= 0x8000u >> i;
            char s[8];
            std::snprintf(s, sizeof s, "%04X", bits);
            return {"00", s};
        }
        case 96:
            return {"00", Zeros(p_.aberto.tipo == TipoDocumento::Nenhum ? 0 : p_.aberto.Total(), 14)};
        default:
            break;
    }
    if (n >= 50 && n <= 65) {
        // Form 1 is cash; forms 2 to 16 are the programmable slots 0 to 14.
        const int forma = n - 50;
        const MeioPagamento& m =
            forma == 0 ? p_.dinheiro : p_.meiosPagamento[static_cast<std::size_t>(forma - 1)];
        Resultado nome = texto(m.programado ? m.nome : "", 16);
        Resultado total = forma == 0 ? moeda("TotalDiaDinheiro", 14)
                                     : moeda("TotalDiaMeioPagamento[" + std::to_string(forma - 1) + "]", 14);
        return {"00", nome.valor + total.valor};
    }
    return Erro(codigo::kRegistrador);
}

FrenteNumerica::Resultado FrenteNumerica::Executa(const std::string& t) {
    if (t.size() < 2 || !Digitos(t.substr(0, 2))) return Erro(codigo::kComandoInexistente);
    const int n = static_cast<int>(Numero(t.substr(0, 2)));
    const std::string resto = t.substr(2);
    auto tamanho = [&](std::size_t esperado) { return resto.size() == esperado; };
    auto campoNumerico = [&](std::size_t inicio, std::size_t largura, std::int64_t& v) {
        std::string c = resto.substr(inicio, largura);
        if (!Digitos(c)) return false;
        v = Numero(c);
        return true;
    };
    const int largTexto = familia_ == 2 ? 48 : 40;

    switch (n) {
        case 1: {  // prepares an authentication: "01" and three digits
            if (!tamanho(3) || !Digitos(resto)) return Erro(codigo::kSintaxe);
            if (autenticando_) return Erro(codigo::kEstadoCheque);
            autenticando_ = true;
            return {};
        }
        case 3: {  // prints the authentication: "03" and five blanks
            if (!tamanho(5)) return Erro(codigo::kSintaxe);
            if (!autenticando_) return Erro(codigo::kSemEstadoCheque);
            autenticando_ = false;
            return Modelo("ImprimeAutenticacao", "");
        }
        case 6: {  // starts the closing: ["@"] "&" amount(15); "@" is a surcharge
            bool acrescimo = !resto.empty() && resto[0] == '@';
            std::string c = acrescimo ? resto.substr(1) : resto;
            if (c.empty() || c[0] != '&') return Erro(codigo::kCampoAcrescimo);
            std::int64_t v = 0;
            if (c.size() != 16 || !Digitos(c.substr(1))) return Erro(codigo::kNaoNumerico);
            v = Numero(c.substr(1));
            if (p_.aberto.tipo != TipoDocumento::CupomFiscal) return Erro(codigo::kAbrirCupom);
            if (p_.aberto.fase != Fase::Venda || p_.aberto.ajusteSubtotal != 0)
                return Erro(codigo::kJaTotalizado);
            if (v > 0) {
                Resultado r = Modelo("AcresceSubtotal",
                                     "ValorAcrescimo=" + std::string(acrescimo ? "" : "-") + Decimal(v, 2));
                if (r.codigo != "00") return r;
            }
            p_.aberto.fase = Fase::Totalizando;
            return {};
        }
        case 7: {  // payment: form(2) amount(15) flag(1): "1" pays the amount, "0" settles the rest
            if (!tamanho(18)) return Erro(codigo::kSintaxe);
            std::int64_t forma = 0, v = 0;
            if (!campoNumerico(0, 2, forma) || !campoNumerico(2, 15, v)) return Erro(codigo::kNaoNumerico);
            if (resto[17] != '0' && resto[17] != '1') return Erro(codigo::kSintaxe);
            if (forma < 1 || forma > 16) return Erro(codigo::kRegistrador);
            if (p_.aberto.tipo != TipoDocumento::CupomFiscal) return Erro(codigo::kAbrirCupom);
            const std::string cod = forma == 1 ? "-2" : std::to_string(forma - 2);
            if (resto[17] == '0') {
                if (p_.aberto.Pago()) return {};
                v = p_.aberto.Total() - p_.aberto.pago;
            }
            return Modelo("PagaCupom", "CodMeioPagamento=" + cod + " Valor=" + Decimal(v, 2));
        }
        case 8: {  // closes the receipt: "S" length(3) message
            if (resto.size() < 4 || (resto[0] != 'S' && resto[0] != 'N') || !Digitos(resto.substr(1, 3)))
                return Erro(codigo::kSintaxe);
            const std::string msg = resto.substr(4);
            if (static_cast<std::int64_t>(msg.size()) != Numero(resto.substr(1, 3)))
                return Erro(codigo::kSintaxe);
            if (p_.aberto.tipo != TipoDocumento::CupomFiscal) return Erro(codigo::kAbrirCupom);
            if (!p_.aberto.Pago()) return Erro(codigo::kFaltaPagamento);
            if (!Apara(msg).empty()) {
                Resultado r = Modelo("ImprimeTexto", "TextoLivre=\"" + msg + "\"");
                if (r.codigo != "00") return r;
            }
            return Modelo("EncerraDocumento", "");
        }
        case 10: {  // opens a receipt; family 2 adds the customer's id(28)
            if (!tamanho(familia_ == 2 ? 28 : 0)) return Erro(codigo::kSintaxe);
            std::string id = Apara(resto);
            return Modelo("AbreCupomFiscal", id.empty() ? "" : "IdConsumidor=\"" + id + "\"");
        }
        case 11: {  // sale
            const std::size_t lq = familia_ == 2 ? 7 : 6;
            const std::size_t base = 1 + lq + 11 + 3 + 16 + 2 + 13 + 1;
            if (resto.size() < base) return Erro(codigo::kSintaxe);
            const char marca = resto[0];
            int casasPreco = 2;
            if (familia_ == 1 ? marca != '-' : (marca != 'G' && marca != 'H')) return Erro(codigo::kSinal);
            if (marca == 'H') casasPreco = 3;
            std::int64_t qtd = 0, preco = 0, desconto = 0, codigoProduto = 0;
            if (!campoNumerico(1, lq, qtd) || !campoNumerico(1 + lq, 11, preco))
                return Erro(codigo::kNaoNumerico);
            std::size_t i = 1 + lq + 11;
            const std::string tributo = resto.substr(i, 3);
            i += 3;
            if (resto[i] != '&') return Erro(codigo::kCampoAcrescimo);
            if (!campoNumerico(i + 1, 15, desconto)) return Erro(codigo::kNaoNumerico);
            i += 16;
            const std::string unidade = Apara(resto.substr(i, 2));
            i += 2;
            if (!campoNumerico(i, 13, codigoProduto)) return Erro(codigo::kNaoNumerico);
            const std::string produto = resto.substr(i, 13);
            i += 13;
            const char forma = resto[i++];
            std::string descricao;
            if (forma == '0' && resto.size() == i + 20)
                descricao = resto.substr(i, 20);
            else if (forma == '2' && resto.size() == i + 76)
                descricao = resto.substr(i, 38);
            else
                return Erro(codigo::kSintaxe);
            std::string aliquota;
            if (!Digitos(tributo.substr(1))) return Erro(codigo::kNaoNumerico);
            if (tributo == "F00")
                aliquota = "-2";
            else if (tributo == "I00")
                aliquota = "-3";
            else if (tributo == "N00")
                aliquota = "-4";
            else if (tributo[0] == 'T') {
                // Slots 1 to 16 ("T00" is the 16th) are the model's 0 to 15.
                int slot = static_cast<int>(Numero(tributo.substr(1)));
                if (slot > 16) return Erro(codigo::kAliquota);
                aliquota = std::to_string((slot + 15) % 16);
            } else
                return Erro(codigo::kTributo);
            Resultado r = Modelo("VendeItem", "CodAliquota=" + aliquota + " CodProduto=\"" + produto +
                                                  "\" NomeProduto=\"" + Apara(descricao) +
                                                  "\" PrecoUnitario=" + Decimal(preco, casasPreco) +
                                                  " Quantidade=" + Decimal(qtd, 3) + " Unidade=\"" +
                                                  (unidade.empty() ? "Un" : unidade) + "\"");
            if (r.codigo != "00" || desconto == 0) return r;
            return Modelo("AcresceItemFiscal", "ValorAcrescimo=-" + Decimal(desconto, 2));
        }
        case 12: {
            std::int64_t item = 0;
            if (!tamanho(3)) return Erro(codigo::kSintaxe);
            if (!campoNumerico(0, 3, item)) return Erro(codigo::kNaoNumerico);
            return Modelo("CancelaItemFiscal", "NumItem=" + std::to_string(item));
        }
        case 14:
            if (!tamanho(0)) return Erro(codigo::kSintaxe);
            return Modelo("CancelaCupom", "");
        case 15:  // "150" X reading, "151" opens the management report
            if (resto == "0") return Modelo("EmiteLeituraX", "");
            if (resto == "1") return Modelo("AbreGerencial", "CodGerencial=0");
            return Erro(codigo::kSintaxe);
        case 16:
            if (resto != "0") return Erro(codigo::kSintaxe);
            return Modelo("EmiteReducaoZ", "");
        case 17: {  // fiscal-memory reading by dates ddmmyy ddmmyy
            if (!tamanho(12)) return Erro(codigo::kSintaxe);
            if (!Digitos(resto)) return Erro(codigo::kNaoNumerico);
            auto data = [&](std::size_t i) {
                return "#" + resto.substr(i, 2) + "/" + resto.substr(i + 2, 2) + "/20" +
                       resto.substr(i + 4, 2) + "#";
            };
            return Modelo("EmiteLeituraMF", "DataInicial=" + data(0) + " DataFinal=" + data(6));
        }
        case 18: {
            std::int64_t de = 0, ate = 0;
            if (!tamanho(8)) return Erro(codigo::kSintaxe);
            if (!campoNumerico(0, 4, de) || !campoNumerico(4, 4, ate)) return Erro(codigo::kNaoNumerico);
            if (de > ate) return Erro(codigo::kIntervalo);
            return Modelo("EmiteLeituraMF",
                          "ReducaoInicial=" + std::to_string(de) + " ReducaoFinal=" + std::to_string(ate));
        }
        case 20: {  // bound voucher for the last receipt's first form still owed one
            if (!tamanho(0)) return Erro(codigo::kSintaxe);
            if (p_.vinculadosPendentes.empty()) return Erro(codigo::kNaoFiscalNecessario);
            return Modelo("AbreCreditoDebito",
                          "CodMeioPagamento=" + std::to_string(p_.vinculadosPendentes.front()));
        }
        case 21: {  // closes a non-fiscal receipt, a voucher or a report
            if (!tamanho(0)) return Erro(codigo::kSintaxe);
            if (p_.aberto.tipo == TipoDocumento::Nenhum || p_.aberto.tipo == TipoDocumento::CupomFiscal)
                return Erro(codigo::kNaoFiscalNecessario);
            if (p_.aberto.tipo == TipoDocumento::NaoFiscal) {
                if (p_.aberto.itens.empty()) return Modelo("CancelaCupom", "");
                if (!p_.aberto.Pago()) {
                    Resultado r = Modelo("PagaCupom", "CodMeioPagamento=-2 Valor=" +
                                                          Decimal(p_.aberto.Total() - p_.aberto.pago, 2));
                    if (r.codigo != "00") return r;
                }
            }
            return Modelo("EncerraDocumento", "");
        }
        case 22:
            if (!tamanho(0)) return Erro(codigo::kSintaxe);
            return Modelo("AbreCupomNaoFiscal", "");
        case 23: {  // non-fiscal item: register(2) amount(15) "%" percent(4)
            std::int64_t reg = 0, v = 0, pct = 0;
            if (!tamanho(22)) return Erro(codigo::kSintaxe);
            if (resto[17] != '%') return Erro(codigo::kCampoAcrescimo);
            if (!campoNumerico(0, 2, reg) || !campoNumerico(2, 15, v) || !campoNumerico(18, 4, pct))
                return Erro(codigo::kNaoNumerico);
            if (p_.aberto.tipo != TipoDocumento::NaoFiscal) return Erro(codigo::kNaoFiscalNecessario);
            if (reg > 14) return Erro(codigo::kRegistrador);
            return Modelo("EmiteItemNaoFiscal",
                          "CodNaoFiscal=" + std::to_string(reg) + " Valor=" + Decimal(v, 2));
        }
        case 24:
            if (resto != std::string("0\x14P")) return Erro(codigo::kSintaxe);
            return Modelo("AbreGaveta", "");
        case 26: {  // a line of text in a report or voucher: "0" text(40 or 48)
            if (!tamanho(1 + static_cast<std::size_t>(largTexto)) || resto[0] != '0')
                return Erro(codigo::kSintaxe);
            std::string linha = resto.substr(1);
            while (!linha.empty() && linha.back() == ' ') linha.pop_back();
            return Modelo("ImprimeTexto", "TextoLivre=\"" + linha + "\"");
        }
        case 30: {  // the rates of the 16 slots, 4 digits each
            if (!tamanho(0)) return Erro(codigo::kSintaxe);
            std::string v;
            for (const Aliquota& a : p_.aliquotas) v += Zeros(a.programada ? a.percentual : 0, 4);
            return {"00", v};
        }
        case 32:
            if (!tamanho(0)) return Erro(codigo::kSintaxe);
            return {"00", Status()};
        case 33: {
            if (!tamanho(0)) return Erro(codigo::kSintaxe);
            DataHora a = p_.Agora();
            return {"00", a.DDMMAA() + Zeros(a.hora, 2) + Zeros(a.minuto, 2) + Zeros(a.segundo, 2)};
        }
        case 34: {
            std::int64_t reg = 0;
            if (!tamanho(3) || resto[0] != 'M') return Erro(codigo::kSintaxe);
            if (!campoNumerico(1, 2, reg)) return Erro(codigo::kNaoNumerico);
            return Registrador(static_cast<int>(reg));
        }
        default:
            return Erro(codigo::kComandoInexistente);
    }
}

}  // namespace emulador
