// What the printer prints: the document head and footer, free text with its barcodes, and the
// bookkeeping shared by every document (COO, movement of the day, day totals).
#include <algorithm>
#include <cstdio>
#include <iterator>

#include "comandos.h"

namespace emulador {

std::string Cp850(std::string_view u) {
    struct Par {
        unsigned char segundo;  // second byte of the UTF-8 sequence after 0xC3 (or 0xC2)
        unsigned char cp850;
    };
    static const Par kC3[] = {{0xA1, 0xA0}, {0xA0, 0x85}, {0xA2, 0x83}, {0xA3, 0xC6}, {0xA9, 0x82},
                              {0xAA, 0x88}, {0xAD, 0xA1}, {0xB3, 0xA2}, {0xB4, 0x93}, {0xB5, 0xE4},
                              {0xBA, 0xA3}, {0xBC, 0x81}, {0xA7, 0x87}, {0x81, 0xB5}, {0x80, 0xB7},
                              {0x82, 0xB6}, {0x83, 0xC7}, {0x89, 0x90}, {0x8A, 0xD2}, {0x8D, 0xD6},
                              {0x93, 0xE0}, {0x94, 0xE2}, {0x95, 0xE5}, {0x9A, 0xE9}, {0x87, 0x80}};
    static const Par kC2[] = {{0xBA, 0xA7}, {0xAA, 0xA6}, {0xB0, 0xF8}};
    std::string r;
    for (std::size_t i = 0; i < u.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(u[i]);
        if ((c == 0xC3 || c == 0xC2) && i + 1 < u.size()) {
            unsigned char s = static_cast<unsigned char>(u[i + 1]);
            bool achou = false;
            const Par* tabela = c == 0xC3 ? kC3 : kC2;
            std::size_t n = c == 0xC3 ? std::size(kC3) : std::size(kC2);
            for (std::size_t k = 0; k < n && !achou; ++k)
                if (tabela[k].segundo == s) {
                    r += static_cast<char>(tabela[k].cp850);
                    achou = true;
                }
            if (achou) {
                ++i;
                continue;
            }
        }
        r += static_cast<char>(c);
    }
    return r;
}

int Largura(std::string_view t) {
    int n = 0;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i] == '\x1b') {
            i += 2;
            continue;
        }
        ++n;
    }
    return n;
}

// --- checks ------------------------------------------------------------------------------------

void Comandos::ExigeNenhumDocumento() const {
    if (p.aberto.tipo != TipoDocumento::Nenhum)
        Recusa(erro::kDocumentoAberto, "DocumentoAberto",
               "Ha um documento em emissao (tipo " + std::to_string(static_cast<int>(p.aberto.tipo)) + ")");
}

void Comandos::ExigeDocumento(TipoDocumento tipo, const char* oQue) const {
    if (p.aberto.tipo != tipo)
        Recusa(erro::kDocumentoNaoAberto, "DocumentoNaoAberto", std::string("Nao ha ") + oQue + " aberto");
}

bool Comandos::ZPendente() const {
    return p.movimentoAberto && p.Agora().Dia() > p.dataAbertura.Dia();
}

bool Comandos::DiaFechadoHoje() const {
    return p.diaFechado >= 0 && p.diaFechado == p.Agora().Dia();
}

void Comandos::ExigeDiaAberto() const {
    if (ZPendente())
        Recusa(erro::kReducaoZPendente, "ReducaoZPendente",
               "Reducao Z do dia " + p.dataAbertura.Data() + " pendente");
    if (DiaFechadoHoje()) Recusa(erro::kDiaFechado, "DiaFechado", "Reducao Z ja emitida hoje");
}

// --- printing ----------------------------------------------------------------------------------

void Comandos::Imprime(Documento& d, bool papel, const std::string& texto, bool negrito) {
    d.linhas.push_back({texto, negrito});
    if (papel) p.papel.push_back(texto);
}

void Comandos::Imprime(int indice, const std::string& texto, bool negrito) {
    Imprime(p.fita[static_cast<std::size_t>(indice)], true, texto, negrito);
}

