// SPED Fiscal block C records of one ECF (C400, C405, C420, C425, C460, C470, C490, C495)
// built from an ATO COTEPE 17/04 file: the records, the checks of the call and the writer.
// Amounts are 64-bit integers (cents, thousandths, percentages with 4 decimals) written with
// a decimal comma whatever the host's locale.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

// Result codes of a run (logged with their texts; the exports answer 1 or 0).
enum CodigoSped : int {
    SpedSucesso = 1,
    SpedErroGravacao = -1,
    SpedArquivoInconsistente = -2,  // no E12 line, or an item whose document line is missing
    SpedErroArquivoAto = -3,
    SpedPerfilInvalido = -4,
    SpedParametrosInvalidos = -5,
};
std::string TextoCodigoSped(int codigo);

struct ParametrosSped {
    std::string arquivo;  // must exist
    std::string saida;    // records' file
    std::string inicio, fim;
    std::string perfil;          // "A", "B", "T"
    std::string cfop;            // integer text
    std::string texto;           // logged only
    std::string valor1, valor2;  // numbers, checked only
    bool usaArquivoAto = false;  // true: the ATO file below; false: from the memory dump
    std::string arquivoAto;
};

// 1 when the call is sound, else -5 (dates, CFOP, numbers, missing file) or -4 (profile).
int ValidaParametrosSped(const ParametrosSped& p);

// The step that produces the ATO file of a period from the printer's memory dump: answers 1
// and the file's name, or any other code. Without one installed (the tests install theirs)
// the memories are read and converted as Tarvo_GeraRFDBinario does, with period type 1 and
// reading type 0; a failure there makes the dump path fail with -3.
using GeradorAtoMemoria =
    std::function<int(const std::string& inicio, const std::string& fim, std::string& arquivo)>;
void InstalaGeradorAtoMemoria(GeradorAtoMemoria gerador);

// The whole run (checks, ATO file, records, file): the code of the table above. Logs the
// call and the result with its text. Never throws.
int GeraRegistrosSped(const ParametrosSped& p);

// --- the pieces, exposed for their tests ---------------------------------------------------

// "000" taxed, "060" substitution, "040" exempt, "041" not taxed, "090" others.
std::string CstTotalizador(const std::string& codigo);
// The buyer's CPF or CNPJ of an E14 field (14 characters), only its digits; empty when it
// is neither a valid CPF nor a valid CNPJ.
std::string LimpaCpfCnpj(const std::string& campo);
bool CpfValido(const std::string& cpf);
bool CnpjValido(const std::string& cnpj);
// `valor` / 10^casas with a comma and exactly `casas` decimals ("-1,50", "0,000").
std::string FormataFixo(std::int64_t valor, int casas);
// a * b / c rounded half away from zero, without overflow for amounts of this file.
std::int64_t DivideArredonda(std::int64_t a, std::int64_t b, std::int64_t c);
// `valor` shared in proportion to `pesos` (those not above zero take nothing): shares cut
// toward zero, the cents left over one by one to the largest cut-off fractions, so that the
// shares add up to `valor` exactly.
std::vector<std::int64_t> RateiaValor(std::int64_t valor, const std::vector<std::int64_t>& pesos);

// The records of one run, fed with the lines of an ATO file one at a time.
class RegistrosSped {
  public:
    explicit RegistrosSped(std::string cfop);
    ~RegistrosSped();
    RegistrosSped(const RegistrosSped&) = delete;
    RegistrosSped& operator=(const RegistrosSped&) = delete;

    // One line of the ATO file (without its end); types other than E01, E02, E12 .. E15 are
    // ignored.
    void Linha(std::string_view linha);
    // The totals, merges and attributions once every line was read: 1, or -2 with `erro`
    // naming what the file lacks (a document of an item, the grand total of its reductions).
    // Throws ErroArquivoFiscal when a total does not fit in 64 bits.
    int Conclui(std::string& erro);
    // The lines of the SPED file (without ends) in the writer's order for a profile.
    void Grava(const std::string& perfil, const std::function<void(const std::string&)>& linha) const;

  private:
    struct Dados;
    std::unique_ptr<Dados> d_;
};

}  // namespace tarvo
