// The printer's reading of frames and parameters.
#include "emulador/protocolo.h"

#include <gtest/gtest.h>

using namespace emulador;

namespace {

std::string Q(const std::string& pacote, const std::string& cmd, const std::string& par) {
    std::string corpo = pacote + ";" + cmd + ";" + par + ";";
    return "{" + corpo + std::to_string(corpo.size()) + "}";
}

std::vector<Parametro> Le(const std::string& t) {
    std::vector<Parametro> p;
    std::string erro;
    EXPECT_TRUE(LeParametros(t, p, erro)) << erro;
    return p;
}

}  // namespace

TEST(Parametros, TiposEscapesEBrancos) {
    auto p =
        Le(R"(  NomeProduto="ARROZ \x22TIPO\x22 1\nLINHA" Data=#15/03/2010# Hora=#10:20:30# Valor = 12,34 )"
           R"(AliquotaICMS = false MensagemDocLinha1 ="oi" Quantidade=1,500)");
    ASSERT_EQ(p.size(), 7u);
    EXPECT_EQ(p[0].nome, "NomeProduto");
    EXPECT_EQ(p[0].tipo, Parametro::Tipo::Texto);
    EXPECT_EQ(p[0].valor, "ARROZ \"TIPO\" 1\nLINHA");
    EXPECT_EQ(p[1].tipo, Parametro::Tipo::DataHora);
    EXPECT_EQ(p[1].valor, "15/03/2010");
    EXPECT_EQ(p[2].valor, "10:20:30");
    EXPECT_EQ(p[3].nome, "Valor");
    EXPECT_EQ(p[3].valor, "12,34");
    EXPECT_EQ(p[4].valor, "false");
    EXPECT_EQ(p[5].nome, "MensagemDocLinha1");
    EXPECT_EQ(p[5].valor, "oi");
    EXPECT_EQ(p[6].valor, "1,500");
}

TEST(Parametros, BytesPorEscapeIncluindoNulo) {
    auto p = Le(R"(TextoLivre="\x1Dk\x02789123456789\x00")");
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(p[0].valor, std::string("\x1dk\x02"
                                      "789123456789",
                                      15) +
                              std::string(1, '\0'));
    // A backslash that starts no escape stays, and a lone "\x" with no digits too.
    EXPECT_EQ(Le(R"(T="C:\dir\xZZ\")")[0].valor, "C:\\dir\\xZZ\\");
}

TEST(Parametros, AspasSemEscapeDentroDoTexto) {
    // Free texts come with their quotes unescaped: only a quote before the end or before the
    // next Name= closes the text.
    auto p = Le(R"(TextoLivre="Diga "oi" e "tchau"" Outro="x")");
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(p[0].valor, "Diga \"oi\" e \"tchau\"");
    EXPECT_EQ(p[1].valor, "x");
    EXPECT_EQ(Le(R"(A="" B="")").size(), 2u);
    EXPECT_EQ(Le("NomeProduto=\"a=b \" c\"")[0].valor, "a=b \" c");
}

TEST(Parametros, TextosMalFormadosSaoRecusados) {
    std::vector<Parametro> p;
    std::string erro;
    EXPECT_FALSE(LeParametros(R"(Nome="sem fim)", p, erro));
    EXPECT_FALSE(LeParametros("Data=#15/03/2010", p, erro));
    EXPECT_FALSE(LeParametros("SemIgual", p, erro));
    EXPECT_FALSE(LeParametros("=5", p, erro));
    EXPECT_FALSE(LeParametros(R"(A="x"B=1)", p, erro));
    EXPECT_TRUE(LeParametros("", p, erro));
    EXPECT_TRUE(p.empty());
}

TEST(Quadros, CortaPeloComprimentoENaoPorChaveNoTexto) {
    Enquadrador e;
    const std::string q1 = Q("7", "ImprimeTexto", R"(TextoLivre="a;b}c;12}")");
    const std::string q2 = R"({8;LeInteiro;NomeInteiro="COO";30})";
    e.Acrescenta("ruido" + q1.substr(0, 20));
    EXPECT_FALSE(e.Proximo(false));
    e.Acrescenta(q1.substr(20) + q2.substr(0, 5));
    auto a = e.Proximo(false);
    ASSERT_TRUE(a);
    EXPECT_EQ(*a, q1);
    EXPECT_FALSE(e.Proximo(false));
    e.Acrescenta(q2.substr(5));
    auto b = e.Proximo(false);
    ASSERT_TRUE(b);
    EXPECT_EQ(*b, q2);
    EXPECT_EQ(e.Descartados(), "ruido");
    EXPECT_TRUE(e.Vazio());
}

TEST(Quadros, SemComprimentoSoComLinhaQuieta) {
    Enquadrador e;
    const std::string q = R"({0;LeIndicador;NomeIndicador="IntervencaoTecnica";})";
    e.Acrescenta(q);
    EXPECT_FALSE(e.Proximo(false));
    EXPECT_TRUE(e.AguardaOcio());
    auto a = e.Proximo(true);
    ASSERT_TRUE(a);
    EXPECT_EQ(*a, q);
    Quadro d;
    ASSERT_TRUE(DivideQuadro(*a, d));
    EXPECT_EQ(d.comando, "LeIndicador");
    EXPECT_FALSE(d.comprimentoPresente);
}

TEST(Quadros, DivideEConfereComprimento) {
    Quadro q;
    ASSERT_TRUE(DivideQuadro(Q("12", "PagaCupom", R"(TextoAdicional="x;y" Valor=1,00)"), q));
    EXPECT_EQ(q.pacote, "12");
    EXPECT_EQ(q.comando, "PagaCupom");
    EXPECT_EQ(q.parametros, R"(TextoAdicional="x;y" Valor=1,00)");
    EXPECT_TRUE(q.comprimentoCorreto);
    ASSERT_TRUE(DivideQuadro(R"({12;PagaCupom;Valor=1,00;99})", q));
    EXPECT_FALSE(q.comprimentoCorreto);
    EXPECT_FALSE(DivideQuadro("{sem;partes}", q));
}

TEST(Respostas, MontaComComprimentoEErroComDoisTextos) {
    EXPECT_EQ(MontaResposta("7", 0, "ValorInteiro=123"), "{7;0;ValorInteiro=123;21}");
    EXPECT_EQ(MontaResposta("255", 0, ""), "{255;0;;7}");
    std::string e = MontaResposta("3", 8005, DadosErro("AliquotaNaoProgramada", "a \"b\"; c"));
    EXPECT_EQ(e, R"({3;8005;NomeErro="AliquotaNaoProgramada" Circunstancia="a 'b'' c";65})");
}
