// Readings of single registers (LeInteiro, LeMoeda, LeTexto, LeData, LeHora, LeIndicador),
// their writers, and the readings of the programmable tables.
#include <functional>

#include "comandos.h"

namespace emulador {

namespace {

std::string ValorInteiro(std::int64_t v) {
    return "ValorInteiro=" + std::to_string(v);
}
std::string ValorMoeda(std::int64_t centavos) {
    return "ValorMoeda=" + ValorResposta(centavos);
}
std::string ValorTexto(const std::string& t) {
    return "ValorTexto=" + Aspas(t);
}
std::string ValorIndicador(int v) {
    return "ValorNumericoIndicador=" + std::to_string(v) + " ValorTextoIndicador=" + Aspas(std::to_string(v));
}

// "TotalDiaNaoFiscal[3]" -> base "TotalDiaNaoFiscal", index 3; -1 when the name has no index.
std::string Base(const std::string& nome, int& indice) {
    indice = -1;
    std::size_t a = nome.find('[');
    if (a == std::string::npos || nome.back() != ']') return nome;
    std::int64_t v = 0;
    if (!LeInteiro(nome.substr(a + 1, nome.size() - a - 2), v) || v < 0 || v > 999999) {
        indice = -2;
        return nome.substr(0, a);
    }
    indice = static_cast<int>(v);
    return nome.substr(0, a);
}

[[noreturn]] void Inexistente(const std::string& nome) {
    Recusa(erro::kRegistradorInexistente, "RegistradorInexistente",
           "Registrador " + nome.substr(0, 60) + " desconhecido");
}

int Faixa(const std::string& nome, int indice, int limite) {
    if (indice < 0 || indice >= limite)
        Recusa(erro::kParametroInvalido, "IndiceInvalido", "Indice invalido em " + nome);
    return indice;
}

// "Aliquota07" -> 7 ("Aliquota" + two digits); -1 otherwise.
int Slot(const std::string& nome, const std::string& prefixo, const std::string& sufixo) {
    if (nome.size() != prefixo.size() + 2 + sufixo.size()) return -1;
    if (!MesmoNome(nome.substr(0, prefixo.size()), prefixo)) return -1;
    if (!MesmoNome(nome.substr(prefixo.size() + 2), sufixo)) return -1;
    char d1 = nome[prefixo.size()], d2 = nome[prefixo.size() + 1];
    if (d1 < '0' || d1 > '9' || d2 < '0' || d2 > '9') return -1;
    int n = (d1 - '0') * 10 + (d2 - '0');
    return n < 16 ? n : -1;
}

const RegistroZ& Reducao(const Impressora& p, const std::string& nome, int n) {
    if (n < 1 || n > static_cast<int>(p.memoriaFiscal.size()))
        Recusa(erro::kSemDados, "ReducaoInexistente",
               "Nao ha reducao Z de numero " + std::to_string(n) + " (" + nome + ")");
    return p.memoriaFiscal[static_cast<std::size_t>(n - 1)];
}

bool Igual(const std::string& a, const char* b) {
    return MesmoNome(a, b);
}

}  // namespace

Resposta Comandos::LeInteiro() {
    std::string nome = a.Texto("NomeInteiro");
    int i = -1;
    std::string b = Base(nome, i);
    const Contadores& c = p.contadores;
    auto ok = [](std::int64_t v) { return Resposta{0, ValorInteiro(v)}; };
    if (i == -1) {
        const std::pair<const char*, std::function<std::int64_t()>> simples[] = {
            {"COO", [&] { return c.coo; }},
            {"CCF", [&] { return c.ccf; }},
            {"GNF", [&] { return c.gnf; }},
            {"GRG", [&] { return c.grg; }},
            {"CDC", [&] { return c.cdc; }},
            {"CRZ", [&] { return c.crz; }},
            {"CRO", [&] { return c.cro; }},
            {"CFD", [&] { return c.cfd; }},
            {"NFC", [&] { return c.nfc; }},
            {"NCN", [&] { return c.ncn; }},
            {"CFC", [&] { return c.cfc; }},
            {"ECF", [&] { return p.ecf; }},
            {"Loja", [&] { return p.loja; }},
            {"ContadorDocUltimoItemVendido", [&] { return p.ultimoItemVendido; }},
            {"TempoOperacional", [&] { return (AgoraLocal().Segundos() - p.inicioOperacao) / 60; }},
            {"TempoEmitindoDocFiscal", [&] { return p.segundosEmitindo / 60; }},
            {"ContadorProprietarios", [&] { return static_cast<std::int64_t>(p.usuarios.size()); }},
            {"CRZRestantes", [&] { return 3700 - c.crz; }},
            {"MFDLivre", [&] { return p.mfdTotal - p.MfdOcupada(); }},
            {"PercentualMFDUtilizada", [&] { return p.MfdOcupada() * 10000 / p.mfdTotal; }},
            {"Arredondamento", [&] { return p.arredondamento; }},
            {"TipoDocEmEmissao", [&] { return static_cast<int>(p.aberto.tipo); }},
            {"TipoUltimoDocEmitido", [&] { return static_cast<int>(p.ultimoDocumento); }},
            {"COOInicioDia", [&] { return p.cooInicioDia; }},
            {"PermiteISS", [&] { return p.permiteIss; }},
            {"EspacamentoDocumentos", [&] { return p.espacamentoDocumentos; }},
            {"EspacamentoLinhas", [&] { return p.espacamentoLinhas; }},
            {"ImprimeItem1Linha", [&] { return p.imprimeItem1Linha; }},
            {"BaudRate", [&] { return p.baudRate; }},
        };
        for (const auto& [n, f] : simples)
            if (Igual(b, n)) return ok(f());
        if (Igual(b, "AliquotaDisponivel")) {
            for (int k = 0; k < 16; ++k)
                if (!p.aliquotas[k].programada) return ok(k);
            Recusa(erro::kTabelaCheia, "TabelaAliquotasCheia", "Nao ha posicao de aliquota livre");
        }
        if (Igual(b, "Indicadores")) {
            std::int64_t v = 0;
            if (p.intervencaoTecnica) v |= 1;
            if (p.poucoPapel) v |= 2;
            if (p.gavetaAberta) v |= 4;
            if (p.horarioVerao) v |= 8;
            if (DiaFechadoHoje()) v |= 16;
            if (ZPendente()) v |= 128;
            if (p.semPapel) v |= 256;
            if (p.aberto.tipo != TipoDocumento::Nenhum) v |= 512;
            if (p.aberto.tipo == TipoDocumento::CupomFiscal) v |= 1024;
            if (p.aberto.tipo == TipoDocumento::Gerencial) v |= 2048;
            if (p.aberto.tipo == TipoDocumento::NaoFiscal) v |= 4096;
            if (p.aberto.tipo == TipoDocumento::CreditoDebito) v |= 8192;
            return ok(v);
        }
        Inexistente(nome);
    }
    if (Igual(b, "CON")) return ok(c.con[static_cast<std::size_t>(Faixa(nome, i, 15))]);
    if (Igual(b, "CER")) return ok(c.cer[static_cast<std::size_t>(Faixa(nome, i, 20))]);
    if (Igual(b, "TotalDiaQuantidadeVendasDepartamento"))
        return ok(p.dia.departamentoQuantidade[static_cast<std::size_t>(Faixa(nome, i, 20))]);
    if (Igual(b, "COOReducao")) return ok(Reducao(p, nome, i).coo);
    if (Igual(b, "CROReducao") || Igual(b, "ContadorReinicioReducao")) return ok(Reducao(p, nome, i).cro);
    if (Igual(b, "COOInicialReducao")) return ok(Reducao(p, nome, i).cooInicial);
    if (Igual(b, "CCFReducao")) return ok(Reducao(p, nome, i).contadores.ccf);
    if (Igual(b, "GNFReducao")) return ok(Reducao(p, nome, i).contadores.gnf);
    Inexistente(nome);
}

Resposta Comandos::LeMoeda() {
    std::string nome = a.Texto("NomeDadoMonetario");
    int i = -1;
    std::string b = Base(nome, i);
    const TotaisDia& t = p.dia;
    const DocumentoAberto& doc = p.aberto.tipo != TipoDocumento::Nenhum ? p.aberto : p.ultimo.doc;
    auto ok = [](std::int64_t v) { return Resposta{0, ValorMoeda(v)}; };
    std::int64_t pagoDinheiro = 0;
    std::array<std::int64_t, 15> pagoForma{};
    for (const Pagamento& pg : doc.pagamentos)
        (pg.codigo == -2 ? pagoDinheiro : pagoForma[static_cast<std::size_t>(pg.codigo)]) += pg.valor;
    std::int64_t trocoDoc = doc.pagamentos.empty() ? 0 : std::max<std::int64_t>(0, doc.pago - doc.Total());
    if (i == -1) {
        const std::pair<const char*, std::function<std::int64_t()>> simples[] = {
            {"GT", [&] { return p.gt; }},
            {"GTInicial", [&] { return p.movimentoAberto ? p.gtInicial : p.gt; }},
            {"TotalDiaCancelamentosICMS", [&] { return t.cancelamentosIcms; }},
            {"TotalDiaCancelamentosISSQN", [&] { return t.cancelamentosIss; }},
            {"TotalDiaDescontos", [&] { return t.descontosIcms; }},
            {"TotalDiaDescontosISSQN", [&] { return t.descontosIss; }},
            {"TotalDiaAcrescimos", [&] { return t.acrescimosIcms; }},
            {"TotalDiaAcrescimosISSQN", [&] { return t.acrescimosIss; }},
            {"TotalDiaIsencaoICMS", [&] { return t.i1; }},
            {"TotalDiaNaoTributadoICMS", [&] { return t.n1; }},
            {"TotalDiaSubstituicaoTributariaICMS", [&] { return t.f1; }},
            {"TotalDiaIsencaoISSQN", [&] { return t.is1; }},
            {"TotalDiaNaoTributadoISSQN", [&] { return t.ns1; }},
            {"TotalDiaSubstituicaoTributariaISSQN", [&] { return t.fs1; }},
            {"TotalDiaImpostoICMS", [&] { return p.ImpostoIcms(); }},
            {"TotalDiaDinheiro", [&] { return t.dinheiro; }},
            {"TotalDiaTroco", [&] { return t.troco; }},
            {"TotalDiaVendaBruta", [&] { return p.VendaBruta(); }},
            {"TotalDiaVendaLiquida", [&] { return p.VendaLiquida(); }},
            {"TotalDiaCancelamentosNaoFiscais", [&] { return t.cancelamentosNaoFiscal; }},
            {"TotalDiaDescontosNaoFiscais", [&] { return t.descontosNaoFiscal; }},
            {"TotalDiaAcrescimosNaoFiscais", [&] { return t.acrescimosNaoFiscal; }},
            {"TotalDocLiquido", [&] { return doc.Total(); }},
            {"TotalDocBruto", [&] { return doc.Bruto(); }},
            {"TotalDocDinheiro", [&] { return pagoDinheiro; }},
            {"TotalDocValorPago", [&] { return doc.pago; }},
            {"TotalDocTroco", [&] { return trocoDoc; }},
        };
        for (const auto& [n, f] : simples)
            if (Igual(b, n)) return ok(f());
        Inexistente(nome);
    }
    if (Igual(b, "TotalDiaValorAliquota"))
        return ok(t.aliquota[static_cast<std::size_t>(Faixa(nome, i, 16))]);
    if (Igual(b, "TotalDiaNaoFiscal")) return ok(t.naoFiscal[static_cast<std::size_t>(Faixa(nome, i, 15))]);
    if (Igual(b, "TotalDiaMeioPagamento"))
        return ok(t.meioPagamento[static_cast<std::size_t>(Faixa(nome, i, 15))]);
    if (Igual(b, "TotalDocMeioPagamento")) return ok(pagoForma[static_cast<std::size_t>(Faixa(nome, i, 15))]);
    if (Igual(b, "TotalDiaValorVendasDepartamento"))
        return ok(t.departamentoValor[static_cast<std::size_t>(Faixa(nome, i, 20))]);
    if (Igual(b, "TotalDiaQuantidadeVendasDepartamento")) {
        // Quantities keep their three places, followed by the fourth of every ValorMoeda reply.
        std::int64_t q = t.departamentoQuantidade[static_cast<std::size_t>(Faixa(nome, i, 20))];
        return {0, "ValorMoeda=" + std::to_string(q / 1000) + "," + Zeros(q % 1000, 3) + "0"};
    }
    // Values of the fiscal memory, by reduction counter.
    const std::string kSufixo = "Reducao";
    if (b.size() > kSufixo.size() && MesmoNome(b.substr(b.size() - kSufixo.size()), kSufixo)) {
        std::string campo = b.substr(0, b.size() - kSufixo.size());
        int slot = Slot(campo, "Aliquota", "");
        if (slot >= 0) {
            const RegistroZ& z = Reducao(p, nome, i);
            return ok(z.aliquotas[static_cast<std::size_t>(slot)].programada
                          ? z.aliquotas[static_cast<std::size_t>(slot)].percentual
                          : 0);
        }
        slot = Slot(campo, "TotalAliquota", "");
        if (slot >= 0) return ok(Reducao(p, nome, i).totais.aliquota[static_cast<std::size_t>(slot)]);
        const std::pair<const char*, std::function<std::int64_t(const RegistroZ&)>> porZ[] = {
            {"CancelamentosICMS", [](const RegistroZ& z) { return z.totais.cancelamentosIcms; }},
            {"CancelamentosISSQN", [](const RegistroZ& z) { return z.totais.cancelamentosIss; }},
            {"Descontos", [](const RegistroZ& z) { return z.totais.descontosIcms; }},
            {"DescontosISSQN", [](const RegistroZ& z) { return z.totais.descontosIss; }},
            {"Acrescimos", [](const RegistroZ& z) { return z.totais.acrescimosIcms; }},
            {"AcrescimosISSQN", [](const RegistroZ& z) { return z.totais.acrescimosIss; }},
            {"TotalAliquotaF1", [](const RegistroZ& z) { return z.totais.f1; }},
            {"TotalAliquotaI1", [](const RegistroZ& z) { return z.totais.i1; }},
            {"TotalAliquotaN1", [](const RegistroZ& z) { return z.totais.n1; }},
            {"TotalAliquotaFS1", [](const RegistroZ& z) { return z.totais.fs1; }},
            {"TotalAliquotaIS1", [](const RegistroZ& z) { return z.totais.is1; }},
            {"TotalAliquotaNS1", [](const RegistroZ& z) { return z.totais.ns1; }},
            {"GT", [](const RegistroZ& z) { return z.gt; }},
            {"GTInicial", [](const RegistroZ& z) { return z.gtInicial; }},
            {"VendaBruta", [](const RegistroZ& z) { return z.VendaBruta(); }},
        };
        for (const auto& [n, f] : porZ)
            if (Igual(campo, n)) return ok(f(Reducao(p, nome, i)));
    }
    Inexistente(nome);
}

Resposta Comandos::LeTexto() {
    std::string nome = a.Texto("NomeTexto");
    auto ok = [](const std::string& v) { return Resposta{0, ValorTexto(v)}; };
    const std::pair<const char*, std::function<std::string()>> simples[] = {
        {"NumeroSerieECF", [&] { return p.numeroSerie; }},
        {"NumeroSerieMFD", [&] { return p.numeroSerieMFD; }},
        {"VersaoSW", [&] { return p.versaoSW; }},
        {"Marca", [&] { return p.marca; }},
        {"Modelo", [&] { return p.modelo; }},
        {"TipoECF", [&] { return p.tipoEcf; }},
        {"CNPJ", [&] { return p.cnpj; }},
        {"IE", [&] { return p.ie; }},
        {"IM", [&] { return p.im; }},
        {"SimboloMoeda", [&] { return p.simboloMoeda; }},
        {"NomeMoedaSingular", [&] { return p.moedaSingular; }},
        {"NomeMoedaPlural", [&] { return p.moedaPlural; }},
        {"Cliche", [&] { return p.cliche.empty() || p.cliche.back() == '\n' ? p.cliche : p.cliche + "\n"; }},
        {"DadosUltimaReducaoZ", [&] { return p.DadosUltimaReducao(); }},
    };
    for (const auto& [n, f] : simples)
        if (Igual(nome, n)) return ok(f());
    if (Igual(nome, "NomeEstadoFiscal")) {
        const DocumentoAberto& d = p.aberto;
        std::string e = "ESTADO_LIVRE";
        switch (d.tipo) {
            case TipoDocumento::CupomFiscal:
            case TipoDocumento::NaoFiscal:
                e = d.fase == Fase::Venda
                        ? (d.tipo == TipoDocumento::CupomFiscal ? "ESTADO_VENDA" : "ESTADO_VENDA_NFISCAL")
                    : d.fase == Fase::Totalizando ? "ESTADO_TOTALIZANDO"
                                                  : "ESTADO_PAGAMENTO";
                break;
            case TipoDocumento::Gerencial:
                e = "ESTADO_GERENCIAL";
                break;
            case TipoDocumento::CreditoDebito:
                e = "ESTADO_VINCULADO";
                break;
            default:
                if (ZPendente())
                    e = "ESTADO_REDUCAOZ_PENDENTE";
                else if (DiaFechadoHoje())
                    e = "ESTADO_DIA_FECHADO";
        }
        return ok(e);
    }
    if (Igual(nome, "CMC7Documento")) {
        if (!p.chequeInserido) Recusa(erro::kDocumentoNaoAberto, "ChequeAusente", "Nao ha cheque inserido");
        return ok(p.cmc7);
    }
    Inexistente(nome);
}

Resposta Comandos::LeData() {
    std::string nome = a.Texto("NomeData");
    int i = -1;
    std::string b = Base(nome, i);
    auto ok = [](const DataHora& d) { return Resposta{0, "ValorData=#" + d.Data() + "#"}; };
    if (i == -1) {
        if (Igual(b, "Data")) return ok(p.Agora());
        if (Igual(b, "DataAbertura")) return ok(p.movimentoAberto ? p.dataAbertura : p.Agora());
        if (Igual(b, "DataUltimoDoc"))
            return ok(p.ultimoDocumento == TipoDocumento::Nenhum ? p.Agora() : p.dataUltimoDocumento);
        if (Igual(b, "DataUltimaReducao")) {
            if (p.memoriaFiscal.empty())
                Recusa(erro::kSemDados, "ReducaoInexistente", "Nenhuma reducao Z emitida");
            return ok(p.memoriaFiscal.back().emissao);
        }
        Inexistente(nome);
    }
    if (Igual(b, "DataReducao")) return ok(Reducao(p, nome, i).emissao);
    if (Igual(b, "DataMovimentoReducao")) return ok(Reducao(p, nome, i).movimento);
    Inexistente(nome);
}

Resposta Comandos::LeHora() {
    std::string nome = a.Texto("NomeHora");
    int i = -1;
    std::string b = Base(nome, i);
    auto ok = [](const DataHora& d) { return Resposta{0, "ValorHora=#" + d.Hora() + "#"}; };
    if (i == -1) {
        if (Igual(b, "Hora")) return ok(p.Agora());
        if (Igual(b, "HoraUltimoDoc"))
            return ok(p.ultimoDocumento == TipoDocumento::Nenhum ? p.Agora() : p.dataUltimoDocumento);
        if (Igual(b, "HoraUltimaReducao")) {
            if (p.memoriaFiscal.empty())
                Recusa(erro::kSemDados, "ReducaoInexistente", "Nenhuma reducao Z emitida");
            return ok(p.memoriaFiscal.back().emissao);
        }
        Inexistente(nome);
    }
    if (Igual(b, "HoraReducao")) return ok(Reducao(p, nome, i).emissao);
    Inexistente(nome);
}

Resposta Comandos::LeIndicador() {
    std::string nome = a.Texto("NomeIndicador");
    int i = -1;
    std::string b = Base(nome, i);
    auto ok = [](bool v) { return Resposta{0, ValorIndicador(v ? 1 : 0)}; };
    if (i == -1) {
        const std::pair<const char*, std::function<bool()>> simples[] = {
            {"SemPapel", [&] { return p.semPapel; }},
            {"SensorPoucoPapel", [&] { return p.poucoPapel; }},
            {"SensorGaveta", [&] { return p.gavetaAberta; }},
            {"HorarioVerao", [&] { return p.horarioVerao; }},
            {"DiaFechado", [&] { return DiaFechadoHoje(); }},
            {"ZPendente", [&] { return ZPendente(); }},
            {"IntervencaoTecnica", [&] { return p.intervencaoTecnica; }},
            {"SensorCheque", [&] { return p.chequeInserido; }},
            {"DocumentoAberto", [&] { return p.aberto.tipo != TipoDocumento::Nenhum; }},
        };
        for (const auto& [n, f] : simples)
            if (Igual(b, n)) return ok(f());
        Inexistente(nome);
    }
    int slot = Slot(b, "Aliquota", "ICMSReducao");
    if (slot >= 0) return ok(Reducao(p, nome, i).aliquotas[static_cast<std::size_t>(slot)].icms);
    if (Igual(b, "AliquotaICMS")) return ok(p.aliquotas[static_cast<std::size_t>(Faixa(nome, i, 16))].icms);
    Inexistente(nome);
}

Resposta Comandos::EscreveInteiro() {
    std::string nome = a.Texto("NomeInteiro");
    std::int64_t v = a.Inteiro("ValorInteiro");
    auto faixa = [&](std::int64_t min, std::int64_t max) {
        if (v < min || v > max)
            Recusa(erro::kParametroInvalido, "ValorForaDaFaixa", "Valor fora da faixa para " + nome);
        return static_cast<int>(v);
    };
    if (Igual(nome, "EspacamentoDocumentos"))
        p.espacamentoDocumentos = faixa(0, 30 * 30);
    else if (Igual(nome, "EspacamentoLinhas"))
        p.espacamentoLinhas = faixa(0, 255);
    else if (Igual(nome, "ImprimeItem1Linha"))
        p.imprimeItem1Linha = faixa(0, 1);
    else if (Igual(nome, "Arredondamento")) {
        if (p.aberto.tipo != TipoDocumento::Nenhum)
            Recusa(erro::kDocumentoAberto, "DocumentoAberto",
                   "Arredondamento nao pode mudar com documento aberto");
        p.arredondamento = faixa(0, 1);
    } else if (Igual(nome, "BaudRate")) {
        if (v != 9600 && v != 19200 && v != 38400 && v != 57600 && v != 115200)
            Recusa(erro::kParametroInvalido, "BaudRateInvalido", "Velocidade nao suportada");
        p.baudRate = static_cast<int>(v);
    } else {
        Inexistente(nome);
    }
    return {};
}

Resposta Comandos::EscreveTexto() {
    std::string nome = a.Texto("NomeTexto");
    std::string v = a.Texto("ValorTexto");
    if (Igual(nome, "SimboloMoeda")) {
        if (v.empty() || v.size() > 4)
            Recusa(erro::kParametroInvalido, "SimboloInvalido", "Simbolo da moeda com 1 a 4 caracteres");
        p.simboloMoeda = v;
    } else if (Igual(nome, "NomeMoedaSingular") || Igual(nome, "NomeMoedaPlural")) {
        if (v.empty() || v.size() > 20)
            Recusa(erro::kParametroInvalido, "NomeInvalido", "Nome da moeda com 1 a 20 caracteres");
        (Igual(nome, "NomeMoedaSingular") ? p.moedaSingular : p.moedaPlural) = v;
    } else {
        Inexistente(nome);
    }
    return {};
}

// --- tables --------------------------------------------------------------------------------------

namespace {
std::int64_t Codigo(const Args& a, const char* nome, std::int64_t min, std::int64_t max) {
    std::int64_t c = a.Inteiro(nome);
    if (c < min || c > max)
        Recusa(erro::kParametroInvalido, "CodigoInvalido", std::string("Codigo fora da faixa em ") + nome);
    return c;
}
}  // namespace

Resposta Comandos::LeAliquota() {
    int slot = -1;
    if (a.Tem("CodAliquotaProgramavel")) {
        slot = static_cast<int>(Codigo(a, "CodAliquotaProgramavel", 0, 15));
    } else {
        std::int64_t perc = a.Decimal("PercentualAliquota", 2);
        for (int k = 0; k < 16 && slot < 0; ++k)
            if (p.aliquotas[k].programada && p.aliquotas[k].percentual == perc) slot = k;
    }
    if (slot < 0 || !p.aliquotas[static_cast<std::size_t>(slot)].programada)
        Recusa(erro::kAliquotaNaoProgramada, "AliquotaNaoProgramada", "Aliquota nao programada");
    const Aliquota& al = p.aliquotas[static_cast<std::size_t>(slot)];
    return {0, "AliquotaICMS=" + SimNao(al.icms) + " CodAliquotaProgramavel=" + std::to_string(slot) +
                   " DescricaoAliquota=" + Aspas(al.descricao) +
                   " PercentualAliquota=" + Percentual(al.percentual)};
}

Resposta Comandos::LeMeioPagamento() {
    int f = FormaPorParametros("CodMeioPagamentoProgram", "NomeMeioPagamento", true);
    const MeioPagamento& m = f == -2 ? p.dinheiro : p.meiosPagamento[static_cast<std::size_t>(f)];
    return {0, "CodMeioPagamentoProgram=" + std::to_string(f) +
                   " DescricaoMeioPagamento=" + Aspas(m.descricao) + " NomeMeioPagamento=" + Aspas(m.nome) +
                   " PermiteVinculado=" + SimNao(m.permiteVinculado)};
}

int Comandos::NaoFiscalPedido() {
    int cod = -1;
    if (a.Tem("CodNaoFiscal")) {
        cod = static_cast<int>(Codigo(a, "CodNaoFiscal", 0, 14));
    } else {
        std::string n = Maiusculas(Apara(a.Texto("NomeNaoFiscal")));
        for (int k = 0; k < 15 && cod < 0; ++k)
            if (p.naoFiscais[k].programado && Maiusculas(p.naoFiscais[k].nome) == n) cod = k;
    }
    if (cod < 0 || !p.naoFiscais[static_cast<std::size_t>(cod)].programado)
        Recusa(erro::kAliquotaNaoProgramada, "TotalizadorNaoProgramado",
               "Totalizador nao fiscal nao programado");
    return cod;
}

Resposta Comandos::LeNaoFiscal() {
    const int cod = NaoFiscalPedido();
    const TotalizadorNaoFiscal& t = p.naoFiscais[static_cast<std::size_t>(cod)];
    return {0, "CodNaoFiscal=" + std::to_string(cod) + " DescricaoNaoFiscal=" + Aspas(t.descricao) +
                   " NomeNaoFiscal=" + Aspas(t.nome) + " TipoNaoFiscal=" + SimNao(t.entrada)};
}

Resposta Comandos::LeGerencial() {
    int cod = -1;
    if (a.Tem("CodGerencial")) {
        cod = static_cast<int>(Codigo(a, "CodGerencial", 0, 19));
    } else {
        std::string n = Maiusculas(Apara(a.Texto("NomeGerencial")));
        for (int k = 0; k < 20 && cod < 0; ++k)
            if (p.gerenciais[k].programado && Maiusculas(p.gerenciais[k].nome) == n) cod = k;
    }
    if (cod < 0 || !p.gerenciais[static_cast<std::size_t>(cod)].programado)
        Recusa(erro::kGerencialIndisponivel, "GerencialNaoProgramado", "Relatorio gerencial nao programado");
    return {0, "CodGerencial=" + std::to_string(cod) +
                   " NomeGerencial=" + Aspas(p.gerenciais[static_cast<std::size_t>(cod)].nome)};
}

Resposta Comandos::LeDepartamento() {
    int cod = -1;
    if (a.Tem("CodDepartamento")) {
        cod = static_cast<int>(Codigo(a, "CodDepartamento", 0, 19));
    } else {
        std::string n = Maiusculas(Apara(a.Texto("NomeDepartamento")));
        for (int k = 0; k < 20 && cod < 0; ++k)
            if (p.departamentos[k].programado && Maiusculas(p.departamentos[k].nome) == n) cod = k;
    }
    if (cod < 0 || !p.departamentos[static_cast<std::size_t>(cod)].programado)
        Recusa(erro::kDepartamentoNaoProgramado, "DepartamentoNaoProgramado", "Departamento nao programado");
    return {0, "CodDepartamento=" + std::to_string(cod) +
                   " NomeDepartamento=" + Aspas(p.departamentos[static_cast<std::size_t>(cod)].nome)};
}

}  // namespace emulador
