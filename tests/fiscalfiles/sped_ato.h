// ATO COTEPE lines for the SPED tests, built through the library's own layouts, and the split
// of a SPED line into its fields.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "driver/core/formatadores.h"
#include "driver/fiscalfiles/leiaute_ato.h"

namespace teste::sped {

inline const std::string kSerie = "TV010500000000012345";
inline const std::string kModelo = "RIX 4000";

inline std::string E01() {
    return tarvo::MontaLinha(
        tarvo::kLinhaE01, {"", kSerie, "", "ECF-IF", "TARVO", kModelo, "01.00.05", "20100101", "080000", "7",
                           "11222333000181", "TDM", "1", "3", "20100301", "20100331"});
}
inline std::string E02(const std::string& gt) {
    return tarvo::MontaLinha(tarvo::kLinhaE02, {"", kSerie, "", kModelo, "11222333000181", "123456789012",
                                                "LOJA", "RUA", "20100101", "080000", "1", gt, "1"});
}
// The counters and the grand total as a reduction left them: CRZ, CRO, COO, GNF, CCF, the
// other counters, CFD, GT, date and time.
inline std::string E11(int crz, int coo, const std::string& gt) {
    return "E11" + tarvo::PreencheEspacosDireita(kSerie, 20) + " " +
           tarvo::PreencheEspacosDireita(kModelo, 20) + tarvo::PreencheZerosEsquerda(std::to_string(crz), 6) +
           "000001" + tarvo::PreencheZerosEsquerda(std::to_string(coo), 6) + std::string(42, '0') +
           tarvo::PreencheZerosEsquerda(gt, 18) + "20100331" + "230000";
}
inline std::string E12(int crz, int coo, const std::string& data, const std::string& vendaBruta,
                       int cro = 1) {
    return tarvo::MontaLinha(tarvo::kLinhaE12,
                             {"", kSerie, "", kModelo, "1", std::to_string(crz), std::to_string(coo),
                              std::to_string(cro), data, data, "230000", vendaBruta, "N"});
}
inline std::string E13(int crz, const std::string& codigo, const std::string& valor) {
    return tarvo::MontaLinha(tarvo::kLinhaE13,
                             {"", kSerie, "", kModelo, "1", std::to_string(crz), codigo, valor});
}
struct Documento {
    int coo = 1;
    std::string data = "20100301";
    std::string subtotal = "0", desconto = "0", tipoDesconto = "V", acrescimo = "0", tipoAcrescimo = "V";
    std::string total = "0", cancelado = "N", nome = "", cpfCnpj = "";
};
inline std::string E14(const Documento& d) {
    return tarvo::MontaLinha(
        tarvo::kLinhaE14, {"", kSerie, "", kModelo, "1", std::to_string(d.coo), std::to_string(d.coo), d.data,
                           d.subtotal, d.desconto, d.tipoDesconto, d.acrescimo, d.tipoAcrescimo, d.total,
                           d.cancelado, "0", "D", d.nome, d.cpfCnpj});
}
struct Item {
    int coo = 1, numero = 1;
    std::string codigo = "7891234", quantidade = "1000", unidade = "UN", unitario = "100";
    std::string desconto = "0", acrescimo = "0", totalizador = "01T1800", cancelado = "N";
    std::string quantidadeCancelada = "0", valorCancelado = "0";
    std::string arredondamento = "A", decQuantidade = "3", decUnitario = "2";
};
inline std::string E15(const Item& i) {
    return tarvo::MontaLinha(tarvo::kLinhaE15, {"",
                                                kSerie,
                                                "",
                                                kModelo,
                                                "1",
                                                std::to_string(i.coo),
                                                std::to_string(i.coo),
                                                std::to_string(i.numero),
                                                i.codigo,
                                                "PRODUTO",
                                                i.quantidade,
                                                i.unidade,
                                                i.unitario,
                                                i.desconto,
                                                i.acrescimo,
                                                "0",
                                                i.totalizador,
                                                i.cancelado,
                                                i.quantidadeCancelada,
                                                i.valorCancelado,
                                                "0",
                                                i.arredondamento,
                                                i.decQuantidade,
                                                i.decUnitario});
}

// The ATO lines of one type, each split into its fields by the type's layout (and of the
// layout's length), sorted.
inline std::vector<std::vector<std::string>> CamposAto(const std::vector<std::string>& linhas,
                                                       tarvo::LeiauteLinha leiaute) {
    std::vector<std::vector<std::string>> r;
    for (const std::string& l : linhas) {
        if (l.compare(0, 3, leiaute[0].nome) != 0) continue;
        std::vector<std::string> campos;
        std::size_t c = 0;
        for (const tarvo::CampoLinha& f : leiaute) {
            campos.push_back(c < l.size() ? l.substr(c, static_cast<std::size_t>(f.largura)) : "");
            c += static_cast<std::size_t>(f.largura);
        }
        EXPECT_EQ(l.size(), static_cast<std::size_t>(tarvo::ComprimentoLinha(leiaute))) << l;
        r.push_back(campos);
    }
    std::sort(r.begin(), r.end());
    return r;
}

// The number of fields of each SPED record.
inline const std::map<std::string, std::size_t> kCampos = {{"C400", 5}, {"C405", 7},  {"C420", 5},
                                                           {"C425", 7}, {"C460", 10}, {"C470", 11},
                                                           {"C490", 8}, {"C495", 15}};

// "|C470|a|b|" -> {"C470", "a", "b"}; a line not framed by "|" gives nothing.
inline std::vector<std::string> Campos(const std::string& linha) {
    std::vector<std::string> campos;
    if (linha.size() < 2 || linha.front() != '|' || linha.back() != '|') return campos;
    std::size_t i = 1;
    while (i < linha.size()) {
        std::size_t f = linha.find('|', i);
        campos.push_back(linha.substr(i, f - i));
        i = f + 1;
    }
    return campos;
}

}  // namespace teste::sped
