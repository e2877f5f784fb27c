#!/usr/bin/env bash
# The start dialog as the real program shows it, pixel for pixel against the
# recorded picture (under Xvfb, with this machine's fonts and theme). The
# picture is taken once two captures in a row agree, so a dialog still
# settling is not compared. TENFOLD_UPDATE_GOLDEN=1 rewrites the recording.
#
#   start_dialog_screenshot.sh TENFOLD COMPARE GOLDEN.png
set -euo pipefail
program="$1"
compare="$2"
golden="$3"

export SDL_AUDIODRIVER=dummy
export XDG_RUNTIME_DIR
XDG_RUNTIME_DIR="$(mktemp -d)"
"$program" >/dev/null 2>&1 &
pid=$!
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$XDG_RUNTIME_DIR"' EXIT

id=""
for _ in $(seq 100); do
  id="$(xdotool search --onlyvisible --name '^Tenfold$' 2>/dev/null | head -1 || true)"
  [ -n "$id" ] && break
  sleep 0.2
done
[ -n "$id" ] || { echo "FAIL: the start dialog did not open" >&2; exit 1; }

shot="$XDG_RUNTIME_DIR/shot.png"
previous="$XDG_RUNTIME_DIR/previous.png"
stable=0
for _ in $(seq 100); do
  import -window "$id" "$shot"
  if [ -f "$previous" ] && "$compare" "$previous" "$shot" 2>/dev/null; then stable=1; break; fi
  cp "$shot" "$previous"
  sleep 0.2
done
[ "$stable" = 1 ] || { echo "FAIL: the dialog never stopped changing" >&2; exit 1; }

if [ "${TENFOLD_UPDATE_GOLDEN:-0}" = 1 ]; then
  install -m 644 "$shot" "$golden"
  echo "rewrote $golden"
  exit 0
fi
[ -f "$golden" ] || { echo "FAIL: no recorded picture $golden" >&2; exit 1; }
"$compare" "$golden" "$shot" || { echo "FAIL: the start dialog differs from $golden" >&2; exit 1; }
