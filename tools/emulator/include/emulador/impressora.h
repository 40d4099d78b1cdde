// The fiscal printer itself: its tables, counters, day totals, the document in emission, the
// detail tape (every document as printed), the fiscal memory (one record per Z reduction)
// and the stream that `LeImpressao` serves. `Executa` runs one command of the named-parameter
// protocol against that state, as a printer of that family would, and answers with a code
// and the reply data. PROTOCOL.md describes every command, reply form and printed layout.
//
// The members are public so that tests can look at the printer and set it up (paper out,
// technical intervention, the clock); Emulador hands out copies and runs changes under its
// lock.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "emulador/protocolo.h"
#include "emulador/relogio.h"

namespace emulador {

// Error numbers the printer answers with (see PROTOCOL.md for when each is used).
namespace erro {
constexpr int kComandoInexistente = 8000;
constexpr int kParametroInvalido = 8001;
constexpr int kParametroAusente = 8002;
constexpr int kParametroDesconhecido = 8003;
constexpr int kRegistradorInexistente = 8004;
constexpr int kAliquotaNaoProgramada = 8005;  // also an empty non-fiscal totaliser
constexpr int kDocumentoAberto = 8006;
constexpr int kDocumentoNaoAberto = 8007;
constexpr int kSequenciaInvalida = 8008;
constexpr int kPagamentoExcedido = 8009;
constexpr int kItemInexistente = 8010;
constexpr int kValorInvalido = 8011;
constexpr int kReducaoZPendente = 8012;
constexpr int kDiaFechado = 8013;
constexpr int kMeioPagamentoNaoProgramado = 8014;
constexpr int kSemPapel = 8015;
constexpr int kForaDeIntervencao = 8016;
constexpr int kRelogio = 8017;
constexpr int kGerencialIndisponivel = 8018;
constexpr int kTabelaCheia = 8019;
constexpr int kPosicaoOcupada = 8020;
constexpr int kVinculadoNaoPermitido = 8021;
constexpr int kCancelamentoNaoPermitido = 8022;
constexpr int kAutenticacaoNaoPermitida = 8023;
constexpr int kCodigoBarrasInvalido = 8024;
constexpr int kDepartamentoNaoProgramado = 8031;
constexpr int kQuadroInvalido = 8040;
constexpr int kSemDados = 8089;
}  // namespace erro

// Document types as `TipoDocEmEmissao` and `TipoUltimoDocEmitido` report them.
enum class TipoDocumento : int {
    Nenhum = 0,
    LeituraX = 1,
    ReducaoZ = 2,
    CupomFiscal = 3,
    NaoFiscal = 4,
    CupomFiscalCancelado = 5,
    NaoFiscalCancelado = 6,
    LeituraMemoriaFiscal = 7,
    CreditoDebito = 8,
    EstornoCreditoDebito = 9,
    EstornoMeioPagamento = 10,
    Gerencial = 15,
};

struct Resposta {
    int codigo = 0;
    std::string dados;
};

// --- tables ------------------------------------------------------------------------------
struct Aliquota {
    bool programada = false;
    int percentual = 0;  // hundredths of a percent: 1800 = 18,00 %
    bool icms = true;    // false: service tax (ISSQN)
    std::string descricao;
};
struct MeioPagamento {
    bool programado = false;
    std::string nome;  // code page 850, as the printer prints it
    std::string descricao;
    bool permiteVinculado = false;
};
struct TotalizadorNaoFiscal {
    bool programado = false;
    std::string nome;
    std::string descricao;
    bool entrada = true;  // cash in (suprimento-like); false: cash out (sangria-like)
};
struct Gerencial {
    bool programado = false;
    std::string nome;
};
struct Departamento {
    bool programado = false;
    std::string nome;
};

// --- totals (cents; quantities in thousandths) ----------------------------------------------
struct TotaisDia {
    std::array<std::int64_t, 16> aliquota{};  // net sales per rate slot
    std::int64_t f1 = 0, i1 = 0, n1 = 0;      // ICMS: tax substitution, exempt, not levied
    std::int64_t fs1 = 0, is1 = 0, ns1 = 0;   // the same for ISSQN
    std::int64_t descontosIcms = 0, descontosIss = 0;
    std::int64_t acrescimosIcms = 0, acrescimosIss = 0;
    std::int64_t cancelamentosIcms = 0, cancelamentosIss = 0;
    std::array<std::int64_t, 15> naoFiscal{};
    std::int64_t descontosNaoFiscal = 0, acrescimosNaoFiscal = 0, cancelamentosNaoFiscal = 0;
    std::int64_t dinheiro = 0;                     // cash received (form -2)
    std::array<std::int64_t, 15> meioPagamento{};  // other forms received
    std::int64_t troco = 0;
    std::array<std::int64_t, 20> departamentoValor{};
    std::array<std::int64_t, 20> departamentoQuantidade{};
};

struct Contadores {
    int coo = 0, ccf = 0, gnf = 0, grg = 0, cdc = 0, crz = 0, cro = 1, cfd = 0, nfc = 0, ncn = 0, cfc = 0;
    std::array<int, 15> con{};  // operations per non-fiscal totaliser
    std::array<int, 20> cer{};  // reports per management-report index
};

// --- documents ------------------------------------------------------------------------------
struct Linha {
    std::string texto;  // code page 850 bytes (received texts are printed as received)
    bool negrito = false;
};

struct DocumentoAberto;

// One printed document as the detail tape keeps it.
struct Documento {
    int coo = 0;  // 0 for prints that are no document (readings sent to the serial port)
    TipoDocumento tipo = TipoDocumento::Nenhum;
    DataHora inicio, fim;
    int proprietario = 1;
    bool fechado = false;
    std::vector<Linha> linhas;
    // What the document held when it closed (items, adjustments, payments, consumer), kept
    // beside its printed lines for the memory reading; empty for documents without sales data.
    std::shared_ptr<const DocumentoAberto> dados;

