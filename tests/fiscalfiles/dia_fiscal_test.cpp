// A day with every case the fiscal files must tell as the printer recorded it, sold on the
// emulated printer (a leap day), then a month boundary whose Z has no sales and one more day:
// the RFD of each reduction the text way, the period's ATO file the dump way, and the SPED
// and SINTEGRA files made from it, against the printer's memory and against each other.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

#include "comum/ambiente.h"
#include "driver/core/configuracao.h"
#include "driver/core/formatadores.h"
#include "driver/core/registro.h"
#include "driver/fiscalfiles/ato.h"
#include "driver/fiscalfiles/leiaute_ato.h"
#include "driver/protocols/familia0/parametros.h"
#include "fiscalfiles/rfd_emulador.h"
#include "fiscalfiles/sped_ato.h"
#include "tarvo.h"

namespace {

using namespace tarvo;
namespace fs = std::filesystem;
using teste::Passos;
using Registros = std::vector<std::vector<std::string>>;

const std::pair<const char*, std::string> kFim = {"EncerraDocumento", "Operador=\"ANA\""};
std::string Item(const char* aliquota, const char* codigo, const char* preco,
                 const char* quantidade = "1,000") {
    return std::string(aliquota) + " CodProduto=\"" + codigo + "\" NomeProduto=\"PRODUTO " + codigo +
           "\" PrecoUnitario=" + preco + " Quantidade=" + quantidade;
}
const char* const kT18 = "PercentualAliquota=18,00";

// The days, each a table of receipts, one case each (its product codes name it in every file):
// a leap day with every case, a Z with no sales on the first of the month, a day with a sale.
struct Dia {
    const char* data;
    std::vector<std::pair<const char*, Passos>> casos;
};
const std::vector<Dia> kDias = {
    {"29/02/2012",
     {{"four rates, a cancelled item, an item discount, a subtotal discount, a CPF buyer",
       {{"AbreCupomFiscal", "IdConsumidor=\"123.456.789-09\" NomeConsumidor=\"JOSE DA SILVA\""},
        {"VendeItem", Item(kT18, "T18", "4,99", "2,500")},
        {"VendeItem", Item("CodAliquota=-2", "F", "5,00")},
        {"VendeItem", Item("CodAliquota=-3", "I", "30,00")},
        {"VendeItem", Item("CodAliquota=-4", "N", "3,50", "2,000")},
        {"VendeItem", Item(kT18, "CANCITEM", "8,00")},
        {"CancelaItemFiscal", "NumItem=5"},
        {"AcresceItemFiscal", "Cancelar=false NumItem=1 ValorAcrescimo=-1,00"},
        {"AcresceSubtotal", "Cancelar=false ValorAcrescimo=-2,35"},
        {"PagaCupom", "CodMeioPagamento=-2 Valor=60,00"},
        kFim}},
      {"a 10 % subtotal surcharge paid in two equal payments, a CNPJ buyer",
       {{"AbreCupomFiscal", "IdConsumidor=\"11.222.333/0001-81\" NomeConsumidor=\"MERCADO LTDA\""},
        {"VendeItem", Item(kT18, "ACR18", "7,77")},
        {"VendeItem", Item("CodAliquota=-2", "ACRF", "8,63")},
        {"AcresceSubtotal", "Cancelar=false ValorPercentual=10,00"},
        {"PagaCupom", "CodMeioPagamento=-2 Valor=9,02"},
        {"PagaCupom", "CodMeioPagamento=-2 Valor=9,02"},
        kFim}},
      {"a receipt cancelled while open",
       {{"AbreCupomFiscal", ""}, {"VendeItem", Item(kT18, "ABERTO", "10,00")}, {"CancelaCupom", ""}}},
      {"a receipt closed and then cancelled",
       {{"AbreCupomFiscal", ""},
        {"VendeItem", Item(kT18, "FECHADO", "3,00")},
        {"PagaCupom", "CodMeioPagamento=-2 Valor=3,00"},
        kFim,
        {"CancelaCupom", ""}}}}},
    {"01/03/2012", {}},
    {"02/03/2012",
     {{"a sale",
       {{"AbreCupomFiscal", ""},
        {"VendeItem", Item(kT18, "DIA3", "2,00")},
        {"PagaCupom", "CodMeioPagamento=-2 Valor=2,00"},
        kFim}}}},
};
// Products of no sale: none may reach a tax total.
const std::set<std::string> kNaoVendidos = {"CANCITEM", "ABERTO", "FECHADO"};

using teste::Centavos;
using teste::sped::CamposAto;

class DiaFiscal : public teste::RfdComEmulador {
  protected:
    std::vector<std::string> texto;  // the text way's lines of the period
    std::string atoTexto = home / "texto.txt", atoDump;

