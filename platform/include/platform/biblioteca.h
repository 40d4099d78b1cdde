// Outside libraries loaded by their Windows name: "Leitura.dll" is libleitura.so, looked up
// first in the folder of libtarvo.so (or of the program that carries this code), then on the
// normal search path.
#pragma once

#include <string>

namespace plataforma {

std::string NomeBibliotecaLinux(const std::string& nomeWindows);

class BibliotecaDinamica {
  public:
    BibliotecaDinamica() = default;
    ~BibliotecaDinamica();
    BibliotecaDinamica(const BibliotecaDinamica&) = delete;
    BibliotecaDinamica& operator=(const BibliotecaDinamica&) = delete;

    bool Carrega(const std::string& nomeWindows);
    bool Carregada() const { return handle_ != nullptr; }
    void* Simbolo(const char* nome) const;
    void Descarrega();
    const std::string& Erro() const { return erro_; }

  private:
    void* handle_ = nullptr;
    std::string erro_;
};

// Folder of the shared object (or program) that holds this code, ending in '/'.
std::string PastaDestaBiblioteca();

}  // namespace plataforma
