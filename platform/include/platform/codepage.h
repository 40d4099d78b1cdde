// Code pages at the edges: the library works in Windows-1252, the printer's campaign texts,
// capture stream and payment-form names are code page 850, and Qt wants UTF-8.
#pragma once

#include <string>

namespace plataforma {

// Converts with iconv. Characters the target lacks are transliterated when possible,
// otherwise replaced by '?'; the result never holds bytes of the source code page.
std::string ConverteCodigo(const std::string& texto, const char* de, const char* para);

std::string Cp1252ParaUtf8(const std::string& texto);
std::string Utf8ParaCp1252(const std::string& texto);
std::string Cp1252ParaCp850(const std::string& texto);
std::string Cp850ParaCp1252(const std::string& texto);

}  // namespace plataforma
