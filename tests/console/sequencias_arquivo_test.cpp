// The ".seq" files and the function lists: what is written, what is read back, which names
// are taken and which lines are refused.
#include <gtest/gtest.h>

#include <filesystem>

#include "comum/ambiente.h"
#include "console/sequencias/arquivo.h"
#include "console/sequencias/linha.h"
#include "platform/codepage.h"

namespace {

using seq::TComando;
using seq::TParametro;

TParametro Vazio(const std::string& nome, const std::string& tipo, bool entrada) {
    TParametro p;
    p.Nome = nome;
    p.Tipo = tipo;
    p.Entrada = entrada;
    return p;
}

TParametro Texto(const std::string& nome, const std::string& tipo, const std::string& valor) {
    TParametro p = Vazio(nome, tipo, true);
    p.ValorTexto = valor;
    p.Preenchido = true;
    return p;
}

TParametro Inteiro(const std::string& nome, const std::string& tipo, std::int32_t valor) {
    TParametro p = Vazio(nome, tipo, true);
    p.ValorInteiro = valor;
    p.Preenchido = true;
    return p;
}

TComando Comando(const std::string& nome, std::vector<TParametro> ps) {
    TComando c;
    c.Nome = nome;
    c.Quantidade = static_cast<int>(ps.size());
    c.Parametros = std::move(ps);
    return c;
}

void EsperaIgual(const TComando& a, const TComando& b) {
    EXPECT_EQ(a.Nome, b.Nome);
    EXPECT_EQ(a.Quantidade, b.Quantidade) << a.Nome;
    ASSERT_EQ(a.Parametros.size(), b.Parametros.size()) << a.Nome;
    for (std::size_t i = 0; i < a.Parametros.size(); ++i) {
        const TParametro &x = a.Parametros[i], &y = b.Parametros[i];
        EXPECT_EQ(x.Nome, y.Nome);
        EXPECT_EQ(x.Tipo, y.Tipo) << x.Nome;
        EXPECT_EQ(x.ValorTexto, y.ValorTexto) << x.Nome;
        EXPECT_EQ(x.ValorInteiro, y.ValorInteiro) << x.Nome;
        EXPECT_EQ(x.Preenchido, y.Preenchido) << x.Nome;
        EXPECT_EQ(x.Entrada, y.Entrada) << x.Nome;
    }
}

// Every kind of parameter a sequence holds, with text values carrying each character the
// line uses to separate its parts.
std::vector<TComando> Amostra() {
    return {
        Comando("Tarvo_LeituraX", {}),
        Comando("Tarvo_AbreCupom", {Texto("CPF", "string", "abc")}),
        Comando("Tarvo_VendeItem",
                {Texto("Codigo", "string", "001"),
                 Texto("Descricao", "string", "ARROZ (5 kg): tipo 1; \"bom\" d'agua"),
                 Texto("Aliquota", "string", "FF"), Texto("TipoQuantidade", "string", "I"),
                 Texto("Quantidade", "string", "1"), Inteiro("CasasDecimais", "integer", 2),
                 Texto("ValorUnitario", "string", "5,00"), Texto("TipoDesconto", "string", "%"),
                 Texto("Desconto", "string", "0000")}),
        Comando("Tarvo_Teste",
                {Vazio("Valor", "integer", true), Vazio("Texto", "string", true),
                 Inteiro("Negativo", "Integer", -2147483647 - 1), Texto("Branco", "String", "   três"),
                 Texto("Percentual", "string", "%28 %2 %zz 10%"),
                 Texto("Marca", "string", "!!!ParametroNaoPreenchido"), Texto("Hora", "pchar", "10:30:00"),
                 Texto("Letra", "Char", ";"), Texto("Linhas", "string", "a\r\nb\tc "),
                 Texto("Barra", "string", "C\\RFD\\x")}),
        Comando("Tarvo_VerificaEstadoGaveta", {Vazio("EstadoGaveta", "integer", false)}),
        Comando("Tarvo_DataHoraImpressora", {Vazio("Data", "string", false), Vazio("Hora", "string", false)}),
    };
}

TEST(ArquivoSequencia, WritesThePartsOfEachLine) {
    const std::string texto = seq::TextoSequencia(Amostra());
    std::vector<std::string> linhas;
    for (std::size_t i = 0, f; i < texto.size(); i = f + 2) {
        f = texto.find("\r\n", i);
        ASSERT_NE(f, std::string::npos);
        linhas.push_back(texto.substr(i, f - i));
    }
    ASSERT_EQ(linhas.size(), 6u);
    EXPECT_EQ(linhas[0], "Tarvo_LeituraX();0");
    EXPECT_EQ(linhas[1], "Tarvo_AbreCupom(CPF:string:abc;);1");
    EXPECT_EQ(
        linhas[2],
        "Tarvo_VendeItem(Codigo:string:001;Descricao:string:ARROZ %285 kg%29%3A tipo 1%3B %22bom%22 d%27agua;"
        "Aliquota:string:FF;TipoQuantidade:string:I;Quantidade:string:1;CasasDecimais:integer:2;"
        "ValorUnitario:string:5,00;TipoDesconto:string:%;Desconto:string:0000;);9");
    // Types lower-cased, the markers for unfilled values, escapes only where needed,
    // Windows-1252 on disk.
    EXPECT_EQ(linhas[3],
              "Tarvo_Teste(Valor:integer:!!!ParametroNaoPreenchido;Texto:string:!!!ParametroNaoPreenchido;"
              "Negativo:integer:-2147483648;Branco:string:%20  tr\xEAs;Percentual:string:%2528 %2 %zz 10%;"
              "Marca:string:%21!!ParametroNaoPreenchido;Hora:pchar:10%3A30%3A00;Letra:char:%3B;"
              "Linhas:string:a%0D%0Ab\tc ;Barra:string:C\\RFD\\x;);10");
    EXPECT_EQ(linhas[4],
              "Tarvo_VerificaEstadoGaveta(EstadoGaveta:integer:!!!Vari\xE1vel de retorno de dados;);1");
    EXPECT_EQ(linhas[5],
              "Tarvo_DataHoraImpressora(Data:string:!!!Vari\xE1vel de retorno de dados;"
              "Hora:string:!!!Vari\xE1vel de retorno de dados;);2");
}

TEST(ArquivoSequencia, SavesAndReopensByteForByte) {
    teste::PastaTemporaria pasta;
    const std::string caminho = pasta / "Sequencias/amostra.seq";
    const std::vector<TComando> original = Amostra();
    std::string erro;
    ASSERT_TRUE(seq::GravaSequencia(caminho, original, erro)) << erro;
    const std::string bytes = teste::LeArquivo(caminho);
    EXPECT_EQ(bytes, seq::TextoSequencia(original));

    std::vector<TComando> lidos;
    ASSERT_TRUE(seq::LeSequencia(caminho, lidos, erro)) << erro;
    ASSERT_EQ(lidos.size(), original.size());
    for (std::size_t i = 0; i < lidos.size(); ++i) {
        TComando esperado = original[i];
        // Types come back as the file holds them: lower-cased.
        for (TParametro& p : esperado.Parametros)
            for (char& c : p.Tipo) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        EsperaIgual(lidos[i], esperado);
    }
    ASSERT_TRUE(seq::GravaSequencia(caminho, lidos, erro)) << erro;
    EXPECT_EQ(teste::LeArquivo(caminho), bytes);
}

TEST(ArquivoSequencia, ReadsFilesWithoutEscapesAsTheyAreWritten) {
    // A value in quotes keeps its quotes and separators; "%" not followed by an escape code,
    // and backslashes, stay as they are; an integer parameter holds its number.
    std::vector<TComando> lidos;
    std::string erro;
    ASSERT_TRUE(
        seq::LeTextoSequencia("Tarvo_ProgramaOperador(Operador:string:'JOSE: A';);1\r\n"
                              "\r\n"
                              "Tarvo_EspacoEntreLinhas(Espaco:integer:12;);1\n"
                              "Tarvo_X(Caminho:string:RFD\\2009%41\\10%;);1",
                              lidos, erro))
        << erro;
    ASSERT_EQ(lidos.size(), 3u);
    EXPECT_EQ(lidos[0].Parametros.at(0).ValorTexto, "'JOSE: A'");
    EXPECT_EQ(lidos[1].Parametros.at(0).ValorInteiro, 12);
    EXPECT_TRUE(lidos[1].Parametros.at(0).Preenchido);
    EXPECT_TRUE(lidos[1].Parametros.at(0).Entrada);
    EXPECT_EQ(lidos[2].Parametros.at(0).ValorTexto, "RFD\\2009%41\\10%");
}

TEST(ArquivoSequencia, RefusesALineThatDisagreesWithItsCountKeepingTheLinesBefore) {
    struct Caso {
        const char* linha;
        const char* motivo;
    } casos[] = {
        {"Tarvo_VendeItem(Codigo:string:001;Descricao:string:X;);3", "anuncia 3"},
        {"Tarvo_AbreCupom(CPF:string:12:30;);1", "anuncia 1"},
        {"Tarvo_LeituraX();x", "'x' não é um número inteiro válido"},
        {"Tarvo_LeituraX()", "'Tarvo_LeituraX' não é um número inteiro válido"},
        {"Tarvo_EspacoEntreLinhas(Espaco:integer:doze;);1", "'doze' não é um número inteiro válido"},
        {"Tarvo_EspacoEntreLinhas(Espaco:integer:4294967296;);1",
         "'4294967296' não é um número inteiro válido"},
        {"Tarvo_LeituraX();-1", "anuncia -1"},
    };
    for (const Caso& c : casos) {
        std::vector<TComando> lidos;
        std::string erro;
        const std::string texto = "Tarvo_LeituraX();0\r\nTarvo_AbreCupom(CPF:string:1;);1\r\n" +
                                  std::string(c.linha) + "\r\nTarvo_FechaCupom();0\r\n";
        EXPECT_FALSE(seq::LeTextoSequencia(texto, lidos, erro)) << c.linha;
        EXPECT_NE(erro.find("Linha 3: "), std::string::npos) << erro;
        EXPECT_NE(erro.find(c.motivo), std::string::npos) << erro;
        ASSERT_EQ(lidos.size(), 2u) << c.linha;
        EXPECT_EQ(lidos[1].Nome, "Tarvo_AbreCupom");
    }
}

TEST(ArquivoSequencia, OddLinesEitherLoadSaveAndLoadBackEqualOrAreRefusedWithTheirNumber) {
    struct Caso {
        std::string bytes;   // the file's second line (the first is always good)
        const char* motivo;  // nullptr: it loads; else a part of the refusal
    } casos[] = {
        {"Tarvo_LeituraX;0", nullptr},                // no parentheses
        {"Tarvo_X(P:String:abc;);1", nullptr},        // the type comes back as written: lower-cased
        {"Tarvo_X(P:string:'a;b' 50%;);1", nullptr},  // quotes and a lone "%"
        {"Tarvo_X(P:string:a" + std::string(1, '\0') + "b;);1", nullptr},
        {"\t(;0", "não tem nome de comando"},  // a name of a tab alone cannot be written back
        {"Tarvo_X(\t:string:a;);1", "não tem nome de parâmetro"},
        {"Tarvo_X(P:\t:a;);1", "não tem tipo de parâmetro"},
        {"Tarvo_X(P:integer:1" + std::string(1, '\0') + ";);1", "1\\x00"},  // shown, not cut
    };
    for (std::size_t n = 0; n < std::size(casos); ++n) {
        const Caso& c = casos[n];
        SCOPED_TRACE("case " + std::to_string(n));
        std::vector<TComando> lidos;
        std::string erro;
        const bool lido = seq::LeTextoSequencia("Tarvo_LeituraX();0\r\n" + c.bytes + "\r\n", lidos, erro);
        if (c.motivo) {
            EXPECT_FALSE(lido);
            EXPECT_EQ(erro.rfind("Linha 2: ", 0), 0u) << erro;
            EXPECT_NE(erro.find(c.motivo), std::string::npos) << erro;
            continue;
        }
        ASSERT_TRUE(lido) << erro;
        std::vector<TComando> deNovo;
        ASSERT_TRUE(seq::LeTextoSequencia(seq::TextoSequencia(lidos), deNovo, erro)) << erro;
        ASSERT_EQ(deNovo.size(), lidos.size());
        for (std::size_t i = 0; i < lidos.size(); ++i) EsperaIgual(deNovo[i], lidos[i]);
    }
    // A file saved as UTF-16 says so, at its first line.
    std::vector<TComando> lidos;
    std::string erro;
    EXPECT_FALSE(seq::LeTextoSequencia(std::string("\xFF\xFET\0(\0", 6), lidos, erro));
    EXPECT_EQ(erro.rfind("Linha 1: ", 0), 0u) << erro;
    EXPECT_NE(erro.find("UTF-16"), std::string::npos) << erro;
}

TEST(ArquivoSequencia, NamesFilesAndListsThemIgnoringCase) {
    EXPECT_EQ(seq::ArquivoDaSequencia("x.seq"), "x.seq");
    EXPECT_EQ(seq::ArquivoDaSequencia("x.SEQ"), "x.SEQ.seq");
    EXPECT_EQ(seq::ArquivoDaSequencia("x"), "x.seq");
    EXPECT_EQ(seq::ArquivoDaSequencia("venda.diaria"), "venda.diaria.seq");
    for (const char* ruim : {"a/b", "a\\b", "..", "../x", "a..b", "/etc/passwd", ""})
        EXPECT_FALSE(seq::NomeSequenciaValido(ruim)) << ruim;
    for (const char* bom : {"x", "x.seq", "venda.diaria", "Sequência 1"})
        EXPECT_TRUE(seq::NomeSequenciaValido(bom)) << bom;

    teste::PastaTemporaria pasta;
    EXPECT_TRUE(seq::PegarSequencias(pasta / "falta").empty());
    for (const char* n : {"b.SEQ", "a.seq", "C.Seq", "notas.txt", "seq", "x.seq.bak"})
        teste::EscreveArquivo(pasta / n, "");
    std::filesystem::create_directory(pasta / "pasta.seq");
    EXPECT_EQ(seq::PegarSequencias(pasta.Caminho()),
              (std::vector<std::string>{"a.seq", "b.SEQ", "C.Seq", "pasta.seq"}));

    // A folder or a missing file is not read, with a message.
    std::vector<TComando> lidos;
    std::string erro;
    EXPECT_FALSE(seq::LeSequencia(pasta / "pasta.seq", lidos, erro));
    EXPECT_NE(erro.find("pasta.seq"), std::string::npos);
    EXPECT_FALSE(seq::LeSequencia(pasta / "nenhuma.seq", lidos, erro));
    EXPECT_NE(erro.find("nenhuma.seq"), std::string::npos);
    EXPECT_TRUE(lidos.empty());
}

TEST(ArquivoSequencia, ReadsAFunctionList) {
    teste::PastaTemporaria pasta;
    teste::EscreveArquivo(
        pasta / "lista.txt",
        plataforma::Utf8ParaCp1252("Tarvo_AbreCupom(CPF: string): integer; 1\r\n"
                                   "\r\n"
                                   "Tarvo_LeituraX: integer; 0\r\n"
                                   "Tarvo_VerificaEstadoGaveta(var EstadoGaveta: integer): integer; 1\r\n"
                                   "Tarvo_Descrição(Texto: string): integer; 1\r\n"));
    seq::ListaFuncoes lista;
    std::string erro;
    ASSERT_TRUE(seq::LeListaFuncoes(pasta / "lista.txt", lista, erro)) << erro;
    EXPECT_EQ(lista.nomes, (std::vector<std::string>{"Tarvo_AbreCupom", "Tarvo_LeituraX",
                                                     "Tarvo_VerificaEstadoGaveta", "Tarvo_Descrição"}));
    ASSERT_EQ(lista.declaracoes.size(), 4u);
    EXPECT_EQ(lista.declaracoes[1], "Tarvo_LeituraX: integer; 0");
    TComando c;
    ASSERT_TRUE(seq::GeraListaParametros(lista.declaracoes[2], c, erro)) << erro;
    ASSERT_EQ(c.Parametros.size(), 1u);
    EXPECT_FALSE(c.Parametros[0].Entrada);
    EXPECT_FALSE(seq::LeListaFuncoes(pasta / "falta.txt", lista, erro));
    EXPECT_NE(erro.find("falta.txt"), std::string::npos);
}

}  // namespace
