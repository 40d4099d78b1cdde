// The text of a capture as the reading forms show it: the bytes the library wrote to
// "IMPR.TXT" (code page 850, line feeds, print escapes) as lines of at most 48 columns.
#pragma once

#include <QString>
#include <QStringList>
#include <string>

namespace belmora {

inline constexpr int kColunasCaptura = 48;

// The capture file, in the folder where the library writes it (the current folder).
QString ArquivoCaptura();

// Lines of the capture: a line feed ends a line; a line is also cut when a 49th column would
// begin; the three-byte escapes (ESC "!", ESC "E", ESC SP) are dropped whole, any other escape
// with the byte after it; carriage returns stay; text after the last line feed is a line too.
QStringList LinhasDaCaptura(const std::string& bytes);

// Reads the capture file; false when it cannot be opened.
bool LeCaptura(const QString& arquivo, QStringList& linhas);

}  // namespace belmora
