/* A point-of-sale program that knows only the installed tarvo.h, written to compile as C99
 * and as C++11 without a warning. It sends one line to the non-fiscal printer on the
 * parallel port, which works only when the installed library finds its stand-in
 * libinpout32.so, and prints the result with the last error. Exit status 0 when it was sent. */
#include <stdio.h>

#include "tarvo.h"

int main(void) {
    int codigo = 0;
    char mensagem[1024] = "";
    const int resultado = Kelt_EnviaBuffer("INSTALADO\n");
    Tarvo_RetornoImpressora(&codigo, mensagem);
    printf("%d %d %s\n", resultado, codigo, mensagem);
    return resultado == 1 ? 0 : 1;
}
