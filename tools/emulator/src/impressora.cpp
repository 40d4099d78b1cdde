#include "emulador/impressora.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "comandos.h"

namespace emulador {

// --- refusals and parameters ------------------------------------------------------------------

void Recusa(int codigo, std::string nome, std::string circunstancia) {
    throw Falha{codigo, std::move(nome), std::move(circunstancia)};
}

const Parametro* Args::Pega(std::string_view nome) const {
    for (const Parametro& p : p_)
        if (MesmoNome(p.nome, nome)) return &p;
    return nullptr;
}

void Args::Confere(const std::vector<const char*>& aceitos) const {
    for (const Parametro& p : p_) {
        bool ok = false;
        for (const char* n : aceitos) ok = ok || MesmoNome(p.nome, n);
        if (!ok)
            Recusa(erro::kParametroDesconhecido, "ParametroDesconhecido",
                   "Parametro " + p.nome + " nao existe neste comando");
    }
}

std::optional<std::string> Args::TextoOpcional(std::string_view nome) const {
    const Parametro* p = Pega(nome);
    if (!p) return std::nullopt;
    return p->valor;
}

std::string Args::Texto(std::string_view nome) const {
    auto v = TextoOpcional(nome);
    if (!v) Recusa(erro::kParametroAusente, "ParametroAusente", "Falta o parametro " + std::string(nome));
    return *v;
}

std::optional<std::int64_t> Args::DecimalOpcional(std::string_view nome, int casas) const {
    const Parametro* p = Pega(nome);
    if (!p) return std::nullopt;
    std::int64_t v = 0;
    if (p->tipo == Parametro::Tipo::DataHora || !emulador::LeDecimal(p->valor, casas, v))
        Recusa(erro::kParametroInvalido, "ParametroInvalido",
               "Valor invalido em " + p->nome + ": " + p->valor.substr(0, 40));
    return v;
}

std::int64_t Args::Decimal(std::string_view nome, int casas) const {
    auto v = DecimalOpcional(nome, casas);
    if (!v) Recusa(erro::kParametroAusente, "ParametroAusente", "Falta o parametro " + std::string(nome));
    return *v;
}

int Args::Casas(std::string_view nome) const {
    const Parametro* p = Pega(nome);
    if (!p) return 0;
    std::string v = Apara(p->valor);
    std::size_t pos = v.find(',');
    if (pos == std::string::npos) pos = v.rfind('.');
    return pos == std::string::npos ? 0 : static_cast<int>(v.size() - pos - 1);
}

std::optional<bool> Args::Booleano(std::string_view nome) const {
    const Parametro* p = Pega(nome);
    if (!p) return std::nullopt;
    std::string v = Maiusculas(Apara(p->valor));
    if (v == "TRUE" || v == "YES" || v == "1" || v == "SIM") return true;
    if (v == "FALSE" || v == "NO" || v == "0" || v == "NAO") return false;
    Recusa(erro::kParametroInvalido, "ParametroInvalido", "Valor logico invalido em " + p->nome);
}

std::optional<DataHora> Args::Data(std::string_view nome, bool ajustaDia) const {
    const Parametro* p = Pega(nome);
    if (!p) return std::nullopt;
    DataHora d;
    if (!d.LeData(Apara(p->valor), ajustaDia))
        Recusa(erro::kParametroInvalido, "ParametroInvalido", "Data invalida em " + p->nome);
    return d;
}

std::optional<DataHora> Args::Hora(std::string_view nome) const {
    const Parametro* p = Pega(nome);
    if (!p) return std::nullopt;
    DataHora d;
    if (!d.LeHora(Apara(p->valor)))
        Recusa(erro::kParametroInvalido, "ParametroInvalido", "Hora invalida em " + p->nome);
    return d;
}

std::string Aspas(const std::string& t) {
    return "\"" + t + "\"";
}
std::string SimNao(bool v) {
    return v ? "Yes" : "No";
}

// --- command table ------------------------------------------------------------------------------

namespace {

struct Definicao {
    const char* nome;
    Resposta (Comandos::*executa)();
    bool imprime;  // refused while out of paper
    std::vector<const char*> parametros;
};

const std::vector<Definicao>& Tabela() {
    using C = Comandos;
    static const char* kPosicoesCheque[] = {
        "HPosAno",           "HPosCidade",        "HPosDia",        "HPosExtensoLinha1", "HPosExtensoLinha2",
        "HPosFavorecido",    "HPosMes",           "HPosMsgLinha1",  "HPosValor",         "VPosCidade",
        "VPosExtensoLinha1", "VPosExtensoLinha2", "VPosFavorecido", "VPosMsgLinha1",     "VPosValor"};
    static const std::vector<Definicao> t = [&] {
        std::vector<Definicao> v = {
            {"LeInteiro", &C::LeInteiro, false, {"NomeInteiro"}},
            {"LeMoeda", &C::LeMoeda, false, {"NomeDadoMonetario"}},
            {"LeTexto", &C::LeTexto, false, {"NomeTexto"}},
            {"LeData", &C::LeData, false, {"NomeData"}},
            {"LeHora", &C::LeHora, false, {"NomeHora"}},
            {"LeIndicador", &C::LeIndicador, false, {"NomeIndicador"}},
            {"EscreveInteiro", &C::EscreveInteiro, false, {"NomeInteiro", "ValorInteiro"}},
            {"EscreveTexto", &C::EscreveTexto, false, {"NomeTexto", "ValorTexto"}},
            {"LeAliquota", &C::LeAliquota, false, {"CodAliquotaProgramavel", "PercentualAliquota"}},
            {"LeMeioPagamento", &C::LeMeioPagamento, false, {"CodMeioPagamentoProgram", "NomeMeioPagamento"}},
            {"LeNaoFiscal", &C::LeNaoFiscal, false, {"CodNaoFiscal", "NomeNaoFiscal"}},
            {"LeGerencial", &C::LeGerencial, false, {"CodGerencial", "NomeGerencial"}},
            {"LeDepartamento", &C::LeDepartamento, false, {"CodDepartamento", "NomeDepartamento"}},
            {"AbreCupomFiscal",
             &C::AbreCupomFiscal,
             true,
             {"IdConsumidor", "NomeConsumidor", "EnderecoConsumidor"}},
            {"VendeItem",
             &C::VendeItem,
             true,
             {"AliquotaICMS", "PercentualAliquota", "CodAliquota", "CodProduto", "NomeProduto",
              "PrecoUnitario", "Quantidade", "Unidade", "CodDepartamento"}},
            {"AcresceItemFiscal",
             &C::AcresceItemFiscal,
             true,
             {"Cancelar", "NumItem", "ValorAcrescimo", "ValorPercentual"}},
            {"CancelaItemFiscal", &C::CancelaItemFiscal, true, {"NumItem"}},
            {"AcresceSubtotal", &C::AcresceSubtotal, true, {"Cancelar", "ValorAcrescimo", "ValorPercentual"}},
            {"PagaCupom",
             &C::PagaCupom,
             true,
             {"CodMeioPagamento", "NomeMeioPagamento", "Valor", "TextoAdicional"}},
            {"EstornaMeioPagamento",
             &C::EstornaMeioPagamento,
             true,
             {"CodMeioPagamentoOrigem", "CodMeioPagamentoDestino", "NomeMeioPagamentoOrigem",
              "NomeMeioPagamentoDestino", "Valor", "TextoAdicional"}},
            {"IdentificaConsumidor",
             &C::IdentificaConsumidor,
             true,
             {"IdConsumidor", "NomeConsumidor", "EnderecoConsumidor"}},
            {"ImprimeTexto", &C::ImprimeTexto, true, {"TextoLivre"}},
            {"EncerraDocumento", &C::EncerraDocumento, true, {"Operador"}},
            {"CancelaCupom", &C::CancelaCupom, true, {"Operador"}},
            {"ImprimeCupomAdicional", &C::ImprimeCupomAdicional, true, {}},
            {"AbreCupomNaoFiscal",
             &C::AbreCupomNaoFiscal,
             true,
             {"IdConsumidor", "NomeConsumidor", "EnderecoConsumidor"}},
            {"EmiteItemNaoFiscal", &C::EmiteItemNaoFiscal, true, {"CodNaoFiscal", "NomeNaoFiscal", "Valor"}},
            {"AcresceItemNaoFiscal",
             &C::AcresceItemNaoFiscal,
             true,
             {"Cancelar", "NumItem", "ValorAcrescimo", "ValorPercentual"}},
            {"CancelaItemNaoFiscal", &C::CancelaItemNaoFiscal, true, {"NumItem"}},
            {"AbreCreditoDebito",
             &C::AbreCreditoDebito,
             true,
             {"CodMeioPagamento", "NomeMeioPagamento", "Valor", "COO", "IdConsumidor", "NomeConsumidor",
              "EnderecoConsumidor"}},
            {"EstornaCreditoDebito",
             &C::EstornaCreditoDebito,
             true,
             {"COO", "CodMeioPagamento", "NomeMeioPagamento", "Valor"}},
            {"ReimprimeViaCreditoDebito", &C::ReimprimeViaCreditoDebito, true, {}},
            {"EmiteViaCreditoDebito", &C::EmiteViaCreditoDebito, true, {}},
            {"AbreGerencial", &C::AbreGerencial, true, {"CodGerencial", "NomeGerencial"}},
            {"ImprimeDadosDepartamento", &C::ImprimeDadosDepartamento, true, {}},
            {"EmiteLeituraX", &C::EmiteLeituraX, false, {"Operador", "Destino"}},
            {"EmiteReducaoZ", &C::EmiteReducaoZ, true, {"Hora", "Operador"}},
            {"EmiteLeituraMF",
             &C::EmiteLeituraMF,
             false,
             {"Destino", "LeituraSimplificada", "DataInicial", "DataFinal", "ReducaoInicial",
              "ReducaoFinal"}},
            {"EmiteLeituraFitaDetalhe",
             &C::EmiteLeituraFitaDetalhe,
             false,
             {"Destino", "COOInicial", "COOFinal", "DataInicial", "DataFinal", "Proprietario"}},
            {"LeImpressao", &C::LeImpressao, false, {}},
            {"DefineAliquota",
             &C::DefineAliquota,
             false,
             {"CodAliquotaProgramavel", "PercentualAliquota", "AliquotaICMS", "DescricaoAliquota"}},
            {"ExcluiAliquota", &C::ExcluiAliquota, false, {"CodAliquotaProgramavel", "PercentualAliquota"}},
            {"DefineMeioPagamento",
             &C::DefineMeioPagamento,
             false,
             {"CodMeioPagamentoProgram", "DescricaoMeioPagamento", "NomeMeioPagamento", "PermiteVinculado"}},
            {"ExcluiMeioPagamento",
             &C::ExcluiMeioPagamento,
             false,
             {"CodMeioPagamentoProgram", "NomeMeioPagamento"}},
            {"DefineNaoFiscal",
             &C::DefineNaoFiscal,
             false,
             {"CodNaoFiscal", "NomeNaoFiscal", "DescricaoNaoFiscal", "TipoNaoFiscal"}},
            {"ExcluiNaoFiscal", &C::ExcluiNaoFiscal, false, {"CodNaoFiscal", "NomeNaoFiscal"}},
            {"DefineGerencial", &C::DefineGerencial, false, {"CodGerencial", "NomeGerencial"}},
            {"ExcluiGerencial", &C::ExcluiGerencial, false, {"CodGerencial", "NomeGerencial"}},
            {"DefineDepartamento", &C::DefineDepartamento, false, {"CodDepartamento", "NomeDepartamento"}},
            {"ExcluiDepartamento", &C::ExcluiDepartamento, false, {"CodDepartamento", "NomeDepartamento"}},
            {"AcertaHorarioVerao", &C::AcertaHorarioVerao, false, {"EntradaHV"}},
            {"ProgramaRelogio", &C::ProgramaRelogio, false, {"Data", "Hora"}},
            {"DefineDadosCabecalho",
             &C::DefineDadosCabecalho,
             false,
             {"Loja", "ECF", "TextoCabecalho", "AlturaLogotipo", "LarguraLogotipo", "Logotipo"}},
            {"DefineProprietario",
             &C::DefineProprietario,
             false,
             {"CNPJ", "InscricaoEstadual", "InscricaoMunicipal", "Senha"}},
            {"IniciaFitaDetalhe",
             &C::IniciaFitaDetalhe,
             false,
             {"NumSerie", "CNPJ", "InscricaoEstadual", "InscricaoMunicipal", "Senha"}},
            {"AbreGaveta", &C::AbreGaveta, false, {}},
            {"AvancaPapel", &C::AvancaPapel, true, {"Avanco"}},
            {"CortaPapel", &C::CortaPapel, true, {"TipoCorte"}},
            {"ImprimeAutenticacao", &C::ImprimeAutenticacao, false, {"TextoAutenticacao"}},
            {"AbreLeituraMemorias", &C::AbreLeituraMemorias, false, {}},
            {"LeMemorias", &C::LeMemorias, false, {"Memoria", "Posicao", "Tamanho"}},
        };
        Definicao cheque{"ImprimeCheque",
                         &C::ImprimeCheque,
                         false,
                         {"Cidade", "Data", "Favorecido", "Valor", "MensagemDocLinha1", "MensagemDocLinha2"}};
        for (const char* pos : kPosicoesCheque) cheque.parametros.push_back(pos);
        v.push_back(cheque);
        return v;
    }();
    return t;
}

}  // namespace

Resposta Impressora::Executa(const std::string& comando, const std::string& parametros) {
    try {
        const Definicao* def = nullptr;
        for (const Definicao& d : Tabela())
            if (MesmoNome(d.nome, comando)) def = &d;
        if (!def)
            Recusa(erro::kComandoInexistente, "ComandoInexistente",
                   "Comando " + comando.substr(0, 40) + " desconhecido");
        std::vector<Parametro> lidos;
        std::string problema;
        if (!LeParametros(parametros, lidos, problema))
            Recusa(erro::kParametroInvalido, "ParametroInvalido", problema);
        Args args(std::move(lidos));
        args.Confere(def->parametros);
        if (def->imprime && semPapel) Recusa(erro::kSemPapel, "SemPapel", "Impressora sem papel");
        Comandos c(*this, args);
        return (c.*(def->executa))();
    } catch (const Falha& f) {
        return {f.codigo, DadosErro(f.nome, f.circunstancia)};
    } catch (const std::exception& e) {
        return {erro::kParametroInvalido, DadosErro("ErroInterno", e.what())};
    }
}

// --- construction and helpers ------------------------------------------------------------------

Impressora::Impressora() {
    cliche = "TARVO COMERCIO DE TESTES LTDA\nRUA DAS ORQUIDEAS, 100 - CENTRO\nSAO PAULO - SP";
    aliquotas[0] = {true, 1800, true, "ICMS 18"};
    aliquotas[1] = {true, 1200, true, "ICMS 12"};
    aliquotas[2] = {true, 700, true, "ICMS 7"};
    aliquotas[3] = {true, 500, false, "ISS 5"};
    dinheiro = {true, "Dinheiro", "Dinheiro", false};
    meiosPagamento[0] = {true, "Cartao Credito", "Cartao de credito", true};
    meiosPagamento[1] = {true, "Cartao Debito", "Cartao de debito", true};
    meiosPagamento[2] = {true, "Cheque", "Cheque", false};
    naoFiscais[0] = {true, "SUPRIMENTO", "Suprimento de caixa", true};
    naoFiscais[1] = {true, "SANGRIA", "Sangria de caixa", false};
    gerenciais[0] = {true, "RELATORIO GERAL"};
    inicioOperacao = AgoraLocal().Segundos();
    DataHora fabrica;
    fabrica.LeData("05/01/2010");
    fabrica.LeHora("09:00:00");
    usuarios.push_back({1, cnpj, ie, im, 1, fabrica, 0});
    versoesSB.push_back({versaoSW, fabrica});
    reinicios.push_back({"0001", fabrica});
}

DataHora Impressora::Agora() const {
    if (relogioParado) return DataHora::DeSegundos(*relogioParado);
    return DataHora::DeSegundos(AgoraLocal().Segundos() + deslocamentoRelogio);
}

void Impressora::AjustaRelogio(const DataHora& quando) {
    if (relogioParado)
        relogioParado = quando.Segundos();
    else
        deslocamentoRelogio = quando.Segundos() - AgoraLocal().Segundos();
}

void Impressora::AvancaRelogio(std::int64_t s) {
    if (relogioParado)
        *relogioParado += s;
    else
        deslocamentoRelogio += s;
}

void Impressora::LimpaTabelas() {
    aliquotas = {};
    meiosPagamento = {};
    naoFiscais = {};
    gerenciais = {};
    departamentos = {};
}

void Impressora::EncerraIntervencao() {
    if (!intervencaoTecnica) return;
    intervencaoTecnica = false;
    ++contadores.cro;
    reinicios.push_back({Zeros(contadores.cro, 4), Agora()});
}

bool Tributo::Icms(const std::array<Aliquota, 16>& aliquotas) const {
    switch (tipo) {
        case Tipo::Aliquota:
            return aliquotas[indice].icms;
        case Tipo::F:
        case Tipo::I:
        case Tipo::N:
            return true;
        default:
            return false;
    }
}

std::string Tributo::Rotulo() const {
    switch (tipo) {
        case Tipo::F:
            return "F1";
        case Tipo::I:
            return "I1";
        case Tipo::N:
            return "N1";
        case Tipo::FS:
            return "FS1";
        case Tipo::IS:
            return "IS1";
        case Tipo::NS:
            return "NS1";
        default:
            return "";
    }
}

std::int64_t DocumentoAberto::Bruto() const {
    std::int64_t t = 0;
    for (const Item& i : itens)
        if (!i.cancelado) t += i.valor - i.desconto + i.acrescimo;
    return t;
}

std::string Documento::Texto() const {
    std::string r;
    for (const Linha& l : linhas) r += l.texto + "\n";
    return r;
}

std::string Documento::Fluxo() const {
    static const std::string kEsc = "\x1b";
    std::string r;
    for (const Linha& l : linhas) {
        if (l.negrito) r += kEsc + "E1";
        for (char c : l.texto) {
            if (c == '\\') r += '\\';
            r += c;
        }
        if (l.negrito) r += kEsc + "E0";
        // A full line wraps by itself on the printer; only a shorter one needs its line feed.
        if (Largura(l.texto) < kColunas) r += '\n';
    }
    return r;
}

std::string Impressora::TextoFita() const {
    std::string r;
    for (const Documento& d : fita) r += d.Texto();
    return r;
}

const Documento* Impressora::DocumentoPorCoo(int coo) const {
    for (const Documento& d : fita)
        if (d.coo == coo) return &d;
    return nullptr;
}

std::int64_t Impressora::VendaLiquida() const {
    std::int64_t t = dia.f1 + dia.i1 + dia.n1 + dia.fs1 + dia.is1 + dia.ns1;
    for (std::int64_t v : dia.aliquota) t += v;
    return t;
}

std::int64_t Impressora::ImpostoIcms() const {
    std::int64_t t = 0;
    for (int i = 0; i < 16; ++i)
        if (aliquotas[i].programada && aliquotas[i].icms)
            t += Escala(dia.aliquota[i], aliquotas[i].percentual, 10000, true);
    return t;
}

std::int64_t Impressora::MfdOcupada() const {
    std::int64_t t = mfdOcupadaExtra;
    for (const Documento& d : fita)
        for (const Linha& l : d.linhas) t += static_cast<std::int64_t>(l.texto.size()) + 1;
    return std::min(t, mfdTotal);
}

std::string Impressora::DadosUltimaReducao() const {
    if (memoriaFiscal.empty()) return std::string(616, '0');
    const RegistroZ& z = memoriaFiscal.back();
    const TotaisDia& t = z.totais;
    std::string r;
    r += "00";                            // 1: reduction by command
    r += Zeros(z.gt, 18);                 // 2: grand total
    r += Zeros(t.cancelamentosIcms, 14);  // 3
    r += Zeros(t.descontosIcms, 14);      // 4
    for (const Aliquota& a : z.aliquotas) r += Zeros(a.programada ? a.percentual : 0, 4);  // 5
    for (std::int64_t v : t.aliquota) r += Zeros(v, 14);                                   // 6 ...
    r += Zeros(t.f1, 14) + Zeros(t.i1, 14) + Zeros(t.n1, 14);                              // ... 19 totals
    r += Zeros(t.cancelamentosIss, 14);                                                    // 7
    r += Zeros(t.descontosIss, 14);                                                        // 8
    for (int i = 0; i < 9; ++i) r += Zeros(t.naoFiscal[i], 14);                            // 9
    for (int i = 0; i < 9; ++i) r += Zeros(z.contadores.con[i], 4);                        // 10
    r += Zeros(z.coo, 6);                                                                  // 11
    r += Zeros(z.contadores.gnf, 6);                                                       // 12
    int programadas = 0;
    for (const Aliquota& a : z.aliquotas) programadas += a.programada;
    r += Zeros(programadas, 2);        // 13
    r += z.movimento.DDMMAA();         // 14
    r += Zeros(t.acrescimosIcms, 14);  // 15
    r += Zeros(t.acrescimosIss, 14);   // 16
    return r;
}

}  // namespace emulador
