# Writes the installed tarvo.h: plain C, every prototype written out with its parameter
# names and its comment, grouped as the export list groups them.
#   cmake -DCC=<c compiler> -DLISTA=<folder of tarvo_exports.def> -DMODELO=<tarvo.h.in>
#         -DPROTOTIPOS=<tarvo_prototipos.c> -DCONFERE=<tarvo_confere.c> -DSAIDA=<tarvo.h>
#         -DVERSAO=<x.y.z> -P GeraCabecalho.cmake
execute_process(
  COMMAND ${CC} -E -C -P -x c -I${LISTA} ${PROTOTIPOS}
  OUTPUT_VARIABLE texto
  RESULT_VARIABLE resultado)
if(NOT resultado EQUAL 0)
  message(FATAL_ERROR "tarvo.h: the preprocessor failed on the export list")
endif()

# What comes before the list's first entry: the helpers' own comments and the comment on the
# form of an entry, which speaks of the list and not of the functions.
string(FIND "${texto}" "TARVO_INICIO_DA_LISTA" inicio)
string(SUBSTRING "${texto}" ${inicio} -1 texto)
string(FIND "${texto}" "*/" fim)
math(EXPR fim "${fim} + 2")
string(SUBSTRING "${texto}" ${fim} -1 texto)
string(REGEX REPLACE "See[ \n*]+tarvo_exports\\.def[ \n*]+for[ \n*]+the[ \n*]+form[ \n*]+of[ \n*]+an[ \n*]+entry[ \n*]+and[ \n*]+cupom\\.def"
       "See the fiscal receipt's\n * group" texto "${texto}")
string(REGEX REPLACE "See[ a-z_.]*\n \\* [a-z_. ]*entry\\.[ ]*" "\n * " texto "${texto}")
string(REGEX REPLACE "See tarvo_exports\\.def for the form of an entry\\.[ ]*" "" texto "${texto}")

string(REGEX REPLACE " TARVO_ENTRADA\\(\\)" "" texto "${texto}")
string(REGEX REPLACE "TARVO_ENTRADA\\(([0-9]+)\\)" "/* at most \\1 bytes */" texto "${texto}")
string(REGEX REPLACE "TARVO_SAIDA\\(([0-9]+)\\)" "/* out: at most \\1 bytes, NUL included */" texto "${texto}")
string(REPLACE "TARVO_PROTOTIPO " "TARVO_API " texto "${texto}")
string(REGEX REPLACE ";[ ]*TARVO_NL[ ]*" ";\n" texto "${texto}")
if(texto MATCHES "TARVO_[A-Z_]+\\(|TARVO_NL|TARVO_PROTOTIPO")
  message(FATAL_ERROR "tarvo.h: a marker of the export list was left unexpanded")
endif()
string(REGEX REPLACE "[ ]+\n" "\n" texto "${texto}")
string(REGEX REPLACE "\n \\*[ ]*\\*/" " */" texto "${texto}")
string(REGEX REPLACE "\n \\*\n \\*\n" "\n *\n" texto "${texto}")
string(REGEX REPLACE "\n+/\\*" "\n\n/*" texto "${texto}")
string(REGEX REPLACE "^\n+" "" texto "${texto}")
string(REGEX REPLACE "\n+$" "" texto "${texto}")

set(TARVO_PROTOTIPOS "${texto}")
set(TARVO_VERSAO "${VERSAO}")
configure_file(${MODELO} ${SAIDA}.novo @ONLY)

execute_process(
  COMMAND ${CC} -fsyntax-only -x c -std=c99 -include ${SAIDA}.novo -I${LISTA} ${CONFERE}
  RESULT_VARIABLE resultado)
if(NOT resultado EQUAL 0)
  file(REMOVE ${SAIDA}.novo)
  message(FATAL_ERROR "tarvo.h: the generated prototypes differ from the export list's")
endif()
file(RENAME ${SAIDA}.novo ${SAIDA})
