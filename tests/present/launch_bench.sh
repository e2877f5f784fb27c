#!/usr/bin/env bash
# Launch to first frame of the game on a virtual X screen of each size, full
# screen as a player starts it (a benchmark, not a test): for each size a
# private Xvfb of that size, RUNS starts of present_frame_bench --launch-only,
# and the median, lowest and highest wall and CPU times and the peak memory.
#
#   launch_bench.sh PRESENT_FRAME_BENCH [RUNS] [WxH ...]
set -euo pipefail
bench="$1"
runs="${2:-7}"
shift $(($# >= 2 ? 2 : 1))
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(800x600 1024x768 1920x1080 2560x1440)

tmp="$(mktemp -d)"
server=""
stop_server() {
  if [ -n "$server" ]; then
    kill "$server" 2>/dev/null || true
    wait "$server" 2>/dev/null || true
  fi
  server=""
}
trap 'stop_server; rm -rf "$tmp"' EXIT

# The player's files of these runs stay out of the real ones.
export XDG_CONFIG_HOME="$tmp/config" XDG_STATE_HOME="$tmp/state" XDG_DATA_HOME="$tmp/data"
export SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy

stats() {  # values on stdin: median lowest highest
  sort -n | awk '{v[NR] = $1} END {printf "%.1f (%.1f to %.1f)", v[int((NR + 1) / 2)], v[1], v[NR]}'
}

printf "%-10s %-28s %-28s %s\n" size "wall ms: median (range)" "CPU ms: median (range)" "peak MB"
for size in "${sizes[@]}"; do
  : >"$tmp/display"
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset 3>"$tmp/display" 2>"$tmp/xlog" &
  server=$!
  end=$((SECONDS + 60))
  until [ -s "$tmp/display" ]; do
    kill -0 "$server" 2>/dev/null || { cat "$tmp/xlog" >&2; exit 1; }
    [ "$SECONDS" -lt "$end" ] || { echo "Xvfb did not start" >&2; exit 1; }
    sleep 0.05
  done
  export DISPLAY=":$(tr -d '\n' <"$tmp/display")"
  : >"$tmp/runs"
  for _ in $(seq "$runs"); do "$bench" --launch-only >>"$tmp/runs"; done
  wall="$(sed -n 's/^launch to first frame: \([0-9.]*\) ms wall.*/\1/p' "$tmp/runs" | stats)"
  cpu="$(sed -n 's/^launch to first frame: .*, \([0-9.]*\) ms CPU/\1/p' "$tmp/runs" | stats)"
  peak="$(sed -n 's/^peak memory: \([0-9.]*\) MB/\1/p' "$tmp/runs" | sort -n | tail -1)"
  printf "%-10s %-28s %-28s %s\n" "$size" "$wall" "$cpu" "$peak"
  stop_server
done
