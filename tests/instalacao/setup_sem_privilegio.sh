#!/bin/bash
# Usage: setup_sem_privilegio.sh <scripts/setup.sh>
# scripts/setup.sh with stand-ins on PATH for dpkg-query (the packages it reports missing),
# id (the uid) and, when present, sudo; sudo and apt-get only record their call.
set -euo pipefail
raiz=$(mktemp -d "${TMPDIR:-/tmp}/tarvo-setup-XXXXXX")
trap 'rm -rf "$raiz"' EXIT
# missing packages | uid | sudo present | exit status | on stderr ("" nothing) | the call recorded ("" none)
casos=(
  "|1000|0|0||"
  "clang valgrind|1000|0|1|missing packages: clang valgrind|"
  "clang|1000|0|1|apt-get install --no-install-recommends clang|"
  "clang|1000|1|0||sudo apt-get install -y -qq --no-install-recommends clang"
  "clang|0|0|0||apt-get install -y -qq --no-install-recommends clang"
)
for caso in "${casos[@]}"; do
  IFS='|' read -r falta uid comsudo status erro chamada <<<"$caso"
  b="$raiz/bin" && rm -rf "$b" "$raiz/chamadas" && mkdir -p "$b" && ln -s "$(command -v grep)" "$b/grep"
  printf '#!/bin/bash\nfor p in %s; do [ "${!#}" = "$p" ] && exit 1; done\nprintf "install ok installed"\n' "$falta" >"$b/dpkg-query"
  printf '#!/bin/bash\necho %s\n' "$uid" >"$b/id"
  printf '#!/bin/bash\necho "apt-get $*" >>%s\n' "$raiz/chamadas" >"$b/apt-get"
  [ "$comsudo" = 0 ] || printf '#!/bin/bash\necho "sudo $*" >>%s\n' "$raiz/chamadas" >"$b/sudo"
  chmod +x "$b"/* && touch "$raiz/chamadas"
  obtido=0 && PATH="$b" /bin/bash "$1" >"$raiz/saida" 2>"$raiz/erro" || obtido=$?
  ok=1
  [ "$obtido" = "$status" ] || ok=0
  if [ -n "$erro" ]; then grep -qF "$erro" "$raiz/erro" && grep -q "as root" "$raiz/erro" || ok=0; fi
  if [ -n "$chamada" ]; then grep -qF "$chamada" "$raiz/chamadas" || ok=0; else [ ! -s "$raiz/chamadas" ] || ok=0; fi
  [ -n "$falta" ] || [ ! -s "$raiz/saida" ] || ok=0
  [ "$ok" = 1 ] || { echo "setup [$caso]: exit $obtido; $(cat "$raiz/erro" "$raiz/chamadas")" >&2; exit 1; }
done
echo "setup: ok"
