#!/usr/bin/env bash
# The start dialog as the real program shows it, pixel for pixel against the
# recorded picture (under Xvfb, with this machine's fonts and theme).
# TENFOLD_UPDATE_GOLDEN=1 rewrites the recording.
#
#   start_dialog_screenshot.sh TENFOLD COMPARE GOLDEN.png
set -euo pipefail
program="$1"
compare="$2"
golden="$3"

export SDL_AUDIODRIVER=dummy
export XDG_RUNTIME_DIR
XDG_RUNTIME_DIR="$(mktemp -d)"
# The dialog as a new player sees it: no remembered settings.
export XDG_CONFIG_HOME="$XDG_RUNTIME_DIR/config"
log="$(mktemp)"
"$program" >"$log" 2>&1 &
pid=$!
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$XDG_RUNTIME_DIR" "$log"' EXIT

# Every wait polls with a generous deadline: the window toolkit's first start
# on a new machine, or on one busy with other work, is slow.
deadline=120
id=""
end=$((SECONDS + deadline))
until [ -n "$id" ]; do
  [ "$SECONDS" -lt "$end" ] || { echo "FAIL: the start dialog did not open within $deadline s" >&2; cat "$log" >&2; exit 1; }
  kill -0 "$pid" 2>/dev/null || { echo "FAIL: the program ended before its start dialog opened" >&2; cat "$log" >&2; exit 1; }
  sleep 0.1
  id="$(xdotool search --onlyvisible --name '^Tenfold$' 2>/dev/null | head -1 || true)"
done

shot="$XDG_RUNTIME_DIR/shot.png"
if [ "${TENFOLD_UPDATE_GOLDEN:-0}" = 1 ]; then
  # Recorded once two captures in a row agree, so a dialog still settling is not kept.
  previous="$XDG_RUNTIME_DIR/previous.png"
  stable=0
  end=$((SECONDS + deadline))
  while [ "$SECONDS" -lt "$end" ]; do
    import -window "$id" "$shot"
    if [ -f "$previous" ] && "$compare" "$previous" "$shot" 2>/dev/null; then stable=1; break; fi
    cp "$shot" "$previous"
    sleep 0.2
  done
  [ "$stable" = 1 ] || { echo "FAIL: the dialog kept changing for $deadline s" >&2; exit 1; }
  install -m 644 "$shot" "$golden"
  echo "rewrote $golden"
  exit 0
fi
[ -f "$golden" ] || { echo "FAIL: no recorded picture $golden" >&2; exit 1; }
# Captures until the dialog looks as recorded: a dialog still drawing on a
# busy machine is not a difference; one that differs for the whole deadline is.
end=$((SECONDS + deadline))
import -window "$id" "$shot"
until "$compare" "$golden" "$shot" 2>"$XDG_RUNTIME_DIR/compare.log"; do
  if [ "$SECONDS" -ge "$end" ]; then
    cat "$XDG_RUNTIME_DIR/compare.log" >&2
    echo "FAIL: the start dialog differs from $golden" >&2
    exit 1
  fi
  sleep 0.2
  import -window "$id" "$shot"
done
