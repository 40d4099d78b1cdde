// Inside of the printer model: the refusal mechanism, the parameters of one command, the
// printing helpers and the command handlers (one member function per command word, spread
// over the cmd_*.cpp files by subject).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "emulador/impressora.h"
#include "numeros.h"

namespace emulador {

// A refusal: the printer's error number and the two texts of its error reply.
struct Falha {
    int codigo;
    std::string nome;
    std::string circunstancia;
};
[[noreturn]] void Recusa(int codigo, std::string nome, std::string circunstancia);

// The parameters of one command, with typed readers that refuse bad values.
class Args {
  public:
    explicit Args(std::vector<Parametro> p) : p_(std::move(p)) {}
    const Parametro* Pega(std::string_view nome) const;
    bool Tem(std::string_view nome) const { return Pega(nome) != nullptr; }
    // Refuses (8003) a parameter whose name is not in `aceitos`.
    void Confere(const std::vector<const char*>& aceitos) const;

    std::string Texto(std::string_view nome) const;  // required
    std::optional<std::string> TextoOpcional(std::string_view nome) const;
    std::int64_t Decimal(std::string_view nome, int casas) const;  // required
    std::optional<std::int64_t> DecimalOpcional(std::string_view nome, int casas) const;
    std::int64_t Inteiro(std::string_view nome) const { return Decimal(nome, 0); }
    std::optional<std::int64_t> InteiroOpcional(std::string_view nome) const {
        return DecimalOpcional(nome, 0);
    }
    std::optional<bool> Booleano(std::string_view nome) const;  // true/false, Yes/No, 1/0
    std::optional<DataHora> Data(std::string_view nome, bool ajustaDia = false) const;
    std::optional<DataHora> Hora(std::string_view nome) const;
    // Number of decimals as written (for prices with 2 or 3 places).
    int Casas(std::string_view nome) const;

  private:
    std::vector<Parametro> p_;
};

// Converts the UTF-8 of this source code into the printer's code page 850.
std::string Cp850(std::string_view utf8);
// Width of a printed text: escape sequences (ESC x n) take no column.
int Largura(std::string_view texto);

class Comandos {
  public:
    Comandos(Impressora& p, const Args& a) : p(p), a(a) {}
    Impressora& p;
    const Args& a;

    // --- checks common to many commands ----------------------------------------------------
    void ExigeNenhumDocumento() const;
    void ExigeDocumento(TipoDocumento tipo, const char* oQue) const;
    void ExigeDiaAberto() const;  // no Z pending, day not closed by a Z
    bool ZPendente() const;
    bool DiaFechadoHoje() const;

    // --- printing --------------------------------------------------------------------------
    // Starts a document on the detail tape (COO counted): header, date/COO line, title.
    // Returns its index on the tape.
    int NovoDocumento(TipoDocumento tipo, const std::string& titulo, const std::string& rotulo, int valor);
    // The same layout into `d` without counting a COO (readings sent to the serial port).
    void Cabecalho(Documento& d, const std::string& titulo, const std::string& rotulo, int valor,
                   const DataHora& quando) const;
    void Imprime(int indice, const std::string& texto, bool negrito = false);
    void Imprime(Documento& d, bool papel, const std::string& texto, bool negrito = false);
    void Separador(int indice) { Imprime(indice, std::string(kColunas, '-')); }
    // Free text: "\n" breaks lines, long lines wrap, GS sequences make barcodes. With `indice`
    // below 0 (no document) only barcode settings are taken; anything to print is refused.
    void TextoLivre(int indice, const std::string& texto);
    // Footer (and the non-fiscal counters line when `contadores`); closes the document.
    void Rodape(Documento& d, bool papel, bool contadores);
    void Encerra(int indice, bool contadores);
    void MarcaMovimento();        // the first document of the day opens the movement
    void AntesDeNovoDocumento();  // bound vouchers owed by the last receipt are now lost

    // --- day totals ------------------------------------------------------------------------
    std::int64_t& TotalTributo(const Tributo& t);
    void LancaCancelamento(const Item& item, std::int64_t valor);
    // The counters a surcharge or discount on an item moves: the item's totaliser and the
    // day's discounts, surcharges and cancellations of its kind, and the grand total
    // (fiscal items only).
    struct ContasDoItem {
        std::int64_t& total;
        std::int64_t& descontos;
        std::int64_t& acrescimos;
        std::int64_t& cancelamentos;
        std::int64_t* gt;
    };
    // A surcharge or discount on `it` (by value or percentage) or, with Cancelar, its
    // cancellation, counted in `c` and printed on the document (`percentual`: the line
    // shows the percentage given).
    Resposta AcresceItem(Item& it, const ContasDoItem& c, bool percentual);
    void RateiaSubtotal(DocumentoAberto& d, std::int64_t ajuste);
    void LancaPagamentos(const DocumentoAberto& d, int sinal);
    bool Trunca() const { return p.arredondamento == 1; }

