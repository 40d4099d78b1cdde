// The company data of the SINTEGRA report, kept by the console in TARVO.INI: the [Sintegra]
// section (the console's own; the library never reads it) and [ECF] UF (shared with the
// configuration editor and the library). Values are cut to the length of the field that
// shows them when they are read, so what is shown is what is saved back and sent. Texts are
// Windows-1252, as the file holds them. No widgets here.
#pragma once

#include <array>
#include <string>

namespace belmora {

struct DadosSintegra {
    std::string razaoSocial, endereco, numero, complemento, bairro, cidade, cep, telefone, fax, contato;
    std::string uf;  // [ECF] UF
    bool flag60D = false, flag60I = false, flag60R = false;
};

// One text of the informant: its key in [Sintegra], the field's caption (UTF-8) and object
// name, the most characters it holds. In the order the library takes them.
struct CampoSintegra {
    const char* chave;
    const char* rotulo;
    const char* nome;
    int tamanho;
    std::string DadosSintegra::*valor;
};
const std::array<CampoSintegra, 10>& CamposSintegra();
inline constexpr int kTamanhoUF = 2;

// Reads [Sintegra] and [ECF] UF of `arquivo`: each value trimmed and cut to its field's
// length; a flag is set only when its value begins with "1". A missing file gives empty data.
DadosSintegra LeDadosSintegra(const std::string& arquivo);

// Writes the ten texts, the flags ("1" or empty) and [ECF] UF. False with the reason in
// `erro` (UTF-8) when the file could not be written.
bool GravaDadosSintegra(const std::string& arquivo, const DadosSintegra& d, std::string& erro);

// The record types asked of the library: 4 for 60D, 8 for 60I, 16 for 60R.
int FlagsSintegra(const DadosSintegra& d);

// The report's file: [Sistema] Path of `arquivo` (default "c:\") + "\Sintegra.txt", joined
// as they are (a Path ending in a separator gives two, which the library reads as one).
std::string ArquivoSintegra(const std::string& arquivo);

}  // namespace belmora
