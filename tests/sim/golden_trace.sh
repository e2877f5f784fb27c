#!/usr/bin/env bash
# Replays recorded matches: runs `tenfold --simulate ... --trace` with the
# given options and compares the trace with the recorded one, whole. A match
# that plays differently in any card shows as the first line that differs.
# With TENFOLD_UPDATE_GOLDEN=1 the recorded file is rewritten instead.
#
#   golden_trace.sh TENFOLD GOLDEN_FILE [tenfold options...]
set -euo pipefail
program="$1"
golden="$2"
shift 2

out="$(mktemp)"
trap 'rm -f "$out"' EXIT
"$program" "$@" --trace "$out" >/dev/null

if [ "${TENFOLD_UPDATE_GOLDEN:-0}" = 1 ]; then
  install -m 644 "$out" "$golden"
  echo "rewrote $golden"
  exit 0
fi
[ -f "$golden" ] || { echo "FAIL: no recorded trace $golden" >&2; exit 1; }
if ! cmp -s "$out" "$golden"; then
  awk -v golden="$golden" '
    { line = $0; if ((getline want < golden) <= 0) want = "<end of file>"
      if (line != want) { print "FAIL: line " NR " differs from " golden; print "recorded: " want; print "now:      " line; failed = 1; exit } }
    END { if (!failed && (getline want < golden) > 0) print "FAIL: the trace ends before line " NR + 1 " of " golden }
  ' "$out" >&2
  echo "FAIL: the trace differs from $golden" >&2
  exit 1
fi
