// Composite readings of the status forms and the wrappers that differ from the generated
// ones: several calls in one, a reply cut by position, an export chosen by an argument, and
// the second wrappers of the command sequences, which name their out-values differently.
#pragma once

#include <string>

namespace dll {

// Date of Z reduction number `crz` (ten characters, dd/mm/yyyy) through the generic read
// "LeData"; logged as Tarvo_DataReducao(CRZ, strData);.
int Tarvo_DataReducao(int crz, std::string& data);

// Identification of the printer for the printer-data form: six reads, each logged and its
// result handed to TrataRetorno at once; a failure does not stop the others. Returns the
// result of the last read.
int LeDadosImpressora(std::string& marca, std::string& modelo, std::string& versao, std::string& numeroSerie,
                      std::string& grandeTotal, std::string& proprietarios, std::string& dataSB,
                      std::string& horaSB);

// The fiscal flags as six booleans: bit values 1, 2, 4, 8, 32 and 128 of Tarvo_FlagsFiscaisStr
// (all false when the read fails).
struct FlagsFiscais {
    bool bit1 = false, bit2 = false, bit4 = false, bit8 = false, bit32 = false, bit128 = false;
};
int DecodificaFlagsFiscais(FlagsFiscais& flags);

// The RFD file of Z reduction `crz`: the counter goes to the export as decimal text.
int RFD_ConvertedaMFD(int crz);

// Mode 0 programs rounding, mode 1 truncation; any other mode calls nothing and gives 0.
int ProgramaArredondamentoTruncamento(int modo);

// The partial totalisers of the form, cut from the reply by position: the rate totals
// (210 characters) and three amounts of 14 characters.
int Tarvo_VerificaTotalizadoresParciaisMFD(std::string& totalizadores, std::string& segundo,
                                           std::string& terceiro, std::string& quarto);

// The second wrappers, used by the command sequences (and the receipt status form).
namespace sequencia {
int Tarvo_UltimoItemVendido(std::string& strRetorno);
int Tarvo_NomeiaTotalizadorNaoSujeitoIcms(int indice, const std::string& nome);
int Tarvo_TotalDiaTroco(std::string& strTroco);
int Tarvo_DadosUltimaReducaoMFD(std::string& strRetorno);
int Tarvo_InscricaoMunicipalMFD(std::string& strIM);
int Tarvo_NomeiaRelatorioGerencialMFD(const std::string& indice, const std::string& nome);
int Tarvo_VerificaTotalizadoresParciaisMFD(std::string& strTotalizadores);
}  // namespace sequencia

}  // namespace dll
