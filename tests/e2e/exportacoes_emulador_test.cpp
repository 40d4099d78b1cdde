// The facade's own exports against the printer emulator: the PAF identification with the
// buffers a host sizes from tarvo.h, the scrambled serial number, the extended status along a
// receipt, the settings that go to the printer and the paper cutter after a document.
#include <gtest/gtest.h>

#include <cstring>

#include "comum/ambiente.h"
#include "comum/cenario.h"
#include "comum/emulado.h"
#include "emulador/emulador.h"
#include "platform/ini.h"

namespace {

class FacadeEmulador : public teste::ComEmulador {
  protected:
    void Ini(const std::string& extra = "", const std::string& modelo = "TARVO_RIX") {
        ComEmulador::Ini("ModeloImp=" + modelo + "\r\n" + extra);
    }
};

TEST_F(FacadeEmulador, ThePafIdentificationFitsTheBuffersOfItsEntry) {
    Ini();
    std::string falhas = Roda([](teste::Cenario& c) {
        // Each buffer exactly as large as the list says, followed by bytes no export may touch.
        struct Buffer {
            char b[32];
            explicit Buffer() { std::memset(b, '#', sizeof b); }
            bool Intacto(std::size_t tamanho) const {
                for (std::size_t k = tamanho; k < sizeof b; ++k)
                    if (b[k] != '#') return false;
                return true;
            }
            std::string Texto() const { return b; }
        } cnpj, data, hora, serie, ecf, gt;
        PASSO(c, 1, Tarvo_LeParametrosPAF, cnpj.b, data.b, hora.b, serie.b, ecf.b, gt.b);
        if (cnpj.Texto() != "11.222.333/0001-81") c.Falha("CNPJ " + cnpj.Texto());
        if (serie.Texto() != "TV010500000000012345") c.Falha("serie " + serie.Texto());
        if (ecf.Texto() != "0001") c.Falha("ECF " + ecf.Texto());
        if (gt.Texto() != std::string(18, '0')) c.Falha("GT " + gt.Texto());
        if (data.Texto().size() != 6 || hora.Texto().size() != 6)
            c.Falha("data/hora " + data.Texto() + hora.Texto());
        if (!cnpj.Intacto(19) || !data.Intacto(7) || !hora.Intacto(7) || !serie.Intacto(21) ||
            !ecf.Intacto(5) || !gt.Intacto(19))
            c.Falha("written past a buffer");
        // The scrambled serial number turns back into the serial number.
        char cripto[21], claro[21];
        PASSO(c, 1, Tarvo_NumeroSerieCriptografado, cripto);
        PASSO(c, 1, Tarvo_NumeroSerieDescriptografado, cripto, claro);
        if (std::string(claro) != "TV010500000000012345") c.Falha(std::string("descriptografado ") + claro);
        if (std::string(cripto) == std::string(claro)) c.Falha("not scrambled");
    });
    EXPECT_EQ(falhas, "");
}

TEST_F(FacadeEmulador, TheExtendedStatusFollowsTheReceipt) {
    Ini();
    std::string falhas = Roda([](teste::Cenario& c) {
        int estado = -1;
        auto espera = [&](int esperado, const char* quando) {
            estado = -1;
            PASSO(c, 1, Tarvo_StatusEstendidoMFD, &estado);
            if (estado != esperado) c.Falha(std::string(quando) + ": " + std::to_string(estado));
        };
        espera(0, "livre");
        PASSO(c, 1, Tarvo_AbreCupom, "");
        PASSO(c, 1, Tarvo_VendeItem, "1", "A", "FF", "I", "1", 2, "100", "$", "0");
        espera(0, "venda");
        PASSO(c, 1, Tarvo_IniciaFechamentoCupom, "D", "$", "0,10");
        espera(8, "totalizando");
        PASSO(c, 1, Tarvo_EfetuaFormaPagamento, "Dinheiro", "0,50");
        espera(8, "pagamento");
        PASSO(c, 1, Tarvo_EfetuaFormaPagamento, "Dinheiro", "0,50");
        PASSO(c, 1, Tarvo_TerminaFechamentoCupom, "");
        PASSO(c, 1, Tarvo_AbreRelatorioGerencial);
        espera(4, "gerencial");
        PASSO(c, 1, Tarvo_FechaRelatorioGerencial);
        PASSO(c, 1, Tarvo_AbreRecebimentoNaoFiscalMFD, "", "", "");
        espera(1, "nao fiscal");
        PASSO(c, 1, Tarvo_CancelaRecebimentoNaoFiscalMFD, "", "", "");
    });
    EXPECT_EQ(falhas, "");
}

TEST_F(FacadeEmulador, SettingsThatGoToThePrinter) {
    Ini("BAUD=115200\r\n");
    std::string falhas = Roda([](teste::Cenario& c) {
        PASSO(c, 1, Tarvo_LinhasEntreCupons, 45);
        PASSO(c, 0, Tarvo_ProgramaBaudRate, "4800");
        PASSO(c, 1, Tarvo_ProgramaBaudRate, "19200");
        PASSO(c, 1, Tarvo_ProgramaIdAplicativoMFD, "LOJA 12 PDV 3");
        int flag = 9;
        PASSO(c, 1, Tarvo_VerificaReducaoZAutomatica, &flag);
        if (flag != 0) c.Falha("flag " + std::to_string(flag));
        PASSO(c, 0, Tarvo_DownloadMF, 1);
    });
    EXPECT_EQ(falhas, "");
    emulador::Impressora p = e.Impressora();
    EXPECT_EQ(p.espacamentoDocumentos, 900);
    EXPECT_EQ(p.baudRate, 19200);
    EXPECT_EQ(Chave("Sistema", "EspacamentoDocumentos"), "30");
    EXPECT_EQ(Chave("Sistema", "BAUD"), "19200");
    EXPECT_EQ(Chave("Sistema", "IdAplicativo"), "LOJA 12 PDV 3");
}

TEST_F(FacadeEmulador, ThePaperIsCutAfterADocumentWhenTheCutterIsEnabled) {
    Ini("HabilitaCorte=1\r\n", "TARVO_ORVIKTH");
    std::string falhas = Roda([](teste::Cenario& c) {
        PASSO(c, 1, Tarvo_Sangria, "5,00");  // closes without texts: one cut
        PASSO(c, 1, Tarvo_AbreCupom, "");
        PASSO(c, 1, Tarvo_VendeItem, "1", "A", "FF", "I", "1", 2, "100", "$", "0");
        PASSO(c, 1, Tarvo_FechaCupom, "Dinheiro", "", "", "", "1,00", "");
        PASSO(c, 1, Tarvo_CancelaCupom);
        PASSO(c, 1, Tarvo_AcionaGuilhotinaMFD, 12);
    });
    EXPECT_EQ(falhas, "");
    EXPECT_EQ(e.Impressora().cortes, 4);
    std::vector<std::string> cortes;
    for (const emulador::Troca& t : e.Trocas())
        if (t.comando == "CortaPapel") cortes.push_back(t.parametros);
    EXPECT_EQ(cortes, (std::vector<std::string>{"TipoCorte=1", "TipoCorte=1", "TipoCorte=1", "TipoCorte=0"}));
}

}  // namespace
