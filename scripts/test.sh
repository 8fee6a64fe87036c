#!/usr/bin/env bash
# Builds glosset twice (plain, and with AddressSanitizer + UndefinedBehaviorSanitizer)
# and runs the whole test suite on each build. Needs the packages of scripts/setup.sh.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

run_suite() {
  local dir=$1; shift
  cmake -S "$here" -B "$here/$dir" -DGLOSSET_WERROR=ON "$@" >/dev/null
  cmake --build "$here/$dir" -j"$jobs"
  echo "== tests: $dir"
  # The end-to-end tests drive the built editor with synthesized input and
  # timing of their own; on a loaded machine they get one more try.
  # The package test installs into the machine; scripts/test-package.sh runs it.
  (cd "$here/$dir" && ctest --output-on-failure -j"$jobs" --timeout 600 -E '^e2e_' -LE '^package$' &&
     ctest --output-on-failure --timeout 600 -R '^e2e_' --repeat until-pass:2)
}

run_suite build -DCMAKE_BUILD_TYPE=RelWithDebInfo
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
LSAN_OPTIONS=suppressions=$here/tests/lsan.supp:print_suppressions=0 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run_suite build-asan -DCMAKE_BUILD_TYPE=Debug -DGLOSSET_SANITIZE=ON
