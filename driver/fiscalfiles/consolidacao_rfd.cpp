#include "driver/fiscalfiles/consolidacao_rfd.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "driver/core/estado.h"
#include "driver/core/formatadores.h"
#include "driver/fiscalfiles/leiaute_ato.h"
#include "platform/pastas.h"

namespace tarvo {

namespace {

std::string Brancos(int n) {
    return std::string(static_cast<std::size_t>(n), ' ');
}

std::int64_t Numero(const std::string& texto) {
    return ParaInteiro64(Apara(texto), 0);
}

// Codes shared by the item tax code and the totalizer situation code.
std::string CodigoComum(const std::string& codigo) {
    std::string c = Apara(codigo);
    if (c == "F1" || c == "I1" || c == "N1") return CampoX(c.substr(0, 1), 4);
    // The ISSQN twins of F1, I1 and N1 are service totalizers, as the SINTEGRA reader has them.
    if (c == "FS1" || c == "IS1" || c == "NS1") return "ISS ";
    if (codigo.size() >= 3 && codigo[2] == 'S') return "ISS ";
    return CampoX(codigo.size() > 3 ? codigo.substr(3, 4) : std::string(), 4);
}

// The lines of one call, gathered per file and written at the end: each day file once, the
// SINTEGRA lines in one append. The first E12, E14, E21 or E16 line of a call replaces the day
// file it goes to (what this call put there before it included).
class SaidaDocumento {
  public:
    void Anexa(const std::string& coo, const std::string& linha, bool substitui, bool encerraPrimeira) {
        std::string nome = ArquivoDiaRFD(coo);
        auto it = std::find_if(arquivos_.begin(), arquivos_.end(),
                               [&](const Arquivo& a) { return a.nome == nome; });
        if (it == arquivos_.end()) it = arquivos_.insert(arquivos_.end(), Arquivo{nome, false, {}});
        if (substitui && primeira_) {
            it->substitui = true;
            it->texto.clear();
        }
        if (encerraPrimeira) primeira_ = false;
        it->texto += linha + "\r\n";
    }
    // A keyed SINTEGRA line, while the SINTEGRA producers run.
    void Sintegra(const std::string& grupo, const std::string& tipo, const std::string& linha) {
        if (!Estado().GeraSintegraAtivo) return;
        // Every line of this file takes the movement date of the file being produced, so the
        // lines of one reduction sort together; the date the line itself carries stands in
        // when no file date was set.
        const RegistrosAto& r = Registros();
        std::string data = r.DataMovimento.empty() ? r.DiaSintegra : r.DataMovimento;
        sintegra_ += ChaveSintegra(grupo, data, tipo) + linha + "\r\n";
    }
    void Grava() const {
        for (const Arquivo& a : arquivos_) {
            bool ok = a.substitui ? GravaArquivo(a.nome, a.texto) : AnexaTextoArquivo(a.nome, a.texto);
            if (!ok) throw ErroArquivoFiscal::AoGravar(a.nome);
        }
        std::string sint = ArquivoSintTxt();
        if (!sintegra_.empty() && !AnexaTextoArquivo(sint, sintegra_))
            throw ErroArquivoFiscal::AoGravar(sint);
    }

