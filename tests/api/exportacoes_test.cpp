// Every export of the list, as a host program reaches it: resolved by name in libtarvo.so
// and called under the families that have no implementation of it. The table of calls is
// generated from the export list itself, so an export added to the list is checked here
// without a line of this file changing.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <type_traits>
#include <vector>

#include "comum/ambiente.h"
#include "comum/biblioteca.h"
#include "tarvo_pp.h"

namespace {

// Output buffers are blank-filled as the console fills them, and followed by guard bytes
// that no export may touch.
constexpr std::size_t kGuarda = 32;
constexpr char kByteGuarda = '\x7E';

struct Argumentos {
    std::vector<std::unique_ptr<std::vector<char>>> buffers;
    std::vector<std::pair<std::size_t, const std::vector<char>*>> tamanhos;
    std::vector<std::unique_ptr<int>> inteiros;

    char* Buffer(std::size_t tamanho) {
        auto b = std::make_unique<std::vector<char>>(tamanho + kGuarda, kByteGuarda);
        std::fill(b->begin(), b->begin() + static_cast<std::ptrdiff_t>(tamanho), ' ');
        (*b)[tamanho - 1] = '\0';
        tamanhos.emplace_back(tamanho, b.get());
        buffers.push_back(std::move(b));
        return buffers.back()->data();
    }
    // Input texts are empty, but the one numbered `longo` (in the order the call takes
    // them) is one byte longer than its size in the list.
    int longo = -1, textos = 0;
    std::vector<std::unique_ptr<std::string>> guardados;
    const char* Texto(std::size_t maximo) {
        if (textos++ != longo) return "";
        guardados.push_back(std::make_unique<std::string>(maximo + 1, '7'));
        return guardados.back()->c_str();
    }
    int* Inteiro() {
        inteiros.push_back(std::make_unique<int>(-12345));
        return inteiros.back().get();
    }
    // The first buffer whose guard bytes were written, or -1.
    int GuardaViolada() const {
        for (std::size_t i = 0; i < tamanhos.size(); ++i)
            for (std::size_t k = tamanhos[i].first; k < tamanhos[i].second->size(); ++k)
                if ((*tamanhos[i].second)[k] != kByteGuarda) return static_cast<int>(i);
        return -1;
    }
};

// The argument a host passes for each kind: empty texts, zero, and buffers of the size the
// list gives.
#define ARG(k, ...) TARVO_PP_CAT(ARG_, k)(__VA_ARGS__)
#define ARG_s(n, ...) a.Texto(TARVO_TEXTO_MAXIMO(__VA_ARGS__))
#define ARG_c(n) ""
#define ARG_i(n) 0
#define ARG_x(n, quantos) "", 0
#define ARG_b(n) static_cast<unsigned char>(0)
#define ARG_p(n) a.Inteiro()
#define ARG_o(n, max) a.Buffer(max)
#define ARG_r(n, max, modo, largura) a.Buffer(max)
#define ARG_n(...)

template <typename F, typename... A>
int Resultado(F* f, A... args) {
    if constexpr (std::is_void_v<std::invoke_result_t<F*, A...>>) {
        f(args...);
        return 1;
    } else {
        return static_cast<int>(f(args...));
    }
}

struct Entrada {
    const char* nome;
    const char* despacho;
    int (*chama)(void* simbolo, Argumentos& a);
};

#define TARVO_EXPORT(ret, nome, despacho, ...)                                                 \
    {#nome, #despacho, [](void* simbolo, Argumentos& a) -> int {                               \
         using F = ret(TARVO_MAP(TARVO_DECL, __VA_ARGS__));                                    \
         (void)a;                                                                              \
         return Resultado(reinterpret_cast<F*>(simbolo) TARVO_EACH(VIRGULA_ARG, __VA_ARGS__)); \
     }},
