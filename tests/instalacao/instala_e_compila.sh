#!/bin/bash
# Usage: instala_e_compila.sh <build> <cupom.c> <cc> <extra cflags> <emulador> <console 0|1> <version>
# `cmake --install --strip` into a scratch prefix, then what a point-of-sale programmer does
# with it: the header compiled as C and C++ by gcc and clang with every warning an error, the
# example built through pkg-config and a consumer through find_package(Tarvo), both run against
# the installed library (found through their run path, as after ldconfig; no LD_LIBRARY_PATH).
set -euo pipefail
build=$1 fonte=$2 cc=$3 extra=$4 emulador=$5 console=$6 versao=$7
aqui=$(cd "$(dirname "$0")" && pwd)

raiz=$(mktemp -d "${TMPDIR:-/tmp}/tarvo-instala-XXXXXX")
emulador_pid=""
termina() {
  if [ -n "$emulador_pid" ]; then kill "$emulador_pid" 2>/dev/null || true; wait "$emulador_pid" 2>/dev/null || true; fi
  rm -rf "$raiz"
}
trap termina EXIT
falha() { echo "instalacao: $*" >&2; exit 1; }
unset LD_LIBRARY_PATH

prefixo="$raiz/prefixo"
if ! cmake --install "$build" --prefix "$prefixo" --strip >"$raiz/install.log" 2>&1; then
  # A build folder this user may not write keeps no install manifest; the files are installed.
  { [ ! -w "$build" ] && grep -q 'install_manifest' "$raiz/install.log"; } || { cat "$raiz/install.log" >&2; falha "install"; }
fi

# The library with its version and soname, stripped; its stand-ins beside it; the header.
pc=$(find "$prefixo" -name tarvo.pc -path '*/pkgconfig/*')
[ -n "$pc" ] || falha "no tarvo.pc"
libdir=$(cd "$(dirname "$pc")/.." && pwd)
[ -f "$libdir/libtarvo.so.$versao" ] || falha "no libtarvo.so.$versao in $libdir"
[ "$(readlink "$libdir/libtarvo.so.${versao%%.*}")" = "libtarvo.so.$versao" ] || falha "soname link"
[ -L "$libdir/libtarvo.so" ] || falha "no libtarvo.so link"
readelf -d "$libdir/libtarvo.so.$versao" | grep -q "SONAME.*\[libtarvo.so.${versao%%.*}\]" || falha "soname"
if readelf -S "$libdir/libtarvo.so.$versao" | grep -q '\.debug_info'; then falha "--strip left debugging information"; fi
for s in libleitura.so libato17.so libinpout32.so; do [ -f "$libdir/$s" ] || falha "no stand-in $s in $libdir"; done
cabecalho="$prefixo/include/tarvo/tarvo.h"
[ -f "$cabecalho" ] || falha "no tarvo.h"
grep -q '^TARVO_API int Tarvo_AbreCupom(const char\* idConsumidor);$' "$cabecalho" || falha "tarvo.h does not write its prototypes out"

# The header alone, as C and as C++, by both compilers.
for c in "gcc -std=c99 -x c" "clang -std=c99 -x c" "g++ -std=c++11 -x c++" "clang++ -std=c++11 -x c++"; do
  $c -Wall -Wextra -pedantic -Werror -I"$prefixo/include/tarvo" -c "$aqui/consumidor.c" -o "$raiz/c.o" || falha "tarvo.h under $c"
done

# A point-of-sale program's compile line.
export PKG_CONFIG_PATH="$libdir/pkgconfig"
[ "$(pkg-config --modversion tarvo)" = "$versao" ] || falha "tarvo.pc says $(pkg-config --modversion tarvo), not $versao"
cflags=$(pkg-config --cflags tarvo)
libs=$(pkg-config --libs tarvo)
# shellcheck disable=SC2086
"$cc" -std=c11 -Wall -Werror $extra "$fonte" $cflags $libs -Wl,-rpath,"$libdir" -o "$raiz/pdv" ||
  falha "the example does not build"