  private:
    struct Arquivo {
        std::string nome;
        bool substitui;
        std::string texto;
    };
    std::vector<Arquivo> arquivos_;  // few per call: one per COO
    std::string sintegra_;
    bool primeira_ = true;
};

}  // namespace

std::string ArquivoDiaRFD(const std::string& coo) {
    return DiretorioTemporarioRFD() + "RFD" + CampoN(coo, 6) + ExtensaoRFDData(Registros().DataMovimento);
}

std::string ArquivoSintTxt() {
    return DiretorioTemporarioRFD() + "SINT.TXT";
}

std::string ChaveSintegra(const std::string& grupo, const std::string& data, const std::string& tipo) {
    std::string d = CampoN(data, 8);
    return CampoX(grupo, 2) + d + d + CampoX(tipo, 2);
}

std::string CodigoTributacaoItem(const std::string& codigoTotalizador) {
    return CodigoComum(codigoTotalizador);
}

std::string SituacaoTotalizador(const std::string& codigoTotalizador) {
    std::string c = Apara(codigoTotalizador);
    if (c == "Can-T" || c == "Can-S") return "CANC";
    if (c == "DT" || c == "DS") return "DESC";
    return CodigoComum(codigoTotalizador);
}

bool TotalizadorSemRegistro60A(const std::string& codigoTotalizador) {
    std::string c = Apara(codigoTotalizador);
    return c == "AT" || c == "AS" || c == "OPNF";
}

std::string MontaLinha60M(const RegistroE12& z, const RegistroE01& e01, const RegistroE02& e02) {
    return "60M" + CampoN(z.DataMovimento.Texto(), 8) + CampoX(z.Cabecalho.NumeroSerie.Texto(), 20) +
           CampoN(e01.NumeroSequencialECF.Texto(), 3) + "2D" + CampoN(z.PrimeiroCOO.Texto(), 6) +
           CampoN(z.Cabecalho.COO.Texto(), 6) + CampoN(z.CRZ.Texto(), 6) + CampoN(z.CRO.Texto(), 3) +
           CampoN(z.VendaBrutaDiaria.Texto(), 16) + CampoN(e02.GT.Texto(), 16) + Brancos(37);
}

std::string MontaLinha60A(const RegistroE12& z, const RegistroE13& totalizador) {
    return "60A" + CampoN(z.DataMovimento.Texto(), 8) + CampoX(z.Cabecalho.NumeroSerie.Texto(), 20) +
           SituacaoTotalizador(totalizador.CodigoTotalizador.Texto()) +
           CampoN(totalizador.ValorAcumulado.Texto(), 12) + Brancos(79);
}

std::string MontaLinha60I(const RegistroE14& cupom, const RegistroE15& item) {
    // A cancelled item, or an item of a cancelled receipt, is no sale: situation "CANC".
    const bool cancelado = cupom.IndicadorCancelamento == "S" || item.IndicadorCancelamento == "S";
    return "60I" + CampoN(cupom.DataInicio.Texto(), 8) + CampoX(item.Cabecalho.NumeroSerie.Texto(), 20) +
           "2D" + CampoN(item.Cabecalho.COO.Texto(), 6) + CampoN(item.NumeroItem.Texto(), 3) +
           CampoX(item.CodigoProduto.Texto(), 14) + CampoN(item.Quantidade.Texto(), 13) +
           CampoN(item.ValorUnitario.Texto(), 13) + CampoN(item.ValorTotalLiquido.Texto(), 12) +
           (cancelado ? std::string("CANC") : CodigoTributacaoItem(item.CodigoTotalizador.Texto())) +
           "000000000000" + Brancos(16);
}

std::string MontaLinha75(const RegistroE14& cupom, const RegistroE15& item) {
    std::string data = CampoN(cupom.DataInicio.Texto(), 8);
    // Letter codes (F, I, N, ISS) have no rate: their digits are none and give "0000".
    std::string aliquota = CampoN(CodigoTributacaoItem(item.CodigoTotalizador.Texto()), 4);
    return "75" + data + data + CampoX(item.CodigoProduto.Texto(), 14) + Brancos(8) +
           CampoX(item.Descricao.Texto(), 53) + CampoX(item.Unidade.Texto(), 6) + "00000" + aliquota +
           "00000" + std::string(13, '0');
}

void GeraArquivosRFDSintegra() {
    CriaDiretorioTemporarioRFD();
    RegistrosAto& r = Registros();
    SaidaDocumento saida;

    if (ContaRegistrosTemporarios(kTipoE12) > 0) {
        LeRegistroTemporario(kTipoE12, 0);
        saida.Anexa(r.E12.Cabecalho.COO.Texto(), MontaLinhaE12(r.E12), true, true);
        r.DiaSintegra = CampoN(r.E12.DataMovimento.Texto(), 8);
        if (Estado().GeraSintegraAtivo) {
            // The 60M's GT is the one the Z printed, never E02's (the registration's).
            if (r.GTReducao.empty())
                throw ErroArquivoFiscal("Redu\xE7\xE3o Z " + Apara(r.E12.CRZ.Texto()) +
                                        " sem o TOTALIZADOR GERAL: o registro 60M n\xE3o tem o GT");
            RegistroE02 gt = r.E02;
            gt.GT.Define(r.GTReducao);
            saida.Sintegra("02", "02", MontaLinha60M(r.E12, r.E01, gt));
        }
    }

    PercorreRegistrosTemporarios(kTipoE13, [&] {
        saida.Anexa(r.E13.Cabecalho.COO.Texto(), MontaLinhaE13(r.E13), false, false);
        if (CampoN(r.E13.ValorAcumulado.Texto(), 13) == std::string(13, '0')) return;
        r.DiaSintegra = CampoN(r.E12.DataMovimento.Texto(), 8);
        if (!TotalizadorSemRegistro60A(r.E13.CodigoTotalizador.Texto()))
            saida.Sintegra("02", "03", MontaLinha60A(r.E12, r.E13));
    });

    if (ContaRegistrosTemporarios(kTipoE14) > 0) {
        LeRegistroTemporario(kTipoE14, 0);
        // The net total is what the subtotal, discount and increase make it. A percentage
        // (kind "P") is no amount: the printed total stands then.
        if (!(r.E14.TipoDesconto == "P") && !(r.E14.TipoAcrescimo == "P")) {
            std::int64_t liquido = Numero(r.E14.Subtotal.Texto()) - Numero(r.E14.DescontoSubtotal.Texto()) +
                                   Numero(r.E14.AcrescimoSubtotal.Texto());
            r.E14.ValorTotalLiquido.Define(std::to_string(liquido));
        }
        saida.Anexa(r.E14.Cabecalho.COO.Texto(), MontaLinhaE14(r.E14), true, true);
    }

    PercorreRegistrosTemporarios(kTipoE15, [&] {
        // A cancelled receipt cancels its items as a whole: none is marked cancelled alone.
        if (r.E14.IndicadorCancelamento == "S") r.E15.IndicadorCancelamento.Define("N");
        if (Apara(r.E15.Descricao.Texto()).empty()) r.E15.Descricao.Define("ERRO DESCRICAO");
        saida.Anexa(r.E15.Cabecalho.COO.Texto(), MontaLinhaE15(r.E15), false, false);
        r.DiaSintegra = CampoN(r.E14.DataInicio.Texto(), 8);
        saida.Sintegra("02", "06", MontaLinha60I(r.E14, r.E15));
        saida.Sintegra("04", "07", MontaLinha75(r.E14, r.E15));
    });

    PercorreRegistrosTemporarios(
        kTipoE21, [&] { saida.Anexa(r.E21.Cabecalho.COO.Texto(), MontaLinhaE21(r.E21), true, true); });

    if (ContaRegistrosTemporarios(kTipoE16) > 0) {
        LeRegistroTemporario(kTipoE16, 0);
        saida.Anexa(r.E16.Cabecalho.COO.Texto(), MontaLinhaE16(r.E16), true, false);
    }

    PercorreRegistrosTemporarios(
        kTipoE17, [&] { saida.Anexa(r.E17.Cabecalho.COO.Texto(), MontaLinhaE17(r.E17), false, false); });
    PercorreRegistrosTemporarios(
        kTipoE18, [&] { saida.Anexa(r.E18.Cabecalho.COO.Texto(), MontaLinhaE18(r.E18), false, false); });
    saida.Grava();
}

void MarcaCupomCancelado(const std::string& coo) {
    // Rewrites the lines of a file through `muda`; nothing when the file is missing.
    auto reescreve = [](const std::string& nome, const auto& muda) {
        if (!plataforma::ExisteArquivo(nome)) return;
        std::string texto;
        bool mudou = false;
        for (std::string linha : LinhasDoTexto(LeArquivo(nome))) {
            mudou |= muda(linha);
            texto += linha + "\r\n";
        }
        if (mudou && !GravaArquivo(nome, texto)) throw ErroArquivoFiscal::AoGravar(nome);
    };
    const std::string cooN = CampoN(coo, 6);
    reescreve(ArquivoDiaRFD(coo), [&](std::string& linha) {
        // E14: cancel indicator at column 123.
        if (TipoLinha(linha) != 14 || linha.size() < 123 || linha.compare(52, 6, cooN) != 0) return false;
        linha[122] = 'S';
        return true;
    });
    if (!Estado().GeraSintegraAtivo) return;
    reescreve(ArquivoSintTxt(), [&](std::string& linha) {
        // A keyed 60I (key 20 characters): COO at column 34 of the record, tax code at 95 and
        // tax at 99.
        constexpr std::size_t kChave = 20;
        if (linha.size() < kChave + 110 || linha.compare(kChave, 3, "60I") != 0 ||
            linha.compare(kChave + 33, 6, cooN) != 0)
            return false;
        linha.replace(kChave + 94, 4, "CANC");
        linha.replace(kChave + 98, 12, std::string(12, '0'));
        return true;
    });
}

}  // namespace tarvo
