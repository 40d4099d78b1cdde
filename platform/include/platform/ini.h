// INI profile files with the semantics of the Windows profile functions:
// section and key names match without regard to case, a missing key gives the default,
// a write edits the key's line in place, appends to its section or adds the section,
// and every other byte of the file is kept (comments, unknown sections, line ends, a
// leading UTF-8 byte-order mark). A line ends at CR LF, LF or a lone CR.
//
// The file is shared between processes (the driver in a point-of-sale program and the
// console both write it). Every store takes an exclusive lock on the file's folder, reads
// the file again and applies its edits to what is there; readers take the lock shared.
// - A value whose new text has as many bytes as the old is written in place: a write of
//   a few bytes that a kill cannot cut, so a reader or a crash never sees a mixed file.
//   A counter is stored padded to its widest value, so it is always written that way.
// - Any other change writes a temporary file beside the file and renames it over it,
//   with the file's owner and mode. Where a rename would lose something (the folder
//   cannot be written, the file has other hard links, or its owner could not be kept) the
//   file is rewritten in place instead, under the same lock.
// - A file without any write permission is never written (nor replaced).
// - A store that changes nothing leaves the file untouched.
// - Temporary files of a writer that was killed are removed before the next rewrite, and by
//   the next store of a process that has not stored into that folder yet.
// The per-value path keeps the parsed file of the last store while the file's identity,
// size and time stamps stay the same, so its cost does not grow with the file; it also keeps
// the folder open (checked by identity at every store) to lock it.
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
    // or there was nothing to write. On failure the edits stay in memory and pending.
    bool Salva();

    // The whole text as it stands in memory.
    const std::string& Texto() const { return texto_; }

    // One-shot helpers that open, read or write, and close.
    static std::string LeChave(const std::string& caminho, const std::string& secao, const std::string& chave,
                               const std::string& padrao = "");
    static bool GravaChave(const std::string& caminho, const std::string& secao, const std::string& chave,
                           const std::string& valor);

    // Read-modify-write of one key under the file lock: `novo` receives the current value
    // (nullopt when missing) and returns the value to write. Returns what was written
    // (or was already there), or nullopt when the file could not be written.
    // `largura`: the value is stored padded with blanks to at least that many bytes (readers
    // trim them), so that a counter whose width varies is still written in place.
    // `ausente`: when given, a `caminho` that is not an existing regular file (a link is
    // followed) is left alone: nothing is written and *ausente is set, so that the caller can
    // look for the file elsewhere; the look is made under the lock, as part of the store.
    static std::optional<std::string> Atualiza(
        const std::string& caminho, const std::string& secao, const std::string& chave,
        const std::function<std::string(const std::optional<std::string>&)>& novo, std::size_t largura = 0,
        bool* ausente = nullptr);

    // Why the last store of this thread failed ("" after a store that worked).
    static std::string UltimaFalha();

    // Edits a text in place as a write of the profile functions would (exposed for tests).
    // Writing the value a key already has changes nothing.
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
