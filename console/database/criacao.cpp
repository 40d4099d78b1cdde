#include "console/database/criacao.h"

#include <ibase.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/processo.h"

namespace belmora {

namespace {

std::string Apara(const std::string& s) {
    const char* brancos = " \t\r\n";
    std::size_t i = s.find_first_not_of(brancos);
    if (i == std::string::npos) return {};
    return s.substr(i, s.find_last_not_of(brancos) - i + 1);
}

// The messages of a status vector, one per line.
std::string Mensagem(const ISC_STATUS* status) {
    std::string r;
    char linha[1024];
    const ISC_STATUS* p = status;
    while (fb_interpret(linha, sizeof linha, &p) > 0) {
        if (!r.empty()) r += "\n";
        r += linha;
    }
    return r.empty() ? std::string("erro desconhecido do banco de dados") : r;
}

// A text between single quotes for a statement.
std::string Literal(const std::string& s) {
    std::string r = "'";
    for (char c : s) {
        r += c;
        if (c == '\'') r += '\'';
    }
    return r + "'";
}

}  // namespace

std::vector<std::string> ComandosDoEsquema(const std::string& esquema) {
    std::vector<std::string> r;
    std::string atual;
    std::size_t i = 0;
    while (i <= esquema.size()) {
        std::size_t f = esquema.find('\n', i);
        if (f == std::string::npos) f = esquema.size();
        std::string linha = esquema.substr(i, f - i);
        if (Apara(linha) == "^") {
            if (!Apara(atual).empty()) r.push_back(Apara(atual));
            atual.clear();
        } else {
            atual += linha + "\n";
        }
        i = f + 1;
    }
    if (!Apara(atual).empty()) r.push_back(Apara(atual));
    return r;
}

bool CriaBase(const std::string& caminho, const std::string& esquema, std::string& erro) {
    const std::string provisorio = caminho + ".criando";
    std::error_code ec;
    std::filesystem::remove(provisorio, ec);

    ISC_STATUS_ARRAY status{};
    isc_db_handle base = 0;
    isc_tr_handle transacao = 0;
    const std::string cria =
        "CREATE DATABASE " + Literal(provisorio) +
        " USER 'SYSDBA' PASSWORD 'lorvantis' PAGE_SIZE 8192 DEFAULT CHARACTER SET WIN1252";
    if (isc_dsql_execute_immediate(status, &base, &transacao, 0, cria.c_str(), SQL_DIALECT_V6, nullptr)) {
        erro = Mensagem(status);
        if (base) isc_detach_database(status, &base);
        std::filesystem::remove(provisorio, ec);
        return false;
    }
    bool ok = true;
    for (const std::string& comando : ComandosDoEsquema(esquema)) {
        // Each statement in its own transaction: a procedure sees the tables committed before it.
        transacao = 0;
        if (isc_start_transaction(status, &transacao, 1, &base, 0, nullptr) ||
            isc_dsql_execute_immediate(status, &base, &transacao, 0, comando.c_str(), SQL_DIALECT_V6,
                                       nullptr)) {
            erro = Mensagem(status);
            ISC_STATUS_ARRAY outro{};
            if (transacao) isc_rollback_transaction(outro, &transacao);
            ok = false;
            break;
        }
        if (isc_commit_transaction(status, &transacao)) {
            erro = Mensagem(status);
            ok = false;
            break;
        }
    }
    ISC_STATUS_ARRAY fim{};
    isc_detach_database(fim, &base);
    if (ok) {
        std::filesystem::rename(provisorio, caminho, ec);
        if (ec) {
            erro = "não foi possível dar o nome " + caminho + " ao banco criado: " + ec.message();
            ok = false;
        }
    }
    if (!ok) std::filesystem::remove(provisorio, ec);
    return ok;
}

void DefinePastaDeBloqueio(const std::string& pasta) {
    const char* atual = std::getenv("FIREBIRD_LOCK");
    if (atual && *atual) return;
    std::error_code ec;
    std::filesystem::create_directories(pasta, ec);
    plataforma::DefineVariavel("FIREBIRD_LOCK", pasta);
}

}  // namespace belmora
