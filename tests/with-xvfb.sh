#!/bin/sh
# Runs a command with a private Xvfb display, so GUI tests pass on a machine without one.
set -eu
command -v Xvfb >/dev/null || { echo "with-xvfb.sh: Xvfb missing (run scripts/setup)" >&2; exit 1; }
tmp=$(mktemp -d); xvfb_pid=
trap 'kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; rm -rf "$tmp"' EXIT INT TERM
mkfifo "$tmp/fd"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$tmp/fd" 2>"$tmp/xvfb.log" &
xvfb_pid=$!
read -r num <"$tmp/fd" || { cat "$tmp/xvfb.log" >&2; exit 1; }
DISPLAY=":$num"; export DISPLAY
"$@"
