#!/usr/bin/env bash
# Runs the lookup benchmark (bench/lookup) in an optimised build of its own and
# prints its table: Find against the syscall floor and against libhangul, warm
# and as whole processes, with insertion, build and verify. Takes a few minutes.
# Arguments go to lookup_bench (e.g. --cold-runs 200). Needs libhangul-dev and
# libhangul-data (scripts/setup.sh).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${GLOSSET_BENCH_BUILD:-$here/build-bench}
hanja=${GLOSSET_HANJA_TXT:-/usr/share/libhangul/hanja/hanja.txt}
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target lookup_bench glosset-dict >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/lookup/lookup_bench" "$@" "$hanja" "$work"
