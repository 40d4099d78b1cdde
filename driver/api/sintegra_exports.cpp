// The SINTEGRA file of an ECF: of a month (the ATO COTEPE file read from the printer's
// memories, then its records) and of a given ATO COTEPE file.
#include <exception>
#include <string>

#include "driver/api/exportacao.h"
#include "driver/core/configuracao.h"
#include "driver/core/erros.h"
#include "driver/core/estado.h"
#include "driver/core/formatadores.h"
#include "driver/fiscalfiles/ato.h"
#include "driver/fiscalfiles/sintegra.h"
#include "platform/arquivo.h"
#include "platform/pastas.h"
#include "tarvo.h"

using namespace tarvo;

namespace {

// The switches of the flags, the SINTEGRA switch on, the informant's texts and the state of
// TARVO.INI.
void IniciaSintegra(int flags, const char* razaoSocial, const char* endereco, const char* numero,
                    const char* complemento, const char* bairro, const char* cidade, const char* cep,
                    const char* telefone, const char* fax, const char* contato) {
    DefineOpcoesSintegra(flags);
    Estado().GeraSintegraAtivo = true;
    InformanteSintegra& i = Sintegra().Informante;
    i = {TextoArg(razaoSocial),
         TextoArg(endereco),
         TextoArg(numero),
         TextoArg(complemento),
         TextoArg(bairro),
         TextoArg(cidade),
         LeChaveIni("ECF", "UF", ""),
         TextoArg(cep),
         TextoArg(telefone),
         TextoArg(fax),
         TextoArg(contato)};
}

void LimpaOpcoes() {
    DefineOpcoesSintegra(0);
}

// A file name with no folder in it.
bool NomeSemPasta(const std::string& nome) {
    return nome.find_first_of("/\\:") == std::string::npos;
}

// The month or year text as a number; -1 when it is no number.
int Numero(const std::string& texto) {
    const std::string t = Apara(texto);
    if (t.empty() || t.size() > 4 || !EhNumerico(t)) return -1;
    return std::stoi(t);
}

int SintegraBinario(const std::string& origem, const std::string& destino) {
    // An earlier run's records and sums must not reach this file.
    OpcoesSintegra& o = Sintegra();
    o.Registro10.clear();
    o.Registro11.clear();
    const std::string ato = plataforma::ConverteArquivo(origem);
    if (!plataforma::ExisteArquivo(ato)) {
        DefineErro(Falha::ArquivoNaoEncontrado, origem);
        GravaLog("Tarvo_RelatorioSintegraMFDBinario: " + Erro().UltimaMensagem);
        return 0;
    }
    try {
        const int r = GeraSintegraMfdBinario(ato);
        if (r != 1) {
            // The first COO of a reduction could not be read: no file with a wrong one.
            GravaLog(
                "Tarvo_RelatorioSintegraMFDBinario: Falha ao ler o COO inicial de uma Redu\xE7\xE3o Z, "
                "erro: " +
                Erro().UltimaMensagem);
            return 0;
        }
        if (o.Flag60D) MontaRegistros60(0);
        if (o.Flag60R) MontaRegistros60(1);
        GravaArquivoSintegra();
    } catch (const std::exception& e) {
        DefineErro(Falha::ConsolidacaoSintegra, {"Tarvo_RelatorioSintegraMFDBinario", e.what()});
        GravaLog(Erro().UltimaMensagem);
        return 0;
    }
    const std::string saida = DiretorioTemporarioRFD() + "SINTEGRA.TXT";
    if (!plataforma::CopiaArquivoSeguro(saida, plataforma::ConverteArquivo(destino))) {
        DefineErro(Falha::CopiaArquivo, {saida, destino});
        GravaLog("Tarvo_RelatorioSintegraMFDBinario: " + Erro().UltimaMensagem);
        return 0;
    }
    DefineErro(Falha::Nenhuma);  // a success leaves no error behind
    return 1;
}

}  // namespace

extern "C" TARVO_API int Tarvo_RelatorioSintegraMFDBinario(
    int flags, const char* arquivoOrigem, const char* arquivoDestino, const char* razaoSocial,
    const char* endereco, const char* numero, const char* complemento, const char* bairro, const char* cidade,
    const char* cep, const char* telefone, const char* fax, const char* contato) {
    return Protegido([&] {
        TARVO_LIMITA(Tarvo_RelatorioSintegraMFDBinario, arquivoOrigem);
        TARVO_LIMITA(Tarvo_RelatorioSintegraMFDBinario, arquivoDestino);
        TARVO_LIMITA(Tarvo_RelatorioSintegraMFDBinario, razaoSocial);
        TARVO_LIMITA(Tarvo_RelatorioSintegraMFDBinario, endereco);
        TARVO_LIMITA(Tarvo_RelatorioSintegraMFDBinario, numero);
        TARVO_LIMITA(Tarvo_RelatorioSintegraMFDBinario, complemento);
        TARVO_LIMITA(Tarvo_RelatorioSintegraMFDBinario, bairro);
        TARVO_LIMITA(Tarvo_RelatorioSintegraMFDBinario, cidade);
        TARVO_LIMITA(Tarvo_RelatorioSintegraMFDBinario, cep);
        TARVO_LIMITA(Tarvo_RelatorioSintegraMFDBinario, telefone);
        TARVO_LIMITA(Tarvo_RelatorioSintegraMFDBinario, fax);
        TARVO_LIMITA(Tarvo_RelatorioSintegraMFDBinario, contato);
        IniciaSintegra(flags, razaoSocial, endereco, numero, complemento, bairro, cidade, cep, telefone, fax,
                       contato);
        int r = 0;
        try {
            r = SintegraBinario(TextoArg(arquivoOrigem), TextoArg(arquivoDestino));
        } catch (...) {
            LimpaOpcoes();
            throw;
        }
        // The SINTEGRA switch stays on: the month driver, or the RFD of a date range, ends it.
        LimpaOpcoes();
        return r;
    });
}

