#!/usr/bin/env bash
# The main job: the editor in LANG=ko_KR.UTF-8 on the system dictionary with
# the user's own $HOME/.usrhjd, with catalogs and resource files from the
# build tree. With a display it simply runs the editor. Without one it runs it
# on a private Xvfb, types a sample reading, presses Find, saves a screenshot
# and says where it is.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${GLOSSET_BUILD_DIR:-$here/build}
reading=${GLOSSET_SAMPLE_READING:-한자}

[ -x "$build/app/glosset" ] || { echo "run: $build/app/glosset is missing; run ./scripts/setup.sh first" >&2; exit 1; }

export LANG=ko_KR.UTF-8
unset LC_ALL
export NLSPATH="$build/nls/%L/LC_MESSAGES/%N.cat${NLSPATH:+:$NLSPATH}"
export XFILESEARCHPATH="$build/app-defaults/%L/%N${XFILESEARCHPATH:+:$XFILESEARCHPATH}"

tmp=$(mktemp -d /tmp/glosset-run.XXXXXX)
xpid=
cleanup() {
  [ -z "$xpid" ] || { kill "$xpid" 2>/dev/null || true; wait "$xpid" 2>/dev/null || true; }
  rm -rf "$tmp"
}
trap cleanup EXIT

# The system dictionary: SYSDICNAME if the caller names one, else the default
# one the build makes from libhangul-data. The store takes paths of at most 79 bytes, so a
# long build path is reached through a short link.
if [ -z "${SYSDICNAME:-}" ]; then
  SYSDICNAME=$build/resources/sysdict/syshjd
  if [ ${#SYSDICNAME} -gt 79 ]; then
    ln -s "$SYSDICNAME" "$tmp/syshjd"
    SYSDICNAME=$tmp/syshjd
  fi
fi
export SYSDICNAME

if [ -n "${DISPLAY:-}" ]; then
  exec "$build/app/glosset" "$@"
fi

# No display: a private one.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$tmp/display" 2>"$tmp/xvfb.log" &
xpid=$!
for _ in $(seq 1 100); do [ -s "$tmp/display" ] && break; sleep 0.05; done
[ -s "$tmp/display" ] || { echo "run: Xvfb did not start" >&2; cat "$tmp/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(cat "$tmp/display")"

"$build/app/glosset" "$@" 2>"$tmp/glosset.err" &
gpid=$!
win=$(timeout 10 xdotool search --sync --onlyvisible --class Glosset | head -1) || true
[ -n "$win" ] || { echo "run: the editor window did not appear" >&2; cat "$tmp/glosset.err" >&2; exit 1; }

# Find is the topmost of the 56 x 23 command buttons; the input field ends
# 26 pixels left of it. Without a window manager the window sits at 0,0.
read -r fx fy < <(xwininfo -tree -id "$win" | awk '/ 56x23\+/ { split($NF, a, "+"); print a[2], a[3] }' | sort -n -k2 | head -1)
xdotool mousemove $((fx - 40)) $((fy + 11)) click 1
xdotool type --delay 40 "$reading"
xdotool mousemove $((fx + 28)) $((fy + 11)) click 1
sleep 0.5

mkdir -p "$build/screenshots"
shot=$build/screenshots/glosset-find-utf8.png
import -window "$win" "$shot"
echo "glosset: looked up \"$reading\" in $SYSDICNAME and $HOME/.usrhjd"
echo "glosset: screenshot saved to $shot"

# File > Close: click File, then Close's mnemonic.
xdotool mousemove 15 12 click 1
sleep 0.3
xdotool key c
for _ in $(seq 1 40); do kill -0 "$gpid" 2>/dev/null || break; sleep 0.05; done
if kill -0 "$gpid" 2>/dev/null; then kill "$gpid"; fi
wait "$gpid" || true
