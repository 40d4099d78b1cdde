// The ATO COTEPE file of a month that the fiscal-file benchmarks read: 30 reductions;
// receipts of ten items over four totalizers, one receipt in fifty cancelled, one item in
// twenty cancelled, a thousand product codes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "driver/core/formatadores.h"
#include "driver/fiscalfiles/leiaute_ato.h"

namespace bancada {

inline const std::string kSerie = "TV010500000000012345";
inline const std::string kModelo = "RIX 4000";

// The ATO file of a month of `itens` items; its size in bytes. `comDescontos`: one receipt in
// seven with a discount of 1,00 and one in three with the buyer's CPF.
inline std::uintmax_t MesAto(const std::string& nome, int itens, bool comDescontos = false) {
    using tarvo::MontaLinha;
    std::ofstream f(nome, std::ios::binary);
    auto linha = [&](const std::string& l) { f << l << "\r\n"; };
    const int dias = 30, porRecibo = 10;
    const int recibos = (itens + porRecibo - 1) / porRecibo;
    const int porDia = (recibos + dias - 1) / dias;
    static const char* totalizadores[] = {"01T1800", "02T1200", "F1", "I1"};
    linha(MontaLinha(tarvo::kLinhaE01,
                     {"", kSerie, "", "ECF-IF", "TARVO", kModelo, "01.00.05", "20100101", "080000", "1",
                      "11222333000181", "TDM", "1", "30", "20100601", "20100630"}));
    std::vector<std::string> e12, e13, e14, e15;
    long long gt = 0;
    int coo = 0, item = 0;
    for (int d = 1; d <= dias; ++d) {
        char data[9];
        std::snprintf(data, sizeof data, "201006%02d", d);
        long long dia = 0;
        for (int r = 0; r < porDia && item < itens; ++r) {
            ++coo;
            long long subtotal = 0;
            const bool cancelado = coo % 50 == 0;
            for (int k = 0; k < porRecibo && item < itens; ++k, ++item) {
                const bool itemCancelado = item % 20 == 7;
                const long long unitario = 100 + item % 900;
                subtotal += itemCancelado ? 0 : unitario * 1500 / 1000;
                e15.push_back(MontaLinha(tarvo::kLinhaE15, {"",
                                                            kSerie,
                                                            "",
                                                            kModelo,
                                                            "1",
                                                            std::to_string(coo),
                                                            std::to_string(coo),
                                                            std::to_string(k + 1),
                                                            std::to_string(7891000 + item % 1000),
                                                            "PRODUTO " + std::to_string(item % 1000),
                                                            "1500",
                                                            "UN",
                                                            std::to_string(unitario),
                                                            "0",
                                                            "0",
                                                            std::to_string(unitario * 1500 / 1000),
                                                            totalizadores[k % 4],
                                                            itemCancelado ? "S" : "N",
                                                            itemCancelado ? "1500" : "0",
                                                            "0",
                                                            "0",
                                                            "T",
                                                            "3",
                                                            "2"}));
            }
            const bool desconto = comDescontos && coo % 7 == 0;
            const bool cpf = comDescontos && coo % 3 == 0;
            e14.push_back(MontaLinha(tarvo::kLinhaE14,
                                     {"", kSerie, "", kModelo, "1", std::to_string(coo), std::to_string(coo),
                                      data, std::to_string(subtotal), desconto ? "100" : "0", "V", "0", "V",
                                      std::to_string(subtotal - (desconto ? 100 : 0)), cancelado ? "S" : "N",
                                      "0", "D", "", cpf ? "12345678909" : ""}));
            if (!cancelado) dia += subtotal;
        }
        ++coo;
        gt += dia;
        e12.push_back(MontaLinha(tarvo::kLinhaE12,
                                 {"", kSerie, "", kModelo, "1", std::to_string(d), std::to_string(coo), "1",
                                  data, data, "230000", std::to_string(dia), "N"}));
        for (const char* t : totalizadores)
            e13.push_back(MontaLinha(tarvo::kLinhaE13, {"", kSerie, "", kModelo, "1", std::to_string(d), t,
                                                        std::to_string(dia / 4)}));
    }
    linha(MontaLinha(tarvo::kLinhaE02, {"", kSerie, "", kModelo, "11222333000181", "123456789012", "LOJA",
                                        "RUA", "20100101", "080000", "1", "0", "1"}));
    // The counters and the GT as the month's last reduction left them.
    linha("E11" + tarvo::PreencheEspacosDireita(kSerie, 20) + " " +
          tarvo::PreencheEspacosDireita(kModelo, 20) + tarvo::PreencheZerosEsquerda(std::to_string(dias), 6) +
          "000001" + tarvo::PreencheZerosEsquerda(std::to_string(coo), 6) + std::string(42, '0') +
          tarvo::PreencheZerosEsquerda(std::to_string(gt), 18) + "20100630" + "230000");
    for (const auto* v : {&e12, &e13, &e14, &e15})
        for (const auto& l : *v) linha(l);
    linha("EAD" + std::string(256, '0'));
    f.close();
    return std::filesystem::file_size(nome);
}

}  // namespace bancada