    // --- lookups ---------------------------------------------------------------------------
    int FormaPorParametros(const char* nomeCodigo, const char* nomeNome, bool obrigatorio) const;
    int FormaPorNome(const std::string& nome) const;
    std::string NomeForma(int codigo) const;

    // --- registers (cmd_registradores.cpp) --------------------------------------------------
    Resposta LeInteiro();
    Resposta LeMoeda();
    Resposta LeTexto();
    Resposta LeData();
    Resposta LeHora();
    Resposta LeIndicador();
    Resposta EscreveInteiro();
    Resposta EscreveTexto();
    Resposta LeAliquota();
    Resposta LeMeioPagamento();
    Resposta LeNaoFiscal();
    // The non-fiscal totaliser a command names by CodNaoFiscal or NomeNaoFiscal; refuses a
    // code out of range or a totaliser that is not programmed.
    int NaoFiscalPedido();
    Resposta LeGerencial();
    Resposta LeDepartamento();

    // --- fiscal receipt (cmd_cupom.cpp) -------------------------------------------------------
    Resposta AbreCupomFiscal();
    Resposta VendeItem();
    Resposta AcresceItemFiscal();
    Resposta CancelaItemFiscal();
    Resposta AcresceSubtotal();
    Resposta PagaCupom();
    Resposta EstornaMeioPagamento();
    Resposta IdentificaConsumidor();
    Resposta ImprimeTexto();
    Resposta EncerraDocumento();
    Resposta CancelaCupom();
    Resposta ImprimeCupomAdicional();
    void ImprimeTotal(DocumentoAberto& d);
    // Opens a sale document (receipt or non-fiscal voucher) with its head, the counter that
    // numbers it, and the consumer lines when the command names the consumer; returns the
    // document's index on the detail tape.
    int AbreDocumentoDeVenda(TipoDocumento tipo, const char* rotulo, int& contador);
    bool ImprimeConsumidor(DocumentoAberto& d, const std::string& id, const std::string& nome,
                           const std::string& endereco);

    // --- non-fiscal documents (cmd_naofiscal.cpp) ---------------------------------------------
    Resposta AbreCupomNaoFiscal();
    Resposta EmiteItemNaoFiscal();
    Resposta AcresceItemNaoFiscal();
    Resposta CancelaItemNaoFiscal();
    Resposta AbreCreditoDebito();
    Resposta EstornaCreditoDebito();
    Resposta ReimprimeViaCreditoDebito();
    Resposta EmiteViaCreditoDebito();
    Resposta AbreGerencial();
    Resposta ImprimeDadosDepartamento();

    // --- readings and reports (cmd_relatorios.cpp) --------------------------------------------
    Resposta EmiteLeituraX();
    Resposta EmiteReducaoZ();
    Resposta EmiteLeituraMF();
    Resposta EmiteLeituraFitaDetalhe();
    Resposta LeImpressao();
    void CorpoTotais(Documento& d, bool papel, const TotaisDia& t, const Contadores& c,
                     const std::array<Aliquota, 16>& aliquotas, std::int64_t gtFinal, std::int64_t gtInicial,
                     const DataHora& movimento);
    bool Serial() const;  // Destino="S"

    // --- programming and service (cmd_programacao.cpp) ----------------------------------------
    Resposta DefineAliquota();
    Resposta ExcluiAliquota();
    Resposta DefineMeioPagamento();
    Resposta ExcluiMeioPagamento();
    Resposta DefineNaoFiscal();
    Resposta ExcluiNaoFiscal();
    Resposta DefineGerencial();
    Resposta ExcluiGerencial();
    Resposta DefineDepartamento();
    Resposta ExcluiDepartamento();
    Resposta AcertaHorarioVerao();
    Resposta ProgramaRelogio();
    Resposta DefineDadosCabecalho();
    Resposta DefineProprietario();
    Resposta IniciaFitaDetalhe();
    Resposta AbreGaveta();
    Resposta AvancaPapel();
    Resposta CortaPapel();

    // --- memory reading (cmd_memorias.cpp) ----------------------------------------------------
    Resposta AbreLeituraMemorias();
    Resposta LeMemorias();

    // --- cheque, authentication (cmd_cheque.cpp) ----------------------------------------------
    Resposta ImprimeCheque();
    Resposta ImprimeAutenticacao();
};

// Reply data helpers.
std::string Aspas(const std::string& texto);
std::string SimNao(bool v);

}  // namespace emulador
