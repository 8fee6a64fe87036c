#!/usr/bin/env bash
# Builds the Debian package, installs it into this machine, runs the installed
# editor with only LANG set and removes the package again (the CTest test
# package_install). Needs root and the packages of scripts/setup.sh; takes a
# few minutes, most of them building the package.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cmake -S "$here" -B "$here/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGLOSSET_WERROR=ON >/dev/null
cmake --build "$here/build" -j"$(nproc)"
cd "$here/build" && ctest --output-on-failure -L '^package$'
