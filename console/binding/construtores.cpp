#include "console/binding/construtores.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "console/binding/chamada.h"
#include "console/binding/ecf_dll.h"
#include "tarvo.h"

namespace dll {

namespace {

// A text value between double quotes. A double quote inside would end the value early and
// let the rest of the text pass as parameters of its own, so it goes as the printer's
// escape for it.
std::string Aspas(const std::string& texto) {
    std::string r = "\"";
    for (char c : texto) r += c == '"' ? std::string("\\x22") : std::string(1, c);
    return r + "\"";
}

// Adds an item when its value is not empty.
void Item(std::string& p, const std::string& valor, const std::string& item) {
    if (!valor.empty()) p += item;
}

std::string SemBrancosFinais(std::string t) {
    t.erase(t.find_last_not_of(' ') + 1);
    return t;
}

int Leitura(const std::string& comando, const std::string& parametros, std::string& resposta) {
    resposta.assign(2048, ' ');
    int r = Tarvo_ExecutaLeitura(comando, parametros, resposta);
    resposta = SemBrancosFinais(resposta);
    return r;
}

}  // namespace

std::string ConverteAcentos(const std::string& texto) {
    // The letters that are escaped, with their code-page-850 codes. Every other character
    // passes unchanged (ù goes as the code that the payment-method grid loader reads back).
    static const struct {
        unsigned char letra, cp850;
    } kTabela[] = {
        {192, 0xB7}, {193, 0xB5}, {199, 0x80}, {200, 0xD4}, {201, 0x90}, {205, 0xD6}, {211, 0xE0},
        {224, 0x85}, {225, 0xA0}, {226, 0x83}, {227, 0xC6}, {231, 0x87}, {232, 0x8A}, {233, 0x82},
        {234, 0x88}, {236, 0x8D}, {242, 0x95}, {243, 0xA2}, {245, 0xE4}, {249, 0xA1},
    };
    static const char kHex[] = "0123456789ABCDEF";
    std::string r;
    for (unsigned char c : texto) {
        unsigned char cp850 = 0;
        for (const auto& t : kTabela)
            if (t.letra == c) cp850 = t.cp850;
        if (cp850) {
            r += "\\x";
            r += kHex[cp850 >> 4];
            r += kHex[cp850 & 15];
        } else {
            r += static_cast<char>(c);
        }
    }
    return r;
}

namespace parametros {

std::string EmiteLeituraFitaDetalhe(const std::string& inicio, const std::string& fim, int tipo) {
    if (tipo == 0) return "COOInicial=0";
    std::string p = "Destino=\"i\"";
    if (tipo == 1) {
        Item(p, inicio, " DataInicial=#" + inicio + "#");
        Item(p, fim, " DataFinal=#" + fim + "#");
    } else {
        Item(p, inicio, " COOInicial=" + inicio);
        Item(p, fim, " COOFinal=" + fim);
    }
    return p;
}

std::string DefineNaoFiscal(const std::string& cod, const std::string& nome, const std::string& descricao,
                            const std::string& tipo) {
    std::string p;
    Item(p, cod, " CodNaoFiscal=" + cod);
    Item(p, nome, " NomeNaoFiscal=" + Aspas(nome));
    Item(p, descricao, " DescricaoNaoFiscal=" + Aspas(descricao));
    Item(p, tipo, tipo == "Entrada" ? " TipoNaoFiscal=Yes" : " TipoNaoFiscal=No");
    return p;
}

std::string ExcluiNaoFiscal(const std::string& cod, const std::string& nome) {
    std::string p;
    Item(p, cod, " CodNaoFiscal=" + cod);
    Item(p, nome, " NomeNaoFiscal=" + Aspas(nome));
    return p;
}

std::string ExcluiGerencial(const std::string& cod, const std::string& nome) {
    std::string p;
    Item(p, cod, " CodGerencial=" + cod);
    Item(p, nome, " NomeGerencial=" + Aspas(nome));
    return p;
}

std::string Departamento(const std::string& cod, const std::string& nome) {
    std::string p;
    Item(p, cod, " CodDepartamento=" + cod);
    Item(p, nome, " NomeDepartamento=" + Aspas(nome));
    return p;
}

std::string DefineMeioPagamento(const std::string& cod, const std::string& descricao, const std::string& nome,
                                const std::string& permiteVinculado) {
    std::string p;
    Item(p, cod, " CodMeioPagamentoProgram=" + cod);
    Item(p, descricao, " DescricaoMeioPagamento=" + Aspas(descricao));
    Item(p, nome, " NomeMeioPagamento=" + Aspas(ConverteAcentos(nome)));
    Item(p, permiteVinculado, " PermiteVinculado=" + permiteVinculado);
    return p;
}

std::string ExcluiMeioPagamento(const std::string& cod, const std::string& nome) {
    std::string p;
    Item(p, cod, " CodMeioPagamentoProgram=" + cod);
    Item(p, nome, " NomeMeioPagamento=" + Aspas(nome));
    return p;
}

std::string DefineAliquota(const std::string& cod, const std::string& percentual,
                           const std::string& descricao, const std::string& tipo) {
    std::string p = Aliquota(cod, percentual);
    Item(p, descricao, " DescricaoAliquota=" + Aspas(descricao));
    Item(p, tipo, tipo == "ICMS" ? " AliquotaICMS=Yes" : " AliquotaICMS=No");
    return p;
}

std::string Aliquota(const std::string& cod, const std::string& percentual) {
    std::string p;
    Item(p, cod, " CodAliquotaProgramavel=" + cod);
    Item(p, percentual, " PercentualAliquota=" + percentual);
    return p;
}

std::string ProgramaRelogio(const std::string& data, const std::string& hora) {
    std::string p;
    Item(p, data, " Data=#" + data + "#");
    Item(p, hora, " Hora=#" + hora + "#");
    return p;
}

std::string DefineDadosCabecalho(const std::string& texto, const std::string& loja, const std::string& ecf,
                                 const std::string& altura, const std::string& largura,
                                 const std::string& logotipo) {
    std::string p = "Loja=" + loja + " ECF=" + ecf + " TextoCabecalho=" + Aspas(texto);
    Item(p, altura, " AlturaLogotipo=" + altura);
    Item(p, largura, " LarguraLogotipo=" + largura);
    Item(p, logotipo, " Logotipo=" + logotipo);
    return p;
}

std::string DefineProprietario(const std::string& cnpj, const std::string& ie, const std::string& im,
                               const std::string& senha) {
    std::string p = "CNPJ=" + Aspas(cnpj) + " InscricaoEstadual=" + Aspas(ie) + " Senha=" + senha;
    Item(p, im, " InscricaoMunicipal=" + Aspas(im));
    return p;
}

std::string IniciaFitaDetalhe(const std::string& numSerie, const std::string& cnpj, const std::string& ie,
                              const std::string& im, const std::string& senha) {
    std::string p;
    Item(p, numSerie, "NumSerie=" + Aspas(numSerie) + " ");
    Item(p, cnpj, "CNPJ=" + Aspas(cnpj) + " ");
    Item(p, ie, "InscricaoEstadual=" + Aspas(ie) + " ");
    Item(p, im, "InscricaoMunicipal=" + Aspas(im) + " ");
    Item(p, senha, "Senha=" + senha);
    return p;
}

}  // namespace parametros

int EmiteLeituraFitaDetalhe(const std::string& inicio, const std::string& fim, int tipo) {
    return Tarvo_ExecutaComando("EmiteLeituraFitaDetalhe",
                                parametros::EmiteLeituraFitaDetalhe(inicio, fim, tipo));
}
int DefineNaoFiscal(const std::string& cod, const std::string& nome, const std::string& descricao,
                    const std::string& tipo) {
    return Tarvo_ExecutaComando("DefineNaoFiscal", parametros::DefineNaoFiscal(cod, nome, descricao, tipo));
}
int ExcluiNaoFiscal(const std::string& cod, const std::string& nome) {
    return Tarvo_ExecutaComando("ExcluiNaoFiscal", parametros::ExcluiNaoFiscal(cod, nome));
}
int ExcluiGerencial(const std::string& cod, const std::string& nome) {
    return Tarvo_ExecutaComando("ExcluiGerencial", parametros::ExcluiGerencial(cod, nome));
}
int ExcluiDepartamento(const std::string& cod, const std::string& nome) {
    return Tarvo_ExecutaComando("ExcluiDepartamento", parametros::Departamento(cod, nome));
}
int DefineMeioPagamento(const std::string& cod, const std::string& descricao, const std::string& nome,
                        const std::string& permiteVinculado) {
    return Tarvo_ExecutaComando("DefineMeioPagamento",
                                parametros::DefineMeioPagamento(cod, descricao, nome, permiteVinculado));
}
int ExcluiMeioPagamento(const std::string& cod, const std::string& nome) {
    return Tarvo_ExecutaComando("ExcluiMeioPagamento", parametros::ExcluiMeioPagamento(cod, nome));
}
int DefineAliquota(const std::string& cod, const std::string& percentual, const std::string& descricao,
                   const std::string& tipo) {
    return Tarvo_ExecutaComando("DefineAliquota",
                                parametros::DefineAliquota(cod, percentual, descricao, tipo));
}
int ExcluiAliquota(const std::string& cod, const std::string& percentual) {
    return Tarvo_ExecutaComando("ExcluiAliquota", parametros::Aliquota(cod, percentual));
}
int ProgramaRelogio(const std::string& data, const std::string& hora) {
    return Tarvo_ExecutaComando("ProgramaRelogio", parametros::ProgramaRelogio(data, hora));
}
int DefineDadosCabecalho(const std::string& texto, const std::string& loja, const std::string& ecf,
                         const std::string& altura, const std::string& largura, const std::string& logotipo) {
    return Tarvo_ExecutaComando("DefineDadosCabecalho", parametros::DefineDadosCabecalho(
                                                            texto, loja, ecf, altura, largura, logotipo));
}
int DefineProprietario(const std::string& cnpj, const std::string& ie, const std::string& im,
                       const std::string& senha) {
    return Tarvo_ExecutaComando("DefineProprietario", parametros::DefineProprietario(cnpj, ie, im, senha));
}

int LeNaoFiscal(const std::string& cod, const std::string& nome, std::string& resposta) {
    return Leitura("LeNaoFiscal", parametros::ExcluiNaoFiscal(cod, nome), resposta);
}
int LeDepartamento(const std::string& cod, const std::string& nome, std::string& resposta) {
    return Leitura("LeDepartamento", parametros::Departamento(cod, nome), resposta);
}
int LeAliquota(const std::string& cod, const std::string& percentual, std::string& resposta) {
    return Leitura("LeAliquota", parametros::Aliquota(cod, percentual), resposta);
}

int IniciaFitaDetalhe(const std::string& numSerie, const std::string& cnpj, const std::string& ie,
                      const std::string& im, const std::string& senha) {
    const std::string p = parametros::IniciaFitaDetalhe(numSerie, cnpj, ie, im, senha);
    return belmora::ligacao::RodaChamada(
        [&] { return ::Tarvo_ExecutaComando("IniciaFitaDetalhe", p.c_str()); });
}

int ExecutaComando(const std::string& comando, const std::string& parametros) {
    return belmora::ligacao::RodaChamada(
        [&] { return ::Tarvo_ExecutaComando(comando.c_str(), parametros.c_str()); });
}

int ExecutaLeitura(const std::string& comando, const std::string& parametros, std::string& resposta) {
    std::vector<char> buffer(std::max<std::size_t>(cap::Tarvo_ExecutaLeitura::maior, 4097), '\0');
    std::fill_n(buffer.begin(), 4096, ' ');
    int r = belmora::ligacao::RodaChamada(
        [&] { return ::Tarvo_ExecutaLeitura(comando.c_str(), parametros.c_str(), buffer.data()); });
    resposta.assign(buffer.data(), ::strnlen(buffer.data(), buffer.size()));
    resposta = SemBrancosFinais(resposta);
    return r;
}

}  // namespace dll
