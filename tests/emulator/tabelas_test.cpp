// Table readings with their empty-slot codes, programming followed by reading, the clock and
// summer time, indicators, cheques, authentication and barcodes.
#include <gtest/gtest.h>

#include "auxiliar.h"

using namespace emulador;

namespace {

class Tabelas : public teste::ComImpressora {};

}  // namespace

TEST_F(Tabelas, LeiturasDeTabelasECodigosDePosicaoVazia) {
    EXPECT_EQ(
        X("LeAliquota", "CodAliquotaProgramavel=0").dados,
        R"(AliquotaICMS=Yes CodAliquotaProgramavel=0 DescricaoAliquota="ICMS 18" PercentualAliquota=18,00)");
    EXPECT_EQ(X("LeAliquota", "CodAliquotaProgramavel=3").dados.substr(0, 15), "AliquotaICMS=No");
    EXPECT_EQ(Erro("LeAliquota", "CodAliquotaProgramavel=4"), erro::kAliquotaNaoProgramada);
    EXPECT_EQ(Erro("LeAliquota", "CodAliquotaProgramavel=16"), erro::kParametroInvalido);
    EXPECT_EQ(
        X("LeMeioPagamento", "CodMeioPagamentoProgram=-2").dados,
        R"(CodMeioPagamentoProgram=-2 DescricaoMeioPagamento="Dinheiro" NomeMeioPagamento="Dinheiro" PermiteVinculado=No)");
    EXPECT_EQ(X("LeMeioPagamento", R"(NomeMeioPagamento="CARTAO DEBITO")").dados.substr(0, 26),
              "CodMeioPagamentoProgram=1 ");
    EXPECT_EQ(Erro("LeMeioPagamento", "CodMeioPagamentoProgram=3"), erro::kMeioPagamentoNaoProgramado);
    EXPECT_EQ(
        X("LeNaoFiscal", "CodNaoFiscal=1").dados,
        R"(CodNaoFiscal=1 DescricaoNaoFiscal="Sangria de caixa" NomeNaoFiscal="SANGRIA" TipoNaoFiscal=No)");
    EXPECT_EQ(Erro("LeNaoFiscal", "CodNaoFiscal=2"), erro::kAliquotaNaoProgramada);
    EXPECT_EQ(X("LeGerencial", "CodGerencial=0").dados, R"(CodGerencial=0 NomeGerencial="RELATORIO GERAL")");
    EXPECT_EQ(Erro("LeGerencial", "CodGerencial=1"), erro::kGerencialIndisponivel);
    EXPECT_EQ(Erro("LeDepartamento", "CodDepartamento=0"), erro::kDepartamentoNaoProgramado);
    EXPECT_EQ(Erro("LeInteiro", R"(NomeInteiro="NaoExiste")"), erro::kRegistradorInexistente);
    EXPECT_EQ(Erro("LeMoeda", R"(NomeDadoMonetario="COO")"), erro::kRegistradorInexistente);
    EXPECT_EQ(Erro("LeMoeda", R"(NomeDadoMonetario="TotalDiaNaoFiscal[15]")"), erro::kParametroInvalido);
    EXPECT_EQ(X("LeInteiro", R"(NomeInteiro="AliquotaDisponivel")").dados, "ValorInteiro=4");
    EXPECT_EQ(X("LeInteiro", R"(NomeInteiro="MFDLivre")").dados,
              "ValorInteiro=" + std::to_string(64LL << 20));
    EXPECT_EQ(X("LeInteiro", R"(NomeInteiro="PercentualMFDUtilizada")").dados, "ValorInteiro=0");
    p.mfdOcupadaExtra = 64LL * 1024 * 1024 * 95 / 100 + 100;
    EXPECT_EQ(X("LeInteiro", R"(NomeInteiro="PercentualMFDUtilizada")").dados, "ValorInteiro=9500");
    EXPECT_EQ(X("LeTexto", R"(NomeTexto="CNPJ")").dados, R"(ValorTexto="11.222.333/0001-81")");
}

