#!/bin/bash
# Usage: setup_sem_privilegio.sh <scripts/setup.sh>
# scripts/setup.sh with stand-ins on PATH for dpkg-query (a package reported missing or not),
# id (root or a user) and, when present, sudo and apt-get, which only record their call.
set -euo pipefail
setup=$1
raiz=$(mktemp -d "${TMPDIR:-/tmp}/tarvo-setup-XXXXXX")
trap 'rm -rf "$raiz"' EXIT
falha() { echo "setup: $*" >&2; exit 1; }

# case: falta (the package reported missing, "" none) | uid | sudo present (0/1) |
#       exit status | what must be on stderr | the install call recorded ("" none)
casos=(
  "|1000|0|0||"
  "clang|1000|0|1|apt-get install --no-install-recommends clang|"
  "clang valgrind|1000|0|1|missing packages: clang valgrind|"
  "clang|1000|1|0||sudo apt-get install -y -qq --no-install-recommends clang"
  "clang|0|0|0||apt-get install -y -qq --no-install-recommends clang"
)
for caso in "${casos[@]}"; do
  IFS='|' read -r falta uid comsudo status erro chamada <<<"$caso"
  bin="$raiz/bin" && rm -rf "$bin" "$raiz/chamadas" && mkdir -p "$bin"
  ln -s "$(command -v grep)" "$bin/grep"
  cat >"$bin/dpkg-query" <<EOS
#!/bin/bash
for p in $falta; do [ "\${!#}" = "\$p" ] && exit 1; done
printf 'install ok installed'
EOS
  printf '#!/bin/bash\necho %s\n' "$uid" >"$bin/id"
  printf '#!/bin/bash\necho "apt-get $*" >>%s\n' "$raiz/chamadas" >"$bin/apt-get"
  [ "$comsudo" = 1 ] && printf '#!/bin/bash\necho "sudo $*" >>%s\n' "$raiz/chamadas" >"$bin/sudo"
  chmod +x "$bin"/*
  obtido=0
  PATH="$bin" /bin/bash "$setup" >"$raiz/saida" 2>"$raiz/erro" || obtido=$?
  [ "$obtido" = "$status" ] || falha "[$caso] exit $obtido: $(cat "$raiz/erro")"
  if [ -n "$erro" ]; then
    grep -qF "$erro" "$raiz/erro" || falha "[$caso] stderr: $(cat "$raiz/erro")"
    grep -q "as root" "$raiz/erro" || falha "[$caso] does not say to run it as root"
  fi
  if [ -n "$chamada" ]; then
    grep -qF "$chamada" "$raiz/chamadas" || falha "[$caso] calls: $(cat "$raiz/chamadas" 2>/dev/null)"
  elif [ -s "$raiz/chamadas" ]; then
    falha "[$caso] installed without being asked: $(cat "$raiz/chamadas")"
  fi
  [ -n "$falta" ] || [ ! -s "$raiz/saida" ] || falha "[$caso] not quiet when everything is there"
done
echo "setup: ok"
