#!/usr/bin/env bash
# Runs the real game headless to a pinned frame and compares the picture with
# the recorded one, pixel for pixel, leaving out the clock (it shows the time
# of day). With TENFOLD_UPDATE_GOLDEN=1 the recorded picture is rewritten.
#
#   pinned_screenshot.sh TENFOLD COMPARE GOLDEN.png FRAMES [tenfold options...]
set -euo pipefail
program="$1"
compare="$2"
golden="$3"
frames="$4"
shift 4

# The clock's rectangle: "hh:mm AM" ends just inside the table's right edge.
clock="640,565,800,600"

out="$(mktemp --suffix=.png)"
config="$(mktemp -d)"
trap 'rm -rf "$out" "$config"' EXIT
# The pinned pictures are of the classic table, without remembered settings.
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy XDG_CONFIG_HOME="$config" \
  "$program" --classic --autoplay --uncapped --frames "$frames" --screenshot "$out" "$@" >/dev/null

if [ "${TENFOLD_UPDATE_GOLDEN:-0}" = 1 ]; then
  install -m 644 "$out" "$golden"
  echo "rewrote $golden"
  exit 0
fi
[ -f "$golden" ] || { echo "FAIL: no recorded picture $golden" >&2; exit 1; }
"$compare" "$golden" "$out" "$clock" || { echo "FAIL: frame $frames differs from $golden" >&2; exit 1; }
