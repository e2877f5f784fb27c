#!/usr/bin/env bash
# Runs a command against a private virtual X server. The server picks a free
# display number itself (-displayfd), so parallel test runs never collide.
# -noreset: an X server by default resets when its last client leaves, and a
# client connecting during that reset fails ("Can't open display") - as the
# game did when a test's probe of the screen had just disconnected.
set -euo pipefail

tmp="$(mktemp -d)"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$tmp/display" 2>"$tmp/log" &
server=$!
cleanup() {
  kill "$server" 2>/dev/null || true
  wait "$server" 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT

# Polls for the display number; a machine busy with other work may be slow.
end=$((SECONDS + 120))
until [ -s "$tmp/display" ]; do
  kill -0 "$server" 2>/dev/null || { cat "$tmp/log" >&2; exit 1; }
  [ "$SECONDS" -lt "$end" ] || { echo "Xvfb did not start within 120 s" >&2; cat "$tmp/log" >&2; exit 1; }
  sleep 0.05
done

DISPLAY=":$(tr -d '\n' <"$tmp/display")"
export DISPLAY
"$@"
