#!/usr/bin/env bash
# The main job on a fresh machine: sets it up, builds the library, the printer emulator, the
# console and the receipt example, and starts the emulator on a pseudo-terminal.
#   scripts/run.sh               the console Belmora connected to the emulator (needs a display)
#   scripts/run.sh --sem-console the receipt example instead: it issues a fiscal receipt through
#                                libtarvo against the emulator and shows it as printed
#   scripts/run.sh --intervencao the console with the printer in technical intervention
# Without a display the receipt example runs.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh

console=1
opcoes_emulador=()
case "${1:-}" in
  --sem-console) console=0 ;;
  --intervencao) opcoes_emulador=(--intervencao) ;;
  "") ;;
  *) echo "uso: scripts/run.sh [--sem-console | --intervencao]" >&2; exit 2 ;;
esac
if [ "$console" -eq 1 ] && [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run: no display for the console; running the receipt example (scripts/run.sh --sem-console)" >&2
  console=0
fi

build=build
cmake -S . -B "$build" -G Ninja >/dev/null
targets=(tarvo emulador exemplo_cupom)
[ "$console" -eq 1 ] && targets+=(belmora)
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}"
bin="$(pwd)/$build/bin"

tmp=$(mktemp -d "${TMPDIR:-/tmp}/tarvo-run-XXXXXX")
emulador_pid=""
termina() {
  if [ -n "$emulador_pid" ] && kill -0 "$emulador_pid" 2>/dev/null; then
    kill "$emulador_pid" 2>/dev/null || true
    wait "$emulador_pid" 2>/dev/null || true
  fi
  rm -rf "$tmp"
}
trap termina EXIT

# The library's program folder (TARVO.INI) and the folder of port links it opens as COMn.
mkdir -p "$tmp/home" "$tmp/dev" "$tmp/trabalho"
printf '[Sistema]\r\nModeloImp=TARVO_RIX\r\nPorta=COM1\r\nTimeOutComandos=5\r\n' >"$tmp/home/TARVO.INI"

"$bin/emulador" --porta COM1 --pasta "$tmp/dev" "${opcoes_emulador[@]}" >"$tmp/emulador.log" 2>&1 </dev/null &
emulador_pid=$!
for _ in $(seq 1 100); do
  [ -L "$tmp/dev/COM1" ] && break
  if ! kill -0 "$emulador_pid" 2>/dev/null; then
    cat "$tmp/emulador.log" >&2
    exit 1
  fi
  sleep 0.05
done
if [ ! -L "$tmp/dev/COM1" ]; then
  echo "run: the emulator did not open its port" >&2
  exit 1
fi

if [ "$console" -eq 1 ]; then
  # The console keeps its folders between runs (its TARVO.INI, call logs and saved operator
  # logs), in build/belmora; it finds the printer on COM1 through the emulator's link.
  casa="$(pwd)/$build/belmora"
  mkdir -p "$casa/trabalho"
  [ -f "$casa/TARVO.INI" ] || printf '[Sistema]\r\nModeloImp=TARVO_RIX\r\nPorta=COM1\r\nTimeOutComandos=5\r\n' >"$casa/TARVO.INI"
  ln -sfn "$bin/Imagens" "$casa/trabalho/Imagens"
  status=0
  (cd "$casa/trabalho" && TARVO_HOME="$casa" TARVO_DEVDIR="$tmp/dev" "$bin/belmora") || status=$?
  exit "$status"
fi

status=0
(cd "$tmp/trabalho" && TARVO_HOME="$tmp/home" TARVO_DEVDIR="$tmp/dev" "$bin/exemplo_cupom" "$tmp/trabalho") || status=$?
if [ "$status" -ne 0 ]; then
  echo "run: the example failed ($status); the emulator saw:" >&2
  cat "$tmp/emulador.log" >&2
fi
exit "$status"
