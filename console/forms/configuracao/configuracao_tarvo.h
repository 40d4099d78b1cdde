// The keys of TARVO.INI that the configuration editor shows, as plain values: read with the
// editor's defaults, set to its "Restaurar Padrão" values, and written back - only these keys,
// onto the file as it is at that moment (the library rewrites other keys while it runs).
// Texts are Windows-1252, as the file holds them. No widgets here.
#pragma once

#include <string>

namespace belmora {

struct ConfiguracaoTarvo {
    std::string modeloImp = "TARVO_RIX";
    std::string porta = "Com1";
    std::string baud = "115200";
    std::string path = "C:\\", pathRFD = "C:\\", pathTDM = "C:\\";
    std::string timeoutRedZ = "40", timeoutComandos = "10";
    std::string endereco = "278";  // no control: written back as read
    // Integers, kept as the controls' texts; converted when saved.
    std::string espacamento = "7", sangria = "1", suprimento = "0";
    bool geraRfdRedZ = false, tipoGeraRfdRedZ = false, homologar = false, habilitaCorte = false;
    bool modoGaveta = true, checaCts = true, habilitaIcmsCupom = false, lmfAutomatico = false;
    bool corrigeRelogioZ = false;
    std::string uf;  // [ECF] UF; empty: none selected
};

// Reads the editor's keys of `arquivo` with their defaults. `temSistema` tells whether the
// file holds any of the editor's [Sistema] keys (false: a missing file or section).
ConfiguracaoTarvo LeConfiguracaoTarvo(const std::string& arquivo, bool& temSistema);

// The "Restaurar Padrão" values: the folders under `pastaPrograma` (ending in '/'), the
// first entry of the port list (`primeiraPorta`), `ENDERECO` kept from `atual`.
ConfiguracaoTarvo ConfiguracaoPadrao(const std::string& pastaPrograma, const std::string& primeiraPorta,
                                     const ConfiguracaoTarvo& atual);

// Writes the editor's keys in their order. Every number is checked before anything is
// written: an empty or non-numeric one leaves the file untouched and returns false with the
// reason in `erro` (UTF-8, for the message box); so does a file that cannot be written.
bool GravaConfiguracaoTarvo(const std::string& arquivo, const ConfiguracaoTarvo& c, std::string& erro);

}  // namespace belmora
