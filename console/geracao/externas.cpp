#include "console/geracao/externas.h"

#include <map>
#include <memory>
#include <mutex>

#include "platform/biblioteca.h"

namespace belmora::geracao {

namespace {

std::mutex& Trava() {
    static std::mutex m;
    return m;
}

CarregadorExterno& Carregador() {
    static CarregadorExterno c;
    return c;
}

template <typename F>
bool Entrada(const plataforma::BibliotecaDinamica& b, const std::string& biblioteca, const char* nome, F& f,
             std::string& erro) {
    f = reinterpret_cast<F>(b.Simbolo(nome));
    if (f) return true;
    erro = "Biblioteca " + biblioteca + " sem a função " + nome;
    return false;
}

// Loaded once and kept: an unload could pull the code from under a reading still running.
// The caller holds the lock.
plataforma::BibliotecaDinamica* Carregada(const std::string& nome, std::string& erro) {
    static std::map<std::string, std::unique_ptr<plataforma::BibliotecaDinamica>> bibliotecas;
    auto& b = bibliotecas[nome];
    if (!b) b = std::make_unique<plataforma::BibliotecaDinamica>();
    if (b->Carrega(nome)) return b.get();
    erro = "Biblioteca " + nome + " não encontrada (" + b->Erro() + ")";
    return nullptr;
}

}  // namespace

bool CarregaEntradasExternas(EntradasExternas& e, std::string& erro, const std::string& leitura,
                             const std::string& ato17) {
    std::lock_guard<std::mutex> l(Trava());
    const plataforma::BibliotecaDinamica* bl = Carregada(leitura, erro);
    if (!bl) return false;
    const plataforma::BibliotecaDinamica* ba = Carregada(ato17, erro);
    if (!ba) return false;
    EntradasExternas r;
    if (!Entrada(*bl, leitura, "DLLReadLeMemorias", r.leMemorias, erro) ||
        !Entrada(*bl, leitura, "DLLReadStatus", r.status, erro) ||
        !Entrada(*ba, ato17, "DLLATO17GeraArquivo", r.geraArquivo, erro))
        return false;
    r.cancela = reinterpret_cast<FnCancelaLeitura>(bl->Simbolo("DLLReadCancelaLeitura"));
    e = r;
    return true;
}

void DefineCarregadorExterno(CarregadorExterno carregador) {
    std::lock_guard<std::mutex> l(Trava());
    Carregador() = std::move(carregador);
}

bool CarregaExternas(EntradasExternas& e, std::string& erro) {
    CarregadorExterno c;
    {
        std::lock_guard<std::mutex> l(Trava());
        c = Carregador();
    }
    return c ? c(e, erro) : CarregaEntradasExternas(e, erro);
}

}  // namespace belmora::geracao
