// The nine groups of the main window and their options, in list order: the table from which
// the window fills its option list, finds the hot letters and decides what an option does.
// No widgets here, so the table is checked without a window.
#pragma once

#include <string>
#include <vector>

namespace belmora {

// What an option does: open a form in the right-hand panel, or one of the direct actions.
enum class Acao { Formulario, Conectar, Desconectar, AbrirGaveta, CancelarCupom, SegundaVia };

struct Opcao {
    const char* texto;  // as the list shows it, "(C)onectar"
    char letra;         // hot letter (upper case)
    Acao acao;
    const char* classe;            // form class, for Acao::Formulario
    int tag = -1;                  // -1: the window sets no tag
    int ajuda = 0;                 // help context, 0: none set
    const char* titulo = nullptr;  // caption set by the window, nullptr: the form's own
};

struct Grupo {
    const char* nome;    // object name of its picture, "Ecf"
    const char* imagem;  // picture file stem, "01 - %1ecf" (%1: "menu_" or "titulo_menu_")
    int ajudaMenu;       // help context of the menu panel while the group is current
    std::vector<Opcao> opcoes;
};

constexpr int kNumeroGrupos = 9;

// Group n (1..9).
const Grupo& GrupoMenu(int n);

// One upper-case letter per option of group n, in list order.
std::string LetrasDeAtalho(int n);

// Index of the first option of group n whose hot letter is `letra` (any case), -1 when none.
int OpcaoDaLetra(int n, char letra);

// Relative names of the pictures of group n under the current folder.
enum class Imagem { Normal, Selecionada, Titulo };
std::string ArquivoImagem(int n, Imagem qual);

// Caption of a form opened from an option: the one the window sets, else the option's
// text without the parentheses of its hot letter.
std::string TituloDaOpcao(const Opcao& o);

}  // namespace belmora
