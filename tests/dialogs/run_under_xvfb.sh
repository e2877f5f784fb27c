#!/usr/bin/env bash
# Runs a command against a private virtual X server. The server picks a free
# display number itself (-displayfd), so parallel test runs never collide.
set -euo pipefail

tmp="$(mktemp -d)"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$tmp/display" 2>"$tmp/log" &
server=$!
cleanup() {
  kill "$server" 2>/dev/null || true
  wait "$server" 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT

for _ in $(seq 200); do
  [ -s "$tmp/display" ] && break
  kill -0 "$server" 2>/dev/null || { cat "$tmp/log" >&2; exit 1; }
  sleep 0.05
done
[ -s "$tmp/display" ] || { echo "Xvfb did not start" >&2; cat "$tmp/log" >&2; exit 1; }

DISPLAY=":$(tr -d '\n' <"$tmp/display")"
export DISPLAY
"$@"