TEST_F(Tabelas, ProgramacaoSeguidaDaLeitura) {
    Ok("DefineAliquota", "CodAliquotaProgramavel=4 PercentualAliquota=25,00");
    Ok("DefineAliquota", "CodAliquotaProgramavel=5 PercentualAliquota=2,00 AliquotaICMS = false");
    EXPECT_EQ(X("LeAliquota", "CodAliquotaProgramavel=5").dados.substr(0, 15), "AliquotaICMS=No");
    EXPECT_EQ(Erro("DefineAliquota", "CodAliquotaProgramavel=5 PercentualAliquota=3,00"),
              erro::kPosicaoOcupada);
    EXPECT_EQ(X("LeInteiro", R"(NomeInteiro="AliquotaDisponivel")").dados, "ValorInteiro=6");
    for (int k = 6; k < 16; ++k) Ok("DefineAliquota", "PercentualAliquota=1," + std::to_string(10 + k));
    EXPECT_EQ(Erro("LeInteiro", R"(NomeInteiro="AliquotaDisponivel")"), erro::kTabelaCheia);
    EXPECT_EQ(Erro("DefineAliquota", "PercentualAliquota=3,00"), erro::kTabelaCheia);

    // A name already programmed is redefined in its own slot, whatever its case.
    Ok("DefineMeioPagamento", R"(NomeMeioPagamento="cartao credito" PermiteVinculado=false)");
    std::string forma = X("LeMeioPagamento", "CodMeioPagamentoProgram=0").dados;
    EXPECT_EQ(forma.substr(forma.find("NomeMeio")),
              R"(NomeMeioPagamento="cartao credito" PermiteVinculado=No)");
    Ok("DefineMeioPagamento", R"(NomeMeioPagamento="Vale" PermiteVinculado=true)");
    EXPECT_EQ(X("LeMeioPagamento", R"(NomeMeioPagamento="VALE")").dados.substr(0, 26),
              "CodMeioPagamentoProgram=3 ");
    EXPECT_EQ(Erro("DefineMeioPagamento", R"(NomeMeioPagamento="Dinheiro")"), erro::kPosicaoOcupada);
    Ok("DefineNaoFiscal",
       R"(CodNaoFiscal=2 NomeNaoFiscal="RECARGA" DescricaoNaoFiscal="Recarga" TipoNaoFiscal=Yes)");
    EXPECT_EQ(X("LeNaoFiscal", R"(NomeNaoFiscal="recarga")").dados.substr(0, 15), "CodNaoFiscal=2 ");
    Ok("DefineGerencial", R"(CodGerencial=3 NomeGerencial="SANGRIAS")");
    EXPECT_EQ(Erro("DefineGerencial", R"(CodGerencial=3 NomeGerencial="OUTRO")"),
              erro::kGerencialIndisponivel);
    Ok("DefineDepartamento", R"(CodDepartamento=2 NomeDepartamento="BEBIDAS")");
    EXPECT_EQ(X("LeDepartamento", "CodDepartamento=2").dados,
              R"(CodDepartamento=2 NomeDepartamento="BEBIDAS")");
    Ok("EscreveTexto", R"(NomeTexto="SimboloMoeda" ValorTexto="US$")");
    EXPECT_EQ(X("LeTexto", R"(NomeTexto="SimboloMoeda")").dados, R"(ValorTexto="US$")");
    Ok("EscreveInteiro", R"(NomeInteiro="Arredondamento" ValorInteiro=0)");
    EXPECT_EQ(X("LeInteiro", R"(NomeInteiro="Arredondamento")").dados, "ValorInteiro=0");
    EXPECT_EQ(Erro("EscreveInteiro", R"(NomeInteiro="BaudRate" ValorInteiro=4800)"),
              erro::kParametroInvalido);

    // Sales on the department and the rounding just programmed.
    Ok("AbreCupomFiscal");
    Ok("VendeItem",
       R"(CodAliquota=4 NomeProduto="A" PrecoUnitario=0,333 Quantidade=1,500 CodDepartamento=2)");
    EXPECT_EQ(p.dia.aliquota[4], 50);  // 0,4995 rounded
    EXPECT_EQ(X("LeMoeda", R"(NomeDadoMonetario="TotalDiaQuantidadeVendasDepartamento[2]")").dados,
              "ValorMoeda=1,5000");
    EXPECT_EQ(X("LeInteiro", R"(NomeInteiro="TotalDiaQuantidadeVendasDepartamento[2]")").dados,
              "ValorInteiro=1500");
}

