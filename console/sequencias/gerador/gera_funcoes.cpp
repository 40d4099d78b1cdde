// Writes the twelve function-list files of the command sequences into a folder (the program
// folder): one declaration per line for every entry of the dispatch table, grouped by
// category, in Windows-1252 with CR LF. A file whose content is already right is left alone.
// Usage: belmora_gera_funcoes <folder>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "console/sequencias/tabela.h"
#include "platform/codepage.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "uso: belmora_gera_funcoes <pasta>\n");
        return 2;
    }
    const std::filesystem::path pasta = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(pasta, ec);
    for (const seq::DadosCategoria& d : seq::Categorias()) {
        const std::string conteudo = plataforma::Utf8ParaCp1252(seq::ListaDeFuncoes(d.categoria));
        const std::filesystem::path arquivo = pasta / std::filesystem::u8path(d.arquivo);
        {
            std::ifstream atual(arquivo, std::ios::binary);
            if (atual && std::string(std::istreambuf_iterator<char>(atual), {}) == conteudo) continue;
        }
        std::ofstream saida(arquivo, std::ios::binary | std::ios::trunc);
        saida << conteudo;
        if (!saida.flush()) {
            std::fprintf(stderr, "belmora_gera_funcoes: não foi possível gravar %s\n", arquivo.c_str());
            return 1;
        }
    }
    return 0;
}
