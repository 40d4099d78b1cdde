#!/bin/bash
# Usage: instala_e_compila.sh <build> <cupom.c> <cc> <extra cflags> <emulador> <console 0|1> <version>
set -euo pipefail
build=$1 fonte=$2 cc=$3 extra=$4 emulador=$5 console=$6 versao=$7

raiz=$(mktemp -d "${TMPDIR:-/tmp}/tarvo-instala-XXXXXX")
emulador_pid=""
termina() {
  if [ -n "$emulador_pid" ]; then kill "$emulador_pid" 2>/dev/null || true; wait "$emulador_pid" 2>/dev/null || true; fi
  rm -rf "$raiz"
}
trap termina EXIT
falha() { echo "instalacao: $*" >&2; exit 1; }

prefixo="$raiz/prefixo"
cmake --install "$build" --prefix "$prefixo" >"$raiz/install.log"

# The library with its version and soname, the header, the pkg-config file.
pc=$(find "$prefixo" -name tarvo.pc -path '*/pkgconfig/*')
[ -n "$pc" ] || falha "no tarvo.pc"
libdir=$(cd "$(dirname "$pc")/.." && pwd)
[ -f "$libdir/libtarvo.so.$versao" ] || falha "no libtarvo.so.$versao in $libdir"
[ "$(readlink "$libdir/libtarvo.so.${versao%%.*}")" = "libtarvo.so.$versao" ] || falha "soname link"
[ -L "$libdir/libtarvo.so" ] || falha "no libtarvo.so link"
readelf -d "$libdir/libtarvo.so.$versao" | grep -q "SONAME.*\[libtarvo.so.${versao%%.*}\]" || falha "soname"
[ -f "$prefixo/include/tarvo/tarvo.h" ] || falha "no tarvo.h"

# A point-of-sale program's compile line.
export PKG_CONFIG_PATH="$libdir/pkgconfig"
cflags=$(pkg-config --cflags tarvo)
libs=$(pkg-config --libs tarvo)
# shellcheck disable=SC2086
"$cc" -std=c11 -Wall -Werror $extra "$fonte" $cflags $libs -o "$raiz/pdv" || falha "the example does not build"
readelf -d "$raiz/pdv" | grep -q "NEEDED.*\[libtarvo.so.${versao%%.*}\]" || falha "the example does not need the soname"

# It runs with the installed library and issues its receipt on the emulator.
mkdir -p "$raiz/home" "$raiz/dev" "$raiz/trabalho"
printf '[Sistema]\r\nModeloImp=TARVO_RIX\r\nPorta=COM1\r\nTimeOutComandos=5\r\n' >"$raiz/home/TARVO.INI"
"$emulador" --porta COM1 --pasta "$raiz/dev" >"$raiz/emulador.log" 2>&1 &
emulador_pid=$!
for _ in $(seq 1 200); do
  [ -L "$raiz/dev/COM1" ] && break
  sleep 0.05
done
[ -L "$raiz/dev/COM1" ] || falha "the emulator did not open its port"
(cd "$raiz/trabalho" && TARVO_HOME="$raiz/home" TARVO_DEVDIR="$raiz/dev" LD_LIBRARY_PATH="$libdir" \
  timeout 120 "$raiz/pdv" "$raiz/trabalho" >"$raiz/pdv.log" 2>&1) || { cat "$raiz/pdv.log" >&2; falha "the example failed"; }
grep -q "OBRIGADO PELA PREFERENCIA" "$raiz/pdv.log" || { cat "$raiz/pdv.log" >&2; falha "no receipt printed"; }

# The console, its pictures and its help pages.
if [ "$console" = 1 ]; then
  belmora="$prefixo/bin/belmora"
  [ -x "$belmora" ] || falha "no belmora"
  dados="$prefixo/share/belmora"
  [ "$(find "$dados/Imagens" -name '*.jpg' | wc -l)" -eq 27 ] || falha "the console's pictures"
  [ -f "$dados/Ajuda/indice.html" ] && [ -f "$dados/Ajuda/52.html" ] || falha "the console's help pages"
  [ "$(find "$dados" -maxdepth 1 -name 'Fun*.txt' | wc -l)" -eq 12 ] && [ -f "$dados/FunçõesCupomFiscal.txt" ] ||
    falha "the function lists of the command sequences"
  readelf -d "$belmora" | grep -q 'RUNPATH.*\$ORIGIN/\.\./' || falha "belmora does not find the library beside it"
  readelf -d "$belmora" | grep -Eq 'FLAGS.*(NOW|BIND_NOW)' || falha "belmora is not bound at load"
fi
echo "instalacao: ok"
