#!/usr/bin/env bash
# The main job on a fresh machine: sets it up, builds the library, the printer emulator and the
# receipt example, starts the emulator on a pseudo-terminal in a temporary folder, has the
# example issue a fiscal receipt through libtarvo against it, shows the receipt as the
# emulator printed it, and stops the emulator.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh

build=build
cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build" -j "$(nproc)" --target tarvo emulador exemplo_cupom
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

"$bin/emulador" --porta COM1 --pasta "$tmp/dev" >"$tmp/emulador.log" 2>&1 &
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

status=0
(cd "$tmp/trabalho" && TARVO_HOME="$tmp/home" TARVO_DEVDIR="$tmp/dev" "$bin/exemplo_cupom" "$tmp/trabalho") || status=$?
if [ "$status" -ne 0 ]; then
  echo "run: the example failed ($status); the emulator saw:" >&2
  cat "$tmp/emulador.log" >&2
fi
exit "$status"
