#include "driver/fiscalfiles/leiaute_ato.h"

#include <utility>

#include "driver/core/formatadores.h"

namespace tarvo {

namespace {

template <class C>
auto Cabecalho5(C& c) {
    return std::array{c.Tipo.Vista(), c.NumeroSerie.Vista(), c.MFAdicional.Vista(), c.Modelo.Vista(),
                      c.NumeroUsuario.Vista()};
}

template <std::size_t A, std::size_t B>
std::array<CampoVista, A + B> Junta(const std::array<CampoVista, A>& a, const std::array<CampoVista, B>& b) {
    std::array<CampoVista, A + B> r{};
    for (std::size_t i = 0; i < A; ++i) r[i] = a[i];
    for (std::size_t i = 0; i < B; ++i) r[A + i] = b[i];
    return r;
}

// Builds the line of a record from a copy, so the caller's record stays const.
template <class R>
std::string MontaDoRegistro(LeiauteLinha leiaute, const R& r) {
    R copia = r;
    auto campos = CamposLinha(copia);
    return MontaLinha(leiaute, campos);
}

}  // namespace

std::array<CampoVista, std::size(kLinhaE00)> CamposLinha(RegistroE00& r) {
    return {r.Tipo.Vista(),
            r.NumeroSerie.Vista(),
            r.MFAdicional.Vista(),
            r.NumeroUsuario.Vista(),
            r.TipoECF.Vista(),
            r.Marca.Vista(),
            r.Modelo.Vista(),
            r.COO.Vista(),
            r.NumeroAplicativo.Vista(),
            r.CNPJDesenvolvedor.Vista(),
            r.IEDesenvolvedor.Vista(),
            r.IMDesenvolvedor.Vista(),
            r.NomeDesenvolvedor.Vista(),
            r.NomeAplicativo.Vista(),
            r.VersaoAplicativo.Vista(),
            r.PrimeiraLinha.Vista(),
            r.SegundaLinha.Vista()};
}

std::array<CampoVista, std::size(kLinhaE01)> CamposLinha(RegistroE01& r) {
    return {r.Tipo.Vista(),
            r.NumeroSerie.Vista(),
            r.MFAdicional.Vista(),
            r.TipoECF.Vista(),
            r.Marca.Vista(),
            r.Modelo.Vista(),
            r.VersaoSB.Vista(),
            r.DataInstalacaoSB.Vista(),
            r.HoraInstalacaoSB.Vista(),
            r.NumeroSequencialECF.Vista(),
            r.CNPJUsuario.Vista(),
            r.ComandoGeracao.Vista(),
            r.CRZInicial.Vista(),
            r.CRZFinal.Vista(),
            r.DataInicial.Vista(),
            r.DataFinal.Vista(),
            r.VersaoBiblioteca.Vista(),
            r.VersaoAtoCotepe.Vista()};
}

std::array<CampoVista, std::size(kLinhaE02)> CamposLinha(RegistroE02& r) {
    return {r.Tipo.Vista(),         r.NumeroSerie.Vista(),  r.MFAdicional.Vista(), r.Modelo.Vista(),
            r.CNPJUsuario.Vista(),  r.IEUsuario.Vista(),    r.NomeUsuario.Vista(), r.Endereco.Vista(),
            r.DataCadastro.Vista(), r.HoraCadastro.Vista(), r.CRO.Vista(),         r.GT.Vista(),
            r.NumeroUsuario.Vista()};
}

std::array<CampoVista, std::size(kLinhaE12)> CamposLinha(RegistroE12& r) {
    return Junta(Cabecalho5(r.Cabecalho),
                 std::array{r.CRZ.Vista(), r.Cabecalho.COO.Vista(), r.CRO.Vista(), r.DataMovimento.Vista(),
                            r.DataEmissao.Vista(), r.HoraEmissao.Vista(), r.VendaBrutaDiaria.Vista(),
                            r.ParametroDescontoISSQN.Vista()});
}

std::array<CampoVista, std::size(kLinhaE13)> CamposLinha(RegistroE13& r) {
    return Junta(Cabecalho5(r.Cabecalho),
                 std::array{r.CRZ.Vista(), r.CodigoTotalizador.Vista(), r.ValorAcumulado.Vista()});
}

std::array<CampoVista, std::size(kLinhaE14)> CamposLinha(RegistroE14& r) {
    return Junta(
        Cabecalho5(r.Cabecalho),
        std::array{r.Cabecalho.CCF.Vista(), r.Cabecalho.COO.Vista(), r.DataInicio.Vista(), r.Subtotal.Vista(),
                   r.DescontoSubtotal.Vista(), r.TipoDesconto.Vista(), r.AcrescimoSubtotal.Vista(),
                   r.TipoAcrescimo.Vista(), r.ValorTotalLiquido.Vista(), r.IndicadorCancelamento.Vista(),
                   r.AcrescimoCancelado.Vista(), r.OrdemDescontoAcrescimo.Vista(), r.NomeAdquirente.Vista(),
                   r.CPFCNPJAdquirente.Vista()});
}

std::array<CampoVista, std::size(kLinhaE15)> CamposLinha(RegistroE15& r) {
    return Junta(
        Cabecalho5(r.Cabecalho),
        std::array{r.Cabecalho.COO.Vista(), r.Cabecalho.CCF.Vista(), r.NumeroItem.Vista(),
                   r.CodigoProduto.Vista(), r.Descricao.Vista(), r.Quantidade.Vista(), r.Unidade.Vista(),
                   r.ValorUnitario.Vista(), r.Desconto.Vista(), r.Acrescimo.Vista(),
                   r.ValorTotalLiquido.Vista(), r.CodigoTotalizador.Vista(), r.IndicadorCancelamento.Vista(),
                   r.QuantidadeCancelada.Vista(), r.ValorCancelado.Vista(), r.AcrescimoCancelado.Vista(),
                   r.IndicadorArredondamento.Vista(), r.DecimaisQuantidade.Vista(),
                   r.DecimaisValorUnitario.Vista()});
}

std::array<CampoVista, std::size(kLinhaE16)> CamposLinha(RegistroE16& r) {
    return Junta(Cabecalho5(r.Cabecalho),
                 std::array{r.Cabecalho.COO.Vista(), r.GNF.Vista(), r.GRG.Vista(), r.CDC.Vista(),
                            r.CRZ.Vista(), r.Denominacao.Vista(), r.DataFinal.Vista(), r.HoraFinal.Vista()});
}

std::array<CampoVista, std::size(kLinhaE17)> CamposLinha(RegistroE17& r) {
    return Junta(Cabecalho5(r.Cabecalho),
                 std::array{r.CRZ.Vista(), r.TotalizadorNaoFiscal.Vista(), r.ValorAcumulado.Vista()});
}

std::array<CampoVista, std::size(kLinhaE18)> CamposLinha(RegistroE18& r) {
    return Junta(Cabecalho5(r.Cabecalho),
                 std::array{r.CRZ.Vista(), r.MeioPagamento.Vista(), r.ValorAcumulado.Vista()});
}

std::array<CampoVista, std::size(kLinhaE21)> CamposLinha(RegistroE21& r) {
    return Junta(
        Cabecalho5(r.Cabecalho),
        std::array{r.Cabecalho.COO.Vista(), r.Cabecalho.CCF.Vista(), r.GNF.Vista(), r.MeioPagamento.Vista(),
                   r.ValorPago.Vista(), r.IndicadorEstorno.Vista(), r.ValorEstornado.Vista()});
}

std::string SemCaracteresControle(std::string texto) {
    for (char& ch : texto)
        if (EhCaractereControle(ch)) ch = ' ';
    return texto;
}

std::string CampoN(const std::string& texto, int largura) {
    return PreencheZerosEsquerda(texto, largura);
}

std::string CampoX(std::string texto, int largura) {
    return PreencheEspacosDireita(SemCaracteresControle(std::move(texto)), largura);
}

namespace {
template <class Texto>
std::string Monta(LeiauteLinha leiaute, Texto&& textoDoCampo) {
    std::string linha;
    linha.reserve(static_cast<std::size_t>(ComprimentoLinha(leiaute)));
    for (std::size_t i = 0; i < leiaute.size(); ++i) {
        const CampoLinha& c = leiaute[i];
        std::string texto = textoDoCampo(i);
        switch (c.regra) {
            case Regra::Tipo:
            case Regra::Fixo:
                linha += PreencheEspacosDireita(c.nome, c.largura);
                break;
            case Regra::N:
                linha += CampoN(texto, c.largura);
                break;
            case Regra::X:
                linha += CampoX(std::move(texto), c.largura);
                break;
            // An indicator nobody set reads as "no": the line keeps its full width.
            case Regra::R:
                linha += PreencheEspacosDireita(texto.empty() ? "N" : texto, c.largura);
                break;
        }
    }
    return linha;
}
}  // namespace

std::string MontaLinha(LeiauteLinha leiaute, std::span<const CampoVista> campos) {
    return Monta(leiaute,
                 [&](std::size_t i) { return i < campos.size() ? campos[i].Texto() : std::string(); });
}

std::string MontaLinha(LeiauteLinha leiaute, const std::vector<std::string>& valores) {
    return Monta(leiaute, [&](std::size_t i) { return i < valores.size() ? valores[i] : std::string(); });
}

void CarregaCampos(LeiauteLinha leiaute, const std::string& linha, std::span<const CampoVista> campos) {
    std::size_t coluna = 0;
    for (std::size_t i = 0; i < leiaute.size() && i < campos.size(); ++i) {
        auto largura = static_cast<std::size_t>(leiaute[i].largura);
        campos[i].Define(coluna < linha.size() ? std::string_view(linha).substr(coluna, largura)
                                               : std::string_view());
        coluna += largura;
    }
}

std::string MontaLinhaE00(const RegistroE00& r) {
    return MontaDoRegistro(kLinhaE00, r);
}
std::string MontaLinhaE01(const RegistroE01& r) {
    return MontaDoRegistro(kLinhaE01, r);
}
std::string MontaLinhaE02(const RegistroE02& r) {
    return MontaDoRegistro(kLinhaE02, r);
}
std::string MontaLinhaE12(const RegistroE12& r) {
    return MontaDoRegistro(kLinhaE12, r);
}
std::string MontaLinhaE13(const RegistroE13& r) {
    return MontaDoRegistro(kLinhaE13, r);
}
std::string MontaLinhaE14(const RegistroE14& r) {
    return MontaDoRegistro(kLinhaE14, r);
}
std::string MontaLinhaE15(const RegistroE15& r) {
    return MontaDoRegistro(kLinhaE15, r);
}
std::string MontaLinhaE16(const RegistroE16& r) {
    return MontaDoRegistro(kLinhaE16, r);
}
std::string MontaLinhaE17(const RegistroE17& r) {
    return MontaDoRegistro(kLinhaE17, r);
}
std::string MontaLinhaE18(const RegistroE18& r) {
    return MontaDoRegistro(kLinhaE18, r);
}
std::string MontaLinhaE21(const RegistroE21& r) {
    return MontaDoRegistro(kLinhaE21, r);
}

void CarregaLinha(const std::string& linha, RegistroE01& r) {
    CarregaCampos(kLinhaE01, linha, CamposLinha(r));
}
void CarregaLinha(const std::string& linha, RegistroE02& r) {
    CarregaCampos(kLinhaE02, linha, CamposLinha(r));
}
void CarregaLinha(const std::string& linha, RegistroE12& r) {
    CarregaCampos(kLinhaE12, linha, CamposLinha(r));
}
void CarregaLinha(const std::string& linha, RegistroE13& r) {
    CarregaCampos(kLinhaE13, linha, CamposLinha(r));
}
void CarregaLinha(const std::string& linha, RegistroE14& r) {
    CarregaCampos(kLinhaE14, linha, CamposLinha(r));
}
void CarregaLinha(const std::string& linha, RegistroE15& r) {
    CarregaCampos(kLinhaE15, linha, CamposLinha(r));
}

void CarregaLinhaE01(const std::string& linha) {
    CarregaLinha(linha, Registros().E01);
}
void CarregaLinhaE02(const std::string& linha) {
    CarregaLinha(linha, Registros().E02);
}
void CarregaLinhaE12(const std::string& linha) {
    CarregaLinha(linha, Registros().E12);
}
void CarregaLinhaE13(const std::string& linha) {
    CarregaLinha(linha, Registros().E13);
}
void CarregaLinhaE14(const std::string& linha) {
    CarregaLinha(linha, Registros().E14);
}
void CarregaLinhaE15(const std::string& linha) {
    CarregaLinha(linha, Registros().E15);
}

}  // namespace tarvo
