#include "platform/biblioteca.h"

#include <dlfcn.h>

#include <cctype>

#include "platform/pastas.h"

namespace plataforma {

std::string NomeBibliotecaLinux(const std::string& nomeWindows) {
    std::string base = nomeWindows;
    auto barra = base.find_last_of("\\/");
    if (barra != std::string::npos) base = base.substr(barra + 1);
    if (base.size() > 4) {
        std::string ext = base.substr(base.size() - 4);
        for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (ext == ".dll") base.resize(base.size() - 4);
    }
    for (char& c : base) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return "lib" + base + ".so";
}

std::string PastaDestaBiblioteca() {
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&PastaDestaBiblioteca), &info) && info.dli_fname)
        return PastaDe(std::string(info.dli_fname));
    return PastaPrograma();
}

BibliotecaDinamica::~BibliotecaDinamica() {
    Descarrega();
}

bool BibliotecaDinamica::Carrega(const std::string& nomeWindows) {
    if (handle_) return true;
    std::string nome = NomeBibliotecaLinux(nomeWindows);
    std::string pasta = PastaDestaBiblioteca();
    if (!pasta.empty()) handle_ = ::dlopen((pasta + nome).c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) handle_ = ::dlopen(nome.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) {
        const char* e = ::dlerror();
        erro_ = e ? e : nome;
    }
    return handle_ != nullptr;
}

void* BibliotecaDinamica::Simbolo(const char* nome) const {
    return handle_ ? ::dlsym(handle_, nome) : nullptr;
}

void BibliotecaDinamica::Descarrega() {
    if (handle_) ::dlclose(handle_);
    handle_ = nullptr;
}

}  // namespace plataforma
