// Reading the printer's detail tape as text (48-column lines, Windows-1252) into the ATO
// COTEPE records: the head scan that finds the printer, the day and the user, and the
// document parser that fills the records of each printed document and turns them into the
// day files of RFDTEMP.
#pragma once

#include <array>
#include <cstddef>
#include <deque>
#include <string>
#include <vector>

#include "driver/fiscalfiles/registros_ato.h"

namespace tarvo {

// --- text routines of the conversion -------------------------------------------------------------
// The last five lines read, the current one last.
class JanelaTexto {
  public:
    void Adiciona(const std::string& linha);
    const std::string& Atual() const;
    // Line k before the current one (1 = the one just before); empty when there is none.
    std::string Anterior(std::size_t k) const;
    void Limpa() { linhas_.clear(); }

  private:
    std::deque<std::string> linhas_;
};

// The up to 48 characters after `rotulo` in the newest of the four lines before the current
// one that holds it, trimmed and cut at the first blank; empty when none holds it.
std::string ValorAposRotulo(const std::string& rotulo, const JanelaTexto& janela);
// A date (separator "/": dd/mm/yyyy) or time (":": hh:mm:ss) of the window, current line
// first: the first line whose first separator is followed, three characters on, by another.
std::string DataHoraNoTexto(char separador, const JanelaTexto& janela);

struct Quantidade {
    std::string quantidade;  // digits, 3 decimals
    std::string unidade;
};
// A printed quantity with its unit ("2,5UN", "3KG", "1Un").
Quantidade SeparaQuantidade(const std::string& impressa);
bool EhLinhaAliquota(const std::string& linha);
struct NumeroFabricacao {
    std::string serie;
    std::string letra;  // additional-memory letter, or a blank
};
NumeroFabricacao SeparaNumeroFabricacao(const std::string& linha);
bool EhLinhaConsumidor(const std::string& linha);
// dd/mm/yyyy (any separators) as YYYYMMDD.
std::string DataParaAAAAMMDD(const std::string& texto);
std::string IncrementaTresDigitos(const std::string& texto);
// The user's name (40) and address (three lines of 48) from the head of a printed text: the
// non-empty lines before the first that begins with "CNPJ:" or ten "-". False when none.
bool UsuarioDoTexto(const std::vector<std::string>& linhas, std::string& nome, std::string& endereco);

// --- the printer's identity -----------------------------------------------------------------
struct IdentificacaoEcfRfd {
    std::string TipoECF;  // 7
    std::string Marca;    // 20
    std::string Modelo;   // 20
    std::string LetraModelo;
    std::string CodigoFabricante;  // two letters
};
struct LinhaBanner {
    const char* banner;  // as the head of every document prints it
    const char* marca;
    const char* modelo;
    const char* tipo;
    const char* fabricante;
    const char* letra;
    bool dataNaLinhaAnterior;  // end date and time from the line before the foot
    bool versaoDoTexto;        // basic-software version from "VERSÃO:"
};
// One row per model the library knows.
const std::vector<LinhaBanner>& TabelaBanners();
inline constexpr char kFabricantePadrao[] = "TV";

// --- the conversion of one reduction's text ------------------------------------------------------
struct ResultadoCabecalho {
    std::string DataMovimento;          // YYYYMMDD, empty when the text has none
    std::string DataMovimentoImpressa;  // the last 15 characters of its line
};

class ConversorDetalhe {
  public:
    // `armazenamento`: the user block comes from the head of the text.
    ConversorDetalhe(IdentificacaoEcfRfd& identificacao, bool armazenamento);

    // Stage 1 over the whole text: identity, serial, movement date, grand total, user.
    ResultadoCabecalho LeCabecalho(const std::vector<std::string>& linhas);
    // Stage 2: every document of the text into the day files. `aliquotas`: the 16 rate
    // entries ("T1800"); `permiteIss`: the ISSQN discount parameter of the reduction.
    void LeDocumentos(const std::vector<std::string>& linhas, const std::array<std::string, 16>& aliquotas,
                      bool permiteIss, const std::string& primeiroCoo);
    // Serial, additional-memory letter, model and user of the documents read.
    const CabecalhoECF& Cabecalho() const { return cabecalho_; }

  private:
    void Linha(const std::string& linha);
    void AbreDocumento(const std::string& linha);
    void FechaPendente();
    void Rodape(const std::string& linha);
    void LinhaReducao(const std::string& linha);
    void LinhaCupom(const std::string& linha);
    void Item(const std::string& linha);
    void CancelaItem(const std::string& numero, const std::string& quantidade, const std::string& valor);
    void AjustaItem(const std::string& numero, bool desconto, const std::string& valor);
    bool LeItem(const std::string& numero);
    void GravaE14();
    void Banner(const std::string& linha);
    std::string DataFinal() const;
    std::string HoraFinal() const;

    IdentificacaoEcfRfd& id_;
    bool armazenamento_;
    const LinhaBanner* banner_ = nullptr;
    JanelaTexto janela_;
    CabecalhoECF cabecalho_{};
    std::array<std::string, 16> aliquotas_;
    bool permiteIss_ = false;
    std::string primeiroCoo_;

    // The document being read.
    bool pendente_ = false;
    int tipo_ = 0;
    std::string dataCabecalho_;  // YYYYMMDD of its head line
    std::string ultimoItem_ = "000";
    int itemLido_ = 0;  // record of the item LeItem found
    int itens_ = 0, pagamentos_ = 0, totalizadores_ = 0, naoFiscais_ = 0, meios_ = 0;
    int numeroAliquota_ = -1;
    std::string descricaoItem_;  // the item's first line(s), before its value line
    bool emPagamentos_ = false, emNaoFiscais_ = false, emMeios_ = false;
};

}  // namespace tarvo