    void SetUp() override {
        RfdComEmulador::SetUp();
        Configura(PathTdm());
    }
    // Every day sold and closed, its RFD the text way; the period's ATO file both ways.
    void Periodo() {
        std::vector<std::string> cabeca, registros;
        for (std::size_t n = 0; n < kDias.size(); ++n) {
            Relogio(kDias[n].data);
            for (const auto& [caso, passos] : kDias[n].casos) {
                SCOPED_TRACE(caso);
                Envia(passos);
                if (HasFatalFailure()) return;
            }
            ASSERT_EQ(EnviaComandoTxt("EmiteReducaoZ", ""), 1);
            std::vector<std::string> linhas;
            RfdDaReducao(static_cast<int>(n + 1), linhas);
            if (HasFatalFailure()) return;
            cabeca.clear();
            for (const auto& l : linhas)
                (l.substr(0, 3) <= "E02" || l.substr(0, 3) == "E11" ? cabeca : registros).push_back(l);
        }
        // One file of the period: the last day's head and counters, every day's records.
        texto = cabeca;
        texto.insert(texto.end(), registros.begin(), registros.end());
        teste::EscreveLinhasCrLf(atoTexto, texto);
        std::string nome;
        ASSERT_EQ(ato::GeraRFDBinario("29/02/2012", "02/03/2012", 0, 0, nome), 1) << Erro().UltimaMensagem;
        // Every period's file has the same name: this one kept aside.
        atoDump = home / "dump.txt";
        fs::copy_file(nome, atoDump);
    }
    Registros Sped(const std::string& ato) { return RfdComEmulador::Sped(ato, "29/02/2012", "02/03/2012"); }
};

TEST_F(DiaFiscal, TheFilesSayWhatThePrinterRecorded) {
    Periodo();
    if (HasFatalFailure()) return;
    const emulador::Impressora imp = e.Impressora();
    ASSERT_EQ(imp.memoriaFiscal.size(), kDias.size());
    const std::vector<std::string> dump = teste::LinhasCrLf(teste::LeArquivo(atoDump));

    // The two ways agree field by field (items up to the first printed line of their
    // description), the receipt closed and then cancelled is cancelled on its own COO, the
    // percentage surcharge holds its percentage, an item's net total is after its discount.
    const LeiauteLinha leiautes[] = {kLinhaE12, kLinhaE13, kLinhaE14, kLinhaE21};
    for (LeiauteLinha l : leiautes) EXPECT_EQ(CamposAto(texto, l), CamposAto(dump, l)) << l[0].nome;
    const Registros itensTexto = CamposAto(texto, kLinhaE15), itensDump = CamposAto(dump, kLinhaE15);
    ASSERT_EQ(itensTexto.size(), itensDump.size());
    for (std::size_t i = 0; i < itensTexto.size(); ++i)
        for (std::size_t f = 0; f < itensTexto[i].size(); ++f) {
            const std::string a = f == 9 ? AparaDireita(itensTexto[i][f]) : itensTexto[i][f];
            EXPECT_EQ(itensDump[i][f].substr(0, a.size()), a) << "item " << i << " " << kLinhaE15[f].nome;
        }
    std::map<std::string, std::string> cooDoProduto;
    for (const auto& i : itensDump) cooDoProduto[Apara(i[8])] = i[5];
    std::map<std::string, const std::vector<std::string>*> recibo;
    const Registros recibos = CamposAto(dump, kLinhaE14);
    for (const auto& r : recibos) recibo[r[6]] = &r;
    for (const std::string produto : {"ABERTO", "FECHADO"}) {
        ASSERT_TRUE(recibo.count(cooDoProduto[produto])) << produto;
        EXPECT_EQ((*recibo[cooDoProduto[produto]])[14], "S") << produto;
        EXPECT_EQ(Centavos((*recibo[cooDoProduto[produto]])[8]), produto == "ABERTO" ? 1000 : 300) << produto;
    }
    const auto& acrescimo = *recibo[cooDoProduto["ACR18"]];
    EXPECT_EQ(acrescimo[11] + acrescimo[12], "0000000001000P");
    EXPECT_EQ(acrescimo[13], "00000000001804");
    for (const auto& i : itensDump)  // 2,500 x 4,99 = 12,475 as the printer cut it, less 1,00
        if (Apara(i[8]) == "T18") {
            EXPECT_EQ(Centavos(i[15]), (i[21] == "T" ? 1247 : 1248) - 100);
        }

    // SPED from either way's file.
    for (const std::string& ato : {atoDump, atoTexto}) {
        SCOPED_TRACE(ato);
        const Registros sped = Sped(ato);
        std::size_t z = 0;
        std::int64_t gtAnterior = imp.memoriaFiscal.front().gtInicial, c420 = 0, c490 = 0;
        int cancelados = 0;
        bool emCancelado = false;
        auto fecha = [&] {
            EXPECT_EQ(c490, c420) << "reduction " << z;  // the tax totals agree to the cent
            c420 = c490 = 0;
        };
        for (const auto& l : sped) {
            if (l[0] == "C405") {
                if (z) fecha();
                ASSERT_LT(z, imp.memoriaFiscal.size());
                const emulador::RegistroZ& r = imp.memoriaFiscal[z++];
                // The GT at the reduction's end; its step from the one before is the day's sales.
                EXPECT_EQ(Centavos(l[5]), r.gt) << "reduction " << z;
                EXPECT_EQ(Centavos(l[5]) - gtAnterior, Centavos(l[6])) << "reduction " << z;
                gtAnterior = Centavos(l[5]);
            } else if (l[0] == "C420" && (l[1][0] == 'T' || l[1] == "F1" || l[1] == "I1" || l[1] == "N1")) {
                c420 += Centavos(l[2]);
            } else if (l[0] == "C490") {
                c490 += Centavos(l[4]);
            } else if (l[0] == "C460") {
                emCancelado = l[2] == "02";
                cancelados += emCancelado;
            } else if (l[0] == "C470") {
                EXPECT_FALSE(emCancelado) << "an item of a cancelled receipt: " << l[1];
            }
            if (l[0] == "C425" || l[0] == "C470" || l[0] == "C495") {
                EXPECT_FALSE(kNaoVendidos.count(l[l[0] == "C495" ? 2 : 1])) << l[0] << " of no sale";
            }
        }
        fecha();
        EXPECT_EQ(z, kDias.size());
        // The receipt cancelled while open, the one cancelled after its close and the document
        // that cancelled it.
        EXPECT_EQ(cancelados, 3);
    }

    // SINTEGRA of each month from the dump way's file: February's leap day, then March.
    std::string marco;
    ASSERT_EQ(ato::GeraRFDBinario("01/03/2012", "31/03/2012", 0, 0, marco), 1) << Erro().UltimaMensagem;
    std::set<int> reducoes;
    std::int64_t canc = 0, cancImpressora = 0;
    for (const auto& r : imp.memoriaFiscal)
        cancImpressora += r.totais.cancelamentosIcms + r.totais.cancelamentosIss;
    for (const std::string& ato : {atoDump, marco}) {
        const std::string sintegra = home / "sintegra.txt";
        ASSERT_EQ(
            Tarvo_RelatorioSintegraMFDBinario(8, ato.c_str(), sintegra.c_str(), "EMPRESA", "RUA", "1", "",
                                              "CENTRO", "CIDADE", "01234567", "1155551234", "", "MARIA"),
            1)
            << Erro().UltimaMensagem;
        for (const auto& l : teste::LinhasCrLf(teste::LeArquivo(sintegra))) {
            if (l.compare(0, 3, "60M") == 0) {
                const int crz = std::stoi(l.substr(48, 6));
                ASSERT_TRUE(crz >= 1 && crz <= static_cast<int>(imp.memoriaFiscal.size())) << l;
                reducoes.insert(crz);
                EXPECT_EQ(std::stoll(l.substr(73, 16)),
                          imp.memoriaFiscal[static_cast<std::size_t>(crz - 1)].gt)
                    << l;
            } else if (l.compare(0, 3, "60A") == 0 && l.substr(31, 4) == "CANC") {
                canc += std::stoll(l.substr(35, 12));
            } else if (l.compare(0, 3, "60I") == 0) {
                const bool vendido = !kNaoVendidos.count(Apara(l.substr(42, 14)));
                EXPECT_EQ(l.substr(94, 4) == "CANC", !vendido) << l;
                if (!vendido) {
                    EXPECT_EQ(l.substr(98, 12), std::string(12, '0')) << l;
                }
            }
        }
    }
    EXPECT_EQ(reducoes, (std::set<int>{1, 2, 3}));
    EXPECT_EQ(canc, cancImpressora);  // the receipt cancelled after its close included
}

}  // namespace
