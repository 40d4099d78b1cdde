// The exports with logic of their own: settings kept by the library, the serial-number
// transforms, the PAF identification, the extended status, and the document exports that
// prepare a family's implementation before calling it or answer for another export.
#include <algorithm>
#include <cstring>
#include <vector>

#include "driver/api/exportacao.h"
#include "driver/core/configuracao.h"
#include "driver/core/erros.h"
#include "driver/core/estado.h"
#include "driver/core/formatadores.h"
#include "driver/protocols/familia0/f0_documentos.h"
#include "driver/protocols/familia0/parametros.h"
#include "driver/protocols/familias.h"
#include "driver/protocols/numerico/proprios.h"

using namespace tarvo;

namespace {

// The consumer identification of a receipt is forgotten when a new receipt opens.
const char* const kArquivoIdentificacao = "ID.TXT";

bool Familia0() {
    return Config().FamiliaModelo == FamiliaParametros;
}

// Family 0, the numeric-code families, or "not implemented" with the export's name.
template <typename F0, typename Num>
int PorFamilia(const char* nome, F0&& familia0, Num&& numerica) {
    switch (Config().FamiliaModelo) {
        case FamiliaParametros:
            return familia0();
        case FamiliaNumerica1:
        case FamiliaNumerica2:
            return numerica();
        default:
            return InformaNaoImplementado(std::string(" ") + nome);
    }
}

// Exports that build family-0 frames themselves answer "not implemented" under any other
// family, so that no family-0 frame reaches another kind of printer.
bool SoFamilia0(const char* nome) {
    if (Familia0()) return true;
    InformaNaoImplementado(std::string(" ") + nome);
    return false;
}

// A caller's buffer lent to another export: that export writes into a scratch buffer of
// the size its own entry gives, and the text goes on to the caller's buffer within the
// size this export's entry gives. The scratch starts with what the caller's buffer holds,
// so a buffer the other export leaves alone stays as it was.
class Repasse {
  public:
    Repasse(char* destino, std::size_t capacidadeDestino, std::size_t capacidadeOrigem)
        : destino_(destino), capacidade_(capacidadeDestino), rascunho_(capacidadeOrigem + 1, '\0') {
        if (destino_) {
            std::size_t n = ::strnlen(destino_, std::min(capacidadeDestino, capacidadeOrigem));
            std::memcpy(rascunho_.data(), destino_, n);
        }
    }
    char* Buffer() { return rascunho_.data(); }
    void Devolve() { CopiaParaBuffer(destino_, capacidade_, std::string(rascunho_.data())); }

  private:
    char* destino_;
    std::size_t capacidade_;
    std::vector<char> rascunho_;
};

// Each character at position k (from 1) XOR (k + 64): the serial number's transform, which
// is its own inverse.
std::string TransformaSerie(const std::string& texto) {
    std::string r = texto;
    for (std::size_t k = 1; k <= r.size(); ++k)
        r[k - 1] =
            static_cast<char>(static_cast<unsigned char>(r[k - 1]) ^ static_cast<unsigned char>(k + 64));
    return r;
}

}  // namespace

// --- settings kept by the library ----------------------------------------------------------

extern "C" TARVO_API int Tarvo_ProgramaOperador(const char* nome) {
    return Protegido([&] {
        TARVO_LIMITA(Tarvo_ProgramaOperador, nome);
        Estado().NomeOperador = TextoArg(nome);
        return 1;
    });
}

extern "C" TARVO_API int Tarvo_ProgramaIdAplicativoMFD(const char* id) {
    return Protegido([&] {
        TARVO_LIMITA(Tarvo_ProgramaIdAplicativoMFD, id);
        Config().IdAplicativo = TextoArg(id);
        GravaChaveIni("Sistema", "IdAplicativo", Config().IdAplicativo);
        return 1;
    });
}

extern "C" TARVO_API int Tarvo_VerificaReducaoZAutomatica(int* iFlag) {
    return Protegido([&] {
        if (iFlag) *iFlag = 0;
        return 1;
    });
}

