/* Tarvo: driver library for Brazilian fiscal printers (ECF).
 *
 * Every export is a plain C function. Texts are zero-terminated 8-bit strings in
 * Windows-1252. Output texts go into buffers that the caller owns; each export writes at
 * most the size listed for that buffer in tarvo_exports.def (terminating NUL included) and
 * cuts longer answers, so a buffer of that size is always enough. Input texts hold at most
 * the size listed for them there (1024 bytes when none is listed; free texts that the
 * library cuts into pieces, file names and command parameters have larger sizes); a longer
 * one is refused with -2 and nothing is sent.
 *
 * Results: 1 success; 0 failure, with the cause readable through Tarvo_RetornoImpressora;
 * a few exports return a negative code directly (-2 invalid parameter, -5 port cannot be
 * opened, -8 file or folder missing, ...).
 *
 * The library reads TARVO.INI from its program folder ($TARVO_HOME, else the folder of the
 * host program) when it is loaded. The exports, their arguments and their buffer sizes are
 * listed, with what each one does, in tarvo_exports.def, from which the declarations below
 * are generated. */
#ifndef TARVO_H
#define TARVO_H

#include "tarvo_pp.h"

#ifdef __cplusplus
extern "C" {
#endif

#ifndef TARVO_API
#define TARVO_API
#endif

#define TARVO_EXPORT(ret, nome, despacho, ...) TARVO_API ret nome(TARVO_MAP(TARVO_DECL, __VA_ARGS__));
#include "tarvo_exports.def"
#undef TARVO_EXPORT

#ifdef __cplusplus
}
#endif

#endif /* TARVO_H */
