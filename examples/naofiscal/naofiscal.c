/* A point-of-sale program in miniature for the non-fiscal printer and the scale: it checks
 * the printer, prints a short slip with a bar code, cuts the paper, opens the drawer and
 * weighs on the scale. It knows nothing of the library but tarvo.h.
 *
 *   exemplo_naofiscal [scale port]     (COM2 by default; "-" weighs nothing)
 *
 * The printer (TARVO_KELT_LPT on the parallel port, TARVO_KELT_SERIAL on a serial port) and
 * its port come from TARVO.INI ($TARVO_HOME). Exit status: the number of failed calls. */
#include <stdio.h>
#include <string.h>

#include "tarvo.h"

static int falhas = 0;

/* Reports a call that did not give the result expected, with the library's last error. */
static int confere(const char* chamada, int esperado, int resultado) {
    int codigo = 0;
    char mensagem[1024] = "";
    TarvoCupom_RetornoImpressora(&codigo, mensagem);
    printf("%-30s %3d  (%d %s)\n", chamada, resultado, codigo, mensagem);
    if (resultado != esperado) ++falhas;
    return resultado;
}

int main(int argc, char** argv) {
    const char* balanca = argc > 1 ? argv[1] : "COM2";
    /* Raw bytes go with their count: the NUL of ESC @ ... is data, not an end. */
    static const char inicializa[] = {0x1B, 0x40, 0x1B, 0x33, 0x00};

    confere("Kelt_VerificaOnLine", 1, Kelt_VerificaOnLine());
    confere("Kelt_EnviaComando", 1, Kelt_EnviaComando(inicializa, (int)sizeof inicializa));
    confere("Kelt_EnviaBufferFormatado", 1, Kelt_EnviaBufferFormatado("PADARIA CENTRAL\n", 0, 0, 0, 1, 1));
    confere("TarvoCupom_EnviaBuffer", 1, TarvoCupom_EnviaBuffer("1 PAO FRANCES       0,75\n"));
    confere("Kelt_ConfiguraCodigoBarras", 1, Kelt_ConfiguraCodigoBarras(80, 2, 2, 0, 0));
    confere("Kelt_ImprimeCodigoBarrasEAN13", 1, Kelt_ImprimeCodigoBarrasEAN13("789100031550"));
    confere("Kelt_AcionaGuilhotina", 1, Kelt_AcionaGuilhotina(1));
    confere("Kelt_AcionaGaveta", 1, Kelt_AcionaGaveta());

    if (strcmp(balanca, "-") != 0) {
        char peso[64] = "";
        int r = Tarvo_LeBalanca(balanca, "9600", peso);
        confere("Tarvo_LeBalanca", 1, r);
        if (r == 1) printf("peso: %s\n", peso);
    }
    return falhas;
}
