#include "driver/core/erros.h"

#include <iterator>

#include "driver/core/registro.h"

namespace tarvo {

namespace {

// In the order of the enumeration: ItemDe indexes it.
constexpr ItemCatalogo kCatalogo[] = {
    {Falha::Nenhuma, 0, ""},
    {Falha::AberturaPorta, -5, "Erro Abertura Porta Serial"},
    {Falha::Comunicacao, -1, "Falha de comunica\xE7\xE3o"},
    {Falha::ComunicacaoCts, -1, "Falha de comunica\xE7\xE3o(CTS)"},
    {Falha::RespostaExcessiva, -1, "Falha de comunica\xE7\xE3o: resposta acima de 64 KiB"},
    {Falha::CapturaExcessiva, -1, "Falha de comunica\xE7\xE3o: captura acima de 64 MiB"},
    {Falha::ComandoExcessivo, -2, "Parametro invalido: comando acima de 16 KiB"},
    {Falha::ChamadaReentrante, -1, "Comando em execucao: chamada recusada"},
    {Falha::ErroInterno, -1, "Erro interno: %s"},
    {Falha::NaoImplementado, -3, "Nao Implementado:%s"},
    {Falha::ComandoInexistente, -2, "Comando Inexistente para este modelo:%s"},
    {Falha::DiretorioPath, -8, "Erro no Diretorio especificado em Path"},
    {Falha::GravacaoArquivo, -8, "Erro na gravacao do arquivo %s"},
    {Falha::ArquivoDestino, -8, "Erro no Arquivo Destino"},
    {Falha::ArquivoOrigem, -8, "Erro no Arquivo Origem"},
    {Falha::ChequesIniAusente, -8, "CHEQUES.INI n\xE3o encontrado"},
    {Falha::GravacaoIni, -8, "Erro ao gravar %s"},
    {Falha::ModeloNaoCadastrado, -12, "Modelo nao cadastrado"},
    {Falha::ParametroInvalido, -2, "Parametro invalido"},
    {Falha::TotalizadorNaoEncontrado, -2, "Totalizador nao encontrado:%s"},
    {Falha::FormaPagamentoNaoEncontrada, -2, "Forma de pagamento nao encontrada:%s"},
    {Falha::SemMovimento, 0, "N\xE3o existe movimenta\xE7\xE3o no per\xEDodo de datas informado."},
    {Falha::VelocidadeInvalida, -7, "Valores aceitos para esta fun\xE7\xE3o[9600,19200,38400,57600,115200]"},
    {Falha::FormaPagamentoInvalida, -6, "Forma de pagamento inv\xE1lida"},
    {Falha::ValorInvalido, -6, "Valor inv\xE1lido"},
    {Falha::QuantidadeInvalida, -6, "Quantidade inv\xE1lida"},
    {Falha::CodigoInvalido, -6,
     "C\xF3"
     "digo inv\xE1lido"},
    {Falha::AliquotaInvalida, -6, "Al\xEDquota inv\xE1lida"},
    {Falha::ItemInvalido, -6, "Item inv\xE1lido"},
    {Falha::MensagemLonga, -6, "Mensagem com mais de 999 caracteres"},
    {Falha::DataInvalida, -6, "Data inv\xE1lida"},
    {Falha::ReducaoInvalida, -6, "Redu\xE7\xE3o inv\xE1lida"},
    {Falha::ImpressoraOffline, -10, "Impressora offline ou desligada"},
    {Falha::SemInpOut, -11, "N\xE3o foi poss\xEDvel carregar INPOUT32.DLL"},
    {Falha::ValorForaDaFaixa, -2, "Valor fora da faixa:%s"},
    {Falha::PesoInstavel, -34, "Peso inst\xE1vel"},
    {Falha::PesoExcedido, -35, "Peso excedido"},
    {Falha::PesoNegativo, -33, "Peso negativo"},
    {Falha::DataInicialPosterior, 8089, "ErroCMDDataInvalida - Data inicial posterior \xE0 data final."},
    {Falha::ReducaoInicialPosterior, 8089,
     "ErroCMDReducaoInvalida - Redu\xE7\xE3o inicial posterior \xE0 redu\xE7\xE3o final."},
    {Falha::DataInexistente, 8089, "ErroCMDDataInvalida - Data solicitada inexistente."},
    {Falha::DataReducaoIlegivel, 8089, "Falha ao ler a data da Redu\xE7\xE3o Z n\xBA %s"},
    {Falha::RetornoInvalido, 0, "Retorno invalido"},
    {Falha::CopiaRfd, -8, "Erro ao copiar o arquivo RFD para %s"},
    {Falha::CopiaSintegra, -1, "Erro ao copiar o arquivo do Sintegra para %s"},
    {Falha::CopiaArquivo, -1, "Erro ao copiar %s para %s"},
    {Falha::ConsolidacaoSintegra, -1, "%s: Falha na consolida\xE7\xE3o do Sintegra, erro: %s"},
    {Falha::CriacaoPasta, -1, "Impossivel Criar%s"},
    {Falha::ArquivoNaoEncontrado, -7, "Arquivo n\xE3o encontrado: %s"},
    {Falha::MesInvalido, -7, "M\xEAs inv\xE1lido: %s"},
    {Falha::AnoInvalido, -7, "Ano inv\xE1lido: %s"},
    {Falha::LeituraDesconhecida, 0,
     "Erro desconhecido. Falha ao acessar a dll Leitura.dll, ATO17.dll ou DLLG2.dll"},
};

// The numeric-code printers' error texts, by code from -5 to 62 (nullptr: no text of its own).
constexpr int kPrimeiroNumerico = -5;
const char* const kNumericos[] = {
    "Erro ao abrir a porta de comunica\xE7\xE3o",  // -5
    "O arquivo de inicializa\xE7\xE3o \"TARVO.INI\" n\xE3o foi encontrado no diret\xF3rio do "
    "aplicativo",  // -4
    nullptr,
    nullptr,
    nullptr,
    nullptr,  // -3 .. 0
    "O cabe\xE7"
    "alho cont\xE9m caracteres invalidados",  // 1
    "Comando inexistente",
    "Valor n\xE3o num\xE9rico em campo num\xE9rico",
    "Valor fora da faixa entre 20h E 7Fh",
    "Campo deve iniciar com @, & ou %",  // 5
    "Campo deve iniciar com $,# ou ?",
    "O intervalo \xE9 inconsistente.",
    nullptr,  // 8
    "A string \x93TOTAL\x94 n\xE3o \xE9 aceita",
    "A sintaxe do comando est\xE1 errada",  // 10
    "Excedeu o n\xBA m\xE1ximo de linhas permitidas pelo comando",
    "O terminador enviado n\xE3o est\xE1 obedecendo o protocolo de comunica\xE7\xE3o",
    "O checksum enviado est\xE1 incorreto",
    nullptr,                                                        // 14
    "A situa\xE7\xE3o tribut\xE1ria deve iniciar com T, F,I ou N",  // 15
    "Data inv\xE1lida",
    "Hora inv\xE1lida",
    "Al\xEDquota n\xE3o programada ou fora do intervalo",
    "O campo de sinal est\xE1 incorreto",
    "Comando s\xF3 aceito em Interven\xE7\xE3o Fiscal",  // 20
    "Comando s\xF3 aceito em modo Normal",
    "Necess\xE1rio abrir cupom fiscal",
    "Comando n\xE3o aceito durante cupom fiscal",
    "Necess\xE1rio abrir cupom n\xE3o Fiscal",
    "Comando n\xE3o aceito durante Cupom N\xE3o Fiscal",  // 25
    "O  rel\xF3gio j\xE1 est\xE1 em hor\xE1rio de ver\xE3o",
    "O  rel\xF3gio n\xE3o est\xE1 em hor\xE1rio de ver\xE3o",
    "Necess\xE1rio realizar Redu\xE7\xE3o Z",
    "Fechamento do dia (Redu\xE7\xE3o Z ) j\xE1 executado",
    "Necess\xE1rio programar legenda",  // 30
    "Item inexistente ou j\xE1 cancelado",
    "O  cupom anterior n\xE3o pode ser cancelado",
    "Detectado falta de papel",
    nullptr,
    nullptr,                                                // 34, 35
    "Necess\xE1rio programar os dados do estabelecimento",  // 36
    "Necess\xE1rio realizar Interven\xE7\xE3o Fiscal",
    "A MF n\xE3o permite mais realizar vendas. S\xF3 \xE9 poss\xEDvel executar LX ou LMF",
    nullptr,                                         // 39
    "Necess\xE1rio programar a data do rel\xF3gio",  // 40
    "N\xFAmero m\xE1ximo de itens por cupom ultrapassado",
    "J\xE1 foi realizado o ajuste de hora di\xE1rio",
    "Comando v\xE1lido ainda em execu\xE7\xE3o",
    "Est\xE1 em estado de impress\xE3o de cheque",
    "N\xE3o est\xE1 em estado de impress\xE3o de cheque",  // 45
    "Necess\xE1rio inserir o cheque",
    "Necess\xE1rio inserir nova bobina",
    "Necess\xE1rio executar uma Leitura X",
    "Detectado algum problema na impressora ( paper jam, sobretens\xE3o, etc).",
    "Cupom j\xE1 foi totalizado",  // 50
    "Necess\xE1rio totalizar cupom antes de fechar",
    "Necess\xE1rio finalizar cupom com comando correto",
    "Ocorreu erro de grava\xE7\xE3o na mem\xF3ria fiscal",
    "Excedeu n\xFAmero m\xE1ximo de estabelecimentos",
    "Mem\xF3ria Fiscal n\xE3o inicializada",  // 55
    "Ultrapassou valor do pagamento",
    "Registrador n\xE3o programado ou troco j\xE1 realizado",
    "Falta completar valor do pagamento",
    "Campo somente de caracteres n\xE3o n\xFAmericos (Alfab\xE9ticos)",
    "Excedeu campo m\xE1ximo de caracteres",  // 60
    "Troco n\xE3o realizado",
    "Cmd desabilitado",
};
static_assert(std::size(kNumericos) == 68, "one text per code from -5 to 62");

struct TextoDeCodigo {
    std::int32_t codigo;
    const char* texto;
};

// The outside memory-reading library's codes.
constexpr TextoDeCodigo kLeitura[] = {
    {4097,
     "DLLErroAbreArquivo - Arquivo bin\xE1rio encontra-se aberto. Esta a\xE7\xE3o poder\xE1 ser "
     "repetida, solicitando ao usu\xE1rio que o arquivo seja fechado."},
    {16385,
     "DLLErroCargaDLL - DLL de comunica\xE7\xE3o do protocolo Lurdex (DLLG2.DLL) n\xE3o p\xF4"
     "de ser carregada."},
    {16386,
     "DLLErroCanalCOM - Canal de comunica\xE7\xE3o indicado n\xE3o p\xF4"
     "de ser aberto."},
    {16387,
     "DLLErroBinarioInvalido - Formato do arquivo bin\xE1rio indicado \xE9 inv\xE1lido para esta "
     "vers\xE3o da DLL."},
    {16388, "DLLErroLeituraArquivo - Erro de leitura do arquivo bin\xE1rio indicado."},
    {16389, "DLLErroEscritaArquivo - Erro de escrita no arquivo bin\xE1rio."},
    {16390,
     "DLLErroBinarioECF - N\xFAmero de fabrica\xE7\xE3o do ECF gravado anteriormente no arquivo "
     "bin\xE1rio informado n\xE3o confere com o n\xFAmero de fabrica\xE7\xE3o informado no par\xE2"
     "metro <szSerieECF> da fun\xE7\xE3o <DLLReadLeMemorias>."},
    {16391,
     "DLLErroECFInvalido N\xFAmero de fabrica\xE7\xE3o indicado no par\xE2metro <szSerieECF> da "
     "fun\xE7\xE3o <DLLReadLeMemorias> n\xE3o confere com o n\xFAmero de fabrica\xE7\xE3o do ECF "
     "conectado na porta de comunica\xE7\xE3o indicada."},
    {16392,
     "DLLErroFaltaRAM N\xE3o h\xE1 mem\xF3ria suficiente para a execu\xE7\xE3o satisfat\xF3ria da "
     "DLL de leitura."},
    {16393, "DLLErroCriaArquivo N\xE3o foi poss\xEDvel criar o arquivo com o nome especificado."},
    {16394,
     "DLLErroArquivoIncompleto N\xE3o foi poss\xEDvel gerar dados a partir do arquivo bin\xE1rio "
     "especificado pois este n\xE3o encontra-se com a leitura completa."},
};

// The results of the SPED generation.
constexpr TextoDeCodigo kSped[] = {
    {1, "Sucesso na gera\xE7\xE3o dos Arquivos do Sped Fiscal"},
    {-1, "Erro na impress\xE3o do Arquivo"},
    {-2, "Arquivo do ato cotepe incompleto"},
    {-3,
     "Erro na gera\xE7\xE3"
     "do Arquivo do ato cotepe, verifique se a impressora esta conectado ao pc "
     "corretamente"},
    {-4, "A variavel perfil esta com valores incorretos."},
    {-5, "Parametros utilizados na fun\xE7\xE3o est\xE3o incorretos"},
};

const char* Procura(const TextoDeCodigo* inicio, const TextoDeCodigo* fim, std::int32_t codigo) {
    for (const TextoDeCodigo* i = inicio; i != fim; ++i)
        if (i->codigo == codigo) return i->texto;
    return nullptr;
}

constexpr bool CatalogoEmOrdem() {
    for (std::size_t i = 0; i < std::size(kCatalogo); ++i)
        if (static_cast<std::size_t>(kCatalogo[i].falha) != i) return false;
    return true;
}
static_assert(CatalogoEmOrdem(), "the catalogue follows the order of Falha");
static_assert(std::size(kCatalogo) == static_cast<std::size_t>(Falha::LeituraDesconhecida) + 1,
              "every Falha has its entry");

}  // namespace

const ItemCatalogo& ItemDe(Falha falha) {
    return kCatalogo[static_cast<std::size_t>(falha)];
}

std::string TextoFalha(Falha falha, std::initializer_list<std::string_view> detalhes) {
    const std::string_view modelo = ItemDe(falha).texto;
    std::string texto;
    auto detalhe = detalhes.begin();
    for (std::size_t i = 0; i < modelo.size(); ++i) {
        if (modelo[i] == '%' && i + 1 < modelo.size() && modelo[i + 1] == 's') {
            if (detalhe != detalhes.end()) texto += *detalhe++;
            ++i;
        } else {
            texto += modelo[i];
        }
    }
    return texto;
}

const char* TextoDoCodigo(Tabela tabela, std::int32_t codigo) {
    switch (tabela) {
        case Tabela::Numerica: {
            const std::int64_t i = static_cast<std::int64_t>(codigo) - kPrimeiroNumerico;
            return i >= 0 && i < static_cast<std::int64_t>(std::size(kNumericos)) ? kNumericos[i] : nullptr;
        }
        case Tabela::Leitura:
            return Procura(std::begin(kLeitura), std::end(kLeitura), codigo);
        case Tabela::Sped:
            return Procura(std::begin(kSped), std::end(kSped), codigo);
    }
    return nullptr;
}

void DefineErro(Falha falha, std::initializer_list<std::string_view> detalhes) {
    DefineErro(ItemDe(falha).codigo, TextoFalha(falha, detalhes));
}

void DefineMensagem(Falha falha, std::initializer_list<std::string_view> detalhes) {
    Erro().UltimaMensagem = TextoFalha(falha, detalhes);
}

}  // namespace tarvo
