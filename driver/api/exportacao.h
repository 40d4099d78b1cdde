// The export bodies' helpers live in driver/core so that the engines can use them too; the
// report wrapper below serves the exports of the fiscal files only.
#pragma once

#include <exception>
#include <string>

#include "driver/core/exportacao.h"

namespace tarvo {

// Runs an export body that reports its own errors: an exception inside it becomes `falha` and
// two log lines, "ERRO na função <export>: <what>" and `prefixo` + what (the report that a
// message box once showed goes to the log only), and, with `informa`, code -1 with that text in
// the last-error record. The record is written under the command lock.
template <typename F>
int ComRelato(const char* nome, const char* prefixo, int falha, F&& corpo, bool informa = true) noexcept {
    try {
        return corpo();
    } catch (const std::exception& e) {
        try {
            ComandoExclusivo vez;
            if (informa) DefineErro(-1, e.what());
            GravaLog(std::string("ERRO na fun\xE7\xE3o ") + nome + ": " + e.what());
            GravaLog(prefixo + std::string(e.what()));
        } catch (...) {
        }
    } catch (...) {
    }
    return falha;
}

}  // namespace tarvo
