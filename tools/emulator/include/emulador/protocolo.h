// The printer's side of the named-parameter protocol: cutting frames out of the byte stream,
// reading the named parameters of a command and writing reply frames. Written on its own,
// from the protocol as PROTOCOL.md describes it, so that a fault in the driver's encoder is
// not mirrored here.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace emulador {

// One named parameter as received. Texts come back with their escapes resolved (\x22, \n,
// \xHH); dates and times without their '#'; anything else as the bare token.
struct Parametro {
    enum class Tipo { Texto, DataHora, Bruto };
    std::string nome;
    Tipo tipo = Tipo::Bruto;
    std::string valor;
};

// Reads a parameter text: `Nome=valor` pairs separated by blanks (blanks around '=' are
// tolerated, as some callers write "Valor = 12,34"). Returns false with `erro` set when the
// text is malformed.
bool LeParametros(std::string_view texto, std::vector<Parametro>& saida, std::string& erro);

// Resolves the escapes of a quoted text: backslash-n is a line feed, backslash-x and two
// hexadecimal digits one byte; any other backslash stays as it is.
std::string ResolveEscapes(std::string_view texto);

// Pieces of a command frame "{" packet ";" command ";" parameters ";" length "}".
struct Quadro {
    std::string bruto;       // the frame exactly as received
    std::string pacote;      // packet number text
    std::string comando;     // command word
    std::string parametros;  // parameter text (may hold ';' and '}')
    bool comprimentoPresente = false;
    bool comprimentoCorreto = false;
};

// Splits a complete frame into its pieces; false when it is not a frame at all.
bool DivideQuadro(const std::string& bruto, Quadro& quadro);

// Cuts frames out of the bytes that arrive. A frame ends at a "}" preceded by ";" and the
// decimal length of everything after "{" up to that ";"; a "}" inside a text never ends it.
// A frame whose length is missing (";}") or wrong is taken only once the line has gone quiet,
// because such a "}" could still be part of a longer frame.
class Enquadrador {
  public:
    void Acrescenta(std::string_view bytes);
    // Next complete frame. With `ocioso` true (no byte arrived for a while) the buffer's last
    // "}" also ends a frame whose length is missing or wrong.
    std::optional<std::string> Proximo(bool ocioso);
    // A frame may be waiting for the quiet time (the buffer ends in "}" that was not taken).
    bool AguardaOcio() const;
    bool Vazio() const { return buffer_.empty(); }
    // Bytes thrown away before a "{" (noise on the line), since the last call.
    std::string Descartados();

  private:
    std::string buffer_;
    std::string descartados_;
};

// Reply frame: "{" packet ";" code ";" data ";" length "}".
std::string MontaResposta(const std::string& pacote, int codigo, const std::string& dados);

// Data of an error reply: the two quoted texts the driver joins into its message.
std::string DadosErro(const std::string& nome, const std::string& circunstancia);

// Case-insensitive comparison of ASCII names (command words and parameter names).
bool MesmoNome(std::string_view a, std::string_view b);

}  // namespace emulador