readelf -d "$raiz/pdv" | grep -q "NEEDED.*\[libtarvo.so.${versao%%.*}\]" || falha "the example does not need the soname"
cmake -S "$aqui/consumidor" -B "$raiz/consumidor" -G Ninja -DCMAKE_PREFIX_PATH="$prefixo" -DCMAKE_C_COMPILER="$cc" \
  -DCMAKE_C_FLAGS="$extra" -DVERSAO_ESPERADA="$versao" >"$raiz/consumidor.log" 2>&1 &&
  cmake --build "$raiz/consumidor" >>"$raiz/consumidor.log" 2>&1 ||
  { cat "$raiz/consumidor.log" >&2; falha "the consumer does not build through find_package(Tarvo)"; }

# The consumer drives the non-fiscal printer on the parallel port: the installed library
# loads the installed libinpout32.so from its own folder.
mkdir -p "$raiz/home" "$raiz/dev" "$raiz/trabalho" "$raiz/lpt"
printf '[Sistema]\r\nModeloImp=TARVO_KELT_LPT\r\n' >"$raiz/home/TARVO.INI"
(cd "$raiz/trabalho" && TARVO_HOME="$raiz/home" TARVO_LPT_SIMULADA="$raiz/lpt" timeout 60 "$raiz/consumidor/consumidor" \
  >"$raiz/consumidor.out" 2>&1) || { cat "$raiz/consumidor.out" >&2; falha "the consumer failed"; }
grep -q INSTALADO "$raiz/lpt/captura" || falha "the consumer: nothing reached the printer"

# The example runs with the installed library and issues its receipt on the emulator.
printf '[Sistema]\r\nModeloImp=TARVO_RIX\r\nPorta=COM1\r\nTimeOutComandos=5\r\n' >"$raiz/home/TARVO.INI"
"$emulador" --porta COM1 --pasta "$raiz/dev" >"$raiz/emulador.log" 2>&1 &
emulador_pid=$!
for _ in $(seq 1 200); do
  [ -L "$raiz/dev/COM1" ] && break
  sleep 0.05
done
[ -L "$raiz/dev/COM1" ] || falha "the emulator did not open its port"
(cd "$raiz/trabalho" && TARVO_HOME="$raiz/home" TARVO_DEVDIR="$raiz/dev" \
  timeout 120 "$raiz/pdv" "$raiz/trabalho" >"$raiz/pdv.log" 2>&1) || { cat "$raiz/pdv.log" >&2; falha "the example failed"; }
grep -q "OBRIGADO PELA PREFERENCIA" "$raiz/pdv.log" || { cat "$raiz/pdv.log" >&2; falha "no receipt printed"; }

# The console, its pictures, its help pages, its menu entry; --help and --version print and
# end without a display (a window would need one).
if [ "$console" = 1 ]; then
  belmora="$prefixo/bin/belmora"
  [ -x "$belmora" ] || falha "no belmora"
  dados="$prefixo/share/belmora"
  [ "$(find "$dados/Imagens" -name '*.jpg' | wc -l)" -eq 27 ] || falha "the console's pictures"
  [ -f "$dados/Ajuda/indice.html" ] && [ -f "$dados/Ajuda/52.html" ] || falha "the console's help pages"
  [ "$(find "$dados" -maxdepth 1 -name 'Fun*.txt' | wc -l)" -eq 12 ] && [ -f "$dados/FunçõesCupomFiscal.txt" ] ||
    falha "the function lists of the command sequences"
  grep -q '^Exec=belmora$' "$prefixo/share/applications/belmora.desktop" || falha "no menu entry"
  [ -f "$prefixo/share/icons/hicolor/scalable/apps/belmora.svg" ] || falha "no icon"
  readelf -d "$belmora" | grep -q 'RUNPATH.*\$ORIGIN/\.\./' || falha "belmora does not find the library beside it"
  readelf -d "$belmora" | grep -Eq 'FLAGS.*(NOW|BIND_NOW)' || falha "belmora is not bound at load"
  sem_tela=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM TARVO_HOME="$raiz/home")
  "${sem_tela[@]}" timeout 30 "$belmora" --version >"$raiz/versao.txt" || falha "belmora --version did not end by itself"
  grep -Eqx "belmora $versao(\.[0-9]+)?" "$raiz/versao.txt" || falha "belmora --version: $(cat "$raiz/versao.txt")"
  "${sem_tela[@]}" timeout 30 "$belmora" --help >"$raiz/ajuda.txt" || falha "belmora --help did not end by itself"
  grep -q -- '--version' "$raiz/ajuda.txt" && grep -q TARVO_HOME "$raiz/ajuda.txt" || falha "belmora --help"
fi
echo "instalacao: ok"
