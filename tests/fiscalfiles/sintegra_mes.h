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
        std::filesystem::create_directory(home / "tdm");
        EscreveArquivo(
            home / "TARVO.INI",
            "[Sistema]\r\nPorta=COM1\r\nCorrigeRelogioZ=0\r\nHomologar=1\r\nPath=" + home.Caminho() +
                "\r\nPathRFD=" + home / "rfd" + "/\r\nPathTDM=" + home / "tdm" + "/\r\n[ECF]\r\nUF=SP\r\n");
        tarvo::CarregaConfiguracao();
        tarvo::Sintegra() = {};
    }
    void TearDown() override {
        tarvo::Sintegra() = {};
        RfdComEmulador::TearDown();
    }
    void Relogio(int dia) {
        emulador::DataHora d;
        d.LeData("0" + std::to_string(dia) + "/03/2010");
        d.LeHora("10:00:00");
        e.Altera([&](emulador::Impressora& i) { i.AjustaRelogio(d); });
    }
    void Envia(const char* comando, const std::string& parametros) {
        ASSERT_EQ(tarvo::EnviaComandoTxt(comando, parametros), 1) << comando << " " << parametros;
    }
    // The days of the month, each with the day's documents and a reduction; the second also sells
    // two products whose codes differ only in their 14th character. A receipt of the next day
    // stays after the last reduction.
    void Mes() {
        for (int dia = 1; dia <= kDias; ++dia) {
            Relogio(dia);
            for (const auto& [comando, parametros] : DocumentosDoDiaRfd()) {
                Envia(comando, parametros);
                if (HasFatalFailure()) return;
            }
            if (dia == 2) {
                Envia("AbreCupomFiscal", "");
                Envia("VendeItem", "CodAliquota=0 CodProduto=\"" + kProduto1 +
                                       "\" NomeProduto=\"PRODUTO UM\" PrecoUnitario=1,00 Quantidade=1,000");
                Envia("VendeItem", "CodAliquota=0 CodProduto=\"" + kProduto2 +
                                       "\" NomeProduto=\"PRODUTO DOIS\" PrecoUnitario=2,00 Quantidade=1,000");
                Envia("VendeItem", "CodAliquota=0 CodProduto=\"" + kProduto1 +
                                       "\" NomeProduto=\"PRODUTO UM\" PrecoUnitario=1,00 Quantidade=2,000");
                Envia("PagaCupom", "CodMeioPagamento=-2 Valor=5,00");
                Envia("EncerraDocumento", "Operador=\"ANA\"");
                // A receipt cancelled before it closed.
                Envia("AbreCupomFiscal", "");
                Envia("VendeItem",
                      "CodAliquota=1 CodProduto=\"12\" NomeProduto=\"PAO\" PrecoUnitario=0,50 "
                      "Quantidade=4,000");
                Envia("CancelaCupom", "Operador=\"ANA\"");
                if (HasFatalFailure()) return;
            }
            Envia("EmiteReducaoZ", "");
            if (HasFatalFailure()) return;
        }
        Relogio(kDias + 1);
        Envia("AbreCupomFiscal", "");
        Envia("VendeItem",
              "CodAliquota=0 CodProduto=\"9\" NomeProduto=\"DEPOIS\" PrecoUnitario=7,00 Quantidade=1,000");
        Envia("PagaCupom", "CodMeioPagamento=-2 Valor=7,00");
        Envia("EncerraDocumento", "Operador=\"ANA\"");
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
    std::string Log() { return LeArquivo(atual / "LOG.DAT"); }
};

}  // namespace teste