#define VIRGULA_ARG(k, ...) VIRGULA_ARG_(k, ARG(k, __VA_ARGS__))
#define VIRGULA_ARG_(k, valor) TARVO_PP_CAT(VIRGULA_, k)(valor)
#define VIRGULA_s(v) , v
#define VIRGULA_c(v) , v
#define VIRGULA_i(v) , v
#define VIRGULA_b(v) , v
#define VIRGULA_p(v) , v
#define VIRGULA_x(...) , __VA_ARGS__
#define VIRGULA_o(v) , v
#define VIRGULA_r(v) , v
#define VIRGULA_n(v)
const Entrada kExportacoes[] = {
#include "tarvo_exports.def"
};
#undef TARVO_EXPORT

// What an export with logic of its own answers under a family that has no implementation
// of it (empty texts, zero integers): its result and, when `codigo` is set, the last error.
struct Esperado {
    int resultado;
    bool verificaErro;
    int codigo;
    std::string mensagem;
};
Esperado NaoImplementado(const std::string& nome) {
    return {0, true, -3, "Nao Implementado: " + nome};
}

const std::map<std::string, Esperado>& ProprioSemFamilia() {
    static const std::map<std::string, Esperado> m = {
        // Exports that prepare or forward to another export answer with that export's name.
        {"Tarvo_AbreCupom", NaoImplementado("Tarvo_AbreCupom")},
        {"Tarvo_AbreCupomMFD", NaoImplementado("Tarvo_AbreCupomMFD")},
        {"Tarvo_RelatorioGerencial", NaoImplementado("Tarvo_RelatorioGerencial")},
        {"Tarvo_TerminaFechamentoCupom", NaoImplementado("Tarvo_FechaCupom")},
        {"Tarvo_CancelaCupomMFD", NaoImplementado("Tarvo_CancelaCupom")},
        {"Tarvo_LeParametrosPAF", NaoImplementado("Tarvo_CNPJ_IE")},
        {"Tarvo_CGC_IE", NaoImplementado("Tarvo_CNPJ_IE")},
        {"Tarvo_MapaResumoMFD", NaoImplementado("Tarvo_MapaResumo")},
        {"Tarvo_RelatorioTipo60AnaliticoMFD", NaoImplementado("Tarvo_RelatorioTipo60Analitico")},
        {"Tarvo_ContadoresTotalizadoresNaoFiscaisMFD",
         NaoImplementado("Tarvo_ContadoresTotalizadoresNaoFiscais")},
        {"Tarvo_ValorTotalizadorNaoFiscalMFD", NaoImplementado("Tarvo_ValorTotalizadorNaoFiscal")},
        {"Tarvo_ValorFormaPagamentoMFD", NaoImplementado("Tarvo_ValorFormaPagamento")},
        {"Tarvo_VerificaEstadoImpressoraStr", NaoImplementado("Tarvo_VerificaEstadoImpressora")},
        {"Tarvo_VerificaEstadoImpressoraMFD", NaoImplementado("Tarvo_VerificaEstadoImpressora")},
        // Exports that build family-0 frames themselves.
        {"Tarvo_ExecutaComando", NaoImplementado("Tarvo_ExecutaComando")},
        {"Tarvo_ExecutaLeitura", NaoImplementado("Tarvo_ExecutaLeitura")},
        {"Tarvo_AvancaCorta", NaoImplementado("Tarvo_AvancaCorta")},
        {"Tarvo_LinhasEntreCupons", NaoImplementado("Tarvo_LinhasEntreCupons")},
        {"Tarvo_StatusEstendidoMFD", NaoImplementado("Tarvo_StatusEstendidoMFD")},
        {"Tarvo_NumeroSerieCriptografado", NaoImplementado("Tarvo_NumeroSerieCriptografado")},
        {"Tarvo_FechaPortaSerial", NaoImplementado("Tarvo_FechaPortaSerial")},
        {"Tarvo_DownloadMF", NaoImplementado("Tarvo_DownloadMF")},
        // An empty speed is refused before the family is looked at.
        {"Tarvo_ProgramaBaudRate",
         {0, true, -7, "Valores aceitos para esta fun\xE7\xE3o[9600,19200,38400,57600,115200]"}},
        {"Tarvo_VerificaFormasPagamentoMFD",
         {0, true, -2, "Comando Inexistente para este modelo: Tarvo_VerificaFormasPagamentoMFD"}},
        {"Tarvo_TerminaFechamentoCupomCodigoBarrasMFD",
         {0, true, -2, "Comando Inexistente para este modelo: Tarvo_TerminaFechamentoCupomCodigoBarrasMFD"}},
        // Settings kept by the library and pure transforms work under every family.
        {"Tarvo_ProgramaOperador", {1, false, 0, ""}},
        {"Tarvo_ProgramaIdAplicativoMFD", {1, false, 0, ""}},
        {"Tarvo_VerificaReducaoZAutomatica", {1, false, 0, ""}},
        {"Tarvo_NumeroSerieDescriptografado", {1, false, 0, ""}},
        {"Tarvo_RetornoImpressora", {1, false, 0, ""}},
    };
    return m;
}

