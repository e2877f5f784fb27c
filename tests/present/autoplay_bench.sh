#!/usr/bin/env bash
# Whole demonstration runs, timed: 40,000 frames of autoplay (about six deals)
# for each deck, headless and unpaced, each ending with a screenshot.
#   autoplay_bench.sh PROGRAM OUTPUT-FOLDER
# Prints the wall time and frames per second of each run; fails when a run does.
set -euo pipefail
program="$1"
out="$2"
frames=40000
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy

run() {  # run NAME OPTIONS...
  local name="$1"
  shift
  local start end
  start=$(date +%s.%N)
  "$program" --autoplay --seed 1 --uncapped --frames "$frames" --screenshot "$out/autoplay-$name.png" "$@"
  end=$(date +%s.%N)
  awk -v n="$name" -v f="$frames" -v s="$start" -v e="$end" \
    'BEGIN { printf "autoplay %-10s %d frames in %.2f s: %.0f frames/s\n", n, f, e - s, f / (e - s) }'
}

run standard
run royal-slow --deck Royal --slow
echo "screenshots: $out/autoplay-standard.png $out/autoplay-royal-slow.png"
