// The memory reading: the fiscal memory and the detail tape as two images of text records,
// taken when a reading starts and served in pieces of hexadecimal digits, so that an outside
// reader can copy both into a memory dump. PROTOCOL.md (section 4.1) gives the records.
#include <cstdio>

#include "comandos.h"

namespace emulador {

namespace {

constexpr std::int64_t kMaiorPedaco = 8192;

// One field of a record: a backslash, a tab, a line feed and a carriage return are escaped so
// that tabs separate fields and line feeds end records whatever a text holds.
std::string Campo(const std::string& texto) {
    std::string r;
    r.reserve(texto.size());
    for (char c : texto) {
        switch (c) {
            case '\\':
                r += "\\\\";
                break;
            case '\t':
                r += "\\t";
                break;
            case '\n':
                r += "\\n";
                break;
            case '\r':
                r += "\\r";
                break;
            default:
                r += c;
        }
    }
    return r;
}

class Registro {
  public:
    explicit Registro(const char* marca) : texto_(marca) {}
    Registro& operator<<(const std::string& t) {
        texto_ += '\t';
        texto_ += Campo(t);
        return *this;
    }
    Registro& operator<<(const char* t) { return *this << std::string(t); }
    Registro& operator<<(std::int64_t n) { return *this << std::to_string(n); }
    Registro& operator<<(int n) { return *this << std::to_string(n); }
    Registro& operator<<(bool b) { return *this << std::string(b ? "1" : "0"); }
    Registro& operator<<(const DataHora& d) { return *this << d.Data() << d.Hora(); }
    void Em(std::string& destino) const {
        destino += texto_;
        destino += '\n';
    }