class Exportacoes : public ::testing::Test {
  protected:
    teste::PastaTemporaria home, dev, atual;
    teste::Variavel v1{"TARVO_HOME", home.Caminho()};
    teste::Variavel v2{"TARVO_DEVDIR", dev.Caminho()};

    // Loads the library under a model in a fresh process, runs `corpo` there and returns the
    // lines it reported (one per fault found).
    std::vector<std::string> NoModelo(const std::string& modelo,
                                      const std::function<void(teste::Tarvo&, std::ostream&)>& corpo) {
        teste::EscreveArquivo(home / "TARVO.INI", "[Sistema]\r\nModeloImp=" + modelo + "\r\n");
        const std::string relatorio = home / "relatorio.txt";
        int r = teste::EmProcessoFilho([&] {
            // Files that some exports write in the current folder stay in a scratch folder.
            if (::chdir(atual.Caminho().c_str()) != 0) return 2;
            teste::Tarvo t;
            std::ostringstream falhas;
            corpo(t, falhas);
            teste::EscreveArquivo(relatorio, falhas.str());
            return 0;
        });
        EXPECT_EQ(r, 0) << modelo;
        std::vector<std::string> linhas;
        std::istringstream s(teste::LeArquivo(relatorio));
        for (std::string l; std::getline(s, l);) linhas.push_back(l);
        return linhas;
    }

    // Calls every export the family has no implementation of and checks what it answers.
    static void VerificaSemImplementacao(teste::Tarvo& t, std::ostream& falhas, bool soFamilia0) {
        const auto& proprios = ProprioSemFamilia();
        for (const Entrada& e : kExportacoes) {
            const std::string nome = e.nome, despacho = e.despacho;
            Esperado esperado;
            if (despacho == "F0" || (despacho == "F0_NUM" && !soFamilia0)) {
                esperado = NaoImplementado(nome);
            } else if (despacho == "PROPRIO" && !soFamilia0 && proprios.count(nome)) {
                esperado = proprios.at(nome);
            } else {
                continue;  // served by this family, or an export of its own checked elsewhere
            }
            Argumentos a;
            const int r = e.chama(t.Simbolo(e.nome), a);
            auto [codigo, mensagem] = t.UltimoErro();
            if (r != esperado.resultado) falhas << nome << ": result " << r << "\n";
            if (esperado.verificaErro && (codigo != esperado.codigo || mensagem != esperado.mensagem))
                falhas << nome << ": " << codigo << " " << mensagem << "\n";
            if (int b = a.GuardaViolada(); b >= 0) falhas << nome << ": wrote past buffer " << b << "\n";
        }
    }
};

TEST_F(Exportacoes, EveryExportOfTheListResolvesByName) {
    teste::Tarvo t;
    int n = 0;
    for (const Entrada& e : kExportacoes) {
        EXPECT_NE(t.Simbolo(e.nome), nullptr) << e.nome;
        ++n;
    }
    EXPECT_GT(n, 200);
}

