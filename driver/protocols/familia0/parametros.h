// The named-parameter protocol of family-0 printers: one command word with named
// parameters per frame, one reply with a result code and named values.
#pragma once

#include <cstdint>
#include <string>

namespace tarvo {

struct RespostaTxt {
    std::string ValorResposta;             // value of the last successful reading
    std::string DadosResposta;             // data field of the last reply
    std::string CodigoResposta;            // code of payment-form and non-fiscal readings
    std::string PermiteVinculadoResposta;  // one character of payment-form readings
    std::int32_t TipoAliquotaPedido = 0;   // kind of rate a rate reading asks for (0 any)
};
RespostaTxt& Resposta();

// What this thread's exchanges with the printer have come to: how many, the reads they
// waited in, and how many ended on the short quiet after a "}" or on the command's time-out.
// Tests bound the engine's waits with it.
struct ContagemTrocas {
    std::uint64_t trocas = 0, leituras = 0, silencios = 0, limites = 0;
};
ContagemTrocas& TrocasDestaThread();

// Sends one command and decodes its reply, after the pre-commands it needs (the spacing
// once per load, the closing of a report left open, the monthly fiscal-memory reading; each
// of these sent as a plain exchange). 1 success, 0 failure (printer error, no reply,
// CTS missing), -5 port cannot be opened, -8 work folder missing in file-exchange mode,
// -2 a command and parameters over 16 KiB (nothing sent).
int EnviaComandoTxt(const std::string& comando, const std::string& parametros);

// Splits a reply frame into its code (between the first and second ';') and its data
// (between the second and the last ';').
void DivideResposta(const std::string& resposta, std::string& codigo, std::string& dados);

// Value of a reading's data by its leading key (also sets CodigoResposta and
// PermiteVinculadoResposta where the key has them).
std::string ExtraiValorResposta(const std::string& dados);

// A reply is complete when it ends in ";" length "}" and the length counts the characters
// from after "{" through that last ";".
bool RespostaCompleta(const std::string& recebido);

// A frame for a command: "{" packet ";" command ";" parameters ";" length "}".
std::string MontaQuadro(int pacote, const std::string& comando, const std::string& parametros);

// Lines between documents as the printer takes them: 0 to 30 (a larger setting counts as
// 30, a negative one as none).
int EspacamentoValido(long long linhas);

// Time-out in seconds of a command.
int TempoLimiteComando(const std::string& comando, const std::string& parametros);

// A text value for a parameter: in double quotes, with a double quote inside written as
// \x22 so that no caller's text can end the value and add parameters of its own.
std::string Aspas(const std::string& texto);

// Register readings by number, amounts and dates by name, the date and time of the last
// Z reduction.
int LeRegistradorTxt(int numero, std::string& texto);
int RixLeMoedaPorNome(const std::string& nome);
int RixLeDataPorNome(const std::string& nome);
int DataHoraReducaoTxt(std::string& data, std::string& hora);

}  // namespace tarvo
