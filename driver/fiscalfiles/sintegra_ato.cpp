// The SINTEGRA records of an ATO COTEPE file: records 10 and 11 from its E01 and E02 lines and
// the informant, 60M and 60A from its reductions, 60I and 75 from its items, in one pass over
// the file into the keyed lines of "SINT.TXT".
#include <algorithm>
#include <cstdint>
#include <fstream>
#include <string>
#include <unordered_map>
#include <vector>

#include "driver/core/formatadores.h"
#include "driver/fiscalfiles/consolidacao_rfd.h"
#include "driver/fiscalfiles/leiaute_ato.h"
#include "driver/fiscalfiles/leituras_fiscais.h"
#include "driver/fiscalfiles/sintegra.h"
#include "driver/fiscalfiles/totalizador_geral.h"
#include "platform/arquivo.h"
#include "platform/pastas.h"

namespace tarvo {

namespace {

// A field of the ATO file as a whole number, blanks around it trimmed.
std::int64_t Inteiro(const std::string& campo) {
    return InteiroCampo(Apara(campo));
}

// Tax code of an item of the ATO file: "CANC" for a cancelled item; the letter codes and
// "ISS " as the RFD lines have them; a rate as its four digits, zero-padded.
std::string CodigoItem(const std::string& totalizador, bool cancelado) {
    if (cancelado) return "CANC";
    std::string codigo = CodigoTributacaoItem(totalizador);
    const std::string aliquota = Apara(codigo);
    if (!aliquota.empty() && EhNumerico(aliquota)) codigo = CampoN(aliquota, 4);
    return codigo;
}

bool CodigoEhAliquota(const std::string& codigo) {
    return EhNumerico(codigo) && codigo.size() == 4;
}

struct Reducao {
    std::string movimento, emissao;
};
struct Documento {
    std::string data;
    bool cancelado = false;
};
// A 60M written: its key dates (emission + movement) and its final COO.
struct Feito60M {
    std::string datas;
    std::int64_t cooFinal = 0;
};
// A 60A of one reduction and code, its values added up.
struct Linha60A {
    std::string chaveEInicio;  // key + the record up to its value
    std::int64_t valor = 0;
};

// Writes the keyed lines to "SINT.TXT" in blocks; the file replaces the earlier one when whole.
class SaidaSint {
  public:
    explicit SaidaSint(const std::string& nome) : nome_(nome), f_(nome) {
        if (!f_.Aberta()) throw ErroArquivoFiscal::AoGravar(nome_);
    }
    void Linha(const std::string& chave, const std::string& registro) {
        f_.Escreve(chave + registro + "\r\n");
    }
    void Fecha() {
        if (!f_.Conclui()) throw ErroArquivoFiscal::AoGravar(nome_);
    }

