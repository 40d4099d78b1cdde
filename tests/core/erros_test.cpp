#include "driver/core/erros.h"

#include <gtest/gtest.h>

#include "driver/core/registro.h"

namespace {

using namespace tarvo;

// The errors the driver reports by itself: code and text as hosts test them.
TEST(Erros, EachOwnErrorHasItsCodeAndText) {
    struct Caso {
        Falha falha;
        std::int32_t codigo;
        const char* texto;
    };
    const Caso casos[] = {
        {Falha::Nenhuma, 0, ""},
        {Falha::Comunicacao, -1, "Falha de comunica\xE7\xE3o"},
        {Falha::ComunicacaoCts, -1, "Falha de comunica\xE7\xE3o(CTS)"},
        {Falha::ComandoInexistente, -2, "Comando Inexistente para este modelo:"},
        {Falha::NaoImplementado, -3, "Nao Implementado:"},
        {Falha::AberturaPorta, -5, "Erro Abertura Porta Serial"},
        {Falha::VelocidadeInvalida, -7,
         "Valores aceitos para esta fun\xE7\xE3o[9600,19200,38400,57600,115200]"},
        {Falha::DiretorioPath, -8, "Erro no Diretorio especificado em Path"},
        {Falha::ImpressoraOffline, -10, "Impressora offline ou desligada"},
        {Falha::SemInpOut, -11, "N\xE3o foi poss\xEDvel carregar INPOUT32.DLL"},
        {Falha::ModeloNaoCadastrado, -12, "Modelo nao cadastrado"},
        {Falha::PesoNegativo, -33, "Peso negativo"},
        {Falha::PesoInstavel, -34, "Peso inst\xE1vel"},
        {Falha::PesoExcedido, -35, "Peso excedido"},
        {Falha::LeituraDesconhecida, 0,
         "Erro desconhecido. Falha ao acessar a dll Leitura.dll, ATO17.dll ou DLLG2.dll"},
    };
    for (const Caso& c : casos) {
        EXPECT_EQ(ItemDe(c.falha).codigo, c.codigo) << c.texto;
        EXPECT_EQ(TextoFalha(c.falha), c.texto);
    }
}

// The tables of codes from the printers and the outside libraries; the same code has a text
// of its own in each table (-5 in the numeric-code family is not the serial-port text).
TEST(Erros, EachTableGivesItsTextsByCode) {
    struct Caso {
        Tabela tabela;
        std::int32_t codigo;
        const char* texto;  // nullptr: no text of its own
    };
    const Caso casos[] = {
        {Tabela::Numerica, -5, "Erro ao abrir a porta de comunica\xE7\xE3o"},
        {Tabela::Numerica, -4,
         "O arquivo de inicializa\xE7\xE3o \"TARVO.INI\" n\xE3o foi encontrado no diret\xF3rio do "
         "aplicativo"},
        {Tabela::Numerica, 1,
         "O cabe\xE7"
         "alho cont\xE9m caracteres invalidados"},
        {Tabela::Numerica, 2, "Comando inexistente"},
        {Tabela::Numerica, 3, "Valor n\xE3o num\xE9rico em campo num\xE9rico"},
        {Tabela::Numerica, 4, "Valor fora da faixa entre 20h E 7Fh"},
        {Tabela::Numerica, 5, "Campo deve iniciar com @, & ou %"},
        {Tabela::Numerica, 6, "Campo deve iniciar com $,# ou ?"},
        {Tabela::Numerica, 7, "O intervalo \xE9 inconsistente."},
        {Tabela::Numerica, 9, "A string \x93TOTAL\x94 n\xE3o \xE9 aceita"},
        {Tabela::Numerica, 10, "A sintaxe do comando est\xE1 errada"},
        {Tabela::Numerica, 11, "Excedeu o n\xBA m\xE1ximo de linhas permitidas pelo comando"},
        {Tabela::Numerica, 12,
         "O terminador enviado n\xE3o est\xE1 obedecendo o protocolo de comunica\xE7\xE3o"},
        {Tabela::Numerica, 13, "O checksum enviado est\xE1 incorreto"},
        {Tabela::Numerica, 15, "A situa\xE7\xE3o tribut\xE1ria deve iniciar com T, F,I ou N"},
        {Tabela::Numerica, 16, "Data inv\xE1lida"},
        {Tabela::Numerica, 17, "Hora inv\xE1lida"},
        {Tabela::Numerica, 18, "Al\xEDquota n\xE3o programada ou fora do intervalo"},
        {Tabela::Numerica, 19, "O campo de sinal est\xE1 incorreto"},
        {Tabela::Numerica, 20, "Comando s\xF3 aceito em Interven\xE7\xE3o Fiscal"},
        {Tabela::Numerica, 21, "Comando s\xF3 aceito em modo Normal"},
        {Tabela::Numerica, 22, "Necess\xE1rio abrir cupom fiscal"},
        {Tabela::Numerica, 23, "Comando n\xE3o aceito durante cupom fiscal"},
        {Tabela::Numerica, 24, "Necess\xE1rio abrir cupom n\xE3o Fiscal"},
        {Tabela::Numerica, 25, "Comando n\xE3o aceito durante Cupom N\xE3o Fiscal"},
        {Tabela::Numerica, 26, "O  rel\xF3gio j\xE1 est\xE1 em hor\xE1rio de ver\xE3o"},
        {Tabela::Numerica, 27, "O  rel\xF3gio n\xE3o est\xE1 em hor\xE1rio de ver\xE3o"},
        {Tabela::Numerica, 28, "Necess\xE1rio realizar Redu\xE7\xE3o Z"},
        {Tabela::Numerica, 29, "Fechamento do dia (Redu\xE7\xE3o Z ) j\xE1 executado"},
        {Tabela::Numerica, 30, "Necess\xE1rio programar legenda"},
        {Tabela::Numerica, 31, "Item inexistente ou j\xE1 cancelado"},
        {Tabela::Numerica, 32, "O  cupom anterior n\xE3o pode ser cancelado"},
        {Tabela::Numerica, 33, "Detectado falta de papel"},
        {Tabela::Numerica, 36, "Necess\xE1rio programar os dados do estabelecimento"},
        {Tabela::Numerica, 37, "Necess\xE1rio realizar Interven\xE7\xE3o Fiscal"},
        {Tabela::Numerica, 38,
         "A MF n\xE3o permite mais realizar vendas. S\xF3 \xE9 poss\xEDvel executar LX ou LMF"},
        {Tabela::Numerica, 40, "Necess\xE1rio programar a data do rel\xF3gio"},
        {Tabela::Numerica, 41, "N\xFAmero m\xE1ximo de itens por cupom ultrapassado"},
        {Tabela::Numerica, 42, "J\xE1 foi realizado o ajuste de hora di\xE1rio"},
        {Tabela::Numerica, 43, "Comando v\xE1lido ainda em execu\xE7\xE3o"},
        {Tabela::Numerica, 44, "Est\xE1 em estado de impress\xE3o de cheque"},
        {Tabela::Numerica, 45, "N\xE3o est\xE1 em estado de impress\xE3o de cheque"},
        {Tabela::Numerica, 46, "Necess\xE1rio inserir o cheque"},
        {Tabela::Numerica, 47, "Necess\xE1rio inserir nova bobina"},
        {Tabela::Numerica, 48, "Necess\xE1rio executar uma Leitura X"},
        {Tabela::Numerica, 49, "Detectado algum problema na impressora ( paper jam, sobretens\xE3o, etc)."},
        {Tabela::Numerica, 50, "Cupom j\xE1 foi totalizado"},
        {Tabela::Numerica, 51, "Necess\xE1rio totalizar cupom antes de fechar"},
        {Tabela::Numerica, 52, "Necess\xE1rio finalizar cupom com comando correto"},
        {Tabela::Numerica, 53, "Ocorreu erro de grava\xE7\xE3o na mem\xF3ria fiscal"},
        {Tabela::Numerica, 54, "Excedeu n\xFAmero m\xE1ximo de estabelecimentos"},
        {Tabela::Numerica, 55, "Mem\xF3ria Fiscal n\xE3o inicializada"},
        {Tabela::Numerica, 56, "Ultrapassou valor do pagamento"},
        {Tabela::Numerica, 57, "Registrador n\xE3o programado ou troco j\xE1 realizado"},
        {Tabela::Numerica, 58, "Falta completar valor do pagamento"},
        {Tabela::Numerica, 59, "Campo somente de caracteres n\xE3o n\xFAmericos (Alfab\xE9ticos)"},
        {Tabela::Numerica, 60, "Excedeu campo m\xE1ximo de caracteres"},
        {Tabela::Numerica, 61, "Troco n\xE3o realizado"},
        {Tabela::Numerica, 62, "Cmd desabilitado"},
        {Tabela::Leitura, 4097,
         "DLLErroAbreArquivo - Arquivo bin\xE1rio encontra-se aberto. Esta a\xE7\xE3o poder\xE1 ser "
         "repetida, solicitando ao usu\xE1rio que o arquivo seja fechado."},
        {Tabela::Leitura, 16385,
         "DLLErroCargaDLL - DLL de comunica\xE7\xE3o do protocolo Lurdex (DLLG2.DLL) n\xE3o p\xF4"
         "de ser carregada."},
        {Tabela::Leitura, 16386,
         "DLLErroCanalCOM - Canal de comunica\xE7\xE3o indicado n\xE3o p\xF4"
         "de ser aberto."},
        {Tabela::Leitura, 16387,
         "DLLErroBinarioInvalido - Formato do arquivo bin\xE1rio indicado \xE9 inv\xE1lido para esta "
         "vers\xE3o da DLL."},
        {Tabela::Leitura, 16388, "DLLErroLeituraArquivo - Erro de leitura do arquivo bin\xE1rio indicado."},
        {Tabela::Leitura, 16389, "DLLErroEscritaArquivo - Erro de escrita no arquivo bin\xE1rio."},
        {Tabela::Leitura, 16390,
         "DLLErroBinarioECF - N\xFAmero de fabrica\xE7\xE3o do ECF gravado anteriormente no arquivo "
         "bin\xE1rio informado n\xE3o confere com o n\xFAmero de fabrica\xE7\xE3o informado no par\xE2metro "
         "<szSerieECF> da fun\xE7\xE3o <DLLReadLeMemorias>."},
        {Tabela::Leitura, 16391,
         "DLLErroECFInvalido N\xFAmero de fabrica\xE7\xE3o indicado no par\xE2metro <szSerieECF> da "
         "fun\xE7\xE3o <DLLReadLeMemorias> n\xE3o confere com o n\xFAmero de fabrica\xE7\xE3o do ECF "
         "conectado na porta de comunica\xE7\xE3o indicada."},
        {Tabela::Leitura, 16392,
         "DLLErroFaltaRAM N\xE3o h\xE1 mem\xF3ria suficiente para a execu\xE7\xE3o satisfat\xF3ria da DLL de "
         "leitura."},
        {Tabela::Leitura, 16393,
         "DLLErroCriaArquivo N\xE3o foi poss\xEDvel criar o arquivo com o nome especificado."},
        {Tabela::Leitura, 16394,
         "DLLErroArquivoIncompleto N\xE3o foi poss\xEDvel gerar dados a partir do arquivo bin\xE1rio "
         "especificado pois este n\xE3o encontra-se com a leitura completa."},
        {Tabela::Sped, 1, "Sucesso na gera\xE7\xE3o dos Arquivos do Sped Fiscal"},
        {Tabela::Sped, -1, "Erro na impress\xE3o do Arquivo"},
        {Tabela::Sped, -3,
         "Erro na gera\xE7\xE3"
         "do Arquivo do ato cotepe, verifique se a impressora esta conectado ao pc corretamente"},
        {Tabela::Sped, -4, "A variavel perfil esta com valores incorretos."},
        {Tabela::Sped, -5, "Parametros utilizados na fun\xE7\xE3o est\xE3o incorretos"},
        {Tabela::Numerica, -6, nullptr},
        {Tabela::Numerica, -3, nullptr},
        {Tabela::Numerica, 0, nullptr},
        {Tabela::Numerica, 8, nullptr},
        {Tabela::Numerica, 14, nullptr},
        {Tabela::Numerica, 34, nullptr},
        {Tabela::Numerica, 39, nullptr},
        {Tabela::Numerica, 63, nullptr},
        {Tabela::Numerica, INT32_MIN, nullptr},
        {Tabela::Leitura, 1, nullptr},
        {Tabela::Leitura, -5, nullptr},
        {Tabela::Sped, 0, nullptr},
        {Tabela::Sped, 4097, nullptr},
    };
    for (const Caso& c : casos) {
        const char* texto = TextoDoCodigo(c.tabela, c.codigo);
        if (!c.texto) {
            EXPECT_EQ(texto, nullptr) << c.codigo;
            continue;
        }
        ASSERT_NE(texto, nullptr) << c.codigo;
        EXPECT_STREQ(texto, c.texto) << c.codigo;
    }
}

TEST(Erros, DetailsFillTheMarksInOrder) {
    EXPECT_EQ(TextoFalha(Falha::NaoImplementado, {" Tarvo_LeituraX"}), "Nao Implementado: Tarvo_LeituraX");
    EXPECT_EQ(TextoFalha(Falha::CopiaArquivo, {"a.txt", "b.txt"}), "Erro ao copiar a.txt para b.txt");
    // A detail holding a mark is copied as it is, never filled in turn.
    EXPECT_EQ(TextoFalha(Falha::CopiaArquivo, {"%s", "b"}), "Erro ao copiar %s para b");
    EXPECT_EQ(TextoFalha(Falha::CopiaArquivo, {"a"}), "Erro ao copiar a para ");
    EXPECT_EQ(TextoFalha(Falha::AberturaPorta, {"sobra"}), "Erro Abertura Porta Serial");

    DefineErro(Falha::GravacaoArquivo, "X.TXT");
    EXPECT_EQ(Erro().UltimoRetorno, -8);
    EXPECT_EQ(Erro().UltimaMensagem, "Erro na gravacao do arquivo X.TXT");
    Erro().UltimoRetorno = -34;
    DefineMensagem(Falha::PesoInstavel);
    EXPECT_EQ(Erro().UltimoRetorno, -34);
    EXPECT_EQ(Erro().UltimaMensagem, "Peso inst\xE1vel");
}

}  // namespace
