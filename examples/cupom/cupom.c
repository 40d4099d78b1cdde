/* A point-of-sale program in miniature: it issues one fiscal receipt through libtarvo and
 * then shows the receipt as the printer printed it, read back from the printer's detail
 * tape. It knows nothing of the library but tarvo.h.
 *
 *   exemplo_cupom [folder]     (folder for the downloaded files; the current one by default)
 *
 * The printer, its port and the library's folders come from TARVO.INI ($TARVO_HOME). */
#include <iconv.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "tarvo.h"

static int falhas = 0;

/* Reports a call that did not succeed, with the library's last error. */
static int confere(const char* chamada, int resultado) {
    if (resultado != 1) {
        int codigo = 0;
        char mensagem[1024] = "";
        Tarvo_RetornoImpressora(&codigo, mensagem);
        fprintf(stderr, "%s: %d (erro %d: %s)\n", chamada, resultado, codigo, mensagem);
        ++falhas;
    }
    return resultado;
}

/* The library's texts are Windows-1252; the terminal wants UTF-8. */
static void mostra(const char* texto, size_t tamanho) {
    iconv_t cd = iconv_open("UTF-8", "WINDOWS-1252");
    if (cd == (iconv_t)-1) {
        fwrite(texto, 1, tamanho, stdout);
        return;
    }
    char saida[4096];
    char* entrada = (char*)texto;
    while (tamanho > 0) {
        char* p = saida;
        size_t livre = sizeof saida;
        if (iconv(cd, &entrada, &tamanho, &p, &livre) == (size_t)-1 && p == saida) {
            fputc('?', stdout); /* a byte that does not convert */
            ++entrada;
            --tamanho;
        }
        fwrite(saida, 1, (size_t)(p - saida), stdout);
    }
    iconv_close(cd);
}

int main(int argc, char** argv) {
    const char* pasta = argc > 1 ? argv[1] : ".";
    char bruto[1024], texto[1024];
    snprintf(bruto, sizeof bruto, "%s/cupom.mfd", pasta);
    snprintf(texto, sizeof texto, "%s/cupom.txt", pasta);

    confere("Tarvo_ProgramaOperador", Tarvo_ProgramaOperador("CAIXA 01"));
    if (confere("Tarvo_AbreCupom", Tarvo_AbreCupom("")) != 1) return 1;
    confere("Tarvo_IdentificaConsumidor", Tarvo_IdentificaConsumidor("123.456.789-09", "MARIA DE SOUZA", ""));
    /* Two bags of rice at 24,90 (ICMS 18 %), 0,450 kg of cheese at 39,900 a kilo with 5 % off
     * (rate slot 01), a pack of batteries under tax substitution. */
    confere("Tarvo_VendeItem",
            Tarvo_VendeItem("7891000100103", "ARROZ TIPO 1 5KG", "1800", "I", "2", 2, "2490", "$", "0"));
    confere("Tarvo_VendeItem", Tarvo_VendeItem("7896005800027", "QUEIJO MINAS FRESCAL", "01", "Kg", "0,450",
                                               3, "39900", "%", "5"));
    confere("Tarvo_VendeItem",
            Tarvo_VendeItem("7891234567895", "PILHA AA C/4", "FF", "I", "1", 2, "1299", "$", "0"));
    confere("Tarvo_IniciaFechamentoCupom", Tarvo_IniciaFechamentoCupom("D", "$", "1,00"));
    confere("Tarvo_EfetuaFormaPagamento", Tarvo_EfetuaFormaPagamento("Cartao Debito", "30,00"));
    confere("Tarvo_EfetuaFormaPagamento", Tarvo_EfetuaFormaPagamento("Dinheiro", "50,00"));
    confere("Tarvo_TerminaFechamentoCupom",
            Tarvo_TerminaFechamentoCupom("OBRIGADO PELA PREFERENCIA!\\nVOLTE SEMPRE"));

    /* The receipt as printed: its COO, the detail tape between that COO and itself, and the
     * tape's raw text turned into plain lines. */
    char coo[7] = "";
    if (confere("Tarvo_NumeroCupom", Tarvo_NumeroCupom(coo)) != 1) return 1;
    if (confere("Tarvo_DownloadMFD", Tarvo_DownloadMFD(bruto, "2", coo, coo, "")) != 1) return 1;
    if (confere("Tarvo_FormatoDadosMFD", Tarvo_FormatoDadosMFD(bruto, texto, "0", "", "", "", "")) != 1)
        return 1;

    FILE* f = fopen(texto, "rb");
    if (!f) {
        perror(texto);
        return 1;
    }
    printf("Cupom fiscal COO %s, como a impressora o imprimiu:\n\n", coo);
    char bloco[4096];
    size_t n;
    while ((n = fread(bloco, 1, sizeof bloco, f)) > 0) mostra(bloco, n);
    fclose(f);
    return falhas == 0 ? 0 : 1;
}
