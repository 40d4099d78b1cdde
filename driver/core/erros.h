// The catalogue of the errors the driver reports by itself: each has a name, the code put in
// the last-error record and its text (Windows-1252). A "%s" in a text marks where a detail
// goes (a file name, an export name); details fill the marks in order.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace tarvo {

enum class Falha {
    Nenhuma,  // success: code 0, no text
    // Every family
    AberturaPorta,
    Comunicacao,
    ComunicacaoCts,
    RespostaExcessiva,
    CapturaExcessiva,
    ComandoExcessivo,
    ChamadaReentrante,
    ErroInterno,
    NaoImplementado,
    ComandoInexistente,
    // Named-parameter family
    DiretorioPath,
    GravacaoArquivo,
    ArquivoDestino,
    ArquivoOrigem,
    ChequesIniAusente,
    GravacaoIni,
    ModeloNaoCadastrado,
    ParametroInvalido,
    TotalizadorNaoEncontrado,
    FormaPagamentoNaoEncontrada,
    SemMovimento,
    VelocidadeInvalida,
    // Numeric-code family: a field that does not fit, nothing sent
    FormaPagamentoInvalida,
    ValorInvalido,
    QuantidadeInvalida,
    CodigoInvalido,
    AliquotaInvalida,
    ItemInvalido,
    MensagemLonga,
    DataInvalida,
    ReducaoInvalida,
    // Non-fiscal printer
    ImpressoraOffline,
    SemInpOut,
    ValorForaDaFaixa,
    // Scale (the code comes from the reading)
    PesoInstavel,
    PesoExcedido,
    PesoNegativo,
    // Fiscal files
    DataInicialPosterior,
    ReducaoInicialPosterior,
    DataInexistente,
    DataReducaoIlegivel,  // under the printer's or the reading's code
    RetornoInvalido,
    CopiaRfd,
    CopiaSintegra,
    CopiaArquivo,
    ConsolidacaoSintegra,
    CriacaoPasta,
    ArquivoNaoEncontrado,
    MesInvalido,
    AnoInvalido,
    LeituraDesconhecida,  // a code of the memory-reading library without a text of its own
};

struct ItemCatalogo {
    Falha falha;
    std::int32_t codigo;
    const char* texto;
};

const ItemCatalogo& ItemDe(Falha falha);
// The text with its marks filled; a detail without a mark is dropped, a mark without a
// detail is left empty.
std::string TextoFalha(Falha falha, std::initializer_list<std::string_view> detalhes = {});

// The tables of codes that come from elsewhere, with a text for each known code: the
// numeric-code printers' answers, the memory-reading library's results, the SPED
// generation's results. A code without a text gives nullptr.
enum class Tabela { Numerica, Leitura, Sped };
const char* TextoDoCodigo(Tabela tabela, std::int32_t codigo);

// Sets the code and the text of `falha` in the last-error record.
void DefineErro(Falha falha, std::initializer_list<std::string_view> detalhes = {});
inline void DefineErro(Falha falha, std::string_view detalhe) {
    DefineErro(falha, {detalhe});
}
// Sets only the text: the code is already the one the operation returned.
void DefineMensagem(Falha falha, std::initializer_list<std::string_view> detalhes = {});

}  // namespace tarvo
