#include "driver/protocols/familia0/f0_relatorios.h"

#include <algorithm>
#include <array>

#include "driver/core/configuracao.h"
#include "driver/core/erros.h"
#include "driver/core/exportacao.h"
#include "driver/core/formatadores.h"
#include "driver/core/registro.h"
#include "driver/protocols/familia0/f0_captura.h"
#include "driver/protocols/familia0/f0_leituras.h"
#include "driver/protocols/familia0/parametros.h"
#include "driver/protocols/familias.h"
#include "platform/arquivo.h"
#include "platform/pastas.h"

namespace tarvo {

namespace {

// Fields of the reduction text: position (from 1) and width.
struct Corte {
    std::size_t posicao, largura;
};
constexpr std::array<Corte, 16> kCortes = {{{1, 2},
                                            {3, 18},
                                            {21, 14},
                                            {35, 14},
                                            {49, 64},
                                            {113, 266},
                                            {379, 14},
                                            {393, 14},
                                            {407, 126},
                                            {533, 36},
                                            {569, 6},
                                            {575, 6},
                                            {581, 2},
                                            {583, 6},
                                            {589, 14},
                                            {603, 14}}};
constexpr std::size_t kTotalizadoresParciais = 19;
constexpr std::size_t kLarguraTotalizador = 14;
constexpr std::size_t kLarguraRelatorio = 48;
constexpr std::size_t kLarguraSintegra = 126;
constexpr int kAliquotas = 16;
// The configuration report goes out in pieces that the printer's text command takes.
constexpr std::size_t kLimitePeca = 493;
const char* const kVersaoBiblioteca = "1.0.0.22";

// The twelve amounts of the MFD record, in their order there.
const char* const kTotaisMFD[] = {"TotalAliquotaI1",  "TotalAliquotaN1",   "TotalAliquotaF1",
                                  "TotalAliquotaIS1", "TotalAliquotaNS1",  "TotalAliquotaFS1",
                                  "Descontos",        "DescontosISSQN",    "Acrescimos",
                                  "AcrescimosISSQN",  "CancelamentosICMS", "CancelamentosISSQN"};

std::string Campo(const std::string& r, int n) {
    return CamposReducao(r)[static_cast<std::size_t>(n - 1)];
}

std::string Trecho(const std::string& t, std::size_t inicio, std::size_t n) {
    return inicio < t.size() ? t.substr(inicio, n) : std::string();
}

std::string Rotulada(const std::string& rotulo, const std::string& valor) {
    return AlinhaTexto(rotulo, valor, static_cast<int>(kLarguraRelatorio));
}

std::string Dinheiro(std::int64_t centavos) {
    return FormataDuasDecimais(std::to_string(centavos));
}

// dd/mm/yy of a ddmmyy text.
std::string DataBarras(const std::string& ddmmaa) {
    const std::string d = PreencheZerosEsquerda(ddmmaa, 6);
    return d.substr(0, 2) + "/" + d.substr(2, 2) + "/" + d.substr(4, 2);
}

std::string Nn(int n) {
    return PreencheZerosEsquerda(std::to_string(n), 2);
}

// A report file written line by line: the lines already written stay when a reading
// fails half-way.
class Arquivo {
  public:
    explicit Arquivo(std::string nome) : nome_(std::move(nome)) { GravaArquivo(nome_, ""); }
    void Linha(const std::string& texto) { GravaLinhaArquivo(nome_, texto); }
    const std::string& Nome() const { return nome_; }

