#!/usr/bin/env bash
# Installs the Debian packages that building and testing Tarvo and Belmora need.
# Idempotent: when everything is already there it prints nothing and returns at once, and
# needs no privilege. Installing needs root or sudo; without either it names the missing
# packages and the command to run as root, and fails.
set -euo pipefail

PACKAGES=(
  g++ clang clang-format cmake ninja-build pkg-config
  libgtest-dev libgmock-dev
  qt6-base-dev libqt6sql6-ibase
  firebird3.0-server-core firebird-dev firebird3.0-utils
  libssl-dev
  xvfb xauth
  valgrind
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then
    SUDO="sudo"
  else
    {
      echo "setup: missing packages: ${missing[*]}"
      echo "setup: installing them needs root; run as root:"
      echo "  apt-get update && apt-get install --no-install-recommends ${missing[*]}"
    } >&2
    exit 1
  fi
fi
echo "setup: installing ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
