// Cheques, the cheque's magnetic line, authentication and barcodes on family-0 printers.
// Cheques, CMC7 and authentication exist only on the printers with a cheque station
// (sub-model 1); barcodes travel as escape sequences inside free text.
#include <algorithm>
#include <cstdio>

#include "driver/core/configuracao.h"
#include "driver/core/erros.h"
#include "driver/core/exportacao.h"
#include "driver/core/formatadores.h"
#include "driver/core/registro.h"
#include "driver/protocols/familia0/f0_consultas.h"
#include "driver/protocols/familia0/f0_documentos.h"
#include "driver/protocols/familia0/parametros.h"
#include "driver/protocols/familias.h"
#include "platform/ini.h"
#include "platform/pastas.h"

namespace tarvo::familia0 {

using namespace tarvo::consultas;

namespace {

bool ComEstacaoCheque() {
    return Config().SubModelo == 1;
}

// The positions of a bank's layout in CHEQUES.INI, in the order they are sent.
const char* const kPosicoesCheque[] = {
    "HPosAno",           "HPosCidade",        "HPosDia",        "HPosExtensoLinha1", "HPosExtensoLinha2",
    "HPosFavorecido",    "HPosMes",           "HPosMsgLinha1",  "HPosValor",         "VPosCidade",
    "VPosExtensoLinha1", "VPosExtensoLinha2", "VPosFavorecido", "VPosMsgLinha1",     "VPosValor",
};

int RixImprimeCheque(const std::string& banco, const std::string& valor, const std::string& favorecido,
                     const std::string& cidade, const std::string& data, const std::string& mensagem) {
    const std::string arquivo = plataforma::ArquivoNaPasta(plataforma::PastaPrograma(), "CHEQUES.INI");
    if (!plataforma::ExisteArquivo(arquivo)) {
        DefineErro(Falha::ChequesIniAusente);
        GravaLog("---[", Erro().UltimaMensagem, "]---");
        return -8;
    }
    std::string c = Apara(cidade);
    if (c.empty()) c = LeChaveIni("Opcional", "Cidade", "");
    std::string f = Apara(favorecido);
    if (f.empty()) f = LeChaveIni("Opcional", "Favorecido", "");

    // The texts are cut to the cheque's fields, never in the middle of an escape.
    std::string p = "Cidade=" + Aspas(Apara(TrechoInteiro(c, 0, 27))) + " Data=#" + FormataData(data) + "#" +
                    " Favorecido=" + Aspas(Apara(TrechoInteiro(f, 0, 45))) +
                    " Valor=" + FormataDuasDecimais(ValorDoChamador(valor, "Valor"));
    const std::string m = Apara(mensagem);
    if (!m.empty()) {
        const std::string linha1 = TrechoInteiro(m, 0, 80);
        p += " MensagemDocLinha1 =" + Aspas(linha1);
        if (m.size() > linha1.size())
            p += " MensagemDocLinha2 =" + Aspas(TrechoInteiro(m, linha1.size(), 80));
    }

    plataforma::ArquivoIni layout(arquivo);
    if (layout.Existe(banco, "Observacao"))
        GravaLog("Coletando dados Banco:", banco, " =>", layout.Le(banco, "Observacao"));
    else
        GravaLog("Nao encontrado dados Banco:[", banco, "]");
    for (const char* chave : kPosicoesCheque) {
        const std::string v = Apara(layout.Le(banco, chave, ""));
        if (v.empty()) continue;
        const std::string k = chave;
        if (k == "HPosAno") {
            // The year is printed with two digits: a position for four is moved 40 on.
            int ano = ParaInteiro(v, 0);
            if (ano > 40) ano -= 40;
            p += " " + k + "=" + std::to_string(ano);
        } else if (EhIndice(v)) {
            p += " " + k + "=" + v;
        } else {
            // Goes bare into the command: a text there would add parameters of its own.
            GravaLog("Posicao invalida em CHEQUES.INI:[", banco, "] ", k, "=", v);
        }
    }
    return EnviaComandoTxt("ImprimeCheque", p);
}

// Two upper-case hexadecimal digits.
std::string Hexa2(int n) {
    char b[3];
    std::snprintf(b, sizeof b, "%02X", n & 0xFF);
    return b;
}

// GS 'k' m data NUL as the printer's escapes inside free text.
int CodigoBarras(int tipo, const char* codigo, const char* nome) {
    if (tipo != 5 && Config().SubModelo != 1) return InformaComandoInexistente(nome);
    const std::string m = PreencheZerosEsquerda(std::to_string(tipo), 2);
    return EnviaComandoTxt("ImprimeTexto",
                           "TextoLivre=" + Aspas("\\x1Dk\\x" + m + TextoArg(codigo) + "\\x00"));
}

}  // namespace

// --- cheques -------------------------------------------------------------------------------------

int Tarvo_ImprimeCheque(const char* banco, const char* valor, const char* favorecido, const char* cidade,
                        const char* data, const char* mensagem) {
    if (!ComEstacaoCheque()) return InformaComandoInexistente("Tarvo_ImprimeCheque ");
    return RixImprimeCheque(TextoArg(banco), TextoArg(valor), TextoArg(favorecido), TextoArg(cidade),
                            TextoArg(data), TextoArg(mensagem));
}

int Tarvo_ImprimeChequeMFD(const char* banco, const char* valor, const char* favorecido, const char* cidade,
                           const char* data, const char* mensagem, const char* verifica, const char*) {
    if (!ComEstacaoCheque()) return InformaComandoInexistente("Tarvo_ImprimeChequeMFD");
    if (CaracterNaPosicao(TextoArg(verifica), 1) == "1") return ParametroInvalido();
    return RixImprimeCheque(TextoArg(banco), TextoArg(valor), TextoArg(favorecido), TextoArg(cidade),
                            TextoArg(data), TextoArg(mensagem));
}

int Tarvo_IncluiCidadeFavorecido(const char* cidade, const char* favorecido) {
    if (GravaChaveIni("Opcional", "Cidade", TextoArg(cidade)) &&
        GravaChaveIni("Opcional", "Favorecido", TextoArg(favorecido)))
        return 1;
    DefineErro(Falha::GravacaoIni, LocalizaArquivoIni());
    GravaLog("---[", Erro().UltimaMensagem, "]---");
    return 0;
}

int Tarvo_LeituraCheque(char*) {
    Erro().TextoRetorno.clear();
    if (!ComEstacaoCheque()) return InformaComandoInexistente("Tarvo_LeituraCheque");
    // The engine waits up to 40 seconds for this reading: the cheque must pass the reader.
    int r = EnviaComandoTxt("LeTexto", "NomeTexto=\"CMC7Documento\"");
    if (r == 1) Erro().TextoRetorno = Resposta().ValorResposta;
    return r;
}

int Tarvo_VerificaStatusCheque(int* iStatusCheque) {
    if (!ComEstacaoCheque()) return InformaComandoInexistente("Tarvo_VerificaStatusCheque");
    std::string v;
    int r = LeIndicador("SensorCheque", v);
    if (iStatusCheque) *iStatusCheque = r == 1 && v == "11" ? 3 : 1;
    return r;
}

int Tarvo_CancelaImpressaoCheque() {
    const char* nome = " Tarvo_CancelaImpressaoCheque";
    return ComEstacaoCheque() ? InformaNaoImplementado(nome) : InformaComandoInexistente(nome);
}

int Tarvo_ImprimeCopiaCheque() {
    const char* nome = " Tarvo_ImprimeCopiaCheque";
    return ComEstacaoCheque() ? InformaNaoImplementado(nome) : InformaComandoInexistente(nome);
}

// --- authentication ------------------------------------------------------------------------------

int Tarvo_Autenticacao() {
    if (!ComEstacaoCheque()) return InformaComandoInexistente("TarvoRIX_Autenticacao");
    return EnviaComandoTxt("ImprimeAutenticacao", "");
}

int Tarvo_AutenticacaoMFD(const char* linhas, const char* texto) {
    if (!ComEstacaoCheque()) return InformaComandoInexistente("TarvoRIX_Autenticacao");
    const int n = std::clamp(ParaInteiro(Apara(TextoArg(linhas)), 9), 0, 9);
    std::string t;
    for (int i = 0; i < n; ++i) t += "\\n";  // the printer's line break
    return EnviaComandoTxt("ImprimeAutenticacao", "TextoAutenticacao=" + Aspas(t + TextoArg(texto)));
}

// --- barcodes ------------------------------------------------------------------------------------

int Tarvo_CodigoBarrasUPCAMFD(const char* codigo) {
    return CodigoBarras(0, codigo, "Tarvo_CodigoBarrasUPCAMFD");
}
int Tarvo_CodigoBarrasUPCEMFD(const char* codigo) {
    return CodigoBarras(1, codigo, "Tarvo_CodigoBarrasUPCEMFD");
}
int Tarvo_CodigoBarrasEAN13MFD(const char* codigo) {
    return CodigoBarras(2, codigo, "Tarvo_CodigoBarrasEAN13MFD");
}
int Tarvo_CodigoBarrasEAN8MFD(const char* codigo) {
    return CodigoBarras(3, codigo, "Tarvo_CodigoBarrasEAN8MFD");
}
int Tarvo_CodigoBarrasCODE39MFD(const char* codigo) {
    return CodigoBarras(4, codigo, "Tarvo_CodigoBarrasCODE39MFD");
}
int Tarvo_CodigoBarrasITFMFD(const char* codigo) {
    return CodigoBarras(5, codigo, "Tarvo_CodigoBarrasITFMFD");
}
int Tarvo_CodigoBarrasCODABARMFD(const char* codigo) {
    return CodigoBarras(6, codigo, "Tarvo_CodigoBarrasCODABARMFD");
}

int Tarvo_CodigoBarrasCODE128MFD(const char*) {
    return InformaComandoInexistente("TarvoRIX_CodigoBarrasCODE128MFD ");
}
int Tarvo_CodigoBarrasCODE93MFD(const char*) {
    return InformaComandoInexistente("TarvoRIX_CodigoBarrasCODE93MFD ");
}
int Tarvo_CodigoBarrasISBNMFD(const char*) {
    return InformaComandoInexistente("TarvoRIX_CodigoBarrasISBNMFD ");
}
int Tarvo_CodigoBarrasMSIMFD(const char*) {
    return InformaComandoInexistente("TarvoRIX_CodigoBarrasMSIMFD ");
}
int Tarvo_CodigoBarrasPLESSEYMFD(const char*) {
    return InformaComandoInexistente("TarvoRIX_CodigoBarrasPLESSEYMFD ");
}

int Tarvo_ConfiguraCodigoBarrasMFD(int altura, int largura, int posicao, int fonte, int margem) {
    GravaLog("Debugando (" + std::to_string(altura) + ") (" + std::to_string(largura) + ") (" +
             std::to_string(posicao) + ") (" + std::to_string(fonte) + ") (" + std::to_string(margem) + ")");
    // Each setting travels as one byte: a value that does not fit is refused, not cut.
    for (int v : {altura, largura, posicao, fonte})
        if (v < 0 || v > 255) return ParametroInvalido();
    return EnviaComandoTxt("ImprimeTexto",
                           "TextoLivre=" + Aspas("\\x1Dw\\x" + Hexa2(largura) + "\\x1Dh\\x" + Hexa2(altura) +
                                                 "\\x1DH\\x" + Hexa2(posicao) + "\\x1Df\\x" + Hexa2(fonte)));
}

}  // namespace tarvo::familia0
