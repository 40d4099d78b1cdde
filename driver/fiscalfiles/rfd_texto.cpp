#include "driver/fiscalfiles/rfd_texto.h"

#include <cctype>

#include "driver/core/formatadores.h"
#include "driver/fiscalfiles/consolidacao_rfd.h"

namespace tarvo {

namespace {

bool Digito(char c) {
    return c >= '0' && c <= '9';
}
// Digits of the last n characters of a line (the amount right-aligned at its end).
std::string DigitosFinais(const std::string& linha, int n) {
    return SomenteNumeros(ParteDireita(linha, n));
}
const std::string kSeparador10(10, '-');
// The digits of the percentage a line prints before its "%" ("DESCONTO 10,00%" gives "1000");
// empty when it prints none.
std::string PercentualImpresso(const std::string& linha) {
    const std::size_t p = linha.find('%');
    if (p == std::string::npos || p == 0) return {};
    const std::size_t branco = linha.find_last_of(' ', p - 1);
    const std::size_t i = branco == std::string::npos ? 0 : branco + 1;
    return SomenteNumeros(linha.substr(i, p - i));
}

// A discount or increase line of the subtotal into its amount and kind: kind "P" holds the
// printed percentage, kind "V" the amount. The first of the two sets the order (`ordem`).
void AjusteSubtotal(const std::string& linha, Campo<13>& valor, Campo<1>& tipo, RegistroE14& cupom,
                    const char* ordem) {
    const std::string percentual = PercentualImpresso(linha);
    valor.Define(percentual.empty() ? DigitosFinais(linha, 15) : percentual);
    tipo.Define(percentual.empty() ? "V" : "P");
    if (cupom.OrdemDescontoAcrescimo.Texto().empty()) cupom.OrdemDescontoAcrescimo.Define(ordem);
}

// Partial totalizers of a reduction by the label at the start of their line.
struct RotuloTotalizador {
    const char* rotulo;
    const char* codigo;
};
const RotuloTotalizador kTotalizadores[] = {
    {"SUBSTITUI\xC7\xC3O TRIBUT\xC1RIA ICMS:", "F1"},
    {"F1=", "F1"},
    {"ISENTO ICMS:", "I1"},
    {"I1=", "I1"},
    {"N\xC3O INCID\xD2NCIA ICMS:", "N1"},
    {"N1=", "N1"},
    {"SUBSTITUI\xC7\xC3O TRIBUT\xC1RIA ISSQN:", "FS1"},
    {"FS1=", "FS1"},
    {"ISENTO ISSQN:", "IS1"},
    {"IS1=", "IS1"},
    {"N\xC3O INCID\xD2NCIA ISSQN:", "NS1"},
    {"NS1=", "NS1"},
    {"CANCELAMENTO ICMS:", "Can-T"},
    {"DESCONTO ICMS:", "DT"},
    {"ACR\xC9SCIMO ICMS:", "AT"},
    {"CANCELAMENTO ISSQN:", "Can-S"},
    // The ISSQN twins of the ICMS discount and increase.
    {"DESCONTO ISSQN:", "DS"},
    {"ACR\xC9SCIMO ISSQN:", "AS"},
    {"TOTAL OPERA\xC7\xD5"
     "ES N\xC3O-FISCAIS",
     "OPNF"},
};

}  // namespace

// --- text routines ---------------------------------------------------------------------------------

void JanelaTexto::Adiciona(const std::string& linha) {
    linhas_.push_back(linha);
    if (linhas_.size() > 5) linhas_.pop_front();
}

const std::string& JanelaTexto::Atual() const {
    static const std::string vazio;
    return linhas_.empty() ? vazio : linhas_.back();
}

std::string JanelaTexto::Anterior(std::size_t k) const {
    return k < linhas_.size() ? linhas_[linhas_.size() - 1 - k] : std::string();
}

std::string ValorAposRotulo(const std::string& rotulo, const JanelaTexto& janela) {
    for (std::size_t k = 1; k <= 4; ++k) {
        std::string linha = janela.Anterior(k);
        std::size_t p = linha.find(rotulo);
        if (p == std::string::npos) continue;
        return PrimeiraPalavra(Apara(linha.substr(p + rotulo.size(), 48)));
    }
    return {};
}

std::string DataHoraNoTexto(char separador, const JanelaTexto& janela) {
    std::size_t largura = separador == '/' ? 10 : 8;
    for (std::size_t k = 0; k <= 4; ++k) {
        std::string linha = k == 0 ? janela.Atual() : janela.Anterior(k);
        std::size_t p = linha.find(separador);
        if (p == std::string::npos || p < 2 || p + 3 >= linha.size() || linha[p + 3] != separador) continue;
        return PrimeiraPalavra(Apara(linha.substr(p - 2, largura)));
    }
    return {};
}

Quantidade SeparaQuantidade(const std::string& impressa) {
    std::size_t fim = 0;
    while (fim < impressa.size() && (Digito(impressa[fim]) || impressa[fim] == ',' || impressa[fim] == '.'))
        ++fim;
    std::string numero = impressa.substr(0, fim);
    std::string unidade = impressa.substr(fim);
    std::size_t virgula = numero.find(',');
    if (virgula == std::string::npos) {
        numero += "000";
    } else {
        std::string decimais = numero.substr(virgula + 1);
        if (decimais.size() >= 4) {
            unidade = decimais.substr(3) + unidade;
            decimais.resize(3);
        }
        numero = numero.substr(0, virgula) + decimais + std::string(3 - decimais.size(), '0');
    }
    numero = SomenteNumeros(numero);
    // A quantity that reads as none is one unit.
    if (RemoveZerosEsquerda(numero).empty()) numero = "1000";
    return {numero, unidade};
}

bool EhLinhaAliquota(const std::string& linha) {
    return Contem(linha, "=") && Contem(linha, "%") && !linha.empty() && (linha[0] == 'T' || linha[0] == 'S');
}

NumeroFabricacao SeparaNumeroFabricacao(const std::string& linha) {
    std::string texto = Apara(TrechoLinha(linha, 5, 21));
    if (!texto.empty() && (texto.back() == 'A' || texto.back() == 'B'))
        return {texto.substr(0, texto.size() - 1), texto.substr(texto.size() - 1)};
    return {texto, " "};
}

bool EhLinhaConsumidor(const std::string& linha) {
    // Every label ends in ":"; the line is compared once, upper-cased and without blanks.
    if (linha.find(':') == std::string::npos) return false;
    static const std::string rotulos[] = {TextoSemEspacos("CNPJ/CPF CONSUMIDOR:"),
                                          TextoSemEspacos("CPF do adquirente:"), TextoSemEspacos("Cliente:")};
    std::string texto = TextoSemEspacos(linha);
    for (const std::string& r : rotulos)
        if (texto.find(r) != std::string::npos) return true;
    return false;
}

std::string DataParaAAAAMMDD(const std::string& texto) {
    std::string d = PreencheZerosEsquerda(texto, 8);
    return d.substr(4, 4) + d.substr(2, 2) + d.substr(0, 2);
}

std::string IncrementaTresDigitos(const std::string& texto) {
    return PreencheZerosEsquerda(std::to_string(ParaInteiro(Apara(texto), 0) + 1), 3);
}

bool UsuarioDoTexto(const std::vector<std::string>& linhas, std::string& nome, std::string& endereco) {
    std::vector<std::string> bloco;
    for (const std::string& linha : linhas) {
        if (ComecaCom(linha, "CNPJ:") || ComecaCom(linha, kSeparador10)) break;
        if (!Apara(linha).empty()) bloco.push_back(linha);
    }
    if (bloco.empty()) return false;
    nome = PreencheEspacosDireita(Apara(bloco[0]), 40);
    endereco.clear();
    for (std::size_t i = 1; i < bloco.size() && i <= 3; ++i) endereco += PreencheEspacosDireita(bloco[i], 48);
    return true;
}

// --- identity ----------------------------------------------------------------------------------------

const std::vector<LinhaBanner>& TabelaBanners() {
    // Banner: maker word blank-filled to 11 characters, model, blank, ECF type.
    static const std::vector<LinhaBanner> tabela = {
        {"TARVO      RIX 4000 ECF-IF", "TARVO", "RIX 4000", "ECF-IF", "TV", "A", true, false},
        {"TARVO      RIX FS-700 ECF-IF", "TARVO", "RIX FS-700", "ECF-IF", "TV", "B", true, false},
        {"ORVIKTH    ORVIKTH MP-4000 ECF-IF", "ORVIKTH", "ORVIKTH MP-4000", "ECF-IF", "OR", "A", false,
         false},
        {"DASK       DASK 300 ECF-PDV", "DASK", "DASK 300", "ECF-PDV", "OR", "B", false, false},
        {"NARDO      NARDO NT-2000 ECF-IF", "NARDO", "NARDO NT-2000", "ECF-IF", "OR", "C", false, true},
        {"VESK       VESK V-90 ECF-IF", "VESK", "VESK V-90", "ECF-IF", "OR", "D", false, true},
    };
    return tabela;
}

// --- the conversion ------------------------------------------------------------------------------------

ConversorDetalhe::ConversorDetalhe(IdentificacaoEcfRfd& identificacao, bool armazenamento)
    : id_(identificacao), armazenamento_(armazenamento) {}

void ConversorDetalhe::Banner(const std::string& linha) {
    for (const LinhaBanner& b : TabelaBanners()) {
        if (!Contem(linha, b.banner)) continue;
        banner_ = &b;
        id_.Marca = b.marca;
        id_.Modelo = b.modelo;
        id_.TipoECF = b.tipo;
        id_.CodigoFabricante = b.fabricante;
        id_.LetraModelo = b.letra;
        if (b.versaoDoTexto) {
            std::string versao = ValorAposRotulo("VERS\xC3O:", janela_);
            if (!versao.empty()) Registros().E01.VersaoSB.Define(versao);
        }
        return;
    }
}

ResultadoCabecalho ConversorDetalhe::LeCabecalho(const std::vector<std::string>& linhas) {
    RegistrosAto& r = Registros();
    ResultadoCabecalho resultado;
    janela_.Limpa();
    bool documentos = false;
    if (armazenamento_) {
        std::string nome, endereco;
        if (UsuarioDoTexto(linhas, nome, endereco)) {
            r.E02.NomeUsuario.Define(nome);
            r.E02.Endereco.Define(endereco);
        }
    }
    for (const std::string& linha : linhas) {
        janela_.Adiciona(linha);
        if (!documentos) {
            if (TrechoLinha(linha, 39, 4) != "COO:") continue;
            documentos = true;
        }
        if (ComecaCom(linha, "MOVIMENTO DO DIA:")) {
            resultado.DataMovimentoImpressa = ParteDireita(linha, 15);
            resultado.DataMovimento = DataParaAAAAMMDD(SomenteNumeros(resultado.DataMovimentoImpressa));
        }
        if (Contem(linha, "TOTALIZADOR GERAL:"))
            r.GTReducao = SomenteNumeros(TrechoLinha(linha, 20, linha.size()));
        Banner(linha);
        if (ComecaCom(linha, "FAB:")) {
            NumeroFabricacao fab = SeparaNumeroFabricacao(linha);
            cabecalho_.NumeroSerie.Define(fab.serie);
            cabecalho_.MFAdicional.Define(fab.letra);
            std::string versao = ValorAposRotulo("VERS\xC3O:", janela_);
            if (!versao.empty()) r.E01.VersaoSB.Define(versao);
        }
    }
    return resultado;
}

void ConversorDetalhe::LeDocumentos(const std::vector<std::string>& linhas,
                                    const std::array<std::string, 16>& aliquotas, bool permiteIss,
                                    const std::string& primeiroCoo) {
    aliquotas_ = aliquotas;
    permiteIss_ = permiteIss;
    primeiroCoo_ = primeiroCoo;
    ApagaRegistrosTemporarios();
    janela_.Limpa();
    pendente_ = false;
    for (const std::string& linha : linhas) {
        janela_.Adiciona(linha);
        Linha(linha);
    }
    FechaPendente();
}

void ConversorDetalhe::Linha(const std::string& linha) {
    if (TrechoLinha(linha, 39, 4) == "COO:") return AbreDocumento(linha);
    if (!pendente_) return;
    if (ComecaCom(linha, "FAB:")) return Rodape(linha);

    RegistroE14& cupom = Registros().E14;
    if (EhLinhaConsumidor(linha) || ComecaCom(linha, "CGC / CPF:-")) {
        std::size_t p = linha.find(':');
        std::string digitos = SomenteNumeros(linha.substr(p + 1));
        if (!digitos.empty()) cupom.CPFCNPJAdquirente.Define(digitos);
        return;
    }
    if (ComecaCom(linha, "NOME:")) {
        cupom.NomeAdquirente.Define(Apara(linha.substr(5)));
        return;
    }

    std::string titulo = Apara(linha);
    if (titulo == "CUPOM FISCAL" || titulo == "CUPOM FISCAL CANCELADO") {
        tipo_ = titulo == "CUPOM FISCAL" ? 1 : 2;
        cupom.DataInicio.Define(dataCabecalho_);
        if (tipo_ == 2) cupom.IndicadorCancelamento.Define("S");
        return;
    }
    if (titulo == "CANCELAMENTO" && tipo_ == 1) {
        tipo_ = 3;
        cupom.IndicadorCancelamento.Define("S");
        return;
    }
    if (tipo_ == 2 && ComecaCom(titulo, "COO DO CUPOM CANCELADO:")) {
        // The receipt cancelled after its close was written as sold: it is cancelled too.
        MarcaCupomCancelado(SomenteNumeros(titulo));
        return;
    }
    if (titulo == "LEITURA  X")
        tipo_ = 4;
    else if (titulo == "RELATORIO GERENCIAL")
        tipo_ = 6;
    else if (titulo == "COMPROVANTE NAO-FISCAL" || titulo == "COMPROVANTE NAO-FISCAL CANCELADO")
        tipo_ = 9;
    else if (titulo == "COMPROVANTE CREDITO OU DEBITO" ||
             titulo == "ESTORNO DE COMPROVANTE CREDITO OU DEBITO")
        tipo_ = 7;
    else if (Contem(linha, "REDU\xC7\xC3O  Z"))
        tipo_ = 5;
    else if (Contem(linha, "LEITURA MEMORIA FISCAL"))
        tipo_ = 8;
    else if (tipo_ == 5)
        LinhaReducao(linha);
    else if (tipo_ >= 1 && tipo_ <= 3)
        LinhaCupom(linha);
}

void ConversorDetalhe::AbreDocumento(const std::string& linha) {
    FechaPendente();
    LimpaRegistrosDocumento();
    std::string serie = cabecalho_.NumeroSerie.Texto(), letra = cabecalho_.MFAdicional.Texto();
    cabecalho_ = {};
    cabecalho_.NumeroSerie.Define(serie);
    cabecalho_.MFAdicional.Define(letra);
    cabecalho_.Modelo.Define(id_.Modelo);
    std::string usuario = Registros().E02.NumeroUsuario.Texto();
    cabecalho_.NumeroUsuario.Define(usuario.empty() ? "01" : usuario);
    cabecalho_.COO.Define(TrechoLinha(linha, 43, 6));
    if (TrechoLinha(linha, 28, 4) == "CCF:") cabecalho_.CCF.Define(TrechoLinha(linha, 32, 6));
    dataCabecalho_ = DataParaAAAAMMDD(SomenteNumeros(TrechoLinha(linha, 1, 10)));
    pendente_ = true;
    tipo_ = 0;
    ultimoItem_ = "000";
    itens_ = pagamentos_ = totalizadores_ = naoFiscais_ = meios_ = 0;
    numeroAliquota_ = -1;
    descricaoItem_.clear();
    emPagamentos_ = emNaoFiscais_ = emMeios_ = false;
}

void ConversorDetalhe::GravaE14() {
    RegistroE14& cupom = Registros().E14;
    CopiaCabecalhoECF(cabecalho_, cupom.Cabecalho);
    cupom.Cabecalho.Tipo.Define("E14");
    GravaRegistroTemporario(kTipoE14, 0);
}

void ConversorDetalhe::FechaPendente() {
    if (!pendente_) return;
    pendente_ = false;
    if (tipo_ >= 1 && tipo_ <= 3) GravaE14();
    GeraArquivosRFDSintegra();
    ApagaRegistrosTemporarios();
}

std::string ConversorDetalhe::DataFinal() const {
    if (banner_ && banner_->dataNaLinhaAnterior)
        return DataParaAAAAMMDD(SomenteNumeros(TrechoLinha(janela_.Anterior(1), 29, 10)));
    return DataParaAAAAMMDD(SomenteNumeros(DataHoraNoTexto('/', janela_)));
}

std::string ConversorDetalhe::HoraFinal() const {
    if (banner_ && banner_->dataNaLinhaAnterior) {
        std::string l = janela_.Anterior(1);
        return TrechoLinha(l, 40, 2) + TrechoLinha(l, 43, 2) + TrechoLinha(l, 46, 2);
    }
    return SomenteNumeros(DataHoraNoTexto(':', janela_));
}

namespace {
// Puts the document's head into every stored record of a type, keeping each record's type.
template <class R>
void ReescreveCabecalhos(int t, R& memoria, const CabecalhoECF& cabecalho, const char* nome,
                         const std::string& crz = std::string()) {
    for (int i = 0, n = ContaRegistrosTemporarios(t); i < n; ++i) {
        LeRegistroTemporario(t, i);
        CopiaCabecalhoECF(cabecalho, memoria.Cabecalho);
        memoria.Cabecalho.Tipo.Define(nome);
        if constexpr (requires { memoria.CRZ; }) {
            if (!crz.empty()) memoria.CRZ.Define(crz);
        }
        GravaRegistroTemporario(t, i);
    }
}
}  // namespace

void ConversorDetalhe::Rodape(const std::string& linha) {
    RegistrosAto& r = Registros();
    NumeroFabricacao fab = SeparaNumeroFabricacao(linha);
    // The records were written with the head known when the document opened; the foot's
    // serial, letter and model normally repeat it, and only a change is written again.
    const bool mudou = cabecalho_.NumeroSerie.Texto() != fab.serie ||
                       cabecalho_.MFAdicional.Texto() != fab.letra || cabecalho_.Modelo.Texto() != id_.Modelo;
    cabecalho_.NumeroSerie.Define(fab.serie);
    cabecalho_.MFAdicional.Define(fab.letra);
    cabecalho_.Modelo.Define(id_.Modelo);
    std::string ecf = ValorAposRotulo("ECF:", janela_);
    if (!ecf.empty()) r.E01.NumeroSequencialECF.Define(ecf);
    std::string versao = ValorAposRotulo("VERS\xC3O:", janela_);
    if (!versao.empty()) r.E01.VersaoSB.Define(versao);

    std::string crz = tipo_ == 5 ? r.E12.CRZ.Texto() : std::string();
    if (mudou) {
        ReescreveCabecalhos(kTipoE15, r.E15, cabecalho_, "E15");
        ReescreveCabecalhos(kTipoE21, r.E21, cabecalho_, "E21");
    }
    if (tipo_ == 5) {
        ReescreveCabecalhos(kTipoE13, r.E13, cabecalho_, "E13", crz);
        ReescreveCabecalhos(kTipoE17, r.E17, cabecalho_, "E17", crz);
        ReescreveCabecalhos(kTipoE18, r.E18, cabecalho_, "E18", crz);
    }
    if (tipo_ >= 1 && tipo_ <= 3) GravaE14();

    if (tipo_ < 4) return;
    static const char* const kDenominacao[] = {"", "", "", "", "LX", "RZ", "RG", "CC", "MF", "CN"};
    RegistroE16& doc = r.E16;
    CopiaCabecalhoECF(cabecalho_, doc.Cabecalho);
    doc.Cabecalho.Tipo.Define("E16");
    doc.GNF.Define(ValorAposRotulo("GNF:", janela_));
    for (std::size_t k = 1; k <= 4; ++k)
        if (ComecaCom(janela_.Anterior(k), "GRG:")) doc.GRG.Define(TrechoLinha(janela_.Anterior(k), 5, 6));
    doc.CDC.Define(ValorAposRotulo("CDC:", janela_));
    doc.Denominacao.Define(kDenominacao[tipo_]);
    doc.DataFinal.Define(DataFinal());
    doc.HoraFinal.Define(HoraFinal());
    if (tipo_ == 5) {
        doc.CRZ.Define(crz);
        RegistroE12& z = r.E12;
        CopiaCabecalhoECF(cabecalho_, z.Cabecalho);
        z.Cabecalho.Tipo.Define("E12");
        z.DataMovimento.Define(r.DataMovimento);
        z.DataEmissao.Define(doc.DataFinal.Texto());
        z.HoraEmissao.Define(doc.HoraFinal.Texto());
        z.ParametroDescontoISSQN.Define(permiteIss_ ? "S" : "N");
        z.PrimeiroCOO.Define(primeiroCoo_);
        GravaRegistroTemporario(kTipoE12, 0);
    }
    GravaRegistroTemporario(kTipoE16, 0);
}

void ConversorDetalhe::LinhaReducao(const std::string& linha) {
    RegistrosAto& r = Registros();
    std::string maiusculas = MaiusculasAnsi(linha);
    if (ComecaCom(maiusculas, "CONTADOR DE REDU")) return r.E12.CRZ.Define(TrechoLinha(linha, 43, 6));
    if (ComecaCom(maiusculas, "CONTADOR DE REIN")) return r.E12.CRO.Define(TrechoLinha(linha, 43, 6));
    if (ComecaCom(linha, "VENDA BRUTA DI\xC1RIA:"))
        return r.E12.VendaBrutaDiaria.Define(SomenteNumeros(TrechoLinha(linha, 20, 43)));

    if (Contem(linha, "TOTALIZADORES N\xC3O FISCAIS")) {
        emNaoFiscais_ = true;
        return;
    }
    if (emNaoFiscais_) {
        if (linha.size() >= 10 && ParteDireita(linha, 10) == kSeparador10) {
            emNaoFiscais_ = false;
        } else if (!ComecaCom(linha, "DESCONTOS N\xC3O-FISCAIS") &&
                   !ComecaCom(linha, "ACR\xC9SCIMOS N\xC3O-FISCAIS") &&
                   !ComecaCom(linha, "CANCELAMENTOS N\xC3O-FISCAIS")) {
            r.E17 = {};
            r.E17.TotalizadorNaoFiscal.Define(TrechoLinha(linha, 4, 16));
            r.E17.ValorAcumulado.Define(SomenteNumeros(TrechoLinha(linha, 30, 40)));
            GravaRegistroTemporario(kTipoE17, naoFiscais_++);
        }
        return;
    }
    if (Contem(linha, "MEIOS DE PAGAMENTO")) {
        emMeios_ = true;
        return;
    }
    if (emMeios_) {
        if (Contem(linha, "TROCO")) {
            emMeios_ = false;
        } else {
            r.E18 = {};
            r.E18.MeioPagamento.Define(TrechoLinha(linha, 5, 16));
            r.E18.ValorAcumulado.Define(SomenteNumeros(TrechoLinha(linha, 24, 40)));
            GravaRegistroTemporario(kTipoE18, meios_++);
        }
        return;
    }

    std::string codigo;
    if (linha.size() >= 4 && linha[3] == '=' && (linha[0] == 'T' || linha[0] == 'S')) {
        codigo = linha.substr(1, 2) + linha[0] +
                 PreencheZerosEsquerda(SomenteNumeros(TrechoLinha(linha, 5, 5)), 4);
    } else if (linha.size() >= 7 && linha[6] == '%' && (linha[0] == 'T' || linha[0] == 'S')) {
        // Printers that number their rates by position: the first entry is slot 1 when the
        // table's entry 0 is unused.
        if (numeroAliquota_ < 0)
            numeroAliquota_ = (aliquotas_[0] == "T0000" || aliquotas_[0] == "S0000") ? 1 : 0;
        codigo = PreencheZerosEsquerda(std::to_string(numeroAliquota_++), 2) + linha[0] +
                 PreencheZerosEsquerda(SomenteNumeros(TrechoLinha(linha, 2, 5)), 4);
    } else {
        for (const RotuloTotalizador& t : kTotalizadores)
            if (ComecaCom(linha, t.rotulo)) {
                codigo = t.codigo;
                break;
            }
    }
    if (codigo.empty()) return;
    r.E13 = {};
    r.E13.CodigoTotalizador.Define(codigo);
    r.E13.ValorAcumulado.Define(PreencheZerosEsquerda(SomenteNumeros(PalavraDaDireita(linha, 1)), 12));
    GravaRegistroTemporario(kTipoE13, totalizadores_++);
}

bool ConversorDetalhe::LeItem(const std::string& numero) {
    for (int i = 0, n = ContaRegistrosTemporarios(kTipoE15); i < n; ++i) {
        LeRegistroTemporario(kTipoE15, i);
        if (Registros().E15.NumeroItem.Texto() == numero) {
            itemLido_ = i;
            return true;
        }
    }
    return false;
}

void ConversorDetalhe::CancelaItem(const std::string& numero, const std::string& quantidade,
                                   const std::string& valor) {
    if (!LeItem(numero)) return;
    RegistroE15& item = Registros().E15;
    item.IndicadorCancelamento.Define("S");
    item.QuantidadeCancelada.Define(quantidade.empty() ? item.Quantidade.Texto() : quantidade);
    item.ValorCancelado.Define(valor);
    GravaRegistroTemporario(kTipoE15, itemLido_);
}

void ConversorDetalhe::AjustaItem(const std::string& numero, bool desconto, const std::string& valor) {
    if (!LeItem(numero)) return;
    RegistroE15& item = Registros().E15;
    auto numero64 = [](const std::string& t) { return ParaInteiro64(Apara(t), 0); };
    // The net total follows: the printed value (quantity x unit value) - discount + increase.
    const std::int64_t bruto = numero64(item.ValorTotalLiquido.Texto()) + numero64(item.Desconto.Texto()) -
                               numero64(item.Acrescimo.Texto());
    (desconto ? item.Desconto : item.Acrescimo).Define(valor);
    item.ValorTotalLiquido.Define(
        std::to_string(bruto - numero64(item.Desconto.Texto()) + numero64(item.Acrescimo.Texto())));
    GravaRegistroTemporario(kTipoE15, itemLido_);
}

void ConversorDetalhe::Item(const std::string& linha) {
    LinhaAliquota aliquota = ValidaLinhaAliquota(true, linha);
    int d = aliquota.tipo ? 1 : 0;  // the rounding letter stands between the tax word and the value
    bool umaLinha =
        linha.size() > 3 && Digito(linha[0]) && Digito(linha[1]) && Digito(linha[2]) && linha[3] == ' ';
    std::string descricao = umaLinha ? linha : descricaoItem_;
    CodigoDescricao cd =
        umaLinha ? SeparaCodigoDescricao(2 + d, 0, linha) : SeparaCodigoDescricao(0, 1, descricaoItem_);
    std::string numero = descricao.size() >= 3 && Digito(descricao[0]) ? descricao.substr(0, 3)
                                                                       : IncrementaTresDigitos(ultimoItem_);
    Quantidade q = SeparaQuantidade(PalavraDaDireita(linha, 5 + d));
    std::string tributo = PalavraDaDireita(linha, 2 + d);
    std::string totalizador;
    if (tributo.size() >= 3 && Digito(tributo[1]) && Digito(tributo[2])) {
        int i = std::stoi(tributo.substr(1, 2));
        // A slot outside the table takes its code from the word itself.
        totalizador = i <= 15 ? tributo.substr(1, 2) + aliquotas_[static_cast<std::size_t>(i)]
                              : Apara(tributo.substr(0, 3));
    } else {
        totalizador = Apara(tributo.substr(0, 3));
    }

    RegistroE15& item = Registros().E15;
    item = {};
    CopiaCabecalhoECF(cabecalho_, item.Cabecalho);
    item.Cabecalho.Tipo.Define("E15");
    item.NumeroItem.Define(numero);
    item.CodigoProduto.Define(cd.codigo);
    item.Descricao.Define(cd.descricao);
    item.Quantidade.Define(q.quantidade);
    item.Unidade.Define(q.unidade);
    item.ValorUnitario.Define(SomenteNumeros(PalavraDaDireita(linha, 3 + d)));
    item.ValorTotalLiquido.Define(SomenteNumeros(PalavraDaDireita(linha, 1)));
    item.CodigoTotalizador.Define(totalizador);
    item.IndicadorCancelamento.Define("N");
    if (aliquota.tipo) item.IndicadorArredondamento.Define(std::string(1, *aliquota.tipo));
    item.DecimaisQuantidade.Define("3");
    item.DecimaisValorUnitario.Define(std::to_string(aliquota.decimais));
    GravaRegistroTemporario(kTipoE15, itens_++);
    ultimoItem_ = numero;
    descricaoItem_.clear();
}

void ConversorDetalhe::LinhaCupom(const std::string& linha) {
    RegistroE14& cupom = Registros().E14;
    if (emPagamentos_) {
        if (ComecaCom(linha, kSeparador10) || ComecaCom(linha, "SOMA") || EhLinhaAliquota(linha)) {
            emPagamentos_ = false;
        } else if (!ComecaCom(linha, "TROCO") && !Apara(linha).empty()) {
            RegistroE21& pagamento = Registros().E21;
            pagamento = {};
            CopiaCabecalhoECF(cabecalho_, pagamento.Cabecalho);
            pagamento.Cabecalho.Tipo.Define("E21");
            pagamento.MeioPagamento.Define(Apara(linha.substr(0, 15)));
            pagamento.ValorPago.Define(DigitosFinais(linha, 12));
            pagamento.IndicadorEstorno.Define("N");
            GravaRegistroTemporario(kTipoE21, pagamentos_++);
        }
        return;
    }
    if (ComecaCom(linha, "item cancelado:"))
        return CancelaItem(TrechoLinha(linha, 16, 3), "", DigitosFinais(linha, 15));
    if (ComecaCom(linha, "cancelamento item:"))
        return CancelaItem(TrechoLinha(linha, 1, 3), SomenteNumeros(TrechoLinha(linha, 1, 10)),
                           DigitosFinais(linha, 15));
    if (ComecaCom(linha, "desconto item"))
        return AjustaItem(TrechoLinha(linha, 15, 3), true, DigitosFinais(linha, 15));
    if (ComecaCom(linha, "acr\x82scimo item"))
        return AjustaItem(TrechoLinha(linha, 16, 3), false, DigitosFinais(linha, 15));
    if (ComecaCom(linha, "SUBTOTAL")) return cupom.Subtotal.Define(DigitosFinais(linha, 15));
    if (ComecaCom(linha, "DESCONTO"))
        return AjusteSubtotal(linha, cupom.DescontoSubtotal, cupom.TipoDesconto, cupom, "D");
    if (ComecaCom(linha, "acr\x82scimo"))
        return AjusteSubtotal(linha, cupom.AcrescimoSubtotal, cupom.TipoAcrescimo, cupom, "A");
    if (tipo_ == 3 && ComecaCom(linha, "VALOR DA OPERA") && Contem(linha, "CANCELADA")) {
        // A receipt cancelled while open prints no SUBTOTAL when it had no adjustment: its
        // subtotal is the value cancelled.
        if (cupom.Subtotal.Texto().empty()) cupom.Subtotal.Define(DigitosFinais(linha, 15));
        return;
    }
    if (ComecaCom(linha, "TOTAL")) {
        cupom.ValorTotalLiquido.Define(DigitosFinais(linha, 15));
        // Without a SUBTOTAL line (no adjustment) the total is the subtotal.
        if (cupom.Subtotal.Texto().empty()) cupom.Subtotal.Define(cupom.ValorTotalLiquido.Texto());
        if (ComecaCom(linha, "TOTAL R$")) emPagamentos_ = true;
        return;
    }
    // Only a line whose last character is the item mark can be an item's value line.
    std::string aparada = AparaDireita(linha);
    if (!aparada.empty() && aparada.back() == '\xB0' && ValidaLinhaAliquota(true, linha).valida)
        return Item(linha);
    bool inicioItem =
        linha.size() > 3 && Digito(linha[0]) && Digito(linha[1]) && Digito(linha[2]) && linha[3] == ' ';
    if (inicioItem)
        descricaoItem_ = linha;
    else if (!descricaoItem_.empty())
        descricaoItem_ += linha;
}

}  // namespace tarvo
