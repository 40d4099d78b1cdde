// Whole-file replacement: small files that other programs read while we write them, and the
// fiscal files, which a kill must never leave missing or half written.
#pragma once

#include <string>
#include <string_view>

namespace plataforma {

// Replaces the content of `caminho` so that a reader or a kill finds either the old content
// or the new one, never an empty or mixed file. The new content is written into a companion
// file beside it ("." name ".tarvo") that is then exchanged with the file by one atomic
// rename; the companion keeps the old content and is reused by the next replacement, so no
// file is created or freed per write (creating, truncating and renaming over files is what
// costs on a journalling file system) - unless a reader still has it open from before the
// swap, in which case it is left to that reader and a new companion is made (the companion is
// rewritten under a write lease, so an open of it still on its way waits for the exchange;
// when no companion can be leased the file is replaced through a new temporary file). Concurrent
// writers take turns on the companion's lock. Where the folder cannot hold the companion the
// file is written in place. When the file under the name is the one this process put there
// last, nobody has it open and the new content is at least as long as the old and fits in one
// page, it is rewritten where it is by a single write under the same lease instead (a write of
// one page is whole or not done at all).
// A process keeps the two files of the last replaced file open from one replacement to the
// next, and uses each only while its name still leads to it; a child of fork() opens its own.
// False when nothing could be written.
bool SubstituiArquivo(const std::string& caminho, const std::string& texto);

// A file that reaches its name whole or not at all: its content goes into a temporary file
// beside the final name ("." name "." pid ".parcial"), which Conclui flushes to disk, renames
// over the final name and makes durable by flushing the folder too. Until then an earlier file
// under the name stays as it was; a write that fails, or an object destroyed without Conclui,
// removes the temporary. Opening one also removes the temporaries that a killed run of any
// process left for the same name (those whose process no longer exists).
class SaidaSegura {
  public:
    explicit SaidaSegura(std::string caminho);
    ~SaidaSegura();
    SaidaSegura(const SaidaSegura&) = delete;
    SaidaSegura& operator=(const SaidaSegura&) = delete;

    // False when the temporary could not be created (missing folder, no permission).
    bool Aberta() const { return fd_ >= 0; }
    // Buffered; false once any write has failed, and the file is then never published.
    bool Escreve(std::string_view texto);
    // Publishes the file under its name; false (and nothing published) on any failure.
    bool Conclui();
    const std::string& Caminho() const { return caminho_; }
    // The temporary's name, for a writer of our own choosing (an outside library) that fills
    // it by name instead of through Escreve; Conclui then publishes what the name holds.
    const std::string& Temporario() const { return temporario_; }

  private:
    std::string caminho_;
    std::string temporario_;
    std::string buffer_;
    int fd_ = -1;
    bool falhou_ = false;
    bool Descarrega();
};

// The whole text as the file `caminho`, through SaidaSegura.
bool GravaArquivoSeguro(const std::string& caminho, std::string_view texto);
// A copy of `origem` published as `destino` through SaidaSegura.
bool CopiaArquivoSeguro(const std::string& origem, const std::string& destino);
// The file with `texto` added at its end (created when missing), published through SaidaSegura.
bool AnexaArquivoSeguro(const std::string& caminho, std::string_view texto);

}  // namespace plataforma
