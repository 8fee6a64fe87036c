#!/usr/bin/env bash
# Runs a command on a private Xvfb display of its own and with an empty HOME,
# so that GUI tests need no display and see no user's X resources.
# XVFB_DEPTH chooses the screen depth (24 by default; 1 gives a monochrome screen).
set -euo pipefail
depth=${XVFB_DEPTH:-24}
tmp=$(mktemp -d)
trap 'kill "$xpid" 2>/dev/null || true; wait "$xpid" 2>/dev/null || true; rm -rf "$tmp"' EXIT
Xvfb -displayfd 3 -screen 0 "1024x768x$depth" -nolisten tcp 3>"$tmp/display" 2>"$tmp/xvfb.log" &
xpid=$!
for _ in $(seq 1 100); do
  [ -s "$tmp/display" ] && break
  sleep 0.05
done
[ -s "$tmp/display" ] || { echo "xvfb-run: Xvfb did not start" >&2; cat "$tmp/xvfb.log" >&2; exit 1; }
mkdir -p "$tmp/home"
export DISPLAY=":$(cat "$tmp/display")" HOME="$tmp/home"
"$@"
