// Folders and file names as the system names them on Windows, mapped onto Linux.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace plataforma {

// Folder of the host program: $TARVO_HOME when set, else the folder of /proc/self/exe.
// Always ends in '/'.
std::string PastaPrograma();

// Folder of the running executable itself (/proc/self/exe), ending in '/'; $TARVO_HOME does
// not change it. The shipped files of an installed program are found from here.
std::string PastaExecutavel();

// Creates a folder and the folders above it that are missing. True when it exists afterwards.
// A folder that exists with another letter case counts as that folder (see PastaExistente).
bool CriaPasta(const std::string& caminho);

// The folder `nome` inside `pasta`, ending in '/'. Folder names are case-insensitive, as on
// Windows: when folders spelling it in other letter cases exist, the first of them in byte
// order is taken (so every caller lands in the same one); otherwise pasta + nome.
std::string PastaNaPasta(const std::string& pasta, const std::string& nome);
// The same for a whole folder path: its last folder looked up by PastaNaPasta.
std::string PastaExistente(const std::string& caminho);

// The process's working directory, ending in '/'.
std::string PastaAtual();

// Folders searched after the program folder for the configuration file
// (where Windows would have its system and Windows folders), each ending in '/'.
std::vector<std::string> PastasDoSistema();

// A folder as a setting holds it (Windows or Linux form) turned into a Linux folder ending in '/'.
// "C:\" is the program folder, "C:\dados\" is <program folder>/dados/, '\' separates folders,
// absolute Linux paths stay as they are, relative ones are taken from the current folder; the
// last folder is found whatever its letter case on disk (PastaExistente).
std::string ConvertePasta(const std::string& texto);

// The same for a file name: separators and drive prefix mapped, no trailing '/' added.
std::string ConverteArquivo(const std::string& texto);

// The 8.3 short form of a path: Linux has none, so the path itself.
inline std::string CaminhoCurto(const std::string& caminho) {
    return caminho;
}

bool ExisteArquivo(const std::string& caminho);
bool ExistePasta(const std::string& caminho);
// True when this process may create files in the existing folder `pasta`.
bool PastaGravavel(const std::string& pasta);

// A folder of this user's alone at `caminho` (made with mode 0700 when missing), for files no
// other user may touch. When something else already has that name (another user's folder, one
// others may write in, a link, a file), a fresh folder `caminho`-XXXXXX instead. Ends in '/';
// "" when neither can be had.
std::string PastaPrivada(const std::string& caminho);

// Size in bytes of what `caminho` names (links followed); nothing when it cannot be looked at.
std::optional<std::uint64_t> TamanhoDe(const std::string& caminho);

// The file `nome` inside `pasta`. When a file of that name exists with another letter case,
// its real name is returned; otherwise pasta + nome (the spelling a write creates).
std::string ArquivoNaPasta(const std::string& pasta, const std::string& nome);

// The names of the files inside `pasta` that spell `nome` with another letter case.
std::vector<std::string> OutrasGrafias(const std::string& pasta, const std::string& nome);

// Folder part of a path, ending in '/' ("" when the path has no folder).
std::string PastaDe(const std::string& caminho);

}  // namespace plataforma
