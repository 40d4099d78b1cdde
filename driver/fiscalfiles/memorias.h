// Memory dumps through the outside libraries: "Leitura.dll" reads the printer's memories
// into a dump file on a thread of its own, "ATO17.dll" turns a dump into an RFD file. Both are
// loaded by name (libleitura.so, libato17.so) and every entry is looked up at each call, so
// the library loads and answers without them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/biblioteca.h"

namespace tarvo::memorias {

// The reading status record that DLLReadStatus fills (148 bytes, little-endian).
struct RegistroStatusLeitura {
    std::uint32_t tamanho;
    std::uint32_t situacao;
    std::uint32_t codigoErro;
    std::uint32_t tamanhoLeitura;
    std::uint32_t progresso;
    char texto[128];
};
static_assert(sizeof(RegistroStatusLeitura) == 148, "the reading status record is 148 bytes");

// "COM1" from "\\.\COM1" (the prefix removed where it stands), upper case; empty is "COM1".
std::string PortaDaLeitura(const std::string& dispositivo);
// The rates the reading library knows; any other is 115200.
int BaudDaLeitura(int baud);

// DLLATO17GeraArquivo of a loaded converter library with its seven texts in order; -1 when
// the entry is missing, and a result of 0 becomes 1.
int ChamaGeraArquivoATO17(const plataforma::BibliotecaDinamica& ato17, const std::string& dump,
                          const std::string& saida, const std::string& inicio, const std::string& fim,
                          char tipoPeriodo, const std::string& usuario, const std::string& tipoLeitura);

// The wrapper of both outside libraries, loaded for the life of the object.
class TQovDlls {
  public:
    TQovDlls(const std::string& porta, int baud);
    ~TQovDlls() = default;
    TQovDlls(const TQovDlls&) = delete;
    TQovDlls& operator=(const TQovDlls&) = delete;

    const std::string& Porta() const { return porta_; }
    int Baud() const { return baud_; }

    // Why a library did not load (empty when it did).
    const std::string& ErroLeitura() const { return erroLeitura_; }
    const std::string& ErroAto17() const { return erroAto17_; }

    // DLLReadLeMemorias on this object's port; -1 when the library or entry is missing, and a
    // result of 0 becomes 1.
    int LeMemorias(const std::string& dump, const std::string& serie, bool aguarda) const;
    // The same on another port (the export reads the configured port at each call).
    int LeMemoriasNaPorta(const std::string& porta, const std::string& dump, const std::string& serie,
                          bool aguarda) const;
    // DLLATO17GeraArquivo with its seven texts in order; -1 when missing, 0 becomes 1.
    int GeraArquivoATO17(const std::string& dump, const std::string& saida, const std::string& inicio,
                         const std::string& fim, char tipoPeriodo, const std::string& usuario,
                         const std::string& tipoLeitura) const;
    // False when the entry is missing.
    bool DefineBaudRate(int baud) const;
    bool CancelaLeitura() const;
    // The reader's state: 1, or -1 (outputs 0 and empty) when the library or entry is missing.
    int LeStatus(int& situacao, int& codigoErro, int& tamanho, int& progresso, std::string& texto) const;

    // Text for a missing library or entry of the reading library (empty when both are there).
    std::string FaltaNaLeitura(const char* entrada) const;

  private:
    void CarregaDlls();
    void* EntradaLeitura(const char* nome) const { return leitura_.Simbolo(nome); }

    plataforma::BibliotecaDinamica ato17_, leitura_;
    std::string porta_;
    int baud_ = 115200;
    std::string erroLeitura_, erroAto17_;
};

// The process-wide reader: created on first use from the configured port and BAUD (a BAUD
// that is no number throws), shared with every caller that holds it, so that no caller ever
// sees it freed under it.
std::shared_ptr<TQovDlls> Leitor();
// Replaces the process-wide reader by a new one; the old one goes when its last holder lets go.
std::shared_ptr<TQovDlls> SubstituiLeitor();

// The last-error record from a code of the outside libraries.
std::string MensagemLeitura(int codigo);
void InformaRetornoLeitura(int codigo);

// Most bytes Tarvo_ContadorReinicioUltimaReducaoZ writes (the export list's size).
constexpr std::size_t kTamanhoContadorReinicio = 7;

// "Memorias" + the first 3 and the last 4 characters of the serial number + ".tdm".
std::string NomeArquivoMemorias(const std::string& serie);

// The algorithms of the exports (the exports wrap them).
int LeMemoriasBinario(const std::string& dump, const std::string& serie, bool aguarda);
int LeStatusGeraBinario(int& situacao, int& codigoErro, int& tamanho, int& progresso, std::string& texto);
int CancelaLeituraBinario();

}  // namespace tarvo::memorias