TEST_F(Exportacoes, TheNonFiscalPrinterFamiliesAnswerNotImplemented) {
    for (const char* modelo : {"TARVO_KELT_LPT", "TARVO_KELT_SERIAL"}) {
        for (const std::string& falha :
             NoModelo(modelo, [](teste::Tarvo&t, std::ostream&f) { VerificaSemImplementacao(t, f, false); }))
            ADD_FAILURE() << modelo << " " << falha;
    }
}

TEST_F(Exportacoes, TheNumericCodeFamiliesAnswerNotImplementedForFamilyZeroOnlyExports) {
    for (const char* modelo : {"TARVO_LISKO", "TARVO_SARTO"}) {
        for (const std::string& falha : NoModelo(modelo, [](teste::Tarvo&t, std::ostream&f) {
                 VerificaSemImplementacao(t, f, true);
                 // The exports that build family-0 frames themselves refuse this family too.
                 for (const char* nome : {"Tarvo_LinhasEntreCupons", "Tarvo_StatusEstendidoMFD",
                                          "Tarvo_NumeroSerieCriptografado", "Tarvo_AvancaCorta",
                                          "Tarvo_ExecutaComando", "Tarvo_DownloadMF"}) {
                     for (const Entrada& e : kExportacoes) {
                         if (std::string(e.nome) != nome) continue;
                         Argumentos a;
                         int r = e.chama(t.Simbolo(e.nome), a);
                         auto [codigo, mensagem] = t.UltimoErro();
                         if (r != 0 || codigo != -3 || mensagem != std::string("Nao Implementado: ") + nome)
                             f << nome << ": " << r << " " << codigo << " " << mensagem << "\n";
                     }
                 }
             }))
            ADD_FAILURE() << modelo << " " << falha;
    }
}

// Every input text of every export, one byte over its size in the list, is refused before
// anything is looked at or sent: no port exists here, so a text that got through would be
// answered with -5 or a family's "not implemented" instead.
TEST_F(Exportacoes, EveryInputTextOverItsSizeIsRefusedBeforeAnythingIsSent) {
    for (const char* modelo : {"TARVO_RIX", "TARVO_LISKO"}) {
        for (const std::string& falha : NoModelo(modelo, [](teste::Tarvo&t, std::ostream&f) {
                 int verificados = 0;
                 for (const Entrada& e : kExportacoes) {
                     for (int longo = 0;; ++longo) {
                         Argumentos a;
                         a.longo = longo;
                         const int r = e.chama(t.Simbolo(e.nome), a);
                         if (longo >= a.textos) break;
                         ++verificados;
                         auto [codigo, mensagem] = t.UltimoErro();
                         if ((r != -2 && r != 0) || codigo != -2 ||
                             mensagem.find("Parametro invalido: ") != 0 ||
                             mensagem.find(" acima de ") == std::string::npos)
                             f << e.nome << " text " << longo << ": " << r << " " << codigo << " " << mensagem
                               << "\n";
                     }
                 }
                 if (verificados < 150) f << "only " << verificados << " texts checked\n";
             }))
            ADD_FAILURE() << modelo << " " << falha;
    }
}

