#!/usr/bin/env bash
# Prepares a Debian 12 machine for glosset and builds it.
# Run as root. Safe to run again: it only installs, generates or builds what is missing.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)

packages=(
  build-essential cmake pkg-config git
  libgtest-dev libbenchmark-dev valgrind linux-perf
  clang libclang-rt-14-dev llvm
  libmotif-dev libxt-dev libx11-dev libxtst-dev libxft-dev
  xvfb xauth x11-utils x11-apps xfonts-base xfonts-baekmuk fonts-nanum
  xdotool imagemagick librsvg2-bin nabi strace uim-xim uim-byeoru
  locales libhangul-data libhangul-dev
  debhelper dpkg-dev fakeroot lintian go-md2man man-db
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  apt-get update
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi

# The program accepts five locale names; the C library must know every one of them.
locale_ok() {
  local n
  for n in ko ko_KR.EUC korean ko_KR.UTF-8 ko.UTF-8; do
    [ -z "$(LC_ALL=$n locale charmap 2>&1 >/dev/null)" ] || return 1
  done
}
if ! locale_ok; then
  echo "setup: generating Korean locales"
  sed -i -E 's/^# *(ko_KR\.UTF-8 UTF-8|ko_KR\.EUC-KR EUC-KR)/\1/' /etc/locale.gen
  grep -q '^ko_KR.UTF-8 UTF-8' /etc/locale.gen || echo 'ko_KR.UTF-8 UTF-8' >> /etc/locale.gen
  grep -q '^ko_KR.EUC-KR EUC-KR' /etc/locale.gen || echo 'ko_KR.EUC-KR EUC-KR' >> /etc/locale.gen
  locale-gen >/dev/null
  # locale-gen rebuilds the archive, so the three short names are added after it.
  localedef -i ko_KR -f EUC-KR ko
  localedef -i ko_KR -f EUC-KR ko_KR.EUC
  localedef -i ko_KR -f UTF-8 ko.UTF-8
  locale_ok || { echo "setup: Korean locales could not be generated" >&2; exit 1; }
fi

build_type=${GLOSSET_BUILD_TYPE:-RelWithDebInfo}
cmake -S "$here" -B "$here/build" -DCMAKE_BUILD_TYPE="$build_type" >/dev/null
cmake --build "$here/build" -j"$(nproc)"
