// INI profile files with the semantics of the Windows profile functions:
// section and key names match without regard to case, a missing key gives the default,
// a write edits the key's line in place, appends to its section or adds the section,
// and every other byte of the file is kept (comments, unknown sections, CR LF).
//
// The file is shared between processes (the driver in a point-of-sale program and the
// console both rewrite it), so every save takes an exclusive lock on the file's folder,
// reads the file again, applies the pending edits, writes a temporary file and renames
// it over the original: a crash or a second process never sees a half-written file.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace plataforma {

class ArquivoIni {
public:
    // Reads the file (a missing file is an empty profile).
    explicit ArquivoIni(std::string caminho);

    const std::string& Caminho() const { return caminho_; }

    // Value of [secao] chave as the Windows profile functions give it: blanks around the
    // value trimmed, one pair of enclosing quotes removed; `padrao` when the key is missing.
    std::string Le(const std::string& secao, const std::string& chave, const std::string& padrao = "") const;
    bool Existe(const std::string& secao, const std::string& chave) const;

    // Changes the value in memory and remembers the edit for Salva().
    void Grava(const std::string& secao, const std::string& chave, const std::string& valor);

    // Writes the remembered edits to disk (see above). True when the file was written
    // or there was nothing to write.
    bool Salva();

    // The whole text as it stands in memory.
    const std::string& Texto() const { return texto_; }

    // One-shot helpers that open, read or write, and close.
    static std::string LeChave(const std::string& caminho, const std::string& secao, const std::string& chave,
                               const std::string& padrao = "");
    static bool GravaChave(const std::string& caminho, const std::string& secao, const std::string& chave,
                           const std::string& valor);

    // Read-modify-write of one key under the file lock: `novo` receives the current value
    // (nullopt when missing) and returns the value to write. Returns what was written,
    // or nullopt when the file could not be written.
    static std::optional<std::string> Atualiza(
        const std::string& caminho, const std::string& secao, const std::string& chave,
        const std::function<std::string(const std::optional<std::string>&)>& novo);

    // Edits a text in place as a write of the profile functions would (exposed for tests).
    static void AplicaEdicao(std::string& texto, const std::string& secao, const std::string& chave,
                             const std::string& valor);
    static std::optional<std::string> Procura(const std::string& texto, const std::string& secao,
                                              const std::string& chave);

private:
    std::string caminho_;
    std::string texto_;
    std::vector<std::pair<std::pair<std::string, std::string>, std::string>> pendentes_;
};

}  // namespace plataforma
