// Routines that every document of a family-0 printer shares: the close with its closing
// texts, free text, payments, the payment-form lookup, the state campaign bookkeeping and
// the cut after a document.
#pragma once

#include <string>

namespace tarvo {

// Closes the document in progress (`EncerraDocumento` with the operator). With `comTextos`
// the closing texts come first: the caller's message, the state campaign text and the
// application line, then the consumer identification of "ID.TXT". Every step runs and the
// result is the close's: 1 when the printer closed the document, whatever a closing text or
// the identification met (their first refusal stays in the last-error record). A failing
// campaign reading ends the close before anything is printed. The paper is cut after a
// successful close when the cutter is enabled.
int EncerraDocumentoTxt(bool comTextos, const std::string& mensagem);

// Prints free text in the open document: one `ImprimeTexto` per piece of 480 characters,
// stopping at the first failure. A piece ends early rather than cut an escape ("\n",
// "\xHH") in two. An empty text is sent once, as an empty piece.
int RixImprimeTextoLivre(const std::string& texto);

// The part of `texto` from `inicio` that fits in `maximo` characters without cutting an
// escape ("\n", "\xHH") in two: a text cut to the printer's field stays readable.
std::string TrechoInteiro(const std::string& texto, std::size_t inicio, std::size_t maximo);

// Pays `valor` (digits counting hundredths) in a payment form: "Dinheiro" (any case, blanks
// around) is the cash form -2, "-2" or digits are a form code, anything else a form name.
// `textoAdicional` (its first 80 characters, an escape kept whole) is printed under the
// payment when not empty.
int RixPagaCupom(const std::string& forma, const std::string& valor, const std::string& textoAdicional = "");

// Payment form to code: cash ("DINHEIRO" in any case, with blanks around, or "-2") is "-2",
// a code stays as it is, a name is looked up in the printer's table. `codigo` is empty when
// the name cannot be resolved; the result is the reading's (1 when nothing was read).
int CodigoMeioPagamento(const std::string& forma, std::string& codigo);
std::string CodigoMeioPagamento(const std::string& forma);

// The state campaign's tax bookkeeping: at the start of a document (`inicio`) the day tax
// total is read once per document; at the close the document's tax is stored in
// [Flags] CupomManiaTotalImp. Returns the reading's result (1 when nothing is read).
int AtualizaImpostoCampanha(bool inicio);

// After a successful document command: the automatic cut when [Sistema] HabilitaCorte is
// not "0". Returns `resultado` unchanged.
int CortaSeHabilitado(int resultado);

// True when a value is zero for the printer: its digits, zero-padded to twelve, are zeros.
bool ValorZero(const std::string& valor);

// The signed value part of surcharges and discounts: a blank before the value for a
// surcharge (tipo "A"), "-" for a discount; the value with two decimals.
std::string ValorComSinal(const std::string& tipo, const std::string& valor);

// The first failure of a sequence of steps that must all run: it keeps the result, code and
// message of the first step that did not return 1, and puts them back at the end.
class PrimeiraFalha {
  public:
    // Records `resultado` (when it is the first failure) and returns it.
    int Registra(int resultado);
    bool Houve() const { return houve_; }
    // Puts the first failure's code and message back into the last-error record (when there
    // was one) and returns `resultado` unchanged: a document's close decides the result, a
    // refused step before it is still there to read.
    int Mantem(int resultado) const;
    // The first failure's result with its code and message restored, else `resultado`.
    int Final(int resultado) const;

  private:
    bool houve_ = false;
    int resultado_ = 1;
    int codigo_ = 0;
    std::string mensagem_;
};

// The subtotal surcharge and discount shared by receipts and non-fiscal receipts.
// IniciaFechamentoComDoisValores: tipo "A" surcharge only, "D" discount only, "X" refused
// (-2), anything else both, the discount only after the surcharge succeeded; modo "%"
// percentages. AcrescimoDescontoSubtotal: tipo "A" surcharge else discount; modo "$" an
// amount, anything else a percentage.
int IniciaFechamentoComDoisValores(const std::string& tipo, const std::string& modo,
                                   const std::string& acrescimo, const std::string& desconto);
int AcrescimoDescontoSubtotal(const std::string& tipo, const std::string& modo, const std::string& valor);

// Management reports: the opening loop over the report indices the printer refuses with
// 8018, and the text of a report (opened first when none is open).
int AbreGerencialTxt();
int ImprimeGerencialTxt(const std::string& texto);

namespace familia0 {
// The family-0 bodies of the exports whose facade has logic of its own.
int AbreCupom(const std::string& idConsumidor);
int AbreCupomMFD(const std::string& idConsumidor, const std::string& nome, const std::string& endereco);
}  // namespace familia0

}  // namespace tarvo