extern "C" TARVO_API int Tarvo_LinhasEntreCupons(int linhas) {
    return Protegido([&] {
        if (!SoFamilia0("Tarvo_LinhasEntreCupons")) return 0;
        // The printer feeds at most 30 lines between documents, and never fewer than none.
        const int espacamento = EspacamentoValido(linhas);
        Config().EspacamentoDocumentos = espacamento;
        GravaChaveIni("Sistema", "EspacamentoDocumentos", std::to_string(espacamento));
        ZeraStatus();
        const std::string parametros =
            "NomeInteiro=\"EspacamentoDocumentos\" ValorInteiro=" + std::to_string(espacamento * 30);
        return Tarvo_ExecutaComando("EscreveInteiro", parametros.c_str());
    });
}

extern "C" TARVO_API int Tarvo_ProgramaBaudRate(const char* baud) {
    return Protegido([&] {
        TARVO_LIMITA(Tarvo_ProgramaBaudRate, baud);
        const std::string valor = TextoArg(baud);
        if (valor != "9600" && valor != "19200" && valor != "38400" && valor != "57600" &&
            valor != "115200") {
            DefineErro(Falha::VelocidadeInvalida);
            GravaLog("---[", Erro().UltimaMensagem, "]---");
            return 0;
        }
        if (!SoFamilia0("Tarvo_ProgramaBaudRate")) return 0;
        int r = EnviaComandoTxt("EscreveInteiro", "NomeInteiro=\"BaudRate\" ValorInteiro=" + valor);
        if (r == 1) GravaChaveIni("Sistema", "BAUD", valor);
        return r;
    });
}

// --- serial number and PAF identification ----------------------------------------------------

extern "C" TARVO_API int Tarvo_NumeroSerieCriptografado(char* NumeroSerie) {
    return Protegido([&] {
        if (!SoFamilia0("Tarvo_NumeroSerieCriptografado")) return 0;
        std::string serie;
        constexpr int kRegistradorNumeroSerie = 0;
        int r = LeRegistradorTxt(kRegistradorNumeroSerie, serie);
        if (r == 1) {
            Erro().TextoRetorno = TransformaSerie(serie);
            TARVO_DEVOLVE(Tarvo_NumeroSerieCriptografado, NumeroSerie);
        }
        return r;
    });
}

extern "C" TARVO_API int Tarvo_NumeroSerieDescriptografado(const char* texto,
                                                           char* NumeroSerieDesCriptografado) {
    return Protegido([&] {
        TARVO_LIMITA(Tarvo_NumeroSerieDescriptografado, texto);
        Erro().TextoRetorno = TransformaSerie(TextoArg(texto));
        TARVO_DEVOLVE(Tarvo_NumeroSerieDescriptografado, NumeroSerieDesCriptografado);
        return 1;
    });
}

extern "C" TARVO_API int Tarvo_LeParametrosPAF(char* CNPJ, char* Data, char* Hora, char* NumSerie,
                                               char* NumECF, char* GT) {
    return Protegido([&] {
        using Eu = cap::Tarvo_LeParametrosPAF;
        {
            // The state registration goes into the serial number's buffer, which the serial
            // number then takes over.
            Repasse cnpj(CNPJ, Eu::CNPJ, cap::Tarvo_CNPJ_IE::CNPJ),
                ie(NumSerie, Eu::NumSerie, cap::Tarvo_CNPJ_IE::IE);
            int r = Tarvo_CNPJ_IE(cnpj.Buffer(), ie.Buffer());
            cnpj.Devolve();
            ie.Devolve();
            if (r != 1) return r;
        }
        {
            Repasse serie(NumSerie, Eu::NumSerie, cap::Tarvo_NumeroSerie::strRetorno);
            int r = Tarvo_NumeroSerie(serie.Buffer());
            serie.Devolve();
            if (r != 1) return r;
        }
        {
            Repasse data(Data, Eu::Data, cap::Tarvo_DataHoraImpressora::strData),
                hora(Hora, Eu::Hora, cap::Tarvo_DataHoraImpressora::strHora);
            int r = Tarvo_DataHoraImpressora(data.Buffer(), hora.Buffer());
            data.Devolve();
            hora.Devolve();
            if (r != 1) return r;
        }
        {
            Repasse caixa(NumECF, Eu::NumECF, cap::Tarvo_NumeroCaixa::strRetorno);
            int r = Tarvo_NumeroCaixa(caixa.Buffer());
            caixa.Devolve();
            if (r != 1) return r;
        }
        Repasse total(GT, Eu::GT, cap::Tarvo_GrandeTotal::strRetorno);
        int r = Tarvo_GrandeTotal(total.Buffer());
        total.Devolve();
        return r;
    });
}

