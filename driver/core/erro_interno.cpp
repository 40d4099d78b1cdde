// What an export reports when its body throws: a message of this library, in Portuguese
// (Windows-1252), that says what failed.
#include <ios>
#include <new>
#include <stdexcept>
#include <string>
#include <system_error>

#include "driver/core/erros.h"
#include "driver/core/exportacao.h"

namespace tarvo {

namespace {

std::string OQueFalhou() {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return "mem\xF3ria insuficiente";
    } catch (const std::length_error&) {
        return "texto longo demais";
    } catch (const std::out_of_range&) {
        return "valor fora dos limites";
    } catch (const std::invalid_argument&) {
        return "valor inv\xE1lido";
    } catch (const std::ios_base::failure&) {
        return "falha de leitura ou grava\xE7\xE3o de arquivo";
    } catch (const std::system_error& e) {
        return "falha do sistema (c\xF3"
               "digo " +
               std::to_string(e.code().value()) + ")";
    } catch (...) {
        return "falha inesperada";
    }
}

}  // namespace

void RegistraErroInterno() noexcept {
    try {
        DefineErro(Falha::ErroInterno, OQueFalhou());
        GravaLog(Erro().UltimaMensagem);
    } catch (...) {
        // Not even the message could be made (memory): the code alone still tells the host.
        Erro().UltimoRetorno = -1;
    }
}

}  // namespace tarvo
