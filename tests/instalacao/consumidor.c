/* A program that knows only the installed tarvo.h (C99 and C++11): one line to the printer on
 * the parallel port, sent only when the library finds its stand-in libinpout32.so. */
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
