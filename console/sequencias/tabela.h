// The dispatch table of the command sequences: the 225 function names the console runs, in
// the order they are matched, each with its category of the function lists, what it calls,
// the text added to the success line, whether the fill check lets it run with unfilled
// parameters, and the least length of its output buffers. The parameters of each entry come
// from the signature of the export it calls (assinaturas.h); only the nine parameter-builder
// commands, which are not exports, list their own.
// No driver call and no Qt: the generator of the function lists links this alone.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "console/sequencias/assinaturas.h"

namespace seq {

// The twelve categories, in the order of the category list of the sequence form.
enum class Categoria {
    ImpressaoCheque,
    Inicializacao,
    CupomFiscal,
    Relatorios,
    OperacoesNaoFiscais,
    InformacoesImpressora,
    Gaveta,
    ImpressorasMFD,
    Autenticacao,
    Intervencao,
    Outras,
    AtoCotepe1704,
};

struct DadosCategoria {
    Categoria categoria;
    const char* texto;    // the text of the category list (UTF-8)
    const char* arquivo;  // the function-list file in the program folder (UTF-8 name)
};

// In the order of the category list.
const std::array<DadosCategoria, 12>& Categorias();
// The order in which the sequence form reads the twelve files.
const std::array<Categoria, 12>& OrdemDeLeitura();
const DadosCategoria& DadosDe(Categoria c);

// How an entry reaches the driver.
enum class Via {
    Involucro,         // the export's wrapper (console/binding/ecf_dll.h)
    SegundoInvolucro,  // the export's second wrapper for the sequences (dll::sequencia)
    Bruta,             // the unlogged raw generic call (dll::ExecutaComando / ExecutaLeitura)
    Construtor,        // a named-parameter builder (console/binding/construtores.h)
    Arredondamento,    // ProgramaArredondamentoTruncamento with mode 0
    Truncamento,       // ProgramaArredondamentoTruncamento with mode 1
    ContadorRFD,       // RFD_ConvertedaMFD: the text parameter becomes the Z counter (integer)
};

// What follows "Operação executada com Sucesso!".
enum class Sufixo {
    Nenhum,
    Retorno,          // " Retorno: " + the values read, joined by " - "
    RetornoTodos,     // " Retorno: " + every parameter's value (inputs too), joined by " - "
    Gaveta,           // " Retornou:" + first parameter's name + ": " + the state
    Cheque,           // " Resultado: " + value
    ArquivoImpr,      // " Arquivo \"impr.txt\" criado!"
    ArquivoRetorno,   // " Arquivo \"RETORNO.txt\" criado!"
    ArquivoSintegra,  // " Arquivo \"" + second parameter + "\" gerado!"
    CNI,              // " CNI: " + value
    ParametrosPAF,    // "CNPJ=... Data=... Hora=... NumSerie=... NumECF=... GrandeTotal=..."
    NomeArquivo,      // " NomeArquivo: " + name
    StatusBinario,    // "Situação=... CodErro=... TamLeitura=... Progresso=... Descricao=..."
};

struct ChaveDespacho {
    const char* nome;  // the name in the function list; the key is its lower-case
    Categoria categoria;
    const char* alvo;  // the export called, or the builder's command name
    Via via = Via::Involucro;
    Sufixo sufixo = Sufixo::Nenhum;
    bool isenta = false;                // runs even when input parameters are unfilled
    std::array<int, 3> comprimentos{};  // least length of each output text, in order (0: the export's own)

    ChaveDespacho& Chama(const char* a, Via v) {
        alvo = a;
        via = v;
        return *this;
    }
    ChaveDespacho& Com(Sufixo s) {
        sufixo = s;
        return *this;
    }
    ChaveDespacho& Isenta() {
        isenta = true;
        return *this;
    }
    ChaveDespacho& Buffers(int a, int b = 0, int c = 0) {
        comprimentos = {a, b, c};
        return *this;
    }
};

// The 225 entries in the order they are matched.
const std::vector<ChaveDespacho>& TabelaDespacho();

// The key of an entry: its name lower-cased.
std::string Chave(const ChaveDespacho& e);

// The entry of that key (already lower-cased and trimmed), or nullptr.
const ChaveDespacho* ProcuraChave(std::string_view chave);

// A name lower-cased and without surrounding blanks, as it is looked up.
std::string NormalizaChave(std::string_view nome);

// The named-parameter builders of the pseudo-commands and the names of their text parameters.
struct Construtor {
    const char* nome;
    std::vector<const char*> parametros;
};
const Construtor* ProcuraConstrutor(std::string_view nome);

// The parameters of an entry in the order the command gives them: the signature of the
// export it calls, or the builder's texts.
std::vector<ArgumentoExportado> ParametrosDaChave(const ChaveDespacho& e);

// The function-list line of an entry, e.g.
//   Tarvo_EfetuaFormaPagamento(formaPagamento: string; valor: string): integer; 2
// return variables carry "var" ("var strRetorno: string").
std::string Declaracao(const ChaveDespacho& e);

// The function-list file of a category: the declarations of its entries in table order,
// each line ended by CR LF (plain ASCII text).
std::string ListaDeFuncoes(Categoria c);

}  // namespace seq