// --- status ----------------------------------------------------------------------------------

extern "C" TARVO_API int Tarvo_StatusEstendidoMFD(int* iStatus) {
    return Protegido([&] {
        if (iStatus) *iStatus = 0;
        if (!SoFamilia0("Tarvo_StatusEstendidoMFD")) return 0;
        int r = EnviaComandoTxt("LeTexto", "NomeTexto=\"NomeEstadoFiscal\"");
        if (r != 1) return r;
        const std::string estado = Apara(Resposta().ValorResposta);
        int valor = 0;
        if (estado == "ESTADO_TOTALIZANDO" || estado == "ESTADO_PAGAMENTO")
            valor = 8;
        else if (estado == "ESTADO_GERENCIAL")
            valor = 4;
        else if (estado == "ESTADO_VINCULADO")
            valor = 2;
        else if (estado == "ESTADO_VENDA_NFISCAL")
            valor = 1;
        if (iStatus) *iStatus = valor;
        return r;
    });
}

extern "C" TARVO_API int Tarvo_DownloadMF(int) {
    return Protegido([] { return InformaNaoImplementado(" Tarvo_DownloadMF"); });
}

// --- documents -------------------------------------------------------------------------------

extern "C" TARVO_API int Tarvo_AbreCupom(const char* idConsumidor) {
    return Protegido([&] {
        TARVO_LIMITA(Tarvo_AbreCupom, idConsumidor);
        ApagaArquivo(kArquivoIdentificacao);
        return PorFamilia(
            "Tarvo_AbreCupom", [&] { return familia0::AbreCupom(TextoArg(idConsumidor)); },
            [&] { return numerico::Tarvo_AbreCupom(idConsumidor); });
    });
}

extern "C" TARVO_API int Tarvo_AbreCupomMFD(const char* idConsumidor, const char* nome,
                                            const char* endereco) {
    return Protegido([&] {
        TARVO_LIMITA(Tarvo_AbreCupomMFD, idConsumidor);
        TARVO_LIMITA(Tarvo_AbreCupomMFD, nome);
        TARVO_LIMITA(Tarvo_AbreCupomMFD, endereco);
        ApagaArquivo(kArquivoIdentificacao);
        return PorFamilia(
            "Tarvo_AbreCupomMFD",
            [&] {
                return familia0::AbreCupomMFD(TextoArg(idConsumidor), TextoArg(nome), TextoArg(endereco));
            },
            [&] { return numerico::Tarvo_AbreCupomMFD(idConsumidor, nome, endereco); });
    });
}

extern "C" TARVO_API int Tarvo_TerminaFechamentoCupom(const char* mensagem) {
    return Protegido([&] { return Tarvo_FechaCupom("", "", "", "", "", mensagem ? mensagem : ""); });
    TARVO_LIMITA(Tarvo_TerminaFechamentoCupom, mensagem);
}

extern "C" TARVO_API int Tarvo_CancelaCupomMFD(int, int, int) {
    return Protegido([] { return Tarvo_CancelaCupom(); });
}

extern "C" TARVO_API int Tarvo_TerminaFechamentoCupomCodigoBarrasMFD(const char*, const char*, const char*,
                                                                     int, int, int, int, int, int, int) {
    return Protegido(
        [] { return InformaComandoInexistente(" Tarvo_TerminaFechamentoCupomCodigoBarrasMFD"); });
}

extern "C" TARVO_API int Tarvo_RelatorioGerencial(const char* texto) {
    return Protegido([&] {
        TARVO_LIMITA(Tarvo_RelatorioGerencial, texto);
        // The report is left open; the engine closes it before the next command that is
        // not a reading.
        GravaFlagGerencial(0);
        int r = PorFamilia(
            "Tarvo_RelatorioGerencial", [&] { return ImprimeGerencialTxt(TextoArg(texto)); },
            [&] { return numerico::Tarvo_RelatorioGerencial(texto); });
        if (r == 1) GravaFlagGerencial(1);
        return r;
    });
}
