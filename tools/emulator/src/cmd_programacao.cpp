// Programming of the tables and settings, the clock and daylight-saving time, the owner and
// header data (technical intervention), and the paper and drawer mechanics.
#include "comandos.h"

namespace emulador {

namespace {

[[noreturn]] void Ocupada(const std::string& oQue) {
    Recusa(erro::kPosicaoOcupada, "PosicaoOcupada",
           oQue + " ja programado; alteracao so em intervencao tecnica");
}

void ExigeIntervencao(const Impressora& p) {
    if (!p.intervencaoTecnica)
        Recusa(erro::kForaDeIntervencao, "ForaDeIntervencao", "Comando exige intervencao tecnica");
}

std::string Nome(const Args& a, const char* parametro, std::size_t maximo) {
    std::string n = Apara(a.Texto(parametro));
    if (n.empty() || n.size() > maximo)
        Recusa(erro::kParametroInvalido, "NomeInvalido",
               std::string(parametro) + " deve ter de 1 a " + std::to_string(maximo) + " caracteres");
    return n;
}

int CodigoOpcional(const Args& a, const char* parametro, int maximo) {
    auto c = a.InteiroOpcional(parametro);
    if (!c) return -1;
    if (*c < 0 || *c > maximo)
        Recusa(erro::kParametroInvalido, "CodigoInvalido", std::string(parametro) + " fora da faixa");
    return static_cast<int>(*c);
}

}  // namespace

// --- rates -----------------------------------------------------------------------------------------

Resposta Comandos::DefineAliquota() {
    ExigeNenhumDocumento();
    int slot = CodigoOpcional(a, "CodAliquotaProgramavel", 15);
    std::int64_t perc = a.Decimal("PercentualAliquota", 2);
    if (perc <= 0 || perc >= 10000)
        Recusa(erro::kParametroInvalido, "PercentualInvalido", "Percentual entre 0,01 e 99,99");
    bool icms = a.Booleano("AliquotaICMS").value_or(true);
    if (slot < 0)
        for (int k = 0; k < 16 && slot < 0; ++k)
            if (!p.aliquotas[static_cast<std::size_t>(k)].programada) slot = k;
    if (slot < 0) Recusa(erro::kTabelaCheia, "TabelaAliquotasCheia", "Nao ha posicao de aliquota livre");
    Aliquota& al = p.aliquotas[static_cast<std::size_t>(slot)];
    if (al.programada && !p.intervencaoTecnica) Ocupada("Aliquota " + std::to_string(slot));
    al = {true, static_cast<int>(perc), icms, a.TextoOpcional("DescricaoAliquota").value_or("")};
    return {};
}

Resposta Comandos::ExcluiAliquota() {
    ExigeIntervencao(p);
    int slot = CodigoOpcional(a, "CodAliquotaProgramavel", 15);
    if (slot < 0) {
        std::int64_t perc = a.Decimal("PercentualAliquota", 2);
        for (int k = 0; k < 16 && slot < 0; ++k)
            if (p.aliquotas[static_cast<std::size_t>(k)].programada &&
                p.aliquotas[static_cast<std::size_t>(k)].percentual == perc)
                slot = k;
    }
    if (slot < 0 || !p.aliquotas[static_cast<std::size_t>(slot)].programada)
        Recusa(erro::kAliquotaNaoProgramada, "AliquotaNaoProgramada", "Aliquota nao programada");
    if (p.dia.aliquota[static_cast<std::size_t>(slot)])
        Recusa(erro::kSequenciaInvalida, "AliquotaComMovimento", "Aliquota com movimento no dia");
    p.aliquotas[static_cast<std::size_t>(slot)] = Aliquota{};
    return {};
}

// --- payment forms -----------------------------------------------------------------------------------

Resposta Comandos::DefineMeioPagamento() {
    ExigeNenhumDocumento();
    int cod = -1;
    if (auto c = a.InteiroOpcional("CodMeioPagamentoProgram")) {
        if (*c == -2)
            Recusa(erro::kPosicaoOcupada, "FormaReservada", "O meio de pagamento Dinheiro nao se altera");
        if (*c < 0 || *c > 14)
            Recusa(erro::kParametroInvalido, "CodigoInvalido", "CodMeioPagamentoProgram fora da faixa");
        cod = static_cast<int>(*c);
    }
    std::string nome = Nome(a, "NomeMeioPagamento", 16);
    bool vinculado = a.Booleano("PermiteVinculado").value_or(false);
    std::string descricao = a.TextoOpcional("DescricaoMeioPagamento").value_or(nome);
    if (MesmoNome(nome, p.dinheiro.nome))
        Recusa(erro::kPosicaoOcupada, "FormaReservada", "O meio de pagamento Dinheiro nao se altera");
    int mesmo = -1;
    for (int k = 0; k < 15 && mesmo < 0; ++k)
        if (p.meiosPagamento[static_cast<std::size_t>(k)].programado &&
            Maiusculas(p.meiosPagamento[static_cast<std::size_t>(k)].nome) == Maiusculas(nome))
            mesmo = k;
    if (cod < 0) cod = mesmo;
    if (cod < 0)
        for (int k = 0; k < 15 && cod < 0; ++k)
            if (!p.meiosPagamento[static_cast<std::size_t>(k)].programado) cod = k;
    if (cod < 0) Recusa(erro::kTabelaCheia, "TabelaMeiosCheia", "Nao ha posicao de meio de pagamento livre");
    MeioPagamento& m = p.meiosPagamento[static_cast<std::size_t>(cod)];
    if (m.programado && cod != mesmo && !p.intervencaoTecnica)
        Ocupada("Meio de pagamento " + std::to_string(cod));
    m = {true, nome, descricao, vinculado};
    return {};
}

Resposta Comandos::ExcluiMeioPagamento() {
    ExigeIntervencao(p);
    int cod = FormaPorParametros("CodMeioPagamentoProgram", "NomeMeioPagamento", true);
    if (cod == -2)
        Recusa(erro::kPosicaoOcupada, "FormaReservada", "O meio de pagamento Dinheiro nao se exclui");
    p.meiosPagamento[static_cast<std::size_t>(cod)] = MeioPagamento{};
    return {};
}

// --- non-fiscal totalisers, management reports, departments -------------------------------------

Resposta Comandos::DefineNaoFiscal() {
    ExigeNenhumDocumento();
    int cod = CodigoOpcional(a, "CodNaoFiscal", 14);
    std::string nome = Nome(a, "NomeNaoFiscal", 19);
    int mesmo = -1;
    for (int k = 0; k < 15 && mesmo < 0; ++k)
        if (p.naoFiscais[static_cast<std::size_t>(k)].programado &&
            Maiusculas(p.naoFiscais[static_cast<std::size_t>(k)].nome) == Maiusculas(nome))
            mesmo = k;
    if (cod < 0) cod = mesmo;
    if (cod < 0)
        for (int k = 0; k < 15 && cod < 0; ++k)
            if (!p.naoFiscais[static_cast<std::size_t>(k)].programado) cod = k;
    if (cod < 0) Recusa(erro::kTabelaCheia, "TabelaNaoFiscaisCheia", "Nao ha totalizador nao fiscal livre");
    TotalizadorNaoFiscal& t = p.naoFiscais[static_cast<std::size_t>(cod)];
    if (t.programado && cod != mesmo && !p.intervencaoTecnica) Ocupada("Totalizador " + std::to_string(cod));
    t = {true, nome, a.TextoOpcional("DescricaoNaoFiscal").value_or(nome),
         a.Booleano("TipoNaoFiscal").value_or(true)};
    return {};
}

Resposta Comandos::ExcluiNaoFiscal() {
    ExigeIntervencao(p);
    int cod = CodigoOpcional(a, "CodNaoFiscal", 14);
    if (cod < 0) {
        std::string n = Maiusculas(Apara(a.Texto("NomeNaoFiscal")));
        for (int k = 0; k < 15 && cod < 0; ++k)
            if (p.naoFiscais[static_cast<std::size_t>(k)].programado &&
                Maiusculas(p.naoFiscais[static_cast<std::size_t>(k)].nome) == n)
                cod = k;
    }
    if (cod < 0 || !p.naoFiscais[static_cast<std::size_t>(cod)].programado)
        Recusa(erro::kAliquotaNaoProgramada, "TotalizadorNaoProgramado",
               "Totalizador nao fiscal nao programado");
    p.naoFiscais[static_cast<std::size_t>(cod)] = TotalizadorNaoFiscal{};
    return {};
}

Resposta Comandos::DefineGerencial() {
    ExigeNenhumDocumento();
    int cod = CodigoOpcional(a, "CodGerencial", 19);
    std::string nome = Nome(a, "NomeGerencial", 20);
    if (cod < 0)
        for (int k = 0; k < 20 && cod < 0; ++k)
            if (!p.gerenciais[static_cast<std::size_t>(k)].programado) cod = k;
    if (cod < 0) Recusa(erro::kTabelaCheia, "TabelaGerenciaisCheia", "Nao ha relatorio gerencial livre");
    Gerencial& g = p.gerenciais[static_cast<std::size_t>(cod)];
    if (g.programado && !p.intervencaoTecnica && Maiusculas(g.nome) != Maiusculas(nome))
        Recusa(erro::kGerencialIndisponivel, "GerencialEmUso",
               "Relatorio gerencial " + std::to_string(cod) + " ja esta em uso");
    g = {true, nome};
    return {};
}

Resposta Comandos::ExcluiGerencial() {
    ExigeIntervencao(p);
    int cod = CodigoOpcional(a, "CodGerencial", 19);
    if (cod < 0) {
        std::string n = Maiusculas(Apara(a.Texto("NomeGerencial")));
        for (int k = 0; k < 20 && cod < 0; ++k)
            if (p.gerenciais[static_cast<std::size_t>(k)].programado &&
                Maiusculas(p.gerenciais[static_cast<std::size_t>(k)].nome) == n)
                cod = k;
    }
    if (cod < 0 || !p.gerenciais[static_cast<std::size_t>(cod)].programado)
        Recusa(erro::kGerencialIndisponivel, "GerencialNaoProgramado", "Relatorio gerencial nao programado");
    p.gerenciais[static_cast<std::size_t>(cod)] = Gerencial{};
    return {};
}

Resposta Comandos::DefineDepartamento() {
    ExigeNenhumDocumento();
    int cod = CodigoOpcional(a, "CodDepartamento", 19);
    std::string nome = Nome(a, "NomeDepartamento", 20);
    if (cod < 0)
        for (int k = 0; k < 20 && cod < 0; ++k)
            if (!p.departamentos[static_cast<std::size_t>(k)].programado) cod = k;
    if (cod < 0) Recusa(erro::kTabelaCheia, "TabelaDepartamentosCheia", "Nao ha departamento livre");
    Departamento& d = p.departamentos[static_cast<std::size_t>(cod)];
    if (d.programado && !p.intervencaoTecnica && Maiusculas(d.nome) != Maiusculas(nome))
        Ocupada("Departamento " + std::to_string(cod));
    d = {true, nome};
    return {};
}

Resposta Comandos::ExcluiDepartamento() {
    ExigeIntervencao(p);
    int cod = CodigoOpcional(a, "CodDepartamento", 19);
    if (cod < 0) {
        std::string n = Maiusculas(Apara(a.Texto("NomeDepartamento")));
        for (int k = 0; k < 20 && cod < 0; ++k)
            if (p.departamentos[static_cast<std::size_t>(k)].programado &&
                Maiusculas(p.departamentos[static_cast<std::size_t>(k)].nome) == n)
                cod = k;
    }
    if (cod < 0 || !p.departamentos[static_cast<std::size_t>(cod)].programado)
        Recusa(erro::kDepartamentoNaoProgramado, "DepartamentoNaoProgramado", "Departamento nao programado");
    p.departamentos[static_cast<std::size_t>(cod)] = Departamento{};
    return {};
}

// --- clock ---------------------------------------------------------------------------------------------

Resposta Comandos::AcertaHorarioVerao() {
    ExigeNenhumDocumento();
    auto entra = a.Booleano("EntradaHV");
    if (!entra) Recusa(erro::kParametroAusente, "ParametroAusente", "Falta EntradaHV");
    if (*entra == p.horarioVerao)
        Recusa(erro::kSequenciaInvalida, "HorarioVeraoInalterado",
               *entra ? "Ja em horario de verao" : "Fora do horario de verao");
    // Leaving summer time turns the clock back an hour, which only a closed day allows.
    if (!*entra && p.movimentoAberto)
        Recusa(erro::kRelogio, "MovimentoAberto", "Saida do horario de verao so apos a reducao Z");
    p.AvancaRelogio(*entra ? 3600 : -3600);
    p.horarioVerao = *entra;
    return {};
}

Resposta Comandos::ProgramaRelogio() {
    ExigeNenhumDocumento();
    if (p.movimentoAberto && !p.intervencaoTecnica)
        Recusa(erro::kRelogio, "MovimentoAberto",
               "Relogio so se programa com o dia fechado ou em intervencao");
    auto data = a.Data("Data");
    auto hora = a.Hora("Hora");
    if (!data && !hora) Recusa(erro::kParametroAusente, "ParametroAusente", "Informe Data e/ou Hora");
    DataHora novo = p.Agora();
    if (data) novo.ano = data->ano, novo.mes = data->mes, novo.dia = data->dia;
    if (hora) novo.hora = hora->hora, novo.minuto = hora->minuto, novo.segundo = hora->segundo;
    if (p.ultimoDocumento != TipoDocumento::Nenhum && novo.Segundos() < p.dataUltimoDocumento.Segundos())
        Recusa(erro::kRelogio, "RelogioRetroativo", "Data e hora anteriores ao ultimo documento");
    p.AjustaRelogio(novo);
    return {};
}

// --- owner, header, detail tape ----------------------------------------------------------------------

Resposta Comandos::DefineDadosCabecalho() {
    ExigeIntervencao(p);
    auto loja = a.InteiroOpcional("Loja");
    auto ecf = a.InteiroOpcional("ECF");
    if (loja && (*loja < 0 || *loja > 9999))
        Recusa(erro::kParametroInvalido, "LojaInvalida", "Loja fora da faixa");
    if (ecf && (*ecf < 0 || *ecf > 999)) Recusa(erro::kParametroInvalido, "ECFInvalido", "ECF fora da faixa");
    if (auto t = a.TextoOpcional("TextoCabecalho")) {
        int linhas = 1;
        for (char c : *t) linhas += c == '\n';
        if (linhas > 8) Recusa(erro::kParametroInvalido, "CabecalhoLongo", "Cabecalho com mais de 8 linhas");
        p.cliche = *t;
    }
    if (loja) p.loja = static_cast<int>(*loja);
    if (ecf) p.ecf = static_cast<int>(*ecf);
    return {};
}

Resposta Comandos::DefineProprietario() {
    ExigeIntervencao(p);
    std::string cnpj = Apara(a.Texto("CNPJ"));
    std::string ie = Apara(a.Texto("InscricaoEstadual"));
    std::string im = Apara(a.TextoOpcional("InscricaoMunicipal").value_or(""));
    if (cnpj.empty()) Recusa(erro::kParametroInvalido, "CNPJVazio", "CNPJ vazio");
    if (cnpj != p.cnpj || ie != p.ie || im != p.im)
        p.usuarios.push_back(
            {static_cast<int>(p.usuarios.size()) + 1, cnpj, ie, im, p.contadores.cro, p.Agora(), p.gt});
    p.cnpj = cnpj, p.ie = ie, p.im = im;
    return {};
}

Resposta Comandos::IniciaFitaDetalhe() {
    ExigeIntervencao(p);
    std::string serie = Apara(a.Texto("NumSerie"));
    if (serie.empty() || serie.size() > 20)
        Recusa(erro::kParametroInvalido, "NumSerieInvalido", "NumSerie de 1 a 20 caracteres");
    Resposta r = DefineProprietario();
    p.numeroSerieMFD = serie;
    return r;
}

// --- mechanics -----------------------------------------------------------------------------------------

Resposta Comandos::AbreGaveta() {
    p.gavetaAberta = true;
    return {};
}

Resposta Comandos::AvancaPapel() {
    std::int64_t n = a.Inteiro("Avanco");
    if (n < 0 || n > 30 * 255) Recusa(erro::kParametroInvalido, "AvancoInvalido", "Avanco fora da faixa");
    for (std::int64_t i = 0; i < n / 30; ++i) p.papel.push_back("");
    return {};
}

Resposta Comandos::CortaPapel() {
    std::int64_t t = a.InteiroOpcional("TipoCorte").value_or(0);
    if (t < 0 || t > 9) Recusa(erro::kParametroInvalido, "TipoCorteInvalido", "TipoCorte de 0 a 9");
    ++p.cortes;
    p.papel.push_back(t == 0 ? "--- corte total ---" : "--- corte parcial ---");
    return {};
}

}  // namespace emulador
