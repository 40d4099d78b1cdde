#include "console/binding/compostas.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "console/binding/auxiliar.h"
#include "console/binding/chamada.h"
#include "console/binding/ecf_dll.h"
#include "console/binding/log_dll.h"
#include "tarvo.h"

using belmora::ligacao::Chamada;

namespace dll {

namespace {

// A piece of a reply by position (from 1), as much of it as the reply has.
std::string Trecho(const std::string& t, std::size_t inicio, std::size_t n) {
    return inicio - 1 < t.size() ? t.substr(inicio - 1, n) : std::string();
}

}  // namespace

int Tarvo_DataReducao(int crz, std::string& data) {
    std::vector<char> buffer(std::max<std::size_t>(cap::Tarvo_ExecutaLeitura::maior, 513), '\0');
    std::fill_n(buffer.begin(), 512, ' ');
    std::string parametros = "NomeData=\"DataReducao[" + std::to_string(crz) + "]\"";
    int r = belmora::ligacao::RodaChamada(
        [&] { return ::Tarvo_ExecutaLeitura("LeData", parametros.c_str(), buffer.data()); });
    std::string resposta(buffer.data(), ::strnlen(buffer.data(), buffer.size()));
    auto igual = resposta.find('=');
    data = igual == std::string::npos ? std::string() : Trecho(resposta, igual + 3, 10);
    belmora::GravaLogDLL("Tarvo_DataReducao(CRZ, strData);",
                         "CRZ=" + std::to_string(crz) + "\nstrData=" + data, r);
    return r;
}

int LeDadosImpressora(std::string& marca, std::string& modelo, std::string& versao, std::string& numeroSerie,
                      std::string& grandeTotal, std::string& proprietarios, std::string& dataSB,
                      std::string& horaSB) {
    int r;
    {
        std::string tipo(7, ' ');
        Chamada ch("Tarvo_MarcaModeloTipoImpressoraMFD");
        ch.Saida("strMarca", marca, cap::Tarvo_MarcaModeloTipoImpressoraMFD::maior);
        ch.Saida("strModelo", modelo, cap::Tarvo_MarcaModeloTipoImpressoraMFD::maior);
        ch.Saida("strTipo", tipo, cap::Tarvo_MarcaModeloTipoImpressoraMFD::maior);
        r = ch.Executa([&] {
            return ::Tarvo_MarcaModeloTipoImpressoraMFD(ch.Buffer(marca), ch.Buffer(modelo), ch.Buffer(tipo));
        });
        belmora::TrataRetorno(r);
    }
    auto uma = [&](const char* nome, const char* saida, std::string& destino, std::size_t maximo,
                   int (*exportacao)(char*)) {
        Chamada ch(nome);
        ch.Saida(saida, destino, maximo);
        r = ch.Executa([&] { return exportacao(ch.Buffer(destino)); });
        belmora::TrataRetorno(r);
    };
    uma("Tarvo_VersaoFirmware", "strVersao", versao, cap::Tarvo_VersaoFirmware::maior,
        ::Tarvo_VersaoFirmware);
    uma("Tarvo_NumeroSerie", "strNumSerie", numeroSerie, cap::Tarvo_NumeroSerie::maior, ::Tarvo_NumeroSerie);
    uma("Tarvo_GrandeTotal", "strGrandeTotal", grandeTotal, cap::Tarvo_GrandeTotal::maior,
        ::Tarvo_GrandeTotal);
    uma("Tarvo_NumeroSubstituicoesProprietario", "strNumProprietarios", proprietarios,
        cap::Tarvo_NumeroSubstituicoesProprietario::maior, ::Tarvo_NumeroSubstituicoesProprietario);
    {
        Chamada ch("Tarvo_DataHoraSoftwareBasico");
        ch.Saida("strDataSB", dataSB, cap::Tarvo_DataHoraSoftwareBasico::maior);
        ch.Saida("strHoraSB", horaSB, cap::Tarvo_DataHoraSoftwareBasico::maior);
        r = ch.Executa([&] { return ::Tarvo_DataHoraSoftwareBasico(ch.Buffer(dataSB), ch.Buffer(horaSB)); });
        belmora::TrataRetorno(r);
    }
    return r;
}

int DecodificaFlagsFiscais(FlagsFiscais& flags) {
    std::string texto(3, ' ');
    Chamada ch("Tarvo_FlagsFiscaisStr");
    ch.Saida("strFlag", texto, cap::Tarvo_FlagsFiscaisStr::maior);
    int r = ch.Executa([&] { return ::Tarvo_FlagsFiscaisStr(ch.Buffer(texto)); });
    int valor = r == 1 ? std::atoi(texto.c_str()) : 0;
    flags = {(valor & 1) != 0, (valor & 2) != 0,  (valor & 4) != 0,
             (valor & 8) != 0, (valor & 32) != 0, (valor & 128) != 0};
    return r;
}

int RFD_ConvertedaMFD(int crz) {
    return RFD_ConvertedaMFD(std::to_string(crz));
}

int ProgramaArredondamentoTruncamento(int modo) {
    if (modo == 0) return Tarvo_ProgramaArredondamento();
    if (modo == 1) return Tarvo_ProgramaTruncamento();
    return 0;
}

int Tarvo_VerificaTotalizadoresParciaisMFD(std::string& totalizadores, std::string& segundo,
                                           std::string& terceiro, std::string& quarto) {
    std::string resposta(889, ' ');
    int r = Tarvo_VerificaTotalizadoresParciaisMFD(resposta);
    totalizadores = Trecho(resposta, 406, 210);
    segundo = Trecho(resposta, 632, 14);
    terceiro = Trecho(resposta, 617, 14);
    quarto = Trecho(resposta, 647, 14);
    return r;
}

namespace sequencia {

namespace {
int UmaSaida(const char* nome, const char* parametro, const char* valor, std::string& destino,
             std::size_t maximo, int (*exportacao)(char*)) {
    Chamada ch(nome);
    ch.Saida(parametro, destino, maximo, valor);
    return ch.Executa([&] { return exportacao(ch.Buffer(destino)); });
}
}  // namespace

int Tarvo_UltimoItemVendido(std::string& strRetorno) {
    strRetorno.assign(4, ' ');
    return UmaSaida("Tarvo_UltimoItemVendido", "strRetorno", "strRetorno", strRetorno,
                    cap::Tarvo_UltimoItemVendido::maior, ::Tarvo_UltimoItemVendido);
}
int Tarvo_NomeiaTotalizadorNaoSujeitoIcms(int indice, const std::string& nome) {
    return dll::Tarvo_NomeiaTotalizadorNaoSujeitoIcms(indice, nome);
}
int Tarvo_TotalDiaTroco(std::string& strTroco) {
    return UmaSaida("Tarvo_TotalDiaTroco", "strTroco", "TotalDiaTroco", strTroco,
                    cap::Tarvo_TotalDiaTroco::maior, ::Tarvo_TotalDiaTroco);
}
int Tarvo_DadosUltimaReducaoMFD(std::string& strRetorno) {
    return UmaSaida("Tarvo_DadosUltimaReducaoMFD", "strRetorno", "DadosReducao", strRetorno,
                    cap::Tarvo_DadosUltimaReducaoMFD::maior, ::Tarvo_DadosUltimaReducaoMFD);
}
int Tarvo_InscricaoMunicipalMFD(std::string& strIM) {
    return UmaSaida("Tarvo_InscricaoMunicipalMFD", "strIM", "InscricaoMunicipal", strIM,
                    cap::Tarvo_InscricaoMunicipalMFD::maior, ::Tarvo_InscricaoMunicipalMFD);
}
int Tarvo_NomeiaRelatorioGerencialMFD(const std::string& indice, const std::string& nome) {
    return dll::Tarvo_NomeiaRelatorioGerencialMFD(indice, nome);
}
int Tarvo_VerificaTotalizadoresParciaisMFD(std::string& strTotalizadores) {
    return UmaSaida("Tarvo_VerificaTotalizadoresParciaisMFD", "strTotalizadores", "Totalizadores",
                    strTotalizadores, cap::Tarvo_VerificaTotalizadoresParciaisMFD::maior,
                    ::Tarvo_VerificaTotalizadoresParciaisMFD);
}

}  // namespace sequencia

}  // namespace dll
