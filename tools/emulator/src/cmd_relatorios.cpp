// Readings and reports: the X reading, the Z reduction (which closes the day into the fiscal
// memory), the fiscal-memory reading, the detail-tape download, and the print capture that
// hands readings sent to the serial port out in LeImpressao pieces.
#include <algorithm>

#include "comandos.h"

namespace emulador {

namespace {

// Counters of the X and Z readings: every line exactly 48 columns, value in the last six.
std::string LinhaContador(const char* rotulo, int valor) {
    return Direita(Cp850(rotulo), Zeros(valor, 6));
}
std::string LinhaValor(const std::string& rotulo, std::int64_t valor) {
    return Direita(rotulo, Valor(valor));
}

constexpr std::size_t kPedacoCaptura = 1024;  // bytes of the stream per LeImpressao reply

}  // namespace

bool Comandos::Serial() const {
    auto d = a.TextoOpcional("Destino");
    return d && Maiusculas(Apara(*d)) == "S";
}

void Comandos::CorpoTotais(Documento& d, bool papel, const TotaisDia& t, const Contadores& c,
                           const std::array<Aliquota, 16>& aliquotas, std::int64_t gtFinal,
                           std::int64_t gtInicial, const DataHora& movimento) {
    auto L = [&](const std::string& s, bool negrito = false) { Imprime(d, papel, s, negrito); };
    const std::string sep(kColunas, '-');
    L("MOVIMENTO DO DIA: " + movimento.Data());
    L(sep);
    L(Centro("CONTADORES"));
    L(LinhaContador("Contador de Reinício de Operação:", c.cro));
    L(LinhaContador("Contador de Redução Z:", c.crz));
    L(LinhaContador("Contador de Cupom Fiscal:", c.ccf));
    L(LinhaContador("Contador de Fita Detalhe:", c.cfd));
    L(LinhaContador("Comprovante de Crédito ou Débito:", c.cdc));
    L(LinhaContador("Contador Geral de Relatório Gerencial:", c.grg));
    L(LinhaContador("Operação Não Fiscal Cancelada:", c.nfc));
    L(LinhaContador("Cupom Fiscal Cancelado:", c.cfc));
    L(LinhaContador("Contador Geral de Operação Não Fiscal:", c.gnf));
    L(LinhaContador("Comprovante Não Emitido:", c.ncn));
    L(LinhaContador("Contador de Ordem de Operação:", c.coo));
    L(sep);
    L(Centro("TOTALIZADORES"));
    std::int64_t liquida = t.f1 + t.i1 + t.n1 + t.fs1 + t.is1 + t.ns1;
    for (std::int64_t v : t.aliquota) liquida += v;
    L(LinhaValor("TOTALIZADOR GERAL:", gtFinal));
    L(LinhaValor(Cp850("VENDA BRUTA DIÁRIA:"), gtFinal - gtInicial));
    L(LinhaValor("CANCELAMENTO ICMS:", t.cancelamentosIcms));
    L(LinhaValor("DESCONTO ICMS:", t.descontosIcms));
    L(LinhaValor(Cp850("ACRÉSCIMO ICMS:"), t.acrescimosIcms));
    L(LinhaValor("CANCELAMENTO ISSQN:", t.cancelamentosIss));
    L(LinhaValor("DESCONTO ISSQN:", t.descontosIss));
    L(LinhaValor(Cp850("ACRÉSCIMO ISSQN:"), t.acrescimosIss));
    L(LinhaValor(Cp850("VENDA LÍQUIDA:"), liquida));
    L(sep);
    for (bool icms : {true, false}) {
        L(Centro(icms ? "ICMS" : "ISSQN"));
        L(LinhaValor(Cp850(icms ? "SUBSTITUIÇÃO TRIBUTÁRIA ICMS:" : "SUBSTITUIÇÃO TRIBUTÁRIA ISSQN:"),
                     icms ? t.f1 : t.fs1));
        L(LinhaValor(icms ? "ISENTO ICMS:" : "ISENTO ISSQN:", icms ? t.i1 : t.is1));
        L(LinhaValor(Cp850(icms ? "NÃO INCIDÊNCIA ICMS:" : "NÃO INCIDÊNCIA ISSQN:"), icms ? t.n1 : t.ns1));
        std::int64_t imposto = 0;
        for (int k = 0; k < 16; ++k) {
            const Aliquota& al = aliquotas[static_cast<std::size_t>(k)];
            if (!al.programada || al.icms != icms) continue;
            std::int64_t v = t.aliquota[static_cast<std::size_t>(k)];
            imposto += Escala(v, al.percentual, 10000, true);
            L(LinhaValor(std::string(icms ? "T" : "S") + Zeros(k, 2) + "=" + Percentual(al.percentual) + "%",
                         v));
        }
        L(LinhaValor(icms ? "IMPOSTO ICMS:" : "IMPOSTO ISSQN:", imposto));
        L(sep);
    }
    L(Centro(Cp850("TOTALIZADORES NÃO FISCAIS")));
    std::int64_t naoFiscais = 0;
    for (int k = 0; k < 15; ++k) {
        const TotalizadorNaoFiscal& nf = p.naoFiscais[static_cast<std::size_t>(k)];
        std::int64_t v = t.naoFiscal[static_cast<std::size_t>(k)];
        naoFiscais += v;
        if (!nf.programado && !v) continue;
        std::string esq =
            Zeros(k, 2) + " " + Completa(nf.nome, 16) + " " + Zeros(c.con[static_cast<std::size_t>(k)], 4);
        L(Direita(esq, Valor(v)));
    }
    L(LinhaValor(Cp850("DESCONTOS NÃO-FISCAIS:"), t.descontosNaoFiscal));
    L(LinhaValor(Cp850("ACRÉSCIMOS NÃO-FISCAIS:"), t.acrescimosNaoFiscal));
    L(LinhaValor(Cp850("CANCELAMENTOS NÃO-FISCAIS:"), t.cancelamentosNaoFiscal));
    L(sep);
    L(LinhaValor(Cp850("TOTAL OPERAÇÕES NÃO-FISCAIS:"), naoFiscais));
    L(sep);
    L(Centro("MEIOS DE PAGAMENTO"));
    L(Direita(Completa("-2", 4) + Completa(p.dinheiro.nome, 16), Valor(t.dinheiro)));
    for (int k = 0; k < 15; ++k) {
        const MeioPagamento& m = p.meiosPagamento[static_cast<std::size_t>(k)];
        std::int64_t v = t.meioPagamento[static_cast<std::size_t>(k)];
        if (!m.programado && !v) continue;
        L(Direita(Completa(Zeros(k, 2), 4) + Completa(m.nome, 16), Valor(v)));
    }
    L(LinhaValor("TROCO", t.troco));
    L(sep);
}

Resposta Comandos::EmiteLeituraX() {
    ExigeNenhumDocumento();
    DataHora movimento = p.movimentoAberto ? p.dataAbertura : p.Agora();
    if (Serial()) {
        Documento d;
        Cabecalho(d, "LEITURA  X", "GNF:", p.contadores.gnf, p.Agora());
        CorpoTotais(d, false, p.dia, p.contadores, p.aliquotas, p.gt, p.movimentoAberto ? p.gtInicial : p.gt,
                    movimento);
        Rodape(d, false, true);
        p.captura = d.Fluxo();
        p.capturaLida = 0;
        return {};
    }
    if (p.semPapel) Recusa(erro::kSemPapel, "SemPapel", "Impressora sem papel");
    ExigeDiaAberto();
    ++p.contadores.gnf;
    int idx = NovoDocumento(TipoDocumento::LeituraX, "LEITURA  X", "GNF:", p.contadores.gnf);
    CorpoTotais(p.fita[static_cast<std::size_t>(idx)], true, p.dia, p.contadores, p.aliquotas, p.gt,
                p.gtInicial, p.dataAbertura);
    Encerra(idx, true);
    return {};
}

Resposta Comandos::EmiteReducaoZ() {
    ExigeNenhumDocumento();
    if (DiaFechadoHoje()) Recusa(erro::kDiaFechado, "DiaFechado", "Reducao Z ja emitida hoje");
    if (auto h = a.Hora("Hora")) {
        DataHora agora = p.Agora();
        DataHora quer = agora;
        quer.hora = h->hora, quer.minuto = h->minuto, quer.segundo = h->segundo;
        std::int64_t dif = quer.Segundos() - agora.Segundos();
        if (dif > 300 || dif < -300)
            Recusa(erro::kRelogio, "AjusteRelogioExcessivo",
                   "Ajuste do relogio na reducao limitado a 5 minutos");
        p.AvancaRelogio(dif);
    }
    DataHora movimento = p.movimentoAberto ? p.dataAbertura : p.Agora();
    RegistroZ z;
    z.crz = ++p.contadores.crz;
    z.cro = p.contadores.cro;
    z.gtInicial = p.movimentoAberto ? p.gtInicial : p.gt;
    z.cooInicial = p.movimentoAberto ? p.cooInicioDia : p.contadores.coo + 1;
    int idx = NovoDocumento(TipoDocumento::ReducaoZ, Cp850("REDUÇÃO  Z"), "", 0);
    Documento& d = p.fita[static_cast<std::size_t>(idx)];
    CorpoTotais(d, true, p.dia, p.contadores, p.aliquotas, p.gt, z.gtInicial, movimento);
    Encerra(idx, true);
    z.coo = d.coo;
    z.emissao = d.fim;
    z.movimento = movimento;
    z.gt = p.gt;
    z.totais = p.dia;
    z.aliquotas = p.aliquotas;
    z.contadores = p.contadores;
    p.memoriaFiscal.push_back(z);
    // The day is closed: totals start again, and no other document of the same date follows.
    p.dia = TotaisDia{};
    p.movimentoAberto = false;
    p.gtInicial = p.gt;
    p.cooInicioDia = p.contadores.coo + 1;
    if (movimento.Dia() == p.Agora().Dia()) p.diaFechado = movimento.Dia();
    p.ultimo.cancelavel = false;
    return {};
}

Resposta Comandos::EmiteLeituraMF() {
    ExigeNenhumDocumento();
    bool serial = Serial();
    if (!serial && p.semPapel) Recusa(erro::kSemPapel, "SemPapel", "Impressora sem papel");
    bool simplificada = a.Booleano("LeituraSimplificada").value_or(false);
    std::vector<const RegistroZ*> sel;
    std::string periodo;
    if (a.Tem("DataInicial") || a.Tem("DataFinal")) {
        auto d1 = a.Data("DataInicial", true), d2 = a.Data("DataFinal", true);
        if (!d1 || !d2)
            Recusa(erro::kParametroAusente, "ParametroAusente", "Informe DataInicial e DataFinal");
        if (d1->Dia() > d2->Dia())
            Recusa(erro::kParametroInvalido, "PeriodoInvalido", "DataInicial depois de DataFinal");
        for (const RegistroZ& z : p.memoriaFiscal)
            if (z.movimento.Dia() >= d1->Dia() && z.movimento.Dia() <= d2->Dia()) sel.push_back(&z);
        periodo = Cp850("PERÍODO: ") + d1->Data() + " A " + d2->Data();
    } else if (a.Tem("ReducaoInicial") || a.Tem("ReducaoFinal")) {
        auto r1 = a.InteiroOpcional("ReducaoInicial"), r2 = a.InteiroOpcional("ReducaoFinal");
        if (!r1 || !r2)
            Recusa(erro::kParametroAusente, "ParametroAusente", "Informe ReducaoInicial e ReducaoFinal");
        if (*r1 > *r2)
            Recusa(erro::kParametroInvalido, "PeriodoInvalido", "ReducaoInicial maior que ReducaoFinal");
        for (const RegistroZ& z : p.memoriaFiscal)
            if (z.crz >= *r1 && z.crz <= *r2) sel.push_back(&z);
        periodo = "CRZ: " + Zeros(*r1, 4) + " A " + Zeros(*r2, 4);
    } else {
        Recusa(erro::kParametroAusente, "ParametroAusente", "Informe o periodo por data ou por reducao");
    }
    if (sel.empty()) Recusa(erro::kSemDados, "SemDadosNoPeriodo", "Nao ha reducoes no periodo");

    Documento local;
    int idx = -1;
    if (!serial) {
        ++p.contadores.gnf;
        idx = NovoDocumento(TipoDocumento::LeituraMemoriaFiscal, "LEITURA MEMORIA FISCAL",
                            "GNF:", p.contadores.gnf);
    } else {
        Cabecalho(local, "LEITURA MEMORIA FISCAL", "GNF:", p.contadores.gnf, p.Agora());
    }
    Documento& d = serial ? local : p.fita[static_cast<std::size_t>(idx)];
    auto L = [&](const std::string& s) { Imprime(d, !serial, s); };
    const std::string sep(kColunas, '-');
    L(Centro(simplificada ? "SIMPLIFICADA" : "COMPLETA"));
    L(periodo);
    L(sep);
    L(Centro(Cp850("USUÁRIOS")));
    for (const Usuario& u : p.usuarios) {
        L("Usuario:" + Zeros(u.numero, 2) + " CRO: " + Zeros(u.cro, 3) + "  " + u.registro.Data() + "  " +
          u.registro.Hora());
        L("CNPJ:" + u.cnpj);
        L("IE:" + u.ie);
        L("IM:" + u.im);
        L(LinhaValor("GT:", u.gt));
    }
    L(sep);
    L(Centro(Cp850("CODIFICAÇÃO GT:")));
    L("0123456789 = TARVOBELMX a partir de " + p.versoesSB.front().quando.Data());
    L(sep);
    L(Centro(Cp850("SOFTWARE BÁSICO:")));
    for (const Evento& e : p.versoesSB)
        L(Completa(e.texto, 8) + " " + e.quando.Data() + " - " + e.quando.Hora());
    L(Direita("MOEDA:", p.simboloMoeda));
    L("MFD:" + p.numeroSerieMFD + " " + p.versoesSB.front().quando.Data());
    L(sep);
    L(Centro(Cp850("REINICIO  OPERAÇÃO")));
    for (const Evento& e : p.reinicios) L("CRO:" + e.texto + " " + e.quando.Data() + " " + e.quando.Hora());
    L(sep);
    L(Centro(Cp850("IMPRESSÃO FITA DETALHE")));
    for (const Evento& e : p.impressoesFita) L("DATA: " + e.quando.Data() + " CNPJ:" + e.texto);
    L(sep);
    TotaisDia soma;
    std::int64_t bruta = 0;
    if (!simplificada) {
        L(Centro(Cp850("REDUÇÕES DIÁRIAS")));
        L(Direita("CRZ  COO    CRO DATA", "VENDA BRUTA"));
    }
    for (const RegistroZ* z : sel) {
        bruta += z->VendaBruta();
        for (int k = 0; k < 16; ++k)
            soma.aliquota[static_cast<std::size_t>(k)] += z->totais.aliquota[static_cast<std::size_t>(k)];
        soma.f1 += z->totais.f1, soma.i1 += z->totais.i1, soma.n1 += z->totais.n1;
        soma.fs1 += z->totais.fs1, soma.is1 += z->totais.is1, soma.ns1 += z->totais.ns1;
        soma.cancelamentosIcms += z->totais.cancelamentosIcms,
            soma.cancelamentosIss += z->totais.cancelamentosIss;
        soma.descontosIcms += z->totais.descontosIcms, soma.descontosIss += z->totais.descontosIss;
        if (simplificada) continue;
        L(Direita(
            Zeros(z->crz, 4) + " " + Zeros(z->coo, 6) + " " + Zeros(z->cro, 3) + " " + z->movimento.Data(),
            Valor(z->VendaBruta())));
        for (int k = 0; k < 16; ++k) {
            const Aliquota& al = z->aliquotas[static_cast<std::size_t>(k)];
            std::int64_t v = z->totais.aliquota[static_cast<std::size_t>(k)];
            if (al.programada && v)
                L(LinhaValor("  " + std::string(al.icms ? "T" : "S") + Zeros(k, 2) + "=" +
                                 Percentual(al.percentual) + "%",
                             v));
        }
        const std::pair<const char*, std::int64_t> fixos[] = {
            {"  F1", z->totais.f1},   {"  I1", z->totais.i1},   {"  N1", z->totais.n1},
            {"  FS1", z->totais.fs1}, {"  IS1", z->totais.is1}, {"  NS1", z->totais.ns1}};
        for (const auto& [r, v] : fixos)
            if (v) L(LinhaValor(r, v));
    }
    if (!simplificada) L(sep);
    L(Centro(Cp850("TOTAL DO PERÍODO")));
    L(LinhaValor("VENDA BRUTA:", bruta));
    for (int k = 0; k < 16; ++k) {
        std::int64_t v = soma.aliquota[static_cast<std::size_t>(k)];
        if (v) L(LinhaValor("  Aliquota " + Zeros(k, 2) + ":", v));
    }
    L(LinhaValor("  F1:", soma.f1));
    L(LinhaValor("  I1:", soma.i1));
    L(LinhaValor("  N1:", soma.n1));
    L(LinhaValor("  FS1:", soma.fs1));
    L(LinhaValor("  IS1:", soma.is1));
    L(LinhaValor("  NS1:", soma.ns1));
    L(LinhaValor("  CANCELAMENTOS:", soma.cancelamentosIcms + soma.cancelamentosIss));
    L(LinhaValor("  DESCONTOS:", soma.descontosIcms + soma.descontosIss));
    L(sep);
    if (serial) {
        Rodape(local, false, true);
        p.captura = local.Fluxo();
        p.capturaLida = 0;
    } else {
        Encerra(idx, true);
    }
    return {};
}

Resposta Comandos::EmiteLeituraFitaDetalhe() {
    ExigeNenhumDocumento();
    bool serial = Serial();
    if (!serial && p.semPapel) Recusa(erro::kSemPapel, "SemPapel", "Impressora sem papel");
    std::int64_t coo1 = 1, coo2 = 999999999, dia1 = -1, dia2 = -1;
    if (a.Tem("DataInicial") || a.Tem("DataFinal")) {
        auto d1 = a.Data("DataInicial", true), d2 = a.Data("DataFinal", true);
        if (!d1 || !d2)
            Recusa(erro::kParametroAusente, "ParametroAusente", "Informe DataInicial e DataFinal");
        dia1 = d1->Dia(), dia2 = d2->Dia();
    } else if (a.Tem("COOInicial") || a.Tem("COOFinal")) {
        coo1 = a.InteiroOpcional("COOInicial").value_or(1);
        coo2 = a.InteiroOpcional("COOFinal").value_or(999999999);
    }
    if (coo1 > coo2 || dia1 > dia2)
        Recusa(erro::kParametroInvalido, "PeriodoInvalido", "Inicio depois do fim");
    int dono = static_cast<int>(a.InteiroOpcional("Proprietario").value_or(0));
    std::string fluxo;
    std::vector<const Documento*> docs;
    for (const Documento& d : p.fita) {
        if (!d.fechado || d.coo < coo1 || d.coo > coo2) continue;
        if (dia1 >= 0 && (d.inicio.Dia() < dia1 || d.inicio.Dia() > dia2)) continue;
        if (dono > 0 && d.proprietario != dono) continue;
        docs.push_back(&d);
    }
    if (docs.empty()) Recusa(erro::kSemDados, "SemDadosNoPeriodo", "Nao ha documentos no periodo");
    if (serial) {
        for (const Documento* d : docs) fluxo += d->Fluxo();
        p.captura = fluxo;
        p.capturaLida = 0;
        return {};
    }
    // On paper: a copy of the documents, counted as a detail-tape print (CFD).
    ++p.contadores.cfd;
    p.impressoesFita.push_back({p.cnpj, p.Agora()});
    p.papel.push_back(Centro("FITA DETALHE"));
    for (const Documento* d : docs)
        for (const Linha& l : d->linhas) p.papel.push_back(l.texto);
    p.papel.push_back(Centro("FIM DA FITA DETALHE"));
    return {};
}

Resposta Comandos::LeImpressao() {
    std::string pedaco;
    if (p.capturaLida < p.captura.size()) {
        pedaco = p.captura.substr(p.capturaLida, kPedacoCaptura);
        p.capturaLida += pedaco.size();
    }
    if (p.capturaLida >= p.captura.size()) {
        p.captura.clear();
        p.capturaLida = 0;
    }
    return {0, "TextoImpressao=\"" + pedaco + "\""};
}

}  // namespace emulador