  private:
    std::string nome_;
    plataforma::SaidaSegura f_;
};

}  // namespace

std::string MontaRegistro10(const std::string& cnpj, const std::string& inscricao,
                            const InformanteSintegra& i, const std::string& inicio, const std::string& fim) {
    return "10" + CampoN(cnpj, 14) + CampoX(Apara(inscricao), 14) + CampoX(i.razaoSocial, 35) +
           CampoX(i.cidade, 30) + CampoX(i.uf, 2) + CampoN(i.fax, 10) + CampoN(inicio, 8) + CampoN(fim, 8) +
           "331";
}

std::string MontaRegistro11(const InformanteSintegra& i) {
    return "11" + CampoX(i.endereco, 34) + CampoN(i.numero, 5) + CampoX(i.complemento, 22) +
           CampoX(i.bairro, 15) + CampoN(i.cep, 8) + CampoX(i.contato, 28) + CampoN(i.telefone, 12);
}

std::vector<std::int64_t> CalculaGtReducoes(const std::string& arquivoAto) {
    TotalizadorGeralAto gt;
    PercorreLinhasArquivo(arquivoAto, [&](const std::string& linha) { gt.Linha(linha); });
    std::vector<std::int64_t> gts;
    std::string erro;
    if (!gt.Conclui(gts, erro)) throw ErroArquivoFiscal(erro);
    return gts;
}

int LeCOOReducaoImpressora(int crz, std::string& coo) {
    return LeiturasDaImpressora().LeInteiro("COOReducao[" + std::to_string(crz) + "]", coo);
}

namespace {

// The CRZ of the reduction whose final COO a reduction's 60M starts after; 0 when the reduction
// gives no 60M (another month than the period's) or starts at COO 1 (the first reduction).
std::int64_t CrzAnterior60M(const RegistroE12& z, const RegistroE01& e01) {
    const std::string movimento = CampoN(z.DataMovimento.Texto(), 8);
    if (movimento.compare(0, 6, CampoN(e01.DataInicial.Texto(), 8), 0, 6) != 0) return 0;
    const std::int64_t crz = Inteiro(z.CRZ.Texto());
    return crz > 1 ? crz - 1 : 0;
}

}  // namespace

int LeCoosReducoesSintegra(const std::string& arquivoAto, const LeitorCOOReducao& leCoo, CoosReducoes& coos) {
    RegistroE01 e01;
    RegistroE12 z;
    int r = 1;
    PercorreLinhasArquivo(arquivoAto, [&](const std::string& linha) {
        if (r != 1) return;
        const int tipo = TipoLinha(linha);
        if (tipo == 1) {
            CarregaLinha(linha, e01);
        } else if (tipo == 12) {
            CarregaLinha(linha, z);
            const std::int64_t anterior = CrzAnterior60M(z, e01);
            if (anterior == 0 || anterior > INT32_MAX || coos.count(static_cast<int>(anterior))) return;
            std::string coo;
            r = leCoo(static_cast<int>(anterior), coo);
            if (r == 1) coos[static_cast<int>(anterior)] = coo;
        }
    });
    return r;
}

int GeraSintegraMfdBinario(const std::string& arquivoAto, const LeitorCOOReducao& leCoo) {
    const std::string pasta = DiretorioTemporarioRFD();
    ApagaArquivo(pasta + "SINTEGRA.TXT");
    if (!plataforma::ExisteArquivo(arquivoAto)) {
        ApagaArquivo(pasta + "SINT.TXT");
        return 1;
    }
    CriaDiretorioTemporarioRFD();
    // The GT at the end of each reduction, from the file's E11 and the reductions' sales.
    const std::vector<std::int64_t> gts = CalculaGtReducoes(arquivoAto);
    CoosReducoes coos;
    if (int r = LeCoosReducoesSintegra(arquivoAto, leCoo, coos); r != 1) {
        // No earlier run's records stand in for this one's.
        ApagaArquivo(pasta + "SINT.TXT");
        return r;
    }
    return ConverteSintegraMfd(arquivoAto, gts, coos);
}

int ConverteSintegraMfd(const std::string& arquivoAto, const std::vector<std::int64_t>& gts,
                        const CoosReducoes& coos) {
    const std::string pasta = DiretorioTemporarioRFD();
    CriaDiretorioTemporarioRFD();
    OpcoesSintegra& opcoes = Sintegra();
    RegistroE01 e01;
    RegistroE02 e02;
    RegistroE12 z;
    RegistroE13 totalizador;
    RegistroE14 recibo;
    RegistroE15 item;

    std::vector<Reducao> reducoes;
    std::unordered_map<std::string, std::size_t> reducaoPorData, reducaoPorCrz;  // the first of each
    std::unordered_map<std::string, Documento> documentos;                       // by COO, the first
    std::vector<Feito60M> feitos60M;
    bool cooCrescente = true;  // the 60M's final COOs in ascending order: searched by halves
    std::vector<Linha60A> linhas60A;
    std::unordered_map<std::string, std::size_t> indice60A;
    std::string datas = std::string(16, '0');  // emission + movement date of the current reduction

    SaidaSint sint(pasta + "SINT.TXT");
    int resultado = 1;
    std::ifstream entrada(arquivoAto, std::ios::binary);
    if (!entrada) throw ErroArquivoFiscal::AoLer(arquivoAto);
    std::string linha;
    while (resultado == 1 && std::getline(entrada, linha)) {
        if (!linha.empty() && linha.back() == '\r') linha.pop_back();
        switch (TipoLinha(linha)) {
            case 1:
                CarregaLinha(linha, e01);
                break;
            case 2:
                CarregaLinha(linha, e02);
                break;
            case 12: {
                CarregaLinha(linha, z);
                const std::string movimento = CampoN(z.DataMovimento.Texto(), 8),
                                  emissao = CampoN(z.DataEmissao.Texto(), 8);
                reducaoPorData.try_emplace(movimento, reducoes.size());
                reducaoPorCrz.try_emplace(CampoN(z.CRZ.Texto(), 6), reducoes.size());
                const std::int64_t gtFinal = reducoes.size() < gts.size() ? gts[reducoes.size()] : 0;
                reducoes.push_back({movimento, emissao});
                datas = emissao + movimento;
                // Only the reductions of the period's month give a 60M.
                if (movimento.compare(0, 6, CampoN(e01.DataInicial.Texto(), 8), 0, 6) != 0) break;
                std::int64_t primeiro = 1;
                if (const std::int64_t anterior = CrzAnterior60M(z, e01); anterior > 0) {
                    auto coo = anterior > INT32_MAX ? coos.end() : coos.find(static_cast<int>(anterior));
                    const std::string digitos = coo == coos.end() ? std::string() : Apara(coo->second);
                    if (digitos.empty() || !EhNumerico(digitos) || digitos.size() > 9) {
                        resultado = 0;
                        break;
                    }
                    primeiro = Inteiro(digitos) + 1;
                }
                z.PrimeiroCOO.Define(std::to_string(primeiro));
                RegistroE02 total = e02;
                total.GT.Define(std::to_string(gtFinal));
                sint.Linha("02" + datas + "02", MontaLinha60M(z, e01, total));
                const std::int64_t cooFinal = Inteiro(z.Cabecalho.COO.Texto());
                if (!feitos60M.empty() && cooFinal < feitos60M.back().cooFinal) cooCrescente = false;
                feitos60M.push_back({datas, cooFinal});
                break;
            }
            case 13: {
                CarregaLinha(linha, totalizador);
                const std::int64_t valor = Inteiro(totalizador.ValorAcumulado.Texto());
                if (valor == 0 || TotalizadorSemRegistro60A(totalizador.CodigoTotalizador.Texto())) break;
                // The reduction the totalizer belongs to, by its counter.
                std::string datasReducao = datas;
                auto r = reducaoPorCrz.find(CampoN(totalizador.CRZ.Texto(), 6));
                if (r != reducaoPorCrz.end())
                    datasReducao = reducoes[r->second].emissao + reducoes[r->second].movimento;
                const std::string inicio = "02" + datasReducao + "03" + "60A" + datasReducao.substr(8) +
                                           CampoX(totalizador.Cabecalho.NumeroSerie.Texto(), 20) +
                                           SituacaoTotalizador(totalizador.CodigoTotalizador.Texto());
                auto [pos, novo] = indice60A.try_emplace(inicio, linhas60A.size());
                if (novo)
                    linhas60A.push_back({inicio, valor});
                else
                    linhas60A[pos->second].valor += valor;
                break;
            }
            case 14: {
                CarregaLinha(linha, recibo);
                documentos.try_emplace(
                    CampoN(recibo.Cabecalho.COO.Texto(), 6),
                    Documento{CampoN(recibo.DataInicio.Texto(), 8), recibo.IndicadorCancelamento == "S"});
                break;
            }
            case 15: {
                CarregaLinha(linha, item);
                const std::string coo = CampoN(item.Cabecalho.COO.Texto(), 6);
                std::string data = datas.substr(8);
                bool documentoCancelado = false;
                auto d = documentos.find(coo);
                if (d != documentos.end()) {
                    data = d->second.data;
                    documentoCancelado = d->second.cancelado;
                    auto r = reducaoPorData.find(d->second.data);
                    if (r != reducaoPorData.end()) datas = reducoes[r->second].emissao + d->second.data;
                }
                // An item whose COO lies after the final COO of a 60M and up to that of the next
                // belongs to that next reduction.
                const std::int64_t cooItem = Inteiro(coo);
                std::size_t k = feitos60M.size();
                if (cooCrescente) {
                    auto acima =
                        std::upper_bound(feitos60M.begin(), feitos60M.end(), cooItem,
                                         [](std::int64_t c, const Feito60M& m) { return c < m.cooFinal; });
                    k = static_cast<std::size_t>(acima - feitos60M.begin());
                    if (k == 0) k = feitos60M.size();
                } else {
                    for (std::size_t i = 1; i < feitos60M.size(); ++i)
                        if (feitos60M[i].cooFinal > cooItem && !(feitos60M[i - 1].cooFinal > cooItem)) {
                            k = i;
                            break;
                        }
                }
                if (k < feitos60M.size()) {
                    datas = feitos60M[k].datas;
                    data = datas.substr(8);
                }
                const std::string codigo = CodigoItem(
                    item.CodigoTotalizador.Texto(), item.IndicadorCancelamento == "S" || documentoCancelado);
                if (codigo == "0000") break;
                const std::int64_t unitario = Inteiro(item.ValorUnitario.Texto());
                const std::int64_t liquido =
                    std::max<std::int64_t>(0, unitario - Inteiro(item.Desconto.Texto()));
                const std::int64_t aliquota = CodigoEhAliquota(codigo) ? Inteiro(codigo) : 0;
                const std::string produto = CampoX(item.CodigoProduto.Texto(), 14);
                sint.Linha("02" + datas + "06",
                           "60I" + data + CampoX(item.Cabecalho.NumeroSerie.Texto(), 20) + "2D" + coo +
                               CampoN(item.NumeroItem.Texto(), 3) + produto +
                               CampoN(item.Quantidade.Texto(), 13) + CampoN(std::to_string(liquido), 13) +
                               CampoN(std::to_string(BaseCalculo60I(unitario, codigo)), 12) + codigo +
                               CampoN(std::to_string(AjustaValorMonetario(
                                          Inteiro(item.ValorTotalLiquido.Texto()), aliquota)),
                                      12) +
                               std::string(16, ' '));
                std::string descricao = item.Descricao.Texto();
                descricao.erase(0, std::min(descricao.find_first_not_of(' '), descricao.size()));
                sint.Linha("04" + datas + "07",
                           "75" + data + data + CampoX(Apara(item.CodigoProduto.Texto()), 14) +
                               std::string(8, ' ') + CampoX(descricao, 53) + CampoX(item.Unidade.Texto(), 6) +
                               "00000" + (CodigoEhAliquota(codigo) ? codigo : "0000") + "00000" +
                               std::string(13, '0'));
                break;
            }
            default:
                break;
        }
    }
    for (const Linha60A& a : linhas60A)
        sint.Linha(a.chaveEInicio.substr(0, 20),
                   a.chaveEInicio.substr(20) + CampoN(std::to_string(a.valor), 12) + std::string(79, ' '));
    sint.Fecha();
    if (resultado != 1) return resultado;

    opcoes.Registro10 = MontaRegistro10(e02.CNPJUsuario.Texto(), e02.IEUsuario.Texto(), opcoes.Informante,
                                        e01.DataInicial.Texto(), e01.DataFinal.Texto());
    opcoes.Registro11 = MontaRegistro11(opcoes.Informante);
    return 1;
}

}  // namespace tarvo
