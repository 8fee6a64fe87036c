#!/usr/bin/env bash
# Builds the Debian package glosset_<version>_<arch>.deb from a clean copy of
# the source tree (the files git tracks or would track, as they are now) and
# checks it with lintian. Needs the packages of scripts/setup.sh.
#   scripts/package.sh [OUTDIR]    (default: build/; the work is done in OUTDIR/package)
# Prints the path of the package; the build log is OUTDIR/package/build.log.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out=$(mkdir -p "${1:-$here/build}" && cd "${1:-$here/build}" && pwd)
work=$out/package

sources() {
  if git -C "$here" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git -C "$here" ls-files -z --cached --others --exclude-standard |
      while IFS= read -r -d '' f; do [ ! -e "$here/$f" ] || printf '%s\0' "$f"; done
  else
    (cd "$here" && find . -path './build*' -prune -o -path './.git' -prune -o -type f -print0)
  fi
}
rm -rf "$work"
mkdir -p "$work/src"
sources | (cd "$here" && tar --null --no-recursion -T - -cf -) | tar -C "$work/src" -xf -

echo "package: building in $work (log: $work/build.log)" >&2
if ! (cd "$work/src" && dpkg-buildpackage -b -us -uc -j"$(nproc)") >"$work/build.log" 2>&1; then
  tail -n 40 "$work/build.log" >&2
  echo "package: dpkg-buildpackage failed; the whole log is $work/build.log" >&2
  exit 1
fi

debs=("$work"/glosset_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "package: no single glosset_*.deb in $work" >&2; exit 1; }
deb=$out/${debs[0]##*/}
mv "${debs[0]}" "$deb"

# Errors fail the build; the warnings that remain are explained in docs/packaging.md.
lintian --fail-on error "$deb" >&2
echo "$deb"
