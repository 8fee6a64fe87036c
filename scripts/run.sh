#!/usr/bin/env bash
# The main job. Until the editor window exists: build a system dictionary from
# libhangul's Hanja data with glosset-dict, check it, and look a reading up in it.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
tool=$here/build/tools/glosset-dict
out=$here/build/syshjd
"$tool" build --force "$out" /usr/share/libhangul/hanja/hanja.txt 2>/dev/null || [ $? -eq 1 ]  # 1: some lines skipped
"$tool" -s -f "$out" verify
echo "한자:"
"$tool" -s -f "$out" get 한자
