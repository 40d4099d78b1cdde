#!/usr/bin/env bash
# Sets up a fresh machine, builds everything and runs every test twice: once in a normal
# build and once built with AddressSanitizer and UndefinedBehaviorSanitizer; then the tests
# of several threads (named Fios, and the console's fiscal-file workers, GeracaoFios) once
# more, built with ThreadSanitizer (library and those tests only, without Qt). Warnings
# are errors here (and so in CI), not in a release build.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh

# Every C and C++ source follows .clang-format (clang-format -i on a file puts it right).
find bench cmake components console driver examples platform tests tools \
  -type f \( -name '*.c' -o -name '*.cpp' -o -name '*.h' \) -print0 |
  xargs -0 clang-format --dry-run --Werror

jobs=$(nproc)
run() {
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja -DTARVO_WERROR=ON "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  (cd "$dir" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs")
}

run build
# Leaks are reported; those of the outside libraries listed in lsan.supp are not ours.
ASAN_OPTIONS=abort_on_error=1 LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run build-asan -DCMAKE_BUILD_TYPE=Debug -DTARVO_SANITIZE=ON

cmake -S . -B build-tsan -G Ninja -DTARVO_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVO_QT=OFF -DTARVO_TSAN=ON >/dev/null
cmake --build build-tsan -j "$jobs" --target e2e_fios_test geracao_fios_test
(cd build-tsan && TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 ctest --output-on-failure -R '^(Fios|GeracaoFios)\.')
