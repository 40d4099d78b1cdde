// Loads the real libtarvo.so the way a host program does and reaches its exports by name.
#pragma once

#include <dlfcn.h>

#include <stdexcept>
#include <string>

namespace teste {

class Tarvo {
  public:
    Tarvo() : Tarvo(TARVO_LIB) {}
    // A copy of the library elsewhere (it looks for its stand-ins in its own folder).
    explicit Tarvo(const std::string& caminho) {
        handle_ = ::dlopen(caminho.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle_) throw std::runtime_error(::dlerror());
    }
    ~Tarvo() {
        if (handle_) ::dlclose(handle_);
    }
    Tarvo(const Tarvo&) = delete;
    Tarvo& operator=(const Tarvo&) = delete;

    void* Simbolo(const char* nome) const { return ::dlsym(handle_, nome); }
    // An export of the given type, null when missing.
    template <typename F>
    F* Funcao(const char* nome) const {
        return reinterpret_cast<F*>(Simbolo(nome));
    }

    // Calls an export: t.Chama<int(const char*)>("Tarvo_IniciaPorta", "COM3").
    template <typename F, typename... A>
    auto Chama(const char* nome, A... args) const {
        auto f = reinterpret_cast<F*>(Simbolo(nome));
        if (!f) throw std::runtime_error(std::string("export missing: ") + nome);
        return f(args...);
    }

    int Comando(const char* comando, const std::string& parametros) const {
        return Chama<int(const char*, const char*)>("Tarvo_ExecutaComando", comando, parametros.c_str());
    }

    // Code and message of the last failure.
    std::pair<int, std::string> UltimoErro() const {
        int codigo = 0;
        char msg[1024] = {};
        Chama<int(int*, char*)>("Tarvo_RetornoImpressora", &codigo, msg);
        return {codigo, msg};
    }

  private:
    void* handle_ = nullptr;
};

}  // namespace teste
