// The console's command line, read before anything else: --help and --version print and
// end the program without opening a window (and without a display).
#pragma once

namespace belmora {

// The exit status when an option asked the program to end after printing (0), -1 when the
// console should start. Options of Qt itself (-platform ...) are left to the application.
int OpcoesDaLinhaDeComando(int argc, char** argv);

}  // namespace belmora
