// Waiting for a file of a folder to be written: file-system notifications where the
// folder's file system gives them, a timed look where it does not (network shares, whose
// changes made on another machine raise no notification here).
#pragma once

#include <cstdint>
#include <string>

namespace plataforma {

class VigiaArquivo {
  public:
    // Watches `arquivo` (full name) for being created, written, closed or renamed into place.
    explicit VigiaArquivo(const std::string& arquivo);
    ~VigiaArquivo();
    VigiaArquivo(const VigiaArquivo&) = delete;
    VigiaArquivo& operator=(const VigiaArquivo&) = delete;

    // Whether the watched file exists now (one stat, no more: it is asked at every look).
    bool Existe() const;

    // True while notifications come; false when only the timed look is left.
    bool Notifica() const { return fd_ >= 0; }

    // Waits until the file may have changed or `prazo` (milliseconds of Monotonico()) has
    // passed, whichever comes first. Where notifications cannot be trusted (none at all, or
    // a network file system, whose changes made on another machine raise none here) it
    // returns at least every `intervaloMs` so that the caller looks again; on a local file
    // system, at least every second, in case one was missed. Never spins.
    void Espera(std::int64_t prazo, int intervaloMs);

  private:
    int fd_ = -1;
    bool remota_ = false;  // the folder is on a network file system
    std::string nome_;     // file name within the folder
    std::string arquivo_;  // full name
};

}  // namespace plataforma