    std::string Texto() const;  // lines joined with "\n"
    std::string Fluxo() const;  // the printer's byte stream (see PROTOCOL.md)
};

// Taxation of an item: a programmed rate slot or one of the fixed totalisers.
struct Tributo {
    enum class Tipo { Aliquota, F, I, N, FS, IS, NS };
    Tipo tipo = Tipo::Aliquota;
    int indice = 0;  // slot for Tipo::Aliquota
    bool Icms(const std::array<Aliquota, 16>& aliquotas) const;
    std::string Rotulo() const;  // T00, S03, F1, I1, N1, FS1, IS1, NS1
};

struct Item {
    int numero = 0;
    std::string codigo, descricao, unidade;
    std::int64_t quantidade = 0;  // thousandths
    std::int64_t preco = 0;       // thousandths of the currency
    int casasPreco = 2;
    std::int64_t valor = 0;  // quantity x price, in cents
    Tributo tributo;
    bool icms = true;
    int departamento = -1;
    int naoFiscal = -1;  // totaliser of a non-fiscal item
    std::int64_t desconto = 0, acrescimo = 0;
    std::int64_t rateio = 0;  // share of the subtotal discount (<0) or surcharge (>0)
    bool cancelado = false;
    std::int64_t Liquido() const { return valor - desconto + acrescimo + rateio; }
};

struct Pagamento {
    int codigo = -2;  // -2 cash, 0..14 programmed forms
    std::string nome;
    std::int64_t valor = 0;
    std::string texto;
    std::int64_t vinculado = 0;  // part of it already used by bound vouchers
};

enum class Fase { Venda, Totalizando, Pagamento };

struct DocumentoAberto {
    TipoDocumento tipo = TipoDocumento::Nenhum;
    Fase fase = Fase::Venda;
    int indiceFita = -1;  // position on the detail tape
    std::vector<Item> itens;
    std::int64_t ajusteSubtotal = 0;  // surcharge (>0) or discount (<0) on the subtotal
    bool subtotalImpresso = false;
    std::vector<Pagamento> pagamentos;
    std::int64_t pago = 0;
    bool totalImpresso = false;
    bool consumidorImpresso = false;  // IdentificaConsumidor already printed
    bool saida = false;               // non-fiscal document with a cash-out totaliser
    int gerencial = -1;               // management report index
    int cooVinculado = 0;             // bound voucher: COO of the document it belongs to
    int formaVinculada = -2;
    std::int64_t valorVinculado = 0;
    int linhasTexto = 0;
    std::string consumidorId, consumidorNome, consumidorEndereco;  // as the consumer was named

