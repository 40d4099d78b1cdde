/* Preprocessor helpers that walk the argument lists of tarvo_exports.def.
 * Each argument is written as a parenthesised pair or triple: (kind, name[, size]).
 * Kinds: s  input text (zero-terminated, read on entry); the third item, when given, is the
 *           most bytes it may hold (NUL not counted), else TARVO_TEXTO_PADRAO. A longer
 *           text is refused: result -2 (0 for exports that return no number), last error
 *           -2 "Parametro invalido: <name> ...", nothing sent
 *        c  input text passed as the library's counted text (a plain const char* here)
 *        o  output text buffer; the third item is the most the export writes into it,
 *           terminating NUL included
 *        r  output text buffer filled by the hand-back after the family's implementation
 *           (also after a failure): (r, name, most bytes, how, n) where how is RET (the
 *           main answer, also written to "RETORNO.TXT"), RETZ/RETB (the same zero- or
 *           blank-padded to n), VAL, VALZ, VALB (the second answer, no file)
 *        i  32-bit integer by value
 *        b  byte by value (a flag: 0 false, anything else true)
 *        p  pointer to a 32-bit integer the export writes
 *        x  raw bytes with their count: (x, name, count) is two parameters, the bytes
 *           (const char*, never read as a zero-terminated text; NUL bytes are data) and
 *           the 32-bit count of them
 *        n  no arguments (the only item of an argument-less export) */
#ifndef TARVO_PP_H
#define TARVO_PP_H

#define TARVO_PP_N(...) TARVO_PP_N_(__VA_ARGS__, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0)
#define TARVO_PP_N_(a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11, a12, a13, a14, N, ...) N
#define TARVO_PP_CAT(a, b) TARVO_PP_CAT_(a, b)
#define TARVO_PP_CAT_(a, b) a##b
#define TARVO_PP_PRIMEIRO(...) TARVO_PP_PRIMEIRO_(__VA_ARGS__, )
#define TARVO_PP_PRIMEIRO_(a, ...) a

/* The most bytes an input text holds when the list gives no size of its own: names, codes,
 * amounts, dates. Free texts that the library cuts into pieces carry a larger size. */
#define TARVO_TEXTO_PADRAO 1024
/* The size of an input text: its third item or TARVO_TEXTO_PADRAO (C++ only). */
#define TARVO_TEXTO_MAXIMO(...) TARVO_PP_PRIMEIRO(__VA_ARGS__ __VA_OPT__(, ) TARVO_TEXTO_PADRAO)

/* Applies F to every argument, separated by commas. */
#define TARVO_MAP(F, ...) TARVO_PP_CAT(TARVO_MAP_, TARVO_PP_N(__VA_ARGS__))(F, __VA_ARGS__)
#define TARVO_MAP_1(F, a) F a
#define TARVO_MAP_2(F, a, ...) F a, TARVO_MAP_1(F, __VA_ARGS__)
#define TARVO_MAP_3(F, a, ...) F a, TARVO_MAP_2(F, __VA_ARGS__)
#define TARVO_MAP_4(F, a, ...) F a, TARVO_MAP_3(F, __VA_ARGS__)
#define TARVO_MAP_5(F, a, ...) F a, TARVO_MAP_4(F, __VA_ARGS__)
#define TARVO_MAP_6(F, a, ...) F a, TARVO_MAP_5(F, __VA_ARGS__)
#define TARVO_MAP_7(F, a, ...) F a, TARVO_MAP_6(F, __VA_ARGS__)
#define TARVO_MAP_8(F, a, ...) F a, TARVO_MAP_7(F, __VA_ARGS__)
#define TARVO_MAP_9(F, a, ...) F a, TARVO_MAP_8(F, __VA_ARGS__)
#define TARVO_MAP_10(F, a, ...) F a, TARVO_MAP_9(F, __VA_ARGS__)
#define TARVO_MAP_11(F, a, ...) F a, TARVO_MAP_10(F, __VA_ARGS__)
#define TARVO_MAP_12(F, a, ...) F a, TARVO_MAP_11(F, __VA_ARGS__)
#define TARVO_MAP_13(F, a, ...) F a, TARVO_MAP_12(F, __VA_ARGS__)
#define TARVO_MAP_14(F, a, ...) F a, TARVO_MAP_13(F, __VA_ARGS__)

/* Applies F to every argument with nothing in between. */
#define TARVO_EACH(F, ...) TARVO_PP_CAT(TARVO_EACH_, TARVO_PP_N(__VA_ARGS__))(F, __VA_ARGS__)
#define TARVO_EACH_1(F, a) F a
#define TARVO_EACH_2(F, a, ...) F a TARVO_EACH_1(F, __VA_ARGS__)
#define TARVO_EACH_3(F, a, ...) F a TARVO_EACH_2(F, __VA_ARGS__)
#define TARVO_EACH_4(F, a, ...) F a TARVO_EACH_3(F, __VA_ARGS__)
#define TARVO_EACH_5(F, a, ...) F a TARVO_EACH_4(F, __VA_ARGS__)
#define TARVO_EACH_6(F, a, ...) F a TARVO_EACH_5(F, __VA_ARGS__)
#define TARVO_EACH_7(F, a, ...) F a TARVO_EACH_6(F, __VA_ARGS__)
#define TARVO_EACH_8(F, a, ...) F a TARVO_EACH_7(F, __VA_ARGS__)
#define TARVO_EACH_9(F, a, ...) F a TARVO_EACH_8(F, __VA_ARGS__)
#define TARVO_EACH_10(F, a, ...) F a TARVO_EACH_9(F, __VA_ARGS__)
#define TARVO_EACH_11(F, a, ...) F a TARVO_EACH_10(F, __VA_ARGS__)
#define TARVO_EACH_12(F, a, ...) F a TARVO_EACH_11(F, __VA_ARGS__)
#define TARVO_EACH_13(F, a, ...) F a TARVO_EACH_12(F, __VA_ARGS__)
#define TARVO_EACH_14(F, a, ...) F a TARVO_EACH_13(F, __VA_ARGS__)

/* Parameter declarations. */
#define TARVO_DECL(k, ...) TARVO_PP_CAT(TARVO_DECL_, k)(__VA_ARGS__)
#define TARVO_DECL_s(n, ...) const char* n
#define TARVO_DECL_c(n) const char* n
#define TARVO_DECL_o(n, max) char* n
#define TARVO_DECL_r(n, max, modo, largura) char* n
#define TARVO_DECL_i(n) int n
#define TARVO_DECL_b(n) unsigned char n
#define TARVO_DECL_p(n) int* n
#define TARVO_DECL_x(n, quantos) const char *n, int quantos
#define TARVO_DECL_n(...) void

/* Argument names, to forward a call. */
#define TARVO_NAME(k, ...) TARVO_PP_CAT(TARVO_NAME_, k)(__VA_ARGS__)
#define TARVO_NAME_s(n, ...) n
#define TARVO_NAME_c(n) n
#define TARVO_NAME_o(n, max) n
#define TARVO_NAME_r(n, max, modo, largura) n
#define TARVO_NAME_i(n) n
#define TARVO_NAME_b(n) n
#define TARVO_NAME_p(n) n
#define TARVO_NAME_x(n, quantos) n, quantos
#define TARVO_NAME_n(...)

#endif
