// Prints on an inserted slip: the cheque, laid out by the positions it receives, and the
// authentication of the last document.
#include <algorithm>

#include "comandos.h"

namespace emulador {

namespace {

constexpr int kLarguraCheque = 80;  // columns of the cheque slip (condensed font)

class Grade {
  public:
    void Poe(int linha, int coluna, const std::string& texto) {
        if (linha < 0 || coluna < 0 || coluna >= kLarguraCheque) return;
        if (static_cast<int>(l_.size()) <= linha)
            l_.resize(static_cast<std::size_t>(linha) + 1, std::string(kLarguraCheque, ' '));
        std::string& s = l_[static_cast<std::size_t>(linha)];
        for (std::size_t i = 0; i < texto.size() && coluna + static_cast<int>(i) < kLarguraCheque; ++i)
            s[static_cast<std::size_t>(coluna) + i] = texto[i];
    }
    std::vector<std::string> Linhas() const {
        std::vector<std::string> r;
        for (std::string s : l_) {
            while (!s.empty() && s.back() == ' ') s.pop_back();
            r.push_back(s);
        }
        return r;
    }

  private:
    std::vector<std::string> l_;
};

const char* kMeses[] = {"JANEIRO", "FEVEREIRO", "MARÇO",    "ABRIL",   "MAIO",     "JUNHO",
                        "JULHO",   "AGOSTO",    "SETEMBRO", "OUTUBRO", "NOVEMBRO", "DEZEMBRO"};

}  // namespace

Resposta Comandos::ImprimeCheque() {
    ExigeNenhumDocumento();
    std::int64_t valor = a.Decimal("Valor", 2);
    if (valor <= 0) Recusa(erro::kValorInvalido, "ValorInvalido", "Valor do cheque deve ser positivo");
    std::string favorecido = Apara(a.TextoOpcional("Favorecido").value_or(""));
    std::string cidade = Apara(a.TextoOpcional("Cidade").value_or(""));
    DataHora data = a.Data("Data").value_or(p.Agora());
    auto pos = [&](const char* nome, int padrao) {
        auto v = a.InteiroOpcional(nome);
        if (v && (*v < 0 || *v > 999))
            Recusa(erro::kParametroInvalido, "PosicaoInvalida", std::string(nome) + " fora da faixa");
        return v ? static_cast<int>(*v) : padrao;
    };
    Grade g;
    g.Poe(pos("VPosValor", 0), pos("HPosValor", 60), "#" + Valor(valor) + "#");
    // Amount in words over two lines, the rest of the second filled with asterisks.
    int h1 = pos("HPosExtensoLinha1", 12), h2 = pos("HPosExtensoLinha2", 0);
    std::string extenso = "(" + Extenso(valor) + ")";
    std::size_t cabe = static_cast<std::size_t>(std::max(1, kLarguraCheque - h1));
    std::string l1 = extenso, l2;
    if (l1.size() > cabe) {
        std::size_t corte = l1.rfind(' ', cabe);
        if (corte == std::string::npos || corte == 0) corte = cabe;
        l2 = Apara(l1.substr(corte));
        l1 = l1.substr(0, corte);
    }
    int v1 = pos("VPosExtensoLinha1", 2), v2 = pos("VPosExtensoLinha2", 3);
    if (l2.empty())
        l1 += " " + std::string(static_cast<std::size_t>(
                                    std::max(0, kLarguraCheque - h1 - static_cast<int>(l1.size()) - 1)),
                                '*');
    else
        l2 += " " + std::string(static_cast<std::size_t>(
                                    std::max(0, kLarguraCheque - h2 - static_cast<int>(l2.size()) - 1)),
                                '*');
    g.Poe(v1, h1, l1);
    g.Poe(v2, h2, l2.empty() ? std::string(static_cast<std::size_t>(kLarguraCheque - h2), '*') : l2);
    g.Poe(pos("VPosFavorecido", 4), pos("HPosFavorecido", 4), favorecido);
    // City and date share a line: the day, the month by name and the year follow the city.
    int vc = pos("VPosCidade", 6);
    g.Poe(vc, pos("HPosCidade", 30), cidade + ",");
    g.Poe(vc, pos("HPosDia", 52), Zeros(data.dia, 2));
    int hMes = pos("HPosMes", 57);
    std::string mes = Cp850(kMeses[data.mes - 1]);
    g.Poe(vc, hMes, mes);
    int hAno = pos("HPosAno", 72);
    // A year column not past the month's counts from the end of the month's name (1 leaves
    // one blank).
    if (hAno <= hMes) hAno = hMes + static_cast<int>(mes.size()) + hAno;
    g.Poe(vc, hAno, std::to_string(data.ano));
    int vm = pos("VPosMsgLinha1", 8), hm = pos("HPosMsgLinha1", 0);
    if (auto m = a.TextoOpcional("MensagemDocLinha1")) g.Poe(vm, hm, m->substr(0, 80));
    if (auto m = a.TextoOpcional("MensagemDocLinha2")) g.Poe(vm + 1, hm, m->substr(0, 80));
    p.folhas.push_back({Folha::Tipo::Cheque, g.Linhas()});
    p.chequeInserido = false;  // printed and ejected
    return {};
}

Resposta Comandos::ImprimeAutenticacao() {
    ExigeNenhumDocumento();
    UltimoComprovante& u = p.ultimo;
    bool logoApos = p.ultimoDocumento == u.tipo || p.ultimoDocumento == TipoDocumento::CreditoDebito;
    if (u.tipo == TipoDocumento::Nenhum || !logoApos)
        Recusa(erro::kAutenticacaoNaoPermitida, "SemDocumentoParaAutenticar",
               "Nao ha documento a autenticar");
    if (u.autenticacoes >= 5)
        Recusa(erro::kAutenticacaoNaoPermitida, "LimiteAutenticacoes", "Limite de 5 autenticacoes atingido");
    std::string texto = a.TextoOpcional("TextoAutenticacao").value_or("");
    Folha f{Folha::Tipo::Autenticacao, {}};
    std::size_t i = 0;
    while (i < texto.size() && texto[i] == '\n') {
        f.linhas.push_back("");
        ++i;
    }
    DataHora agora = p.Agora();
    f.linhas.push_back(agora.Data() + " " + agora.Hora() + " COO:" + Zeros(u.coo, 6) +
                       " ECF:" + Zeros(p.ecf, 3) + " " + p.simboloMoeda + " " + Valor(u.doc.Total()) + " " +
                       p.numeroSerie.substr(p.numeroSerie.size() - 4));
    std::string resto = texto.substr(i);
    std::size_t ini = 0;
    while (ini < resto.size()) {
        std::size_t fim = resto.find('\n', ini);
        f.linhas.push_back(resto.substr(ini, fim == std::string::npos ? std::string::npos : fim - ini)
                               .substr(0, kLarguraCheque));
        if (fim == std::string::npos) break;
        ini = fim + 1;
    }
    p.folhas.push_back(f);
    ++u.autenticacoes;
    return {};
}

}  // namespace emulador
