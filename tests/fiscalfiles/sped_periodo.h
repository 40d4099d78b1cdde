// Fixture of the SPED tests of days sold on the emulated printer: the days, each closed by a
// reduction and turned into its RFD, joined as the ATO file of the period, and its SPED file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "comum/ambiente.h"
#include "comum/dia_rfd.h"
#include "driver/core/registro.h"
#include "driver/fiscalfiles/leiaute_ato.h"
#include "driver/fiscalfiles/rfd_conversao.h"
#include "driver/fiscalfiles/sped.h"
#include "driver/protocols/familia0/parametros.h"
#include "fiscalfiles/pasta_rfd.h"
#include "fiscalfiles/rfd_emulador.h"
#include "fiscalfiles/sped_ato.h"
#include "tarvo.h"

namespace teste {

class SpedEmulador : public RfdComEmulador {
  public:
    static constexpr int kDias = 3;

  protected:
    std::string ato = home / "periodo.txt";
    std::string saida = home / "sped.txt";
    std::map<int, std::int64_t> liquidos;  // net total of each receipt (COO), as the printer printed it
    // The days, each closed by a reduction and turned into its RFD; then one ATO file of the
    // period: the head lines of the last day (its E02 holds the grand total at the end) and
    // the record lines of every day, type by type (the last day's E11 last: its counters are
    // those after the period's last reduction).
    void Periodo() {
        std::vector<std::string> cabeca;
        std::map<std::string, std::vector<std::string>> porTipo;
        for (int dia = 1; dia <= kDias; ++dia) {
            emulador::DataHora d;
            d.LeData("0" + std::to_string(dia) + "/03/2010");
            d.LeHora("10:00:00");
            e.Altera([&](emulador::Impressora& i) { i.AjustaRelogio(d); });
            for (const auto& [comando, parametros] : DocumentosDoDiaRfd())
                ASSERT_EQ(tarvo::EnviaComandoTxt(comando, parametros), 1) << comando << " " << parametros;
            ASSERT_EQ(tarvo::EnviaComandoTxt("EmiteReducaoZ", ""), 1);
            ASSERT_EQ(tarvo::RFD_ConvertedaMFDTexto(std::to_string(dia)), 1);
            std::vector<std::string> nomes;
            for (const auto& a : std::filesystem::directory_iterator(home / "rfd"))
                nomes.push_back(a.path().string());
            ASSERT_EQ(nomes.size(), 1u);
            cabeca.clear();
            for (const auto& l : LinhasCrLf(LeArquivo(nomes[0]))) {
                std::string tipo = l.substr(0, 3);
                if (tipo <= "E02")
                    cabeca.push_back(l);
                else
                    porTipo[tipo].push_back(l);
            }
            std::filesystem::remove(nomes[0]);
        }
        std::string texto;
        for (const auto& l : cabeca) texto += l + "\r\n";
        for (const auto& [tipo, linhas] : porTipo)
            for (const auto& l : linhas)
                if (tipo == "E14") liquidos[std::stoi(l.substr(52, 6))] = std::stoll(l.substr(108, 14));
        for (const auto& [tipo, linhas] : porTipo)
            for (const auto& l : linhas) texto += l + "\r\n";
        EscreveArquivo(ato, texto);
    }
    std::vector<std::vector<std::string>> Sped(const char* perfil) {
        EXPECT_EQ(Tarvo_GeraRegistrosSpedTDM(ato.c_str(), saida.c_str(), "01/03/2010", "31/03/2010", perfil,
                                             "5102", "", "0", "0", 1, ato.c_str()),
                  1)
            << tarvo::Erro().UltimaMensagem;
        std::vector<std::vector<std::string>> r;
        for (const auto& l : LinhasCrLf(LeArquivo(saida))) r.push_back(sped::Campos(l));
        return r;
    }
};

}  // namespace teste