TEST_F(Tabelas, ExclusaoEIdentificacaoSoEmIntervencao) {
    EXPECT_EQ(Erro("ExcluiAliquota", "CodAliquotaProgramavel=1"), erro::kForaDeIntervencao);
    EXPECT_EQ(Erro("DefineProprietario", R"(CNPJ="1" InscricaoEstadual="2" Senha=123)"),
              erro::kForaDeIntervencao);
    EXPECT_EQ(Erro("DefineDadosCabecalho", R"(Loja=2 ECF=3 TextoCabecalho="X")"), erro::kForaDeIntervencao);
    p.intervencaoTecnica = true;
    EXPECT_EQ(X("LeInteiro", R"(NomeInteiro="Indicadores")").dados, "ValorInteiro=1");
    Ok("ExcluiAliquota", "CodAliquotaProgramavel=1");
    EXPECT_EQ(Erro("LeAliquota", "CodAliquotaProgramavel=1"), erro::kAliquotaNaoProgramada);
    Ok("DefineDadosCabecalho",
       "Loja=2 ECF=3 TextoCabecalho=\"NOVA LOJA\x1b"
       "E1 LTDA\x1b"
       "E0\\nRUA B\"");
    Ok("DefineProprietario",
       R"(CNPJ="22.333.444/0001-55" InscricaoEstadual="111" InscricaoMunicipal="9" Senha=123)");
    Ok("IniciaFitaDetalhe",
       R"(NumSerie="MFD99" CNPJ="22.333.444/0001-55" InscricaoEstadual="111" InscricaoMunicipal="9" Senha=1)");
    p.EncerraIntervencao();
    EXPECT_EQ(p.contadores.cro, 2);
    EXPECT_EQ(p.usuarios.size(), 2u);
    EXPECT_EQ(X("LeInteiro", R"(NomeInteiro="ContadorProprietarios")").dados, "ValorInteiro=2");
    EXPECT_EQ(X("LeTexto", R"(NomeTexto="NumeroSerieMFD")").dados, R"(ValorTexto="MFD99")");
    EXPECT_EQ(X("LeTexto", R"(NomeTexto="Cliche")").dados,
              "ValorTexto=\"NOVA LOJA\x1b"
              "E1 LTDA\x1b"
              "E0\nRUA B\n\"");
    Ok("AbreGerencial", "CodGerencial=0");
    const auto& ls = p.fita.back().linhas;
    EXPECT_EQ(ls[0].texto,
              "NOVA LOJA\x1b"
              "E1 LTDA\x1b"
              "E0");
    EXPECT_EQ(ls[2].texto, "CNPJ:22.333.444/0001-55 IE:111");
    std::string fluxo = p.fita.back().Fluxo();
    EXPECT_EQ(fluxo.substr(0, 21),
              "NOVA LOJA\x1b"
              "E1 LTDA\x1b"
              "E0\n");
}