TEST_F(Exportacoes, OwnLogicOutsideFamilyZero) {
    auto falhas = NoModelo("TARVO_KELT_SERIAL", [](teste::Tarvo& t, std::ostream& f) {
        // A speed of the list is refused by the family, and BAUD stays as it was.
        int r = t.Chama<int(const char*)>("Tarvo_ProgramaBaudRate", "19200");
        auto [codigo, mensagem] = t.UltimoErro();
        if (r != 0 || codigo != -3 || mensagem != "Nao Implementado: Tarvo_ProgramaBaudRate")
            f << "baud: " << r << " " << codigo << " " << mensagem << "\n";
        // The extended status is 0 after the refusal; the automatic Z flag is always 0.
        int estado = 77, flag = 77;
        t.Chama<int(int*)>("Tarvo_StatusEstendidoMFD", &estado);
        if (estado != 0) f << "status " << estado << "\n";
        if (t.Chama<int(int*)>("Tarvo_VerificaReducaoZAutomatica", &flag) != 1 || flag != 0) f << "flag\n";
        // The serial-number transform gives the text back when applied twice.
        char a[21] = {}, b[21] = {};
        t.Chama<int(const char*, char*)>("Tarvo_NumeroSerieDescriptografado", "XYZ123", a);
        t.Chama<int(const char*, char*)>("Tarvo_NumeroSerieDescriptografado", a, b);
        if (std::string(b) != "XYZ123") f << "serie " << b << "\n";
        // "ABC" gives three NUL characters: the buffer reads as empty.
        t.Chama<int(const char*, char*)>("Tarvo_NumeroSerieDescriptografado", "ABC", a);
        if (a[0] != 0 || a[1] != 0 || a[2] != 0) f << "ABC\n";
        // A text longer than the buffer's size is cut, never written past it.
        char curto[21 + 8];
        std::memset(curto, '#', sizeof curto);
        t.Chama<int(const char*, char*)>("Tarvo_NumeroSerieDescriptografado", std::string(100, 'q').c_str(),
                                         curto);
        for (std::size_t k = 21; k < sizeof curto; ++k)
            if (curto[k] != '#') f << "past the buffer at " << k << "\n";
        // Null pointers from the host are empty texts or ignored outputs.
        using Tres = int(const char*, const char*, const char*);
        if (t.Chama<int(int*)>("Tarvo_VerificaReducaoZAutomatica", nullptr) != 1) f << "null flag\n";
        if (t.Chama<Tres>("Tarvo_AbreCupomMFD", nullptr, nullptr, nullptr) != 0) f << "null texts\n";
        if (t.Chama<int(const char*)>("Tarvo_ProgramaOperador", nullptr) != 1) f << "null operator\n";
    });
    for (const std::string& falha : falhas) ADD_FAILURE() << falha;
    EXPECT_EQ(teste::LeArquivo(home / "TARVO.INI").find("BAUD=19200"), std::string::npos);
}

TEST_F(Exportacoes, TheNonFiscalPrinterExportsRefuseTheFiscalFamilies) {
    // Every sender of the non-fiscal line answers 0 with -2 and the line's tag under a fiscal
    // printer; the two pictures are not offered under any family.
    for (const char* modelo : {"TARVO_RIX", "TARVO_LISKO"}) {
        for (const std::string& falha : NoModelo(modelo, [](teste::Tarvo&t, std::ostream&f) {
                 const std::set<std::string> outros = {"Kelt_VerificaOnLine", "Kelt_VerificaPoucoPapel",
                                                       "Kelt_VerificaFimPapel", "Kelt_VerificaEstadoGaveta",
                                                       "Kelt_AcionaBuzLite"};
                 int n = 0;
                 for (const Entrada& e : kExportacoes) {
                     const std::string nome = e.nome;
                     if (std::string(e.despacho) != "KELT" || outros.count(nome)) continue;
                     ++n;
                     Argumentos a;
                     const int r = e.chama(t.Simbolo(e.nome), a);
                     auto [codigo, mensagem] = t.UltimoErro();
                     const bool figura =
                         nome.find("Bitmap") != std::string::npos || nome.find("Bmp") != std::string::npos;
                     const std::string esperada =
                         figura ? std::string("Nao Implementado:") +
                                      (nome == "Kelt_ImprimeBitmap" ? nome : "Kelt")
                                : "Comando Inexistente para este modelo:Funcoes da Impressora Kelt";
                     if (r != 0 || codigo != (figura ? -3 : -2) || mensagem != esperada)
                         f << nome << ": " << r << " " << codigo << " " << mensagem << "\n";
                 }
                 if (n != 23) f << n << " senders\n";
             }))
            ADD_FAILURE() << modelo << " " << falha;
    }
}

}  // namespace
