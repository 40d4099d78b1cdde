#include "driver/fiscalfiles/sintegra.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <map>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "driver/core/estado.h"
#include "driver/core/formatadores.h"
#include "driver/fiscalfiles/campo_ato.h"
#include "driver/fiscalfiles/inteiros_verificados.h"
#include "driver/fiscalfiles/rfd_conversao.h"
#include "platform/arquivo.h"

namespace tarvo {

namespace {
constexpr std::size_t kChave = 20;     // key in front of every record but a 60R
constexpr std::size_t kChave60R = 12;  // key in front of a 60R

std::string Zeros(std::int64_t v, int largura) {
    return PreencheZerosEsquerda(std::to_string(v), largura);
}

// One product of one reduction in the 60D summary.
struct Resumo60D {
    std::string datas, data, serie, produto, base, codigo, imposto;
    std::int64_t quantidade = 0, valor = 0;
};
}  // namespace

std::int64_t InteiroCampo(const std::string& campo) {
    if (campo.empty() || campo.size() > 18) return 0;
    std::int64_t v = 0;
    for (char ch : campo) {
        if (ch < '0' || ch > '9') return 0;
        v = v * 10 + (ch - '0');
    }
    return v;
}

OpcoesSintegra& Sintegra() {
    static OpcoesSintegra opcoes;
    return opcoes;
}

void PercorreLinhasArquivo(const std::string& nome, const std::function<void(const std::string&)>& cada) {
    std::ifstream f(nome, std::ios::binary);
    if (!f) return;
    std::string linha;
    while (std::getline(f, linha)) {
        if (!linha.empty() && linha.back() == '\r') linha.pop_back();
        cada(linha);
    }
}

void DefineOpcoesSintegra(int flags) {
    OpcoesSintegra& o = Sintegra();
    o.Flag60D = (flags & 4) != 0;
    o.Flag60I = (flags & 8) != 0;
    o.Flag60R = (flags & 16) != 0;
}

int UltimoDiaMes(int mes, int ano) {
    switch (mes) {
        case 1:
        case 3:
        case 5:
        case 7:
        case 8:
        case 10:
        case 12:
            return 31;
        case 4:
        case 6:
        case 9:
        case 11:
            return 30;
        case 2:
            return (ano % 4 == 0 && (ano % 100 != 0 || ano % 400 == 0)) ? 29 : 28;
        default:
            return 0;
    }
}

std::string Registro10NoPeriodo(const std::string& registro10, const std::string& inicio,
                                const std::string& fim) {
    auto aaaammdd = [](const std::string& data) {
        const std::string d = PreencheZerosEsquerda(SomenteNumeros(data), 8);  // ddmmyyyy
        return d.substr(4, 4) + d.substr(2, 2) + d.substr(0, 2);
    };
    const std::string r = PreencheEspacosDireita(registro10, 126);
    return r.substr(0, 107) + aaaammdd(inicio) + aaaammdd(fim) + r.substr(123, 3);
}

std::size_t MontaRegistros60D() {
    const std::string sint = DiretorioTemporarioRFD() + "SINT.TXT";
    std::vector<Resumo60D> resumos;
    std::unordered_map<std::string, std::size_t> indice;  // reduction dates + the whole product code
    PercorreLinhasArquivo(sint, [&](const std::string& linha) {
        if (TrechoLinha(linha, kChave + 1, 3) != "60I") return;
        const std::string r = TrechoLinha(linha, kChave + 1);
        const std::string datas = TrechoLinha(linha, 3, 16), produto = TrechoLinha(r, 43, 14);
        const std::int64_t quantidade = InteiroCampo(TrechoLinha(r, 57, 13)),
                           valor = InteiroCampo(TrechoLinha(r, 70, 13));
        auto [pos, novo] = indice.try_emplace(datas + produto, resumos.size());
        if (!novo) {
            resumos[pos->second].quantidade += quantidade;
            resumos[pos->second].valor += valor;
            return;
        }
        Resumo60D s;
        s.datas = datas;
        s.data = TrechoLinha(r, 4, 8);
        s.serie = TrechoLinha(r, 12, 20);
        s.produto = produto;
        s.quantidade = quantidade;
        s.valor = valor;
        s.codigo = TrechoLinha(r, 95, 4);
        const bool semBase = s.codigo == "F   " || s.codigo == "N   " || s.codigo == "I   ";
        s.base = semBase ? std::string(16, '0') : "0000" + TrechoLinha(r, 83, 12);
        s.imposto = "0" + TrechoLinha(r, 99, 12);
        resumos.push_back(std::move(s));
    });
    std::string texto;
    for (const Resumo60D& s : resumos) {
        texto += "02" + s.datas + "05" + "60D" + PreencheZerosEsquerda(s.data, 8) +
                 PreencheEspacosDireita(s.serie, 20) + PreencheEspacosDireita(s.produto, 14) +
                 Zeros(s.quantidade, 13) + Zeros(s.valor, 16) + PreencheZerosEsquerda(s.base, 16) +
                 PreencheEspacosDireita(s.codigo, 4) + PreencheZerosEsquerda(s.imposto, 13) +
                 std::string(19, ' ') + "\r\n";
    }
    if (!texto.empty() && !plataforma::AnexaArquivoSeguro(sint, texto))
        throw ErroArquivoFiscal::AoGravar(sint);
    return resumos.size();
}

std::size_t MontaRegistros60R() {
    const std::string sint = DiretorioTemporarioRFD() + "SINT.TXT";
    // Each month and product (the month, "00" and the product code) keeps two sums: its items
    // that are not cancelled and its cancelled ones. The items are taken in the order of
    // their summary lines (date, quantity, value, base, tax code after the month and product):
    // the last of a sum, the greatest of those lines, gives its date and its tax code.
    struct Soma {
        std::int64_t quantidade = 0, valor = 0, base = 0;
        std::string ultima;  // date (8), quantity (13), value (13), base (12), tax code (4)
        bool tem = false;
    };
    struct Produto {
        Soma outros, cancelados;
    };
    std::map<std::string, Produto> produtos;
    PercorreLinhasArquivo(sint, [&](const std::string& linha) {
        if (TrechoLinha(linha, kChave + 1, 3) != "60I") return;
        const std::string r = TrechoLinha(linha, kChave + 1);
        const std::string grupo =
            TrechoLinha(linha, 11, 6) + "00" + PreencheEspacosDireita(TrechoLinha(r, 43, 14), 14);
        const std::string resumo = PreencheZerosEsquerda(TrechoLinha(r, 4, 8), 8) + TrechoLinha(r, 57, 13) +
                                   TrechoLinha(r, 70, 13) + TrechoLinha(r, 83, 12) +
                                   PreencheEspacosDireita(TrechoLinha(r, 95, 4), 4);
        const std::int64_t quantidade = InteiroCampo(TrechoLinha(r, 57, 13));
        const std::string codigo = TrechoLinha(resumo, 47, 4);
        Produto& p = produtos[grupo];
        Soma& s = codigo == "CANC" ? p.cancelados : p.outros;
        s.tem = true;
        s.quantidade = SomaVerificada(s.quantidade, quantidade);
        s.valor = SomaVerificada(
            s.valor, MultiplicaDivide(InteiroCampo(TrechoLinha(r, 70, 13)), quantidade, 1000, false));
        s.base = SomaVerificada(s.base, InteiroCampo(TrechoLinha(r, 83, 12)));
        if (resumo > s.ultima) s.ultima = resumo;
    });
    std::string texto;
    std::size_t escritos = 0;
    auto escreve = [&](const std::string& produto, const Soma& s) {
        if (!s.tem) return;
        const std::string data = s.ultima.substr(0, 8);
        texto += "03" + data + "04" + "60R" + data.substr(4, 2) + data.substr(0, 4) + produto +
                 Zeros(s.quantidade, 13) + Zeros(s.valor, 16) + Zeros(s.base, 16) + s.ultima.substr(46, 4) +
                 std::string(54, ' ') + "\r\n";
        ++escritos;
    };
    for (const auto& [grupo, p] : produtos) {
        escreve(grupo.substr(8, 14), p.outros);
        escreve(grupo.substr(8, 14), p.cancelados);
    }
    if (!texto.empty() && !plataforma::AnexaArquivoSeguro(sint, texto))
        throw ErroArquivoFiscal::AoGravar(sint);
    return escritos;
}

std::size_t MontaRegistros60(int modo) {
    return modo == 0 ? MontaRegistros60D() : MontaRegistros60R();
}

std::int64_t AjustaValorMonetario(std::int64_t valor, std::int64_t aliquota) {
    if (valor < 1000000) return MultiplicaDivide(valor, aliquota, 10000, false);
    return MultiplicaDivide(valor, aliquota / 100, 100, false);
}

std::int64_t BaseCalculo60I(std::int64_t valorUnitario, const std::string& codigo) {
    for (const char* semAliquota : {"CANC", "F   ", "I   ", "N   ", "ISS ", "DESC"})
        if (codigo == semAliquota) return valorUnitario;
    const std::int64_t aliquota = InteiroCampo(codigo);
    if (aliquota <= 0 || aliquota >= 10000) return valorUnitario;
    return MultiplicaDivide(valorUnitario, 10000, 10000 - aliquota, true);
}

std::string Registro90(const std::string& cnpj, const std::string& inscricao, const ContagemSintegra& c) {
    auto n8 = [](std::size_t v) { return PreencheZerosEsquerda(std::to_string(v), 8); };
    std::string r = "90" + PreencheZerosEsquerda(cnpj, 14) + PreencheEspacosDireita(inscricao, 14) + "60" +
                    n8(c.tipo60) + "75" + n8(c.tipo75) + "99" + n8(c.tipo60 + c.tipo75 + 3);
    return PreencheEspacosDireita(r, 125) + "1";
}

ContagemSintegra GravaArquivoSintegra(const std::string& registro10, const std::string& registro11,
                                      const std::string& cnpj, const std::string& inscricao, bool com60I) {
    ContagemSintegra contagem;
    if (!Estado().GeraSintegraAtivo) return contagem;
    const std::string pasta = DiretorioTemporarioRFD();
    const std::string saida = pasta + "SINTEGRA.TXT";
    // The keyed lines stay in the one text read from the file; only views of them are sorted.
    const std::string sint = LeArquivo(pasta + "SINT.TXT");
    std::vector<std::string_view> linhas;
    for (std::size_t i = 0; i < sint.size();) {
        std::size_t fim = sint.find('\n', i);
        if (fim == std::string::npos) fim = sint.size();
        std::size_t n = fim - i;
        if (n && sint[i + n - 1] == '\r') --n;
        if (n) linhas.emplace_back(sint.data() + i, n);
        i = fim + 1;
    }
    std::sort(linhas.begin(), linhas.end());

    // The earlier file stays until this one is whole on disk.
    plataforma::SaidaSegura f(saida);
    if (!f.Aberta()) throw ErroArquivoFiscal::AoGravar(saida);
    f.Escreve(registro10 + "\r\n" + registro11 + "\r\n");
    auto trecho = [](std::string_view t, std::size_t inicio, std::size_t n) {
        return inicio - 1 < t.size() ? t.substr(inicio - 1, n) : std::string_view();
    };
    std::string_view anterior;
    for (std::string_view linha : linhas) {
        const bool e60R = trecho(linha, kChave60R + 1, 3) == "60R";
        const std::size_t chave = e60R ? kChave60R : kChave;
        if (linha.size() <= chave) continue;
        const std::string_view registro = linha.substr(chave);
        const std::string_view tipo = registro.substr(0, 2);
        if (!com60I && registro.substr(0, 3) == "60I") continue;
        if (registro == anterior) continue;
        if (tipo == "75" && trecho(registro, 3, 30) == trecho(anterior, 3, 30)) continue;
        f.Escreve(registro);
        f.Escreve("\r\n");
        anterior = registro;
        if (tipo == "60")
            ++contagem.tipo60;
        else if (tipo == "75")
            ++contagem.tipo75;
    }
    f.Escreve(Registro90(cnpj, inscricao, contagem) + "\r\n");
    if (!f.Conclui()) throw ErroArquivoFiscal::AoGravar(saida);
    return contagem;
}

ContagemSintegra GravaArquivoSintegra() {
    const OpcoesSintegra& o = Sintegra();
    return GravaArquivoSintegra(o.Registro10, o.Registro11, TrechoLinha(o.Registro10, 3, 14),
                                TrechoLinha(o.Registro10, 17, 14), o.Flag60I);
}

}  // namespace tarvo