  private:
    std::string texto_;
};

std::string Hex(const std::string& bytes) {
    static const char kDigitos[] = "0123456789ABCDEF";
    std::string r;
    r.reserve(bytes.size() * 2);
    for (unsigned char c : bytes) {
        r += kDigitos[c >> 4];
        r += kDigitos[c & 15];
    }
    return r;
}

// The tax word as printed: Tnn or Snn for a rate slot, F1 .. NS1 otherwise.
std::string RotuloTributo(const Item& it) {
    if (it.tributo.tipo != Tributo::Tipo::Aliquota) return it.tributo.Rotulo();
    return std::string(it.icms ? "T" : "S") + Zeros(it.tributo.indice, 2);
}

}  // namespace

std::string Impressora::ImagemMemoriaFiscal() const {
    std::string r;
    (Registro("ECF") << numeroSerie << numeroSerieMFD << marca << modelo << tipoEcf << versaoSW << loja
                     << ecf)
        .Em(r);
    for (const Usuario& u : usuarios)
        (Registro("USUARIO") << u.numero << u.cnpj << u.ie << u.im << u.cro << u.registro << u.gt).Em(r);
    for (const Evento& e : versoesSB) (Registro("SOFTWARE") << e.texto << e.quando).Em(r);
    for (const Evento& e : reinicios) (Registro("REINICIO") << e.texto << e.quando).Em(r);
    for (const Evento& e : impressoesFita) (Registro("FITA") << e.texto << e.quando).Em(r);
    for (const RegistroZ& z : memoriaFiscal) {
        const TotaisDia& t = z.totais;
        (Registro("REDUCAO") << z.crz << z.coo << z.cro << z.cooInicial << z.movimento.Data() << z.emissao
                             << z.gt << z.gtInicial << z.VendaBruta() << t.cancelamentosIcms
                             << t.cancelamentosIss << t.descontosIcms << t.descontosIss << t.acrescimosIcms
                             << t.acrescimosIss << t.f1 << t.i1 << t.n1 << t.fs1 << t.is1 << t.ns1
                             << z.contadores.ccf << z.contadores.gnf << z.contadores.grg << z.contadores.cdc
                             << z.contadores.cfc << z.contadores.nfc)
            .Em(r);
        for (std::size_t i = 0; i < z.aliquotas.size(); ++i) {
            const Aliquota& a = z.aliquotas[i];
            if (!a.programada) continue;
            (Registro("ALIQUOTA") << z.crz << static_cast<int>(i) << (a.icms ? "T" : "S") << a.percentual
                                  << t.aliquota[i])
                .Em(r);
        }
    }
    return r;
}

std::string Impressora::ImagemFitaDetalhe() const {
    std::string r;
    for (const Documento& d : fita) {
        if (!d.fechado || d.coo == 0) continue;
        (Registro("DOC") << d.coo << static_cast<int>(d.tipo) << d.inicio << d.fim << d.proprietario).Em(r);
        if (const DocumentoAberto* v = d.dados.get()) {
            if (!v->consumidorId.empty() || !v->consumidorNome.empty() || !v->consumidorEndereco.empty())
                (Registro("CONSUMIDOR") << v->consumidorId << v->consumidorNome << v->consumidorEndereco)
                    .Em(r);
            for (const Item& it : v->itens)
                (Registro("ITEM") << it.numero << it.codigo << it.descricao << it.quantidade << it.unidade
                                  << it.preco << it.casasPreco << it.valor << RotuloTributo(it) << it.desconto
                                  << it.acrescimo << it.rateio << it.cancelado << it.naoFiscal)
                    .Em(r);
            if (v->ajusteSubtotal != 0) (Registro("AJUSTE") << v->ajusteSubtotal).Em(r);
            for (const Pagamento& pg : v->pagamentos)
                (Registro("PAGAMENTO") << pg.codigo << pg.nome << pg.valor << pg.texto).Em(r);
            if (v->cooVinculado != 0) (Registro("VINCULO") << v->cooVinculado).Em(r);
        }
        for (const Linha& l : d.linhas) (Registro("LINHA") << l.negrito << l.texto).Em(r);
        (Registro("FIM") << d.coo).Em(r);
    }
    return r;
}

Resposta Comandos::AbreLeituraMemorias() {
    p.imagemMF = p.ImagemMemoriaFiscal();
    p.imagemMFD = p.ImagemFitaDetalhe();
    p.leituraMemorias = true;
    return {0, "NumeroSerie=" + Aspas(p.numeroSerie) + " TamanhoMF=" + std::to_string(p.imagemMF.size()) +
                   " TamanhoMFD=" + std::to_string(p.imagemMFD.size())};
}

Resposta Comandos::LeMemorias() {
    if (!p.leituraMemorias)
        Recusa(erro::kSequenciaInvalida, "LeituraNaoIniciada", "Envie AbreLeituraMemorias primeiro");
    std::string memoria = a.Texto("Memoria");
    const std::string* imagem = nullptr;
    if (MesmoNome(memoria, "MF")) imagem = &p.imagemMF;
    if (MesmoNome(memoria, "MFD")) imagem = &p.imagemMFD;
    if (!imagem) Recusa(erro::kParametroInvalido, "MemoriaInvalida", "Memoria e MF ou MFD");
    std::int64_t posicao = a.Inteiro("Posicao");
    std::int64_t tamanho = a.Inteiro("Tamanho");
    auto total = static_cast<std::int64_t>(imagem->size());
    if (posicao < 0 || posicao > total)
        Recusa(erro::kParametroInvalido, "PosicaoInvalida", "Posicao fora da memoria");
    if (tamanho < 1 || tamanho > kMaiorPedaco)
        Recusa(erro::kParametroInvalido, "TamanhoInvalido", "Tamanho de 1 a 8192");
    std::string pedaco = imagem->substr(static_cast<std::size_t>(posicao), static_cast<std::size_t>(tamanho));
    return {0, "Posicao=" + std::to_string(posicao) + " Dados=" + Aspas(Hex(pedaco))};
}

}  // namespace emulador