    std::int64_t Bruto() const;  // items (not cancelled) with their own discounts and surcharges
    std::int64_t Total() const { return Bruto() + ajusteSubtotal; }
    bool Pago() const { return !pagamentos.empty() && pago >= Total(); }
};

// Last closed receipt or non-fiscal receipt, for the cancellation, the bound vouchers, the
// authentication and the additional copy.
struct UltimoComprovante {
    TipoDocumento tipo = TipoDocumento::Nenhum;
    int coo = 0, ccf = 0;
    int indiceFita = -1;
    DocumentoAberto doc;
    bool cancelavel = false;
    int autenticacoes = 0;
};

// A bound credit/debit voucher issued, for its reversal.
struct VinculadoEmitido {
    int coo = 0;        // the voucher
    int cooOrigem = 0;  // the receipt it belongs to
    int forma = 0;
    std::int64_t valor = 0;
    bool estornado = false;
};

// One Z reduction in the fiscal memory.
struct RegistroZ {
    int crz = 0, coo = 0, cro = 0, cooInicial = 0;
    DataHora emissao;    // date and time of the reduction
    DataHora movimento;  // the day it closed
    std::int64_t gt = 0, gtInicial = 0;
    TotaisDia totais;
    std::array<Aliquota, 16> aliquotas;
    Contadores contadores;
    std::int64_t VendaBruta() const { return gt - gtInicial; }
};

struct Usuario {
    int numero = 1;
    std::string cnpj, ie, im;
    int cro = 1;
    DataHora registro;
    std::int64_t gt = 0;
};

struct Evento {  // a dated entry of the fiscal memory (software versions, restarts, tape prints)
    std::string texto;
    DataHora quando;
};

// Prints on an inserted slip (cheques, authentications), not on the receipt roll.
struct Folha {
    enum class Tipo { Cheque, Autenticacao };
    Tipo tipo = Tipo::Cheque;
    std::vector<std::string> linhas;
};

class Impressora {
  public:
    Impressora();

    // Runs one command; never throws.
    Resposta Executa(const std::string& comando, const std::string& parametros);

    // --- clock -----------------------------------------------------------------------------
    DataHora Agora() const;
    void AjustaRelogio(const DataHora& quando);  // the clock reads `quando` now
    void AvancaRelogio(std::int64_t segundos);   // negative: back
    std::int64_t deslocamentoRelogio = 0;        // seconds added to the computer's clock

    // --- identity and settings ---------------------------------------------------------------
    std::string marca = "TARVO";
    std::string modelo = "RIX 4000";
    std::string tipoEcf = "ECF-IF";
    std::string versaoSW = "01.00.05";
    std::string numeroSerie = "TV010500000000012345";
    std::string numeroSerieMFD = "TVM00500000000012345";
    std::string cnpj = "11.222.333/0001-81";
    std::string ie = "123.456.789.012";
    std::string im = "12345678";
    std::string cliche;  // header lines separated by line feeds (may hold ESC sequences)
    int loja = 1, ecf = 1;
    std::string simboloMoeda = "R$", moedaSingular = "Real", moedaPlural = "Reais";
    int arredondamento = 1;  // 1: truncation, 0: rounding
    int espacamentoDocumentos = 0, espacamentoLinhas = 0, imprimeItem1Linha = 0, baudRate = 115200;
    int permiteIss = 15;
    std::int64_t mfdTotal = 64LL * 1024 * 1024;  // bytes
    std::int64_t mfdOcupadaExtra = 0;            // added to what the tape holds (tests)