TEST_F(Tabelas, RelogioEHorarioDeVerao) {
    Ok("AcertaHorarioVerao", "EntradaHV=1");
    EXPECT_EQ(X("LeHora", R"(NomeHora="Hora")").dados.substr(0, 13), "ValorHora=#11");
    EXPECT_EQ(X("LeIndicador", R"(NomeIndicador="HorarioVerao")").dados.substr(0, 24),
              "ValorNumericoIndicador=1");
    EXPECT_EQ(Erro("AcertaHorarioVerao", "EntradaHV=1"), erro::kSequenciaInvalida);
    Ok("AcertaHorarioVerao", "EntradaHV=0");
    Ok("ProgramaRelogio", "Data=#20/04/10# Hora=#08:30:00#");
    EXPECT_EQ(X("LeData", R"(NomeData="Data")").dados, "ValorData=#20/04/2010#");
    Ok("AbreCupomFiscal");
    Ok("CancelaCupom");
    EXPECT_EQ(Erro("ProgramaRelogio", "Hora=#09:00:00#"), erro::kRelogio) << "movement open";
    EXPECT_EQ(Erro("AcertaHorarioVerao", "EntradaHV=0"), erro::kSequenciaInvalida);
    Ok("AcertaHorarioVerao", "EntradaHV=1");
    EXPECT_EQ(Erro("AcertaHorarioVerao", "EntradaHV=0"), erro::kRelogio) << "going back an hour needs the Z";
}

TEST_F(Tabelas, EstadosEIndicadores) {
    auto estado = [&] { return X("LeTexto", R"(NomeTexto="NomeEstadoFiscal")").dados; };
    EXPECT_EQ(estado(), R"(ValorTexto="ESTADO_LIVRE")");
    Ok("AbreCupomFiscal");
    EXPECT_EQ(estado(), R"(ValorTexto="ESTADO_VENDA")");
    EXPECT_EQ(X("LeInteiro", R"(NomeInteiro="Indicadores")").dados, "ValorInteiro=1536");
    Ok("VendeItem", R"(CodAliquota=0 NomeProduto="A" PrecoUnitario=2,00 Quantidade=1,000)");
    Ok("AcresceSubtotal", "ValorPercentual=10,00");
    EXPECT_EQ(estado(), R"(ValorTexto="ESTADO_TOTALIZANDO")");
    EXPECT_EQ(p.gt, 220);
    Ok("PagaCupom", "CodMeioPagamento=-2 Valor=2,20");
    EXPECT_EQ(estado(), R"(ValorTexto="ESTADO_PAGAMENTO")");
    Ok("EncerraDocumento");
    EXPECT_EQ(X("LeInteiro", R"(NomeInteiro="TipoUltimoDocEmitido")").dados, "ValorInteiro=3");
    Ok("AbreGaveta");
    p.poucoPapel = true;
    EXPECT_EQ(X("LeInteiro", R"(NomeInteiro="Indicadores")").dados, "ValorInteiro=6");
    EXPECT_EQ(X("LeIndicador", R"(NomeIndicador="SensorGaveta")").dados.substr(0, 24),
              "ValorNumericoIndicador=1");
}

