// What the stand-in libraries share among themselves (never with libtarvo.so): the mark of
// an entry point and the result codes that the dump reader and the dump converter both answer.
#pragma once

#define STANDIN_API extern "C" __attribute__((visibility("default")))

namespace standin {

constexpr int kOk = 0;
constexpr int kErroBinarioInvalido = 16387;  // the file is no dump of ours
constexpr int kErroEscritaArquivo = 16389;
constexpr int kErroCriaArquivo = 16393;
constexpr int kErroArquivoIncompleto = 16394;  // the dump is marked incomplete

}  // namespace standin