    // --- indicators ---------------------------------------------------------------------------
    bool semPapel = false, poucoPapel = false, gavetaAberta = false, horarioVerao = false;
    bool intervencaoTecnica = false, chequeInserido = false;
    std::string cmc7 = "<00100012<0010000015>000000012345:";  // line of the inserted cheque

    // --- tables -----------------------------------------------------------------------------
    std::array<Aliquota, 16> aliquotas;
    MeioPagamento dinheiro;  // form -2
    std::array<MeioPagamento, 15> meiosPagamento;
    std::array<TotalizadorNaoFiscal, 15> naoFiscais;
    std::array<Gerencial, 20> gerenciais;
    std::array<Departamento, 20> departamentos;

    // --- counters and totals ----------------------------------------------------------------
    Contadores contadores;
    TotaisDia dia;
    std::int64_t gt = 0, gtInicial = 0;
    int cooInicioDia = 1;
    bool movimentoAberto = false;
    DataHora dataAbertura;         // day the movement opened
    std::int64_t diaFechado = -1;  // day number closed by a Z reduction (-1: none)
    std::int64_t inicioOperacao = 0;
    std::int64_t segundosEmitindo = 0;
    int ultimoItemVendido = 0;

    // --- documents ------------------------------------------------------------------------------
    DocumentoAberto aberto;
    TipoDocumento ultimoDocumento = TipoDocumento::Nenhum;
    DataHora dataUltimoDocumento;
    UltimoComprovante ultimo;
    std::vector<int> vinculadosPendentes;  // forms of the last receipt still owed a bound voucher
    std::vector<VinculadoEmitido> vinculados;

    // --- what it prints and remembers --------------------------------------------------------
    std::vector<Documento> fita;     // the detail tape (documents in COO order)
    std::vector<std::string> papel;  // every line that went onto the paper roll
    int cortes = 0;
    std::vector<Folha> folhas;  // cheques and authentications
    std::vector<RegistroZ> memoriaFiscal;
    std::vector<Usuario> usuarios;
    std::vector<Evento> versoesSB, reinicios, impressoesFita;
    std::string captura;  // stream waiting for LeImpressao
    std::size_t capturaLida = 0;
    // Memory reading (cmd_memorias.cpp): the images taken when a reading starts, served in pieces.
    std::string imagemMF, imagemMFD;
    bool leituraMemorias = false;
    // Barcode settings (GS w, GS h, GS H, GS f).
    int barrasLargura = 3, barrasAltura = 162, barrasPosicaoTexto = 2, barrasFonte = 0;

    // --- helpers for tests ---------------------------------------------------------------------
    std::string TextoFita() const;  // all documents, lines joined with "\n"
    const Documento* DocumentoPorCoo(int coo) const;
    std::string DadosUltimaReducao() const;  // the 616-character text of DadosUltimaReducaoZ
    std::int64_t VendaBruta() const { return gt - gtInicial; }
    std::int64_t VendaLiquida() const;
    std::int64_t ImpostoIcms() const;
    std::int64_t MfdOcupada() const;
    // Leaves technical intervention: counts a restart of operation (CRO).
    void EncerraIntervencao();
    // The images the memory reading serves (PROTOCOL.md, section 4.1).
    std::string ImagemMemoriaFiscal() const;
    std::string ImagemFitaDetalhe() const;
    // Every slot empty and no payment form but cash, as a printer fresh from the factory.
    void LimpaTabelas();
};

}  // namespace emulador