  private:
    std::string nome_;
};

int LeReducao(std::string& r) {
    int x = EnviaComandoTxt("LeTexto", "NomeTexto=\"DadosUltimaReducaoZ\"");
    r = x == 1 ? Resposta().ValorResposta : std::string();
    return x;
}

// An amount by name in cents (the engine's value of the reply).
int LeMoedaNome(const std::string& nome, std::string& valor) {
    int r = EnviaComandoTxt("LeMoeda", "NomeDadoMonetario=" + Aspas(nome));
    valor = r == 1 ? Resposta().ValorResposta : std::string();
    return r;
}

// An amount by name as the printer wrote it (the text after "=" of the reply).
int LeMoedaTexto(const std::string& nome, std::string& valor) {
    int r = EnviaComandoTxt("LeMoeda", "NomeDadoMonetario=" + Aspas(nome));
    const std::string& dados = Resposta().DadosResposta;
    std::size_t igual = dados.find('=');
    valor = r == 1 && igual != std::string::npos ? dados.substr(igual + 1) : std::string();
    return r;
}

int LeInteiroNome(const std::string& nome, std::string& valor) {
    int r = EnviaComandoTxt("LeInteiro", "NomeInteiro=" + Aspas(nome));
    valor = r == 1 ? Resposta().ValorResposta : std::string();
    return r;
}

int CooDaReducao(std::int64_t n, std::string& coo) {
    return LeInteiroNome("COOReducao[" + std::to_string(n) + "]", coo);
}

std::string DaReducao(const std::string& nome, const std::string& crz) {
    return nome + "Reducao[" + crz + "]";
}

// One rate slot of a reduction: the rate (4 digits), its total, and whether it is ICMS.
struct Aliquota {
    std::string taxa, total;
    bool icms = false;
};
int LeAliquota(int nn, const std::string& crz, bool comTipo, Aliquota& a) {
    std::string taxa;
    int r = LeMoedaNome(DaReducao("Aliquota" + Nn(nn), crz), taxa);
    if (r != 1) return r;
    a.taxa = PreencheZerosEsquerda(taxa, 4);
    r = LeMoedaNome(DaReducao("TotalAliquota" + Nn(nn), crz), a.total);
    if (r != 1 || !comTipo) return r;
    r = EnviaComandoTxt("LeIndicador",
                        "NomeIndicador=" + Aspas("Aliquota" + Nn(nn) + "ICMS" + DaReducao("", crz)));
    a.icms = r == 1 && Resposta().ValorResposta == "11";
    return r;
}

// The identification of the last reduction that the master report and the SINTEGRA
// records share.
struct Identificacao {
    std::string serie, ecf, cro, crz, cooInicial, cooFinal;
};
int LeIdentificacao(Identificacao& id) {
    int r;
    if ((r = LeRegistradorTxt(0, id.serie)) != 1) return r;
    if ((r = LeRegistradorTxt(14, id.ecf)) != 1) return r;
    if ((r = LeRegistradorTxt(10, id.cro)) != 1) return r;
    if ((r = LeRegistradorTxt(9, id.crz)) != 1) return r;
    const std::int64_t crz = ParaInteiro64(id.crz, 0);
    if ((r = CooDaReducao(crz, id.cooFinal)) != 1) return r;
    id.cooInicial.clear();
    if (crz - 1 > 0) {
        std::string anterior;
        if ((r = CooDaReducao(crz - 1, anterior)) != 1) return r;
        id.cooInicial = std::to_string(ParaInteiro64(anterior, 0) + 1);
    }
    return 1;
}

std::string ArquivoNoPath(const char* nome) {
    return plataforma::ArquivoNaPasta(Config().Path, nome);
}

}  // namespace

std::vector<std::string> CamposReducao(const std::string& reducao) {
    std::vector<std::string> campos;
    campos.reserve(kCortes.size());
    for (const Corte& c : kCortes) campos.push_back(Trecho(reducao, c.posicao - 1, c.largura));
    return campos;
}

std::int64_t Centavos(const std::string& valor) {
    return ParaInteiro64(SomenteNumeros(valor), 0);
}

std::int64_t SomaTotalizadores(const std::string& reducao) {
    auto valor = [&](std::size_t posicao) -> std::int64_t {
        std::string t = Trecho(reducao, posicao - 1, kLarguraTotalizador);
        return !t.empty() && EhNumerico(t) ? ParaInteiro64(t, 0) : 0;
    };
    std::int64_t soma = valor(21) + valor(35);
    for (std::size_t k = 0; k < kTotalizadoresParciais; ++k) soma += valor(113 + k * kLarguraTotalizador);
    return soma;
}

std::string Linha60M(const std::string& dataDdmmaa, const std::string& serie, const std::string& ecf,
                     const std::string& cooInicial, const std::string& cooFinal, const std::string& crz,
                     const std::string& cro, std::int64_t vendaBruta, const std::string& grandeTotal) {
    const std::string d = PreencheZerosEsquerda(dataDdmmaa, 6);
    std::string l =
        "60M20" + d.substr(4, 2) + d.substr(2, 2) + d.substr(0, 2) + PreencheEspacosDireita(serie, 20) +
        PreencheZerosEsquerda(ecf, 3) + "2D" + PreencheZerosEsquerda(cooInicial, 6) +
        PreencheZerosEsquerda(cooFinal, 6) + PreencheZerosEsquerda(crz, 6) + PreencheZerosEsquerda(cro, 3) +
        PreencheZerosEsquerda(std::to_string(vendaBruta), 16) + PreencheZerosEsquerda(grandeTotal, 16);
    l.resize(kLarguraSintegra, ' ');
    return l;
}

std::string Linha60A(const std::string& dataDdmmaa, const std::string& serie, const std::string& codigo,
                     const std::string& valor) {
    const std::string d = PreencheZerosEsquerda(dataDdmmaa, 6);
    std::string l = "60A20" + d.substr(4, 2) + d.substr(2, 2) + d.substr(0, 2) +
                    PreencheEspacosDireita(serie, 20) + PreencheEspacosDireita(codigo, 4) +
                    PreencheZerosEsquerda(valor, 12);
    l.resize(kLarguraSintegra, ' ');
    return l;
}

int InicioFimGTs(std::string& inicial, std::string& final) {
    inicial.clear();
    final.clear();
    int r = EnviaComandoTxt("LeMoeda", "NomeDadoMonetario=\"GTInicial\"");
    if (r != 1) return r;
    inicial = Resposta().ValorResposta;
    return LeRegistradorTxt(3, final);
}

int InicioFimCOOs(std::string& inicial, std::string& final) {
    inicial.clear();
    final.clear();
    int r = LeInteiroNome("COOInicioDia", inicial);
    if (r != 1) return r;
    return LeRegistradorTxt(6, final);
}

int RixDadosUltimaReducao(std::string& registro) {
    std::string r;
    int x = LeReducao(r);
    if (x != 1) return x;
    GravaLog("Lendo os Dados da \xDAltima Redu\xE7\xE3o Z");
    const std::vector<std::string> campo = CamposReducao(r);

    // The reduction's own detail-tape copy carries the counters the printer keeps no
    // reading for; when it cannot be had those fields stay empty.
    const std::string& coo = campo[10];
    std::string t;
    if (EnviaComandoTxt("EmiteLeituraFitaDetalhe",
                        "COOInicial=" + coo + " COOFinal=" + coo + " Destino=\"S\"") == 1 &&
        CapturaImpressao() == 1) {
        t = LeArquivo(ArquivoImpr());
        t.erase(std::remove_if(t.begin(), t.end(), [](char c) { return c == '\r' || c == '\n'; }), t.end());
    }
    std::string cro, crz, v93, v141, v191, v237, v287, v335, comprovante;
    if (t.find("Geral de Opera") != std::string::npos) {
        std::size_t q = t.find(
            "Contador de Rein\xA1"
            "cio de Opera");
        if (q != std::string::npos) {
            const std::size_t p = q + 45;
            cro = Trecho(t, p, 3);
            crz = Trecho(t, p + 47, 4);
            v93 = Trecho(t, p + 93, 6);
            v141 = Trecho(t, p + 141, 6);
            v191 = Trecho(t, p + 191, 4);
            v237 = Trecho(t, p + 237, 6);
            v287 = Trecho(t, p + 287, 4);
            v335 = Trecho(t, p + 335, 4);
        }
        std::size_t c = t.find("Comprovante N");
        if (c != std::string::npos) comprovante = Trecho(t, c + 44, 4);
    }

    std::vector<std::string> totais;
    for (const char* nome : kTotaisMFD) {
        std::string valor;
        x = LeMoedaTexto(DaReducao(nome, crz), valor);
        if (x != 1) return x;
        // The printer writes four decimals: without the last two, the digits are cents.
        valor = valor.size() >= 2 ? valor.substr(0, valor.size() - 2) : std::string();
        totais.push_back(PreencheZerosEsquerda(valor, 14));
    }

    const std::string zeros14(14, '0');
    std::vector<std::string> f = {campo[0],
                                  "0" + cro,
                                  crz,
                                  campo[10],
                                  campo[11],
                                  v93,
                                  v237,
                                  v141,
                                  v287,
                                  v335,
                                  std::string(120, '0'),
                                  std::string(120, '0'),
                                  v191,
                                  comprovante,
                                  "0000",
                                  campo[1],
                                  Trecho(campo[5], 0, 224)};
    f.insert(f.end(), totais.begin(), totais.end());
    f.push_back(std::string(392, '0'));
    for (int k = 0; k < 5; ++k) f.push_back(zeros14);
    f.push_back(campo[4]);
    f.push_back(Trecho(r, r.size() >= 34 ? r.size() - 34 : 0, 6));

    registro.clear();
    for (std::size_t k = 0; k < f.size(); ++k) {
        if (k) registro += ',';
        registro += f[k];
    }
    GravaLog("DadosUltimaReducaoMFD=", registro);
    return 1;
}

namespace familia0 {

int Tarvo_RelatorioTipo60Mestre() {
    Identificacao id;
    int r = LeIdentificacao(id);
    if (r != 1) return r;
    Arquivo rel(ArquivoRetorno());
    std::string red;
    if ((r = LeReducao(red)) != 1) return r;
    rel.Linha(Rotulada("Tipo do relatorio         :", "60"));
    rel.Linha(Rotulada("Subtipo                   :", "M"));
    rel.Linha(Rotulada("Data de emissao           :", DataBarras(Campo(red, 14))));
    rel.Linha(Rotulada("Numero de serie           :", id.serie));
    rel.Linha(Rotulada("N\xFAmero do equipamento     :", PreencheZerosEsquerda(id.ecf, 4)));
    rel.Linha(Rotulada("Modelo do documento fiscal:", "2D"));
    rel.Linha(Rotulada("COO Inicial               :", PreencheZerosEsquerda(id.cooInicial, 6)));
    rel.Linha(Rotulada("COO Final                 :", PreencheZerosEsquerda(id.cooFinal, 6)));
    rel.Linha(Rotulada("Contador de reducoes      :", PreencheZerosEsquerda(id.crz, 4)));
    rel.Linha(Rotulada("Reinicio de Operacao      :", PreencheZerosEsquerda(id.cro, 4)));
    rel.Linha(Rotulada("Venda Bruta               :", Dinheiro(SomaTotalizadores(red))));
    rel.Linha(Rotulada("Totalizador geral         :", FormataDuasDecimais(Campo(red, 2))));
    return 1;
}

int Tarvo_RelatorioTipo60Analitico() {
    std::string crz;
    int r = LeRegistradorTxt(9, crz);
    if (r != 1) return r;
    Arquivo rel(ArquivoRetorno());
    std::string red;
    if ((r = LeReducao(red)) != 1) return r;
    rel.Linha(Rotulada("Tipo do relatorio         :", "60"));
    rel.Linha(Rotulada("Subtipo                   :", "A"));
    rel.Linha(Rotulada("Data de emissao           :", DataBarras(Campo(red, 14))));
    std::string serie;
    if ((r = LeRegistradorTxt(0, serie)) != 1) return r;
    rel.Linha(Rotulada("Numero de serie           :", serie));

    static const std::pair<const char*, const char*> kValores[] = {
        {"CancelamentosICMS", "Cancelamentos ICMS        :"},
        {"CancelamentosISSQN", "Cancelamentos ISS         :"},
        {"Descontos", "Descontos                 :"},
        {"TotalAliquotaF1", "F                         :"},
        {"TotalAliquotaI1", "I                         :"},
        {"TotalAliquotaN1", "N                         :"},
        {"TotalAliquotaFS1", "FS                        :"},
        {"TotalAliquotaIS1", "IS                        :"},
        {"TotalAliquotaNS1", "NS                        :"}};
    for (const auto& [nome, rotulo] : kValores) {
        std::string valor;
        if ((r = LeMoedaNome(DaReducao(nome, crz), valor)) != 1) return r;
        rel.Linha(Rotulada(rotulo, FormataDuasDecimais(valor)));
    }
    for (int nn = 0; nn < kAliquotas; ++nn) {
        Aliquota a;
        if ((r = LeAliquota(nn, crz, false, a)) != 1) return r;
        if (a.taxa != "0000")
            rel.Linha(Rotulada(a.taxa + std::string(22, ' ') + ":", FormataDuasDecimais(a.total)));
    }
    return 1;
}

int Tarvo_RegistrosTipo60() {
    Identificacao id;
    int r = LeIdentificacao(id);
    if (r != 1) return r;
    std::string red;
    if ((r = LeReducao(red)) != 1) return r;
    Arquivo rel(ArquivoRetorno());
    const std::string data = Campo(red, 14);
    rel.Linha(Linha60M(data, id.serie, id.ecf, id.cooInicial, id.cooFinal, id.crz, id.cro,
                       SomaTotalizadores(red), Campo(red, 2)));

    static const std::pair<const char*, const char*> kValores[] = {
        {"CancelamentosICMS", "CANC"}, {"Descontos", "DESC"},     {"TotalAliquotaF1", "F"},
        {"TotalAliquotaI1", "I"},      {"TotalAliquotaN1", "N"},  {"TotalAliquotaFS1", "FS"},
        {"TotalAliquotaIS1", "IS"},    {"TotalAliquotaNS1", "NS"}};
    for (const auto& [nome, codigo] : kValores) {
        std::string valor;
        if ((r = LeMoedaNome(DaReducao(nome, id.crz), valor)) != 1) return r;
        rel.Linha(Linha60A(data, id.serie, codigo, valor));
    }
    std::int64_t iss = 0;
    for (int nn = 0; nn < kAliquotas; ++nn) {
        Aliquota a;
        if ((r = LeAliquota(nn, id.crz, true, a)) != 1) return r;
        if (!a.icms)
            iss += Centavos(a.total);
        else if (a.taxa != "0000")
            rel.Linha(Linha60A(data, id.serie, a.taxa, a.total));
    }
    if (iss != 0) rel.Linha(Linha60A(data, id.serie, "ISS ", std::to_string(iss)));
    return 1;
}

int Tarvo_MapaResumo() {
    std::string crz;
    int r = LeRegistradorTxt(9, crz);
    if (r != 1) return r;
    Arquivo dat(ArquivoNoPath("RETORNO.DAT"));
    dat.Linha(Rotulada("Contador de Reducao Z..:", crz));
    std::string coo;
    if ((r = CooDaReducao(ParaInteiro64(crz, 0), coo)) != 1) return r;
    dat.Linha(Rotulada("COO....................:", PreencheZerosEsquerda(coo, 6)));
    dat.Linha(Rotulada("Venda Bruta............:", "0,00"));

    auto le = [&](const char* nome, std::int64_t& valor) {
        std::string texto;
        int x = LeMoedaNome(DaReducao(nome, crz), texto);
        valor = Centavos(texto);
        return x;
    };
    std::int64_t cancIcms = 0, cancIss = 0, descontos = 0, f = 0, i = 0, n = 0, fs = 0, is = 0, ns = 0;
    if ((r = le("CancelamentosICMS", cancIcms)) != 1 || (r = le("CancelamentosISSQN", cancIss)) != 1)
        return r;
    dat.Linha(Rotulada("Cancelamentos..........:", Dinheiro(cancIcms + cancIss)));
    if ((r = le("Descontos", descontos)) != 1) return r;
    dat.Linha(Rotulada("Descontos..............:", Dinheiro(descontos)));
    if ((r = le("TotalAliquotaF1", f)) != 1) return r;
    dat.Linha(Rotulada("Substitui\xE7\xE3o Tribut\xE1ria:", Dinheiro(f)));
    if ((r = le("TotalAliquotaI1", i)) != 1) return r;
    dat.Linha(Rotulada("Isen\xE7\xE3o................:", Dinheiro(i)));
    if ((r = le("TotalAliquotaN1", n)) != 1) return r;
    dat.Linha(Rotulada("N\xE3o Incid\xEAncia.........:", Dinheiro(n)));
    if ((r = le("TotalAliquotaFS1", fs)) != 1 || (r = le("TotalAliquotaIS1", is)) != 1 ||
        (r = le("TotalAliquotaNS1", ns)) != 1)
        return r;

    // Sums in cents, 64-bit.
    std::int64_t liquida = f + i + n;
    std::int64_t iss = fs + is + ns;
    const std::int64_t cancelamentosDescontos = cancIcms + cancIss + descontos;
    for (int nn = 0; nn < kAliquotas; ++nn) {
        Aliquota a;
        if ((r = LeAliquota(nn, crz, true, a)) != 1) return r;
        if (a.icms) {
            liquida += Centavos(a.total);
            if (a.taxa != "0000")
                dat.Linha(Rotulada(a.taxa + "...................:", FormataDuasDecimais(a.total)));
        } else {
            iss += Centavos(a.total);
        }
    }
    const std::int64_t bruta = cancelamentosDescontos + liquida + iss;

    // RETORNO.TXT: the lines of RETORNO.DAT without its place-holder, with the sums.
    std::string saida;
    int k = 0;
    const std::string conteudo = LeArquivo(dat.Nome());
    std::size_t inicio = 0;
    while (inicio < conteudo.size()) {
        std::size_t fim = conteudo.find("\r\n", inicio);
        if (fim == std::string::npos) fim = conteudo.size();
        const std::string linha = conteudo.substr(inicio, fim - inicio);
        inicio = fim + 2;
        ++k;
        if (k != 3) saida += linha + "\r\n";
        if (k == 2) saida += Rotulada("Venda Bruta............:", Dinheiro(bruta)) + "\r\n";
        if (k == 3) saida += Rotulada("Venda Liquida..........:", Dinheiro(liquida)) + "\r\n";
        if (k == 4) saida += Rotulada("Acr\xE9scimos.............:", "0,00") + "\r\n";
        if (k == 5) saida += Rotulada("ISS....................:", Dinheiro(iss)) + "\r\n";
    }
    plataforma::SubstituiArquivo(ArquivoRetorno(), saida);  // replaced whole, never seen empty
    ApagaArquivo(dat.Nome());
    return 1;
}

int Tarvo_FechamentoDoDia() {
    std::string gtInicial, gtFinal, cooInicial, cooFinal;
    int r = InicioFimGTs(gtInicial, gtFinal);
    if (r != 1) return r;
    if ((r = InicioFimCOOs(cooInicial, cooFinal)) != 1) return r;
    r = RixReducaoZ("");
    if (r != 1) return r;
    const std::string arquivo = ArquivoNoPath("60M.TXT");
    if (!GravaArquivo(arquivo, PreencheZerosEsquerda(cooInicial, 6) + "\r\n" +
                                   PreencheZerosEsquerda(cooFinal, 6) + "\r\n" +
                                   PreencheZerosEsquerda(gtInicial, 18) + "\r\n" +
                                   PreencheZerosEsquerda(gtFinal, 18) + "\r\n")) {
        // The day is closed all the same; the missing file is reported, not a failed closing.
        DefineErro(Falha::GravacaoArquivo, arquivo);
        GravaLog("---[", Erro().UltimaMensagem, "]---");
    }
    return 1;
}

int Tarvo_DadosUltimaReducao(char* /*strRetorno*/) {
    Erro().TextoRetorno = std::string(632, ' ');
    std::string red;
    int r = LeReducao(red);
    if (r != 1) return r;
    std::string texto;
    const std::vector<std::string> campos = CamposReducao(red);
    for (std::size_t k = 0; k < campos.size(); ++k) {
        if (k) texto += ',';
        texto += campos[k];
    }
    Erro().TextoRetorno = texto;
    return 1;
}

int Tarvo_DadosUltimaReducaoMFD(char* strRetorno) {
    std::string registro;
    int r = RixDadosUltimaReducao(registro);
    if (r != 1) return r;
    Erro().TextoRetorno = registro;
    TARVO_DEVOLVE(Tarvo_DadosUltimaReducaoMFD, strRetorno);
    return 1;
}

int Tarvo_GrandeTotalUltimaReducaoMFD(char* /*cGT*/) {
    std::string red;
    int r = LeReducao(red);
    if (r == 1) Erro().TextoRetorno = Campo(red, 2);
    return r;
}

int Tarvo_DataMovimentoUltimaReducaoMFD(char* /*cDataMovimento*/) {
    std::string registro;
    int r = RixDadosUltimaReducao(registro);
    if (r == 1) Erro().TextoRetorno = ParteDireita(registro, 6);
    return r;
}

namespace {
// Both values go back (zero-padded by the hand-back) also after a failure: zeros then.
int DevolveInicioFim(int (*le)(std::string&, std::string&)) {
    std::string inicial, final;
    int r = le(inicial, final);
    Erro().TextoRetorno = inicial;
    Erro().TextoValor = final;
    return r;
}
}  // namespace

int Tarvo_InicioFimGTsMFD(char* /*cGTInicial*/, char* /*cGTFinal*/) {
    return DevolveInicioFim(&InicioFimGTs);
}

int Tarvo_InicioFimCOOsMFD(char* /*cCOOIni*/, char* /*cCOOFim*/) {
    return DevolveInicioFim(&InicioFimCOOs);
}

int Tarvo_ImprimeConfiguracoesImpressora() {
    std::string serie, versao, data, hora, loja, ecf, moeda, arredondamento;
    int r;
    if ((r = LeRegistradorTxt(0, serie)) != 1) return r;
    if ((r = LeRegistradorTxt(1, versao)) != 1) return r;
    if ((r = EnviaComandoTxt("LeData", "NomeData=\"Data\"")) != 1) return r;
    const std::string d = PreencheZerosEsquerda(Resposta().ValorResposta, 8);
    data = d.substr(0, 2) + "/" + d.substr(2, 2) + "/" + d.substr(6, 2);
    if ((r = EnviaComandoTxt("LeHora", "NomeHora=\"Hora\"")) != 1) return r;
    const std::string h = PreencheZerosEsquerda(Resposta().ValorResposta, 6);
    hora = h.substr(0, 2) + ":" + h.substr(2, 2) + ":" + h.substr(4, 2);
    if ((r = LeRegistradorTxt(15, loja)) != 1) return r;
    if ((r = LeRegistradorTxt(14, ecf)) != 1) return r;
    if ((r = LeRegistradorTxt(115, moeda)) != 1) return r;
    if ((r = LeRegistradorTxt(114, arredondamento)) != 1) return r;
    int flags = 0;
    if ((r = familia0::Tarvo_FlagsFiscais(&flags)) != 1) return r;

    const std::vector<std::string> linhas = {
        Rotulada("Data da impressora:", data),
        Rotulada("Hora da impressora:", hora),
        Rotulada("Versao do firmware:", versao),
        Rotulada("Numero de serie", serie),
        Rotulada("Numero da loja", loja),
        Rotulada("Numero do caixa", ecf),
        Rotulada("Simbolo da moeda", moeda),
        Rotulada("Modo de operacao", arredondamento == "1" ? "Truncamento" : "Arredondamento"),
        Rotulada("Hor\xE1rio de verao", (flags & 4) ? "SIM" : "NAO"),
        Rotulada("Ja houve reducao Z", (flags & 8) ? "SIM" : "NAO"),
        Rotulada("Memoria fiscal", flags < 0 ? "Sem espaco" : "Com espaco"),
        Rotulada("Versao da dll", kVersaoBiblioteca),
        Rotulada("log da dll", Config().Homologar ? "Habilitado" : "Desabilitado"),
        Rotulada("Tipo Impressora", "Fiscal + Gaveta"),
    };
    std::string peca;
    for (const std::string& linha : linhas) {
        if (!peca.empty() && peca.size() + kLarguraRelatorio >= kLimitePeca) {
            if ((r = familia0::Tarvo_UsaRelatorioGerencialMFD(peca.c_str())) != 1) return r;
            peca.clear();
        }
        peca += linha;
    }
    if (!peca.empty() && (r = familia0::Tarvo_UsaRelatorioGerencialMFD(peca.c_str())) != 1) return r;
    r = familia0::Tarvo_FechaRelatorioGerencial();

    std::string texto;
    for (const std::string& linha : linhas) texto += linha + "\r\n";
    texto += "\r\n";
    GravaArquivo(ArquivoImpr(), texto);
    GravaArquivo(ArquivoImpr2(), texto);
    return r;
}

int Tarvo_DadosSintegra(const char* /*DataInicial*/, const char* /*DataFinal*/) {
    return InformaNaoImplementado(" Tarvo_DadosSintegra");
}

}  // namespace familia0

}  // namespace tarvo