TEST_F(Tabelas, ChequeComPosicoesEAutenticacao) {
    EXPECT_EQ(Erro("ImprimeAutenticacao"), erro::kAutenticacaoNaoPermitida);
    Ok("ImprimeCheque",
       R"(Cidade="SAO PAULO" Data=#15/03/2010# Favorecido="FULANO DE TAL" Valor=1234,56 MensagemDocLinha1 ="PAGAR ATE 20" )"
       "HPosAno=5 HPosCidade=20 HPosDia=40 HPosExtensoLinha1=10 HPosExtensoLinha2=2 HPosFavorecido=8 "
       "HPosMes=44 "
       "HPosMsgLinha1=1 HPosValor=60 VPosCidade=6 VPosExtensoLinha1=2 VPosExtensoLinha2=3 VPosFavorecido=4 "
       "VPosMsgLinha1=8 VPosValor=0");
    ASSERT_EQ(p.folhas.size(), 1u);
    const auto& l = p.folhas[0].linhas;
    ASSERT_EQ(l.size(), 9u);
    EXPECT_EQ(l[0], std::string(60, ' ') + "#1.234,56#");
    EXPECT_EQ(l[2].substr(10), "(MIL DUZENTOS E TRINTA E QUATRO REAIS E CINQUENTA E SEIS CENTAVOS) ***");
    EXPECT_EQ(l[3], "  " + std::string(78, '*'));
    EXPECT_EQ(l[4], "        FULANO DE TAL");
    EXPECT_EQ(l[6], std::string(20, ' ') + "SAO PAULO," + std::string(10, ' ') + "15  MAR\x80O     2010");
    EXPECT_EQ(l[8], " PAGAR ATE 20");
    EXPECT_FALSE(p.chequeInserido);
    EXPECT_EQ(Erro("LeTexto", R"(NomeTexto="CMC7Documento")"), erro::kDocumentoNaoAberto);
    p.chequeInserido = true;
    EXPECT_EQ(X("LeTexto", R"(NomeTexto="CMC7Documento")").dados,
              R"(ValorTexto="<00100012<0010000015>000000012345:")");

    Ok("AbreCupomFiscal");
    Ok("VendeItem", R"(CodAliquota=0 NomeProduto="A" PrecoUnitario=2,00 Quantidade=1,000)");
    EXPECT_EQ(Erro("ImprimeAutenticacao"), erro::kDocumentoAberto);
    Ok("PagaCupom", "CodMeioPagamento=-2 Valor=2,00");
    Ok("EncerraDocumento");
    for (int i = 0; i < 5; ++i) Ok("ImprimeAutenticacao", R"(TextoAutenticacao="\n\n\nPAGO")");
    EXPECT_EQ(Erro("ImprimeAutenticacao"), erro::kAutenticacaoNaoPermitida);
    const auto& a = p.folhas.back().linhas;
    ASSERT_EQ(a.size(), 5u);
    EXPECT_EQ(a[3].substr(19), " COO:000001 ECF:001 R$ 2,00 2345");
    EXPECT_EQ(a[4], "PAGO");
}

TEST_F(Tabelas, CodigosDeBarrasNoTextoLivre) {
    // Settings alone need no document; printing does.
    Ok("ImprimeTexto", R"(TextoLivre="\x1Dw\x03\x1Dh\xA2\x1DH\x03\x1Df\x00")");
    EXPECT_EQ(p.barrasAltura, 162);
    EXPECT_EQ(p.barrasPosicaoTexto, 3);
    EXPECT_EQ(Erro("ImprimeTexto", R"(TextoLivre="\x1Dk\x02789100000001\x00")"), erro::kDocumentoNaoAberto);
    Ok("AbreGerencial", "CodGerencial=0");
    std::size_t antes = p.fita.back().linhas.size();
    Ok("ImprimeTexto", R"(TextoLivre="ANTES\x1Dk\x02789100000001\x00DEPOIS")");
    const auto& ls = p.fita.back().linhas;
    ASSERT_EQ(ls.size(), antes + 7);  // text, number, 3 lines of bars, number, text
    EXPECT_EQ(ls[antes].texto, "ANTES");
    EXPECT_EQ(ls[antes + 1].texto, std::string(17, ' ') + "7891000000014");
    EXPECT_EQ(ls[antes + 2].texto.find_first_not_of(" \xDB"), std::string::npos);
    EXPECT_EQ(ls[antes + 5].texto, ls[antes + 1].texto);
    EXPECT_EQ(ls[antes + 6].texto, "DEPOIS");
    EXPECT_EQ(Erro("ImprimeTexto", R"(TextoLivre="\x1Dk\x02ABC\x00")"), erro::kCodigoBarrasInvalido);
    EXPECT_EQ(Erro("ImprimeTexto", R"(TextoLivre="\x1Dk\x0512345\x00")"), erro::kCodigoBarrasInvalido);
    EXPECT_EQ(Erro("ImprimeTexto", R"(TextoLivre="\x1Dk\x03123\x00")"), erro::kCodigoBarrasInvalido);
    EXPECT_EQ(p.fita.back().linhas.size(), antes + 7) << "a refused text prints nothing";
    Ok("ImprimeTexto", R"(TextoLivre="\x1Dk\x041234-ABC\x00\x1Dk\x061234\x00")");
}
