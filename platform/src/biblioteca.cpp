#include "platform/biblioteca.h"

#include <dlfcn.h>

#include <cctype>
#include <cinttypes>
#include <cstdio>
#include <fstream>

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

namespace {
// The file mapped at `endereco` as the kernel names it: a full path, whatever folder the
// program was started from or has changed to since. Empty when it cannot be told.
std::string ArquivoMapeado(const void* endereco) {
    std::ifstream mapas("/proc/self/maps");
    const auto a = reinterpret_cast<std::uintptr_t>(endereco);
    std::string linha;
    while (std::getline(mapas, linha)) {
        std::uintptr_t inicio = 0, fim = 0;
        if (std::sscanf(linha.c_str(), "%" SCNxPTR "-%" SCNxPTR, &inicio, &fim) != 2) continue;
        if (a < inicio || a >= fim) continue;
        const auto barra = linha.find('/');
        return barra == std::string::npos ? std::string() : linha.substr(barra);
    }
    return {};
}
}  // namespace

std::string PastaDestaBiblioteca() {
    Dl_info info{};
    const auto* esta = reinterpret_cast<void*>(&PastaDestaBiblioteca);
    if (::dladdr(esta, &info) && info.dli_fname && info.dli_fname[0] == '/')
        return PastaDe(std::string(info.dli_fname));
    // A name relative to the folder that was current at load (a program started as
    // "./programa", a library found through a relative search path) would point elsewhere
    // once the host changes folder.
    const std::string arquivo = ArquivoMapeado(esta);
    if (!arquivo.empty()) return PastaDe(arquivo);
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
