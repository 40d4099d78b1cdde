// The driver's configuration: TARVO.INI, read once when the library is loaded, with the
// few keys that later operations read or write again.
#pragma once

#include <cstdint>
#include <string>

namespace plataforma {
class ArquivoIni;
}

namespace tarvo {

// Printer families chosen by ModeloImp.
enum Familia : std::uint8_t {
    FamiliaParametros = 0,  // named-parameter protocol
    FamiliaNumerica1 = 1,   // numeric-code protocol
    FamiliaNumerica2 = 2,
    FamiliaKeltParalela = 4,  // non-fiscal printer on the parallel port
    FamiliaKeltSerial = 5,    // non-fiscal printer on a serial port
};

struct Configuracao {
    std::uint8_t FamiliaModelo = 0;
    std::int32_t SubModelo = 0;
    bool Homologar = false;  // driver log on
    bool Debugger = false;
    std::string Path;  // work folder (Linux form, ends in '/')
    std::int32_t ConfigRede = 0;
    std::string PathRFD;  // ends in '/'
    std::string PathTDM;  // ends in '/'
    std::int32_t Dinheiro = 0;
    bool HabilitaICMSCupom = false;
    std::string UF;
    bool CampanhaEstadual = false;
    std::string CupomManiaTotalImp = "0.00";
    std::string IdAplicativo;
    std::int32_t TimeOutRedZ = 40;
    std::int32_t TimeOutComandos = 10;
    std::int32_t EspacamentoDocumentos = 7;
    std::string HabilitaCorte = "0";  // "0": no automatic cut
    std::int32_t TipoCorte = 0;
    bool ChecaCTS = true;
    bool CorrigeRelogioZ = true;
    std::int32_t Gerencial = 0;  // a management report is open
    std::string Sangria = "1";
    std::string Suprimento = "0";
    std::string GeraRfdRedZ = "0";
    std::string TipoGeraRfdRedZ = "0";
    std::string ModoGaveta = "0";
    bool CupomManiaLido = false;
    std::string CupomManiaValorAux = "0";
    bool LMFAutomatico = false;
    std::string LMFAUT_UltimaData;  // MM/YYYY
    bool LmfAutomaticaFeita = true;
    bool LmfAutomaticaRodando = false;

    // Port settings (slot 1) and the parallel port.
    std::string PortaDispositivo = "\\\\.\\COM1";  // "\\.\COMn", or "LPTn" under family 4
    std::string PortaBaud = "115200";
    std::int32_t PortaDados = 0x378, PortaStatus = 0x379, PortaControle = 0x37A;
};

// Process-wide settings (filled by CarregaConfiguracao).
Configuracao& Config();

// Full name of TARVO.INI: program folder, then the system folders, else the program folder.
std::string LocalizaArquivoIni();

// The load sequence. Runs once when the library is loaded (tests call it directly).
void CarregaConfiguracao();

// Reads Porta, BAUD, Endereco and Path into the settings; queues the write-backs on `ini`.
void LeConfiguracaoPorta(plataforma::ArquivoIni& ini);

// Opens TARVO.INI, runs LeConfiguracaoPorta and saves.
void RelePortaConfigurada();

// Next packet number of the named-parameter protocol (1 to 255), stored at once.
int ProximoPacote();
void GravaFlagGerencial(int valor);
void GravaUltimaLMF(const std::string& mesAno);

// One key of TARVO.INI written at once (single-key writers of the exports).
bool GravaChaveIni(const std::string& secao, const std::string& chave, const std::string& valor);
std::string LeChaveIni(const std::string& secao, const std::string& chave, const std::string& padrao);

// Model code -> family and sub-model.
void FamiliaDoModelo(const std::string& modelo, std::uint8_t& familia, std::int32_t& subModelo);

}  // namespace tarvo
