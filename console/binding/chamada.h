// One logged call of a driver export: the wrappers register the arguments, hand the
// prepared buffers to the export, and `Conclui` copies the answers back and writes the
// record of the call log. The generated wrappers and the few written by hand share it.
#pragma once

#include <cstddef>
#include <functional>
#include <list>
#include <string>
#include <type_traits>
#include <vector>

namespace belmora::ligacao {

// How a driver call runs. A call may wait for the printer for its whole time-out, so the
// console's window sets a runner that does it on a worker while the window keeps painting
// (console/main/espera.h). Without one, calls run at once on the caller's thread. A runner
// runs `chamada` exactly once and returns when it is over; an exception of it comes back.
using Executor = std::function<void(const std::function<void()>& chamada)>;
void DefineExecutor(Executor executor);
void Roda(const std::function<void()>& chamada);

// Runs `f` (an export and, where it has one, the record of its call) through the runner and
// gives back what `f` returned.
template <typename F>
auto RodaChamada(F&& f) -> decltype(f()) {
    if constexpr (std::is_void_v<decltype(f())>) {
        Roda([&] { f(); });
    } else {
        decltype(f()) r{};
        Roda([&] { r = f(); });
        return r;
    }
}

struct Especial;

class Chamada {
  public:
    // `nome` is the export's name; its entry in the table of special call texts, if any,
    // is looked up here.
    explicit Chamada(const char* nome);
    Chamada(const Chamada&) = delete;
    Chamada& operator=(const Chamada&) = delete;

    // Inputs, in the order of the export's parameters.
    void Texto(const char* nome, const std::string& valor);
    void Inteiro(const char* nome, int valor);

    // An output text. The export gets a buffer that holds what the caller asked for (the
    // length of `destino`, as blanks, or the count of the table of own buffers) and never
    // less than `maximo`, the most the export writes; the answer goes back up to its zero.
    // `nomeValor` is the name in the out-value text when it differs from the parameter's.
    void Saida(const char* nome, std::string& destino, std::size_t maximo, const char* nomeValor = nullptr);
    void SaidaInteira(const char* nome, int& destino, const char* nomeValor = nullptr);

    // The buffer prepared for an output text.
    char* Buffer(const std::string& destino);

    // After the export returned: answers back to the caller, one record in the call log,
    // the result unchanged.
    int Conclui(int resultado);
    // The same for an export without a result: it has returned, and the record shows it as
    // done (result 1) with its out-values.
    void Conclui() { Conclui(1); }

    // Calls `exportacao` and concludes with its result, whether it returns one or not, both
    // through the runner: the record is written as the call ends, so the call log keeps the
    // order of the calls.
    template <typename F>
    auto Executa(F&& exportacao) -> decltype(exportacao()) {
        if constexpr (std::is_void_v<decltype(exportacao())>) {
            Roda([&] {
                exportacao();
                Conclui();
            });
        } else {
            return RodaChamada([&] { return Conclui(exportacao()); });
        }
    }

    // Call text and out-value text as the record will show them (for the composite reads).
    std::string TextoChamada() const;
    std::string TextoValores() const;

  private:
    enum class Tipo { Texto, Inteiro, SaidaTexto, SaidaInteira };
    struct Argumento {
        Tipo tipo = Tipo::Texto;
        std::string nome, nomeValor;
        std::string valor;  // inputs
        std::string* destino = nullptr;
        int* inteiro = nullptr;
        std::vector<char>* buffer = nullptr;
    };

    const Especial* especial_;
    std::string nome_;
    std::vector<Argumento> argumentos_;
    std::list<std::vector<char>> buffers_;  // stable addresses
    int saidas_ = 0;
};

}  // namespace belmora::ligacao