void Comandos::Cabecalho(Documento& d, const std::string& titulo, const std::string& rotulo, int valor,
                         const DataHora& quando) const {
    const std::string& c = p.cliche;
    std::size_t ini = 0;
    while (ini < c.size()) {
        std::size_t fim = c.find('\n', ini);
        std::string linha = c.substr(ini, fim == std::string::npos ? std::string::npos : fim - ini);
        linha.erase(std::remove(linha.begin(), linha.end(), '\r'), linha.end());
        while (Largura(linha) > kColunas) linha.pop_back();
        d.linhas.push_back({linha, false});
        if (fim == std::string::npos) break;
        ini = fim + 1;
    }
    d.linhas.push_back({"CNPJ:" + p.cnpj + " IE:" + p.ie, false});
    d.linhas.push_back({"IM:" + p.im, false});
    d.linhas.push_back({std::string(kColunas, '-'), false});
    std::string cab = quando.Data() + " " + quando.Hora();
    cab.resize(27, ' ');
    cab += rotulo.empty() ? std::string(10, ' ') : rotulo + Zeros(valor, 6);
    cab += " COO:" + Zeros(d.coo ? d.coo : p.contadores.coo, 6);
    d.linhas.push_back({cab, false});
    if (!titulo.empty()) d.linhas.push_back({Centro(titulo), true});
}

int Comandos::NovoDocumento(TipoDocumento tipo, const std::string& titulo, const std::string& rotulo,
                            int valor) {
    if (tipo != TipoDocumento::CreditoDebito) AntesDeNovoDocumento();
    // The Z reduction closes the day and the fiscal-memory reading stands outside it; every
    // other document opens the movement of the day when it is the first.
    if (tipo != TipoDocumento::ReducaoZ && tipo != TipoDocumento::LeituraMemoriaFiscal) MarcaMovimento();
    Documento d;
    d.coo = ++p.contadores.coo;
    d.tipo = tipo;
    d.inicio = p.Agora();
    Cabecalho(d, titulo, rotulo, valor, d.inicio);
    for (const Linha& l : d.linhas) p.papel.push_back(l.texto);
    p.fita.push_back(std::move(d));
    return static_cast<int>(p.fita.size()) - 1;
}

void Comandos::MarcaMovimento() {
    if (p.movimentoAberto) return;
    p.movimentoAberto = true;
    p.dataAbertura = p.Agora();
    p.cooInicioDia = p.contadores.coo + 1;
    p.gtInicial = p.gt;
}

void Comandos::AntesDeNovoDocumento() {
    // A receipt paid with forms that ask for a bound voucher owes one per form; once another
    // document starts those vouchers can no longer be issued.
    p.contadores.ncn += static_cast<int>(p.vinculadosPendentes.size());
    p.vinculadosPendentes.clear();
}

