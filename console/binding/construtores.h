// Named-parameter commands built from a few typed arguments and sent through the driver's
// generic exports (logged as calls of Tarvo_ExecutaComando and Tarvo_ExecutaLeitura), the
// escapes of accented letters for the printer, and the raw calls that bypass the call log.
// Texts are Windows-1252.
#pragma once

#include <string>

namespace dll {

// Accented letters of Windows-1252 written as "\x" + their code-page-850 code in hex, as
// the printer reads them inside a text value (the letters of the table only).
std::string ConverteAcentos(const std::string& texto);

// Parameter texts of the builders (exposed so that they can be checked without a printer).
namespace parametros {
std::string EmiteLeituraFitaDetalhe(const std::string& inicio, const std::string& fim, int tipo);
std::string DefineNaoFiscal(const std::string& cod, const std::string& nome, const std::string& descricao,
                            const std::string& tipo);
std::string ExcluiNaoFiscal(const std::string& cod, const std::string& nome);
std::string ExcluiGerencial(const std::string& cod, const std::string& nome);
std::string Departamento(const std::string& cod, const std::string& nome);
std::string DefineMeioPagamento(const std::string& cod, const std::string& descricao, const std::string& nome,
                                const std::string& permiteVinculado);
std::string ExcluiMeioPagamento(const std::string& cod, const std::string& nome);
std::string DefineAliquota(const std::string& cod, const std::string& percentual,
                           const std::string& descricao, const std::string& tipo);
std::string Aliquota(const std::string& cod, const std::string& percentual);
std::string ProgramaRelogio(const std::string& data, const std::string& hora);
std::string DefineDadosCabecalho(const std::string& texto, const std::string& loja, const std::string& ecf,
                                 const std::string& altura, const std::string& largura,
                                 const std::string& logotipo);
std::string DefineProprietario(const std::string& cnpj, const std::string& ie, const std::string& im,
                               const std::string& senha);
std::string IniciaFitaDetalhe(const std::string& numSerie, const std::string& cnpj, const std::string& ie,
                              const std::string& im, const std::string& senha);
}  // namespace parametros

// Commands (logged through the Tarvo_ExecutaComando wrapper).
int EmiteLeituraFitaDetalhe(const std::string& inicio, const std::string& fim, int tipo);
int DefineNaoFiscal(const std::string& cod, const std::string& nome, const std::string& descricao,
                    const std::string& tipo);
int ExcluiNaoFiscal(const std::string& cod, const std::string& nome);
int ExcluiGerencial(const std::string& cod, const std::string& nome);
int ExcluiDepartamento(const std::string& cod, const std::string& nome);
int DefineMeioPagamento(const std::string& cod, const std::string& descricao, const std::string& nome,
                        const std::string& permiteVinculado);
int ExcluiMeioPagamento(const std::string& cod, const std::string& nome);
int DefineAliquota(const std::string& cod, const std::string& percentual, const std::string& descricao,
                   const std::string& tipo);
int ExcluiAliquota(const std::string& cod, const std::string& percentual);
int ProgramaRelogio(const std::string& data, const std::string& hora);
int DefineDadosCabecalho(const std::string& texto, const std::string& loja, const std::string& ecf,
                         const std::string& altura, const std::string& largura, const std::string& logotipo);
int DefineProprietario(const std::string& cnpj, const std::string& ie, const std::string& im,
                       const std::string& senha);

// Readings (logged through the Tarvo_ExecutaLeitura wrapper); the reply loses its trailing blanks.
int LeNaoFiscal(const std::string& cod, const std::string& nome, std::string& resposta);
int LeDepartamento(const std::string& cod, const std::string& nome, std::string& resposta);
int LeAliquota(const std::string& cod, const std::string& percentual, std::string& resposta);

// Not logged: the detail-tape start and the raw generic calls of the command sequences.
int IniciaFitaDetalhe(const std::string& numSerie, const std::string& cnpj, const std::string& ie,
                      const std::string& im, const std::string& senha);
int ExecutaComando(const std::string& comando, const std::string& parametros);
int ExecutaLeitura(const std::string& comando, const std::string& parametros, std::string& resposta);

}  // namespace dll
