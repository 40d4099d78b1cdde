// Fixture of the SINTEGRA tests of a month of days sold on the emulated printer: the days,
// each with the day's documents and a Z reduction, and the month's exports.
#pragma once

#include <filesystem>
#include <string>

#include "comum/ambiente.h"
#include "comum/dia_rfd.h"
#include "driver/core/configuracao.h"
#include "driver/fiscalfiles/sintegra.h"
#include "driver/protocols/familia0/parametros.h"
#include "fiscalfiles/rfd_emulador.h"
#include "tarvo.h"

namespace teste {

constexpr int kDias = 3;
const std::string kProduto1 = "ABCDEFGHIJKLM1", kProduto2 = "ABCDEFGHIJKLM2";

class SintegraMesEmulador : public RfdComEmulador {
  protected:
    void SetUp() override {
        RfdComEmulador::SetUp();
        if (HasFatalFailure()) return;
        Configura("Homologar=1\r\n" + PathTdm() + "[ECF]\r\nUF=SP\r\n");
        tarvo::Sintegra() = {};
    }
    void TearDown() override {
        tarvo::Sintegra() = {};
        RfdComEmulador::TearDown();
    }
    // The days of the month, each with the day's documents and a reduction; the second also sells
    // two products whose codes differ only in their 14th character. A receipt of the next day
    // stays after the last reduction.
    void Mes() {
        const auto item = [](const std::string& codigo, const char* nome, const char* preco,
                             const char* quantidade) {
            return "CodAliquota=0 CodProduto=\"" + codigo + "\" NomeProduto=\"" + nome +
                   "\" PrecoUnitario=" + preco + " Quantidade=" + quantidade;
        };
        const Passos segundo = {
            {"AbreCupomFiscal", ""},
            {"VendeItem", item(kProduto1, "PRODUTO UM", "1,00", "1,000")},
            {"VendeItem", item(kProduto2, "PRODUTO DOIS", "2,00", "1,000")},
            {"VendeItem", item(kProduto1, "PRODUTO UM", "1,00", "2,000")},
            {"PagaCupom", "CodMeioPagamento=-2 Valor=5,00"},
            {"EncerraDocumento", "Operador=\"ANA\""},
            // A receipt cancelled before it closed.
            {"AbreCupomFiscal", ""},
            {"VendeItem",
             "CodAliquota=1 CodProduto=\"12\" NomeProduto=\"PAO\" PrecoUnitario=0,50 Quantidade=4,000"},
            {"CancelaCupom", "Operador=\"ANA\""},
        };
        for (int dia = 1; dia <= kDias; ++dia) {
            Relogio("0" + std::to_string(dia) + "/03/2010");
            Envia(DocumentosDoDiaRfd());
            if (!HasFatalFailure() && dia == 2) Envia(segundo);
            if (!HasFatalFailure()) Envia({{"EmiteReducaoZ", ""}});
            if (HasFatalFailure()) return;
        }
        Relogio("0" + std::to_string(kDias + 1) + "/03/2010");
        Envia({{"AbreCupomFiscal", ""},
               {"VendeItem", item("9", "DEPOIS", "7,00", "1,000")},
               {"PagaCupom", "CodMeioPagamento=-2 Valor=7,00"},
               {"EncerraDocumento", "Operador=\"ANA\""}});
    }
    int Relatorio(int flags, const std::string& destino, const char* mes = "03", const char* ano = "2010") {
        return Tarvo_RelatorioSintegraMFD(flags, destino.c_str(), mes, ano, "EMPRESA LTDA", "RUA DAS FLORES",
                                          "123", "SALA 2", "CENTRO", "SAO PAULO", "01234567", "1155551234",
                                          "1155554321", "MARIA");
    }
    int Binario(int flags, const std::string& ato, const std::string& destino) {
        return Tarvo_RelatorioSintegraMFDBinario(flags, ato.c_str(), destino.c_str(), "EMPRESA LTDA",
                                                 "RUA DAS FLORES", "123", "SALA 2", "CENTRO", "SAO PAULO",
                                                 "01234567", "1155551234", "1155554321", "MARIA");
    }
    // The ATO file the month's run left in PathRFD.
    std::string AtoDoMes() {
        for (const auto& a : std::filesystem::directory_iterator(home / "rfd")) return a.path().string();
        return "";
    }
};

}  // namespace teste
