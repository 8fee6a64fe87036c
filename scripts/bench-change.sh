#!/usr/bin/env bash
# Measures what a change of a user dictionary costs, in an optimised build of
# its own: the median of one Add through InsertHanjaWord on dictionaries of
# 1,000 and 100,000 pairs, and glosset-dict import of 100,000 pairs and of the
# whole table (279,000) into a missing dictionary. The dictionaries are made
# in a directory on the same disk as the project (a change syncs to the disk).
# Argument: the number of Adds per dictionary (default 200).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${GLOSSET_BENCH_BUILD:-$here/build-bench}
hanja=${GLOSSET_HANJA_TXT:-/usr/share/libhangul/hanja/hanja.txt}
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target change_bench glosset-dict >/dev/null
work=$(mktemp -d "$build/bench-change.XXXXXX")
trap 'rm -rf "$work"' EXIT
"$build/bench/store/change_bench" "$hanja" "$work" "${1:-200}"
dict=$build/tools/glosset-dict
"$dict" build "$work/all.hjd" "$hanja" 2>/dev/null || true
"$dict" -f "$work/all.hjd" export > "$work/all.txt"
head -n 100000 "$work/all.txt" > "$work/100k.txt"
TIMEFORMAT='%R'
for f in 100k all; do
  n=$(wc -l < "$work/$f.txt")
  t=$( { time "$dict" -f "$work/import-$f.hjd" import "$work/$f.txt" >/dev/null 2>&1; } 2>&1 )
  echo "import of $n pairs as a process: $t s"
done
