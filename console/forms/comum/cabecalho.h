// The printer's receipt header as the console shows and edits it. The printer keeps the header
// as lines separated by line feeds, with print escapes; the forms show one line per edit with
// the bold escapes as tags and an expanded line marked apart. One table of the escapes serves
// every form that reads or writes the header.
#pragma once

#include <QString>
#include <QStringList>
#include <array>

namespace belmora {

// The escapes of the header and what the forms show for them.
struct TagCabecalho {
    QString bytes;   // as sent to and read from the printer
    QString mostra;  // as shown in a line edit (empty: marked apart, not shown)
};
struct TagsCabecalho {
    TagCabecalho expandidoLiga;     // ESC "!" 0x20: the line is expanded
    TagCabecalho expandidoDesliga;  // ESC "!" 0x02: end of the expanded line
    TagCabecalho negritoLiga;       // ESC "E1" shown as "<n>"
    TagCabecalho negritoDesliga;    // ESC "E0" shown as "</n>"
};
const TagsCabecalho& Tags();

// Visible characters of a header line per kind of line.
inline constexpr int kLarguraNormal = 48;
inline constexpr int kLarguraExpandida = 18;

// The line's length without every occurrence of each of the four tags (escape bytes or shown
// tag), so that a bold word counts only its letters.
int TamanhoVisivel(const QString& linha);

// One header line as a form shows it: expanded when it holds the expanded-on escape (both
// expanded escapes are then removed), the bold escapes as "<n>" and "</n>".
struct LinhaCabecalho {
    QString texto;
    bool expandida = false;
};
LinhaCabecalho FormataLinhaCabecalho(const QString& linha);

// The header text as read, cut into its lines: a CR LF pair, a lone CR and a lone LF each end
// one line; the end of the text ends the last line (an ending line feed leaves an empty last
// line). Nothing of the text is lost.
QStringList LinhasDoCabecalho(const QString& texto);

// The text the printer is programmed with: line 1, then LF and each of the following lines
// that is not empty; an expanded line between the expanded escapes; the bold tags as escapes.
struct LinhaEditada {
    QString texto;
    bool expandida = false;
};
QString TextoDoCabecalho(const std::array<LinhaEditada, 4>& linhas);

// A line centred when its visible length is below 48: trimmed, with ((width - visible length) div 2) + 1
// blanks in front (width 18 for an expanded line, 48 otherwise; never a negative count). An empty line stays
// empty.
QString CentraLinha(const QString& linha, bool expandida);

// The line cut to `largura` visible characters; the tags are kept whole wherever they are.
QString CortaVisivel(const QString& linha, int largura);

}  // namespace belmora