namespace {
std::string Autenticacao(const std::string& texto) {
    // 27 characters of two FNV-1a hashes of the document text, in base 36 (never "/" or ":",
    // so that the date and time that follow are the only ones on the line).
    static const char kAlfabeto[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::string r;
    for (std::uint64_t semente : {1469598103934665603ULL, 0x84222325CBF29CE4ULL}) {
        std::uint64_t h = semente;
        for (unsigned char c : texto) h = (h ^ c) * 1099511628211ULL;
        for (int i = 0; i < 13; ++i, h /= 36) r += kAlfabeto[h % 36];
    }
    return r + "0";
}
}  // namespace

void Comandos::Rodape(Documento& d, bool papel, bool contadores) {
    d.fim = p.Agora();
    if (contadores) {
        char b[64];
        std::snprintf(b, sizeof b, "GRG:%06d GNF:%06d CDC:%04d", p.contadores.grg % 1000000,
                      p.contadores.gnf % 1000000, p.contadores.cdc % 10000);
        Imprime(d, papel, b);
    }
    Imprime(d, papel, Completa(p.marca, 11) + p.modelo + " " + p.tipoEcf);
    Imprime(d, papel, Cp850("VERSÃO:") + p.versaoSW + " ECF:" + Zeros(p.ecf, 3) + " LJ:" + Zeros(p.loja, 4));
    Imprime(d, papel, Autenticacao(d.Texto()) + " " + d.fim.Data() + " " + d.fim.Hora());
    Imprime(d, papel, Direita("FAB:" + Completa(p.numeroSerie, 20), "BR"));
    d.fechado = true;
    if (papel)
        for (int i = 0; i < p.espacamentoDocumentos / 30; ++i) p.papel.push_back("");
}

void Comandos::Encerra(int indice, bool contadores) {
    Documento& d = p.fita[static_cast<std::size_t>(indice)];
    Rodape(d, true, contadores);
    p.ultimoDocumento = d.tipo;
    p.dataUltimoDocumento = d.fim;
}

// --- free text and barcodes ----------------------------------------------------------------------

namespace {

struct Trecho {
    enum class Tipo { Texto, Barras } tipo = Tipo::Texto;
    std::string texto;
    int simbologia = 0;
};

bool SoDigitos(const std::string& s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Check digit of the EAN/UPC family (weights 3 and 1 from the right).
char DigitoVerificador(const std::string& s) {
    int soma = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        int d = s[s.size() - 1 - i] - '0';
        soma += (i % 2 == 0) ? d * 3 : d;
    }
    return static_cast<char>('0' + (10 - soma % 10) % 10);
}

// Validates the data of GS k m and gives the human-readable text printed with the bars.
bool TextoDasBarras(int m, const std::string& dados, std::string& legivel) {
    static const std::string kCode39 = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ -.$/+%*";
    static const std::string kCodabar = "0123456789ABCDabcd$+-./:";
    legivel = dados;
    switch (m) {
        case 0:  // UPC-A
            if (!SoDigitos(dados) || (dados.size() != 11 && dados.size() != 12)) return false;
            if (dados.size() == 11) legivel += DigitoVerificador(dados);
            return true;
        case 1:  // UPC-E
            return SoDigitos(dados) && dados.size() >= 6 && dados.size() <= 12;
        case 2:  // EAN-13
            if (!SoDigitos(dados) || (dados.size() != 12 && dados.size() != 13)) return false;
            if (dados.size() == 12) legivel += DigitoVerificador(dados);
            return true;
        case 3:  // EAN-8
            if (!SoDigitos(dados) || (dados.size() != 7 && dados.size() != 8)) return false;
            if (dados.size() == 7) legivel += DigitoVerificador(dados);
            return true;
        case 4:  // CODE39
            return !dados.empty() && dados.find_first_not_of(kCode39) == std::string::npos;
        case 5:  // ITF
            return SoDigitos(dados) && dados.size() % 2 == 0;
        case 6:  // CODABAR
            return !dados.empty() && dados.find_first_not_of(kCodabar) == std::string::npos;
        default:
            return false;
    }
}

}  // namespace

void Comandos::TextoLivre(int indice, const std::string& texto) {
    // First pass: cut the text into printable pieces and barcodes, taking the barcode settings,
    // so that a bad barcode refuses the whole command before anything is printed.
    std::vector<Trecho> trechos(1);
    int largura = p.barrasLargura, altura = p.barrasAltura, posicao = p.barrasPosicaoTexto,
        fonte = p.barrasFonte;
    for (std::size_t i = 0; i < texto.size(); ++i) {
        char c = texto[i];
        if (c != '\x1d') {
            trechos.back().texto += c;
            continue;
        }
        if (i + 2 >= texto.size())
            Recusa(erro::kCodigoBarrasInvalido, "SequenciaGSIncompleta", "Sequencia GS incompleta no texto");
        char cmd = texto[i + 1];
        int n = static_cast<unsigned char>(texto[i + 2]);
        i += 2;
        switch (cmd) {
            case 'w':
                largura = n;
                break;
            case 'h':
                altura = n;
                break;
            case 'H':
                posicao = n;
                break;
            case 'f':
                fonte = n;
                break;
            case 'k': {
                std::size_t fim = texto.find('\0', i + 1);
                if (fim == std::string::npos)
                    Recusa(erro::kCodigoBarrasInvalido, "CodigoBarrasSemTerminador",
                           "Dados do codigo de barras sem NUL");
                Trecho t{Trecho::Tipo::Barras, texto.substr(i + 1, fim - i - 1), n};
                std::string legivel;
                if (!TextoDasBarras(n, t.texto, legivel))
                    Recusa(erro::kCodigoBarrasInvalido, "CodigoBarrasInvalido",
                           "Dados invalidos para o codigo de barras tipo " + std::to_string(n));
                trechos.push_back(t);
                trechos.push_back({});
                i = fim;
                break;
            }
            default:
                Recusa(erro::kCodigoBarrasInvalido, "SequenciaGSInvalida", "Sequencia GS desconhecida");
        }
    }
    if (indice < 0) {
        for (const Trecho& t : trechos)
            if (t.tipo == Trecho::Tipo::Barras || !t.texto.empty())
                Recusa(erro::kDocumentoNaoAberto, "DocumentoNaoAberto",
                       "Texto livre so dentro de um documento");
    }
    p.barrasLargura = largura, p.barrasAltura = altura, p.barrasPosicaoTexto = posicao, p.barrasFonte = fonte;

    for (const Trecho& t : trechos) {
        if (t.tipo == Trecho::Tipo::Barras) {
            std::string legivel;
            TextoDasBarras(t.simbologia, t.texto, legivel);
            if (posicao == 1 || posicao == 3) Imprime(indice, Centro(legivel));
            // The bars themselves: a pattern of full blocks (code page 850) drawn from the data.
            std::string barras = "\xDB \xDB";
            for (unsigned char c : t.texto)
                for (int b = 0; b < 4; ++b) barras += ((c * 37 + 11) >> b) & 1 ? '\xDB' : ' ';
            barras += "\xDB \xDB";
            int linhas = std::clamp(altura / 54, 1, 4);
            for (int k = 0; k < linhas; ++k) Imprime(indice, Centro(barras.substr(0, kColunas)));
            if (posicao == 2 || posicao == 3) Imprime(indice, Centro(legivel));
            continue;
        }
        std::string linha;
        for (char c : t.texto) {
            if (c == '\r') continue;
            if (c == '\n') {
                Imprime(indice, linha);
                linha.clear();
                continue;
            }
            linha += c;
            if (Largura(linha) >= kColunas) {
                Imprime(indice, linha);
                linha.clear();
            }
        }
        if (!linha.empty()) Imprime(indice, linha);
    }
}

// --- totals --------------------------------------------------------------------------------------

std::int64_t& Comandos::TotalTributo(const Tributo& t) {
    switch (t.tipo) {
        case Tributo::Tipo::F:
            return p.dia.f1;
        case Tributo::Tipo::I:
            return p.dia.i1;
        case Tributo::Tipo::N:
            return p.dia.n1;
        case Tributo::Tipo::FS:
            return p.dia.fs1;
        case Tributo::Tipo::IS:
            return p.dia.is1;
        case Tributo::Tipo::NS:
            return p.dia.ns1;
        default:
            return p.dia.aliquota[static_cast<std::size_t>(t.indice)];
    }
}

void Comandos::LancaCancelamento(const Item& item, std::int64_t valor) {
    if (item.naoFiscal >= 0) {
        p.dia.naoFiscal[static_cast<std::size_t>(item.naoFiscal)] -= valor;
        p.dia.cancelamentosNaoFiscal += valor;
        return;
    }
    TotalTributo(item.tributo) -= valor;
    (item.icms ? p.dia.cancelamentosIcms : p.dia.cancelamentosIss) += valor;
}

void Comandos::RateiaSubtotal(DocumentoAberto& d, std::int64_t ajuste) {
    // Shares proportional to each item's value, cut toward zero; the cents left over go one by
    // one to the items with the largest cut-off fractions, so the shares add up exactly.
    std::vector<std::size_t> ativos;
    std::int64_t base = 0;
    for (std::size_t i = 0; i < d.itens.size(); ++i)
        if (!d.itens[i].cancelado) {
            ativos.push_back(i);
            base += d.itens[i].valor - d.itens[i].desconto + d.itens[i].acrescimo;
        }
    if (ativos.empty() || base <= 0) return;
    std::int64_t distribuido = 0;
    std::vector<std::int64_t> partes(ativos.size()), restos(ativos.size());
    for (std::size_t k = 0; k < ativos.size(); ++k) {
        const Item& it = d.itens[ativos[k]];
        __int128 n = static_cast<__int128>(ajuste) * (it.valor - it.desconto + it.acrescimo);
        partes[k] = static_cast<std::int64_t>(n / base);
        restos[k] = static_cast<std::int64_t>(n % base < 0 ? -(n % base) : n % base);
        distribuido += partes[k];
    }
    std::vector<std::size_t> ordem(ativos.size());
    for (std::size_t k = 0; k < ordem.size(); ++k) ordem[k] = k;
    std::stable_sort(ordem.begin(), ordem.end(),
                     [&](std::size_t a, std::size_t b) { return restos[a] > restos[b]; });
    std::int64_t resto = ajuste - distribuido;
    for (std::size_t k = 0; resto != 0; k = (k + 1) % ordem.size()) {
        std::int64_t passo = resto > 0 ? 1 : -1;
        partes[ordem[k]] += passo;
        resto -= passo;
    }
    for (std::size_t k = 0; k < ativos.size(); ++k) {
        Item& it = d.itens[ativos[k]];
        it.rateio += partes[k];
        std::int64_t v = partes[k];
        if (it.naoFiscal >= 0) {
            p.dia.naoFiscal[static_cast<std::size_t>(it.naoFiscal)] += v;
            (v < 0 ? p.dia.descontosNaoFiscal : p.dia.acrescimosNaoFiscal) += v < 0 ? -v : v;
            continue;
        }
        TotalTributo(it.tributo) += v;
        if (v < 0) {
            (it.icms ? p.dia.descontosIcms : p.dia.descontosIss) += -v;
        } else {
            (it.icms ? p.dia.acrescimosIcms : p.dia.acrescimosIss) += v;
            p.gt += v;
        }
    }
}

void Comandos::LancaPagamentos(const DocumentoAberto& d, int sinal) {
    for (const Pagamento& pg : d.pagamentos)
        (pg.codigo == -2 ? p.dia.dinheiro : p.dia.meioPagamento[static_cast<std::size_t>(pg.codigo)]) +=
            sinal * pg.valor;
}

// --- payment forms ------------------------------------------------------------------------------

std::string Comandos::NomeForma(int codigo) const {
    return codigo == -2 ? p.dinheiro.nome : p.meiosPagamento[static_cast<std::size_t>(codigo)].nome;
}

int Comandos::FormaPorNome(const std::string& nome) const {
    std::string n = Maiusculas(Apara(nome));
    if (n == Maiusculas(p.dinheiro.nome) || n == "DINHEIRO") return -2;
    for (int i = 0; i < 15; ++i)
        if (p.meiosPagamento[i].programado && Maiusculas(p.meiosPagamento[i].nome) == n) return i;
    Recusa(erro::kMeioPagamentoNaoProgramado, "MeioPagamentoNaoProgramado",
           "Meio de pagamento " + nome + " nao programado");
}

int Comandos::FormaPorParametros(const char* nomeCodigo, const char* nomeNome, bool obrigatorio) const {
    if (auto c = a.InteiroOpcional(nomeCodigo)) {
        if (*c == -2) return -2;
        if (*c < 0 || *c > 14 || !p.meiosPagamento[static_cast<std::size_t>(*c)].programado)
            Recusa(erro::kMeioPagamentoNaoProgramado, "MeioPagamentoNaoProgramado",
                   "Meio de pagamento " + std::to_string(*c) + " nao programado");
        return static_cast<int>(*c);
    }
    if (auto n = a.TextoOpcional(nomeNome)) return FormaPorNome(*n);
    if (obrigatorio)
        Recusa(erro::kParametroAusente, "ParametroAusente",
               std::string("Falta o parametro ") + nomeCodigo + " ou " + nomeNome);
    return -3;
}

}  // namespace emulador
