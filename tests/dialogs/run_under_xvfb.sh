#!/usr/bin/env bash
# Runs a command against a private virtual X server. The server picks a free
# display number itself (-displayfd), so parallel test runs never collide.
# -noreset: an X server by default resets when its last client leaves, and a
# client connecting during that reset fails ("Can't open display") - as the
# game did when a test's probe of the screen had just disconnected.
# The server (and the keyboard compiler it starts) writes only to its log:
# ctest waits until every holder of a test's output has closed it, so a
# server that inherited that output and lingered would hold the test until
# its timeout after the test itself had passed.
set -euo pipefail

tmp="$(mktemp -d)"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$tmp/display" </dev/null >"$tmp/log" 2>&1 &
server=$!
cleanup() {
  # A server that does not end within 30 s of being asked is ended outright.
  kill "$server" 2>/dev/null || true
  local end=$((SECONDS + 30))
  while kill -0 "$server" 2>/dev/null && [ "$SECONDS" -lt "$end" ]; do sleep 0.05; done
  if kill -0 "$server" 2>/dev/null; then
    echo "run_under_xvfb: the X server did not end within 30 s; killed" >&2
    kill -KILL "$server" 2>/dev/null || true
  fi
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
