#include "driver/fiscalfiles/memorias.h"

#include <cstring>
#include <mutex>
#include <shared_mutex>
#include <stdexcept>
#include <utility>

#include "driver/core/configuracao.h"
#include "driver/core/erros.h"
#include "driver/core/exclusao.h"
#include "driver/core/formatadores.h"
#include "driver/core/registro.h"
#include "driver/fiscalfiles/leituras_fiscais.h"
#include "platform/pastas.h"

namespace tarvo::memorias {

namespace {

using FnLeMemorias = int (*)(const char*, const char*, const char*, int);
using FnStatus = int (*)(void*);
using FnSemArgumentos = int (*)();
using FnBaud = int (*)(int);
using FnGeraAto17 = int (*)(const char*, const char*, const char*, const char*, char, const char*,
                            const char*);

const char* const kVerifique =
    "Verifique se a dll est\xE1 no mesmo diret\xF3rio da Tarvo.dll ou no diret\xF3rio System32 do Windows";

std::string NaoEncontrada(const char* dll) {
    return std::string("A Dll ") + dll + " n\xE3o foi encontrada.\n" + kVerifique;
}

// The status record is one for the process, guarded by one lock made once: the reading
// library writes it under the write side, callers copy it out under the read side.
std::shared_mutex& TravaStatus() {
    static std::shared_mutex trava;
    return trava;
}
RegistroStatusLeitura& RegistroStatus() {
    static RegistroStatusLeitura registro{};
    return registro;
}

std::mutex& TravaLeitor() {
    static std::mutex m;
    return m;
}
std::shared_ptr<TQovDlls>& LeitorGlobal() {
    static std::shared_ptr<TQovDlls> leitor;
    return leitor;
}

std::shared_ptr<TQovDlls> NovoLeitor() {
    // BAUD as an integer: a text that is no number throws, as the conversion it stands for does.
    std::size_t fim = 0;
    const std::string& texto = Config().PortaBaud;
    int baud = std::stoi(texto, &fim);
    if (fim != texto.size()) throw std::invalid_argument("'" + texto + "' is not a valid integer value");
    return std::make_shared<TQovDlls>(Config().PortaDispositivo, baud);
}

std::string TamanhoArquivo(const std::string& nome) {
    return std::to_string(plataforma::TamanhoDe(nome).value_or(0));
}

}  // namespace

std::string PortaDaLeitura(const std::string& dispositivo) {
    std::string p = dispositivo;
    if (p.rfind("\\\\.\\", 0) == 0) p.erase(0, 4);
    for (char& c : p) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return p.empty() ? "COM1" : p;
}

int BaudDaLeitura(int baud) {
    switch (baud) {
        case 9600:
        case 19200:
        case 38400:
        case 57600:
        case 115200:
            return baud;
        default:
            return 115200;
    }
}

// --- TQovDlls ---------------------------------------------------------------------------------------

TQovDlls::TQovDlls(const std::string& porta, int baud)
    : porta_(PortaDaLeitura(porta)), baud_(BaudDaLeitura(baud)) {
    TravaStatus();  // the lock exists before the first status call can need it
    CarregaDlls();
    DefineBaudRate(baud_);
}

void TQovDlls::CarregaDlls() {
    // Each library's absence is kept for the operations that need it, so that a missing
    // converter does not stop the reading and its status.
    if (!leitura_.Carrega("Leitura.dll")) erroLeitura_ = NaoEncontrada("Leitura.dll");
    if (!ato17_.Carrega("ATO17.dll")) erroAto17_ = NaoEncontrada("ATO17.dll");
}

std::string TQovDlls::FaltaNaLeitura(const char* entrada) const {
    if (!leitura_.Carregada()) return erroLeitura_;
    if (!EntradaLeitura(entrada))
        return std::string("A fun\xE7\xE3o ") + entrada + " n\xE3o foi encontrada na Dll Leitura.dll.";
    return "";
}

int TQovDlls::LeMemorias(const std::string& dump, const std::string& serie, bool aguarda) const {
    return LeMemoriasNaPorta(porta_, dump, serie, aguarda);
}

int TQovDlls::LeMemoriasNaPorta(const std::string& porta, const std::string& dump, const std::string& serie,
                                bool aguarda) const {
    auto f = reinterpret_cast<FnLeMemorias>(EntradaLeitura("DLLReadLeMemorias"));
    if (!f) return -1;
    int r = f(porta.c_str(), dump.c_str(), serie.c_str(), aguarda ? 1 : 0);
    return r == 0 ? 1 : r;
}

int ChamaGeraArquivoATO17(const plataforma::BibliotecaDinamica& ato17, const std::string& dump,
                          const std::string& saida, const std::string& inicio, const std::string& fim,
                          char tipoPeriodo, const std::string& usuario, const std::string& tipoLeitura) {
    auto f = reinterpret_cast<FnGeraAto17>(ato17.Simbolo("DLLATO17GeraArquivo"));
    if (!f) return -1;
    int r = f(dump.c_str(), saida.c_str(), inicio.c_str(), fim.c_str(), tipoPeriodo, usuario.c_str(),
              tipoLeitura.c_str());
    return r == 0 ? 1 : r;
}

int TQovDlls::GeraArquivoATO17(const std::string& dump, const std::string& saida, const std::string& inicio,
                               const std::string& fim, char tipoPeriodo, const std::string& usuario,
                               const std::string& tipoLeitura) const {
    return ChamaGeraArquivoATO17(ato17_, dump, saida, inicio, fim, tipoPeriodo, usuario, tipoLeitura);
}

bool TQovDlls::DefineBaudRate(int baud) const {
    auto f = reinterpret_cast<FnBaud>(EntradaLeitura("DLLReadDefineBaudRate"));
    if (f) f(baud);
    return f != nullptr;
}

bool TQovDlls::CancelaLeitura() const {
    auto f = reinterpret_cast<FnSemArgumentos>(EntradaLeitura("DLLReadCancelaLeitura"));
    if (f) f();
    return f != nullptr;
}

int TQovDlls::LeStatus(int& situacao, int& codigoErro, int& tamanho, int& progresso,
                       std::string& texto) const {
    situacao = codigoErro = tamanho = progresso = 0;
    texto.clear();
    auto f = reinterpret_cast<FnStatus>(EntradaLeitura("DLLReadStatus"));
    if (!f) return -1;
    RegistroStatusLeitura& r = RegistroStatus();
    {
        std::unique_lock<std::shared_mutex> escrita(TravaStatus());
        std::memset(&r, 0, sizeof r);
        r.tamanho = sizeof r;
        std::memset(r.texto, ' ', sizeof r.texto);
        f(&r);
    }
    std::shared_lock<std::shared_mutex> leitura(TravaStatus());
    situacao = static_cast<int>(r.situacao);
    codigoErro = static_cast<int>(r.codigoErro);
    tamanho = static_cast<int>(r.tamanhoLeitura);
    progresso = static_cast<int>(r.progresso);
    // The text ends at its NUL or at the end of the field, whichever comes first.
    texto = AparaDireita(std::string(r.texto, ::strnlen(r.texto, sizeof r.texto)));
    return 1;
}

// --- the process-wide reader -------------------------------------------------------------------------

std::shared_ptr<TQovDlls> Leitor() {
    std::lock_guard<std::mutex> l(TravaLeitor());
    if (!LeitorGlobal()) LeitorGlobal() = NovoLeitor();
    return LeitorGlobal();
}

std::shared_ptr<TQovDlls> SubstituiLeitor() {
    std::shared_ptr<TQovDlls> novo = NovoLeitor();  // loads outside the lock: polls go on meanwhile
    std::shared_ptr<TQovDlls> velho;
    {
        std::lock_guard<std::mutex> l(TravaLeitor());
        velho = std::exchange(LeitorGlobal(), novo);
    }
    return novo;  // `velho` goes here, or with its last holder
}

// --- codes and names ----------------------------------------------------------------------------------

std::string MensagemLeitura(int codigo) {
    if (const char* texto = TextoDoCodigo(Tabela::Leitura, codigo)) return texto;
    return TextoFalha(Falha::LeituraDesconhecida);
}

void InformaRetornoLeitura(int codigo) {
    if (codigo == 1) {
        Erro().UltimaMensagem.clear();
        Erro().UltimoRetorno = 0;
        return;
    }
    Erro().UltimoRetorno = codigo;
    Erro().UltimaMensagem = MensagemLeitura(codigo);
}

std::string NomeArquivoMemorias(const std::string& serie) {
    // Short serials overlap: the first 3 and the last 4 characters, whatever the length.
    std::string inicio = serie.substr(0, 3);
    std::string fim = serie.size() > 4 ? serie.substr(serie.size() - 4) : serie;
    return "Memorias" + inicio + fim + ".tdm";
}

// --- the exports' algorithms ----------------------------------------------------------------------------

int LeMemoriasBinario(const std::string& dump, const std::string& serie, bool aguarda) {
    GravaLog("Testando comunica\xE7\xE3o com o ECF");
    std::string data;
    int r = LeiturasDaImpressora().LeDataAtual(data);
    if (r == 1) {
        GravaLog("Chamando a fun\xE7\xE3o DLLReadLeMemorias da Leitura.dll");
        GravaLog("DLLReadLeMemorias(", dump, ",", serie, ",", aguarda ? "1" : "0", ")");
        if (LogLigado()) GravaLog("Tamanho atual do arquivo TDM=", TamanhoArquivo(dump));
        // Looked up by name in the process-wide reader, which keeps the library loaded for the
        // status and cancel calls that follow a reading that does not wait.
        r = Leitor()->LeMemoriasNaPorta(PortaDaLeitura(Config().PortaDispositivo), dump, serie, aguarda);
        if (LogLigado()) GravaLog("Tamanho final do arquivo TDM=", TamanhoArquivo(dump));
    }
    InformaRetornoLeitura(r);
    GravaLog("Retorno da fun\xE7\xE3o Tarvo_LeMemoriasBinario:", std::to_string(r), " - ",
             Erro().UltimaMensagem);
    return r;
}

namespace {
// The status and cancel calls run beside a reading that may hold the command lock for as long
// as it lasts; they take it only to write a failure into the last-error record.
void InformaFalta(const std::string& mensagem) {
    ComandoExclusivo vez;
    DefineErro(-1, mensagem);
    GravaLog("Erro: " + mensagem);
}
}  // namespace

int LeStatusGeraBinario(int& situacao, int& codigoErro, int& tamanho, int& progresso, std::string& texto) {
    std::shared_ptr<TQovDlls> leitor = Leitor();
    GravaLog("Chamando a fun\xE7\xE3o DLLReadStatus da Leitura.dll");
    int r = leitor->LeStatus(situacao, codigoErro, tamanho, progresso, texto);
    if (r != 1) {
        InformaFalta(leitor->FaltaNaLeitura("DLLReadStatus"));
        return r;
    }
    GravaLog("Retorno da fun\xE7\xE3o Tarvo_LeStatusGeraBinario: CodErro: " + std::to_string(codigoErro) +
             " Situa\xE7\xE3o: " + std::to_string(situacao) + " Tam. Leitura: " + std::to_string(tamanho) +
             " Progresso: " + std::to_string(progresso) + " Situa\xE7\xE3o: " + texto);
    return 1;
}

int CancelaLeituraBinario() {
    std::shared_ptr<TQovDlls> leitor = Leitor();
    GravaLog("Chamando a fun\xE7\xE3o DLLReadCancelaLeitura da Leitura.dll");
    if (!leitor->CancelaLeitura()) {
        InformaFalta(leitor->FaltaNaLeitura("DLLReadCancelaLeitura"));
        return -1;
    }
    return 1;
}

}  // namespace tarvo::memorias