extern "C" TARVO_API int Tarvo_RelatorioSintegraMFD(int flags, const char* arquivo, const char* mes,
                                                    const char* ano, const char* razaoSocial,
                                                    const char* endereco, const char* numero,
                                                    const char* complemento, const char* bairro,
                                                    const char* cidade, const char* cep, const char* telefone,
                                                    const char* fax, const char* contato) {
    return Protegido([&] {
        TARVO_LIMITA(Tarvo_RelatorioSintegraMFD, arquivo);
        TARVO_LIMITA(Tarvo_RelatorioSintegraMFD, mes);
        TARVO_LIMITA(Tarvo_RelatorioSintegraMFD, ano);
        TARVO_LIMITA(Tarvo_RelatorioSintegraMFD, razaoSocial);
        TARVO_LIMITA(Tarvo_RelatorioSintegraMFD, endereco);
        TARVO_LIMITA(Tarvo_RelatorioSintegraMFD, numero);
        TARVO_LIMITA(Tarvo_RelatorioSintegraMFD, complemento);
        TARVO_LIMITA(Tarvo_RelatorioSintegraMFD, bairro);
        TARVO_LIMITA(Tarvo_RelatorioSintegraMFD, cidade);
        TARVO_LIMITA(Tarvo_RelatorioSintegraMFD, cep);
        TARVO_LIMITA(Tarvo_RelatorioSintegraMFD, telefone);
        TARVO_LIMITA(Tarvo_RelatorioSintegraMFD, fax);
        TARVO_LIMITA(Tarvo_RelatorioSintegraMFD, contato);
        struct Encerra {
            ~Encerra() {
                DefineOpcoesSintegra(0);
                Estado().GeraSintegraAtivo = false;
            }
        } encerra;
        IniciaSintegra(flags, razaoSocial, endereco, numero, complemento, bairro, cidade, cep, telefone, fax,
                       contato);
        const int m = Numero(TextoArg(mes)), a = Numero(TextoArg(ano));
        // Refused before the printer is asked: no reading of a month that does not exist.
        if (m < 1 || m > 12) {
            DefineErro(Falha::MesInvalido, TextoArg(mes));
            GravaLog("Tarvo_RelatorioSintegraMFD: " + Erro().UltimaMensagem);
            return 0;
        }
        if (a < 1) {
            DefineErro(Falha::AnoInvalido, TextoArg(ano));
            GravaLog("Tarvo_RelatorioSintegraMFD: " + Erro().UltimaMensagem);
            return 0;
        }
        const std::string mm = PreencheZerosEsquerda(std::to_string(m), 2),
                          aaaa = PreencheZerosEsquerda(std::to_string(a), 4);
        const std::string inicio = "01/" + mm + "/" + aaaa;
        const std::string fim =
            PreencheZerosEsquerda(std::to_string(UltimoDiaMes(m, a)), 2) + "/" + mm + "/" + aaaa;
        char nome[ato::kTamanhoNomeArquivo] = {};
        int r = ::Tarvo_GeraRFDBinario(inicio.c_str(), fim.c_str(), 1, 0, nome);
        if (r != 1) return r;
        if (!plataforma::CriaPasta(DiretorioTemporarioRFD())) {
            DefineErro(Falha::CriacaoPasta, DiretorioTemporarioRFD());
            return 0;
        }
        const std::string destino = TextoArg(arquivo);
        r = ::Tarvo_RelatorioSintegraMFDBinario(flags, nome, destino.c_str(), razaoSocial, endereco, numero,
                                                complemento, bairro, cidade, cep, telefone, fax, contato);
        if (r != 1) return 0;
        // A bare file name goes into the work folder as well.
        if (NomeSemPasta(destino) && !destino.empty()) {
            const std::string copia = Config().Path + destino;
            if (!plataforma::CopiaArquivoSeguro(DiretorioTemporarioRFD() + "SINTEGRA.TXT", copia)) {
                DefineErro(Falha::CopiaSintegra, copia);
                GravaLog("Tarvo_RelatorioSintegraMFD: " + Erro().UltimaMensagem);
                return 0;
            }
        }
        return 1;
    });
}
