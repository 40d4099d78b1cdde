// The printer readings and printer state the fiscal-file conversions ask for (a reduction's COO
// or date, its rates, the counters, the printed readings), through one small interface that the
// printer's engine implements: the conversions include nothing of the engine, and their tests
// answer the readings themselves.
#pragma once

#include <string>

namespace tarvo {

// The Z reduction under way, as the engine keeps it for the fiscal file of that reduction.
struct ReducaoEmCurso {
    bool emAndamento = false;
    std::string dataAbertura;  // the day the reduction closes (ddmmyyyy)
    std::string data;          // the printer's date just before the reduction (ddmmyyyy)
};

class LeiturasFiscais {
  public:
    virtual ~LeiturasFiscais() = default;
    // An integer register by name ("COOReducao[3]"): 1 and its value, or the reading's code.
    virtual int LeInteiro(const std::string& nome, std::string& valor) = 0;
    // A date register by name ("DataReducao[3]"): 1 and its value as dd/mm/yyyy, or the
    // reading's code.
    virtual int LeData(const std::string& nome, std::string& valor) = 0;
    // A money register by name ("Aliquota01Reducao[3]"): 1 and its value, or the reading's code.
    virtual int LeMoeda(const std::string& nome, std::string& valor) = 0;
    // An indicator by name ("Aliquota01ICMSReducao[3]"): 1 and its value, or the reading's code.
    virtual int LeIndicador(const std::string& nome, std::string& valor) = 0;
    // A counter by its number (9 for the CRZ): 1 and its value, or the reading's code.
    virtual int LeRegistrador(int numero, std::string& valor) = 0;
    // The printer's clock: 1 and its date (dd/mm/yyyy) or time (hhmmss), or the reading's code.
    virtual int LeDataAtual(std::string& data) = 0;
    virtual int LeHoraAtual(std::string& hora) = 0;
    // Whether the reduction's ISSQN discount parameter is set.
    virtual bool PermiteIss() = 0;
    // The detail tape between two COOs: the printer's raw stream into `bruto`, its text lines
    // into `texto`. 1, or the download's code.
    virtual int FitaDetalhe(const std::string& cooInicial, const std::string& cooFinal,
                            const std::string& bruto, const std::string& texto) = 0;
    // An X reading sent back instead of printed, as text into `texto`: 1, or the failing step's code.
    virtual int LeituraXTexto(const std::string& texto) = 0;
    // The full fiscal-memory reading of a range of reductions, as text into `texto`. Returns the
    // command's code; when it is 1, `captura` holds the capture's.
    virtual int LeituraMemoriaFiscalTexto(const std::string& reducaoInicial, const std::string& reducaoFinal,
                                          const std::string& texto, int& captura) = 0;
    // The basic software's install date (ddmmyy) and time (hhmmss) in a fiscal-memory reading's
    // text, as this printer prints it; both empty when the text has none.
    virtual void DataHoraSoftwareBasico(const std::string& texto, std::string& data, std::string& hora) = 0;
    // The Z reduction under way, if any.
    virtual ReducaoEmCurso ReducaoPendente() = 0;
};

// The readings of the connected printer, as its engine answers them.
LeiturasFiscais& LeiturasDaImpressora();

}  // namespace tarvo
