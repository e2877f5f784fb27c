#!/usr/bin/env bash
# The test X server keeps serving while clients come and go: three clients at
# a time connect and leave, 100 times each, and every connection must succeed.
# (A server that resets when its last client leaves refuses those arriving
# meanwhile; the start-up road test lost the game's window that way.)
set -euo pipefail
connect_repeatedly() {
  local failed=0
  for _ in $(seq 100); do
    xdotool getdisplaygeometry >/dev/null 2>&1 || failed=$((failed + 1))
  done
  echo "$failed"
}
results="$(connect_repeatedly & connect_repeatedly & connect_repeatedly & wait)"
failed=$(echo "$results" | awk '{ n += $1 } END { print n }')
[ "$failed" -eq 0 ] || { echo "FAIL: $failed of 300 connections to $DISPLAY failed" >&2; exit 1; }
echo "300 connections to $DISPLAY: ok"
