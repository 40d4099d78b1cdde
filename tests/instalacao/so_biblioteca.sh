#!/bin/bash
# Usage: so_biblioteca.sh <cmake> <source>
# Configures a build of the library alone in a scratch folder of this run (the build tree may
# be read-only for the user running the tests, and two runs must not share one folder).
set -euo pipefail
raiz=$(mktemp -d "${TMPDIR:-/tmp}/tarvo-so-biblioteca-XXXXXX")
trap 'rm -rf "$raiz"' EXIT
"$1" -S "$2" -B "$raiz" -G Ninja --no-warn-unused-cli \
  -DBUILD_TESTING=OFF -DTARVO_QT=OFF \
  -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON
