#!/usr/bin/env bash
# Every remembered choice can be switched back from the command line for one
# run, and no run with options changes settings.ini:
# - each choice that shows on the table (the classic table, slow cards, the
#   seven-of-hearts lead) changes the picture when remembered, and its
#   opposite option gives back exactly the table of a player with no settings;
# - all five remembered at once (also a window and dimmed cards, which a
#   headless autoplayed picture does not show) are undone by the five
#   opposite options together.
#
#   command_line_overrides.sh TENFOLD COMPARE
set -euo pipefail
program="$1"
compare="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

clock="640,565,800,600"  # the time of day is left out of every comparison
run() {  # run CONFIG_DIR PICTURE [options...]
  local config="$1" picture="$2"
  shift 2
  SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy XDG_CONFIG_HOME="$config" \
    XDG_STATE_HOME="$work/state" XDG_DATA_HOME="$work/data" \
    "$program" --autoplay --uncapped --frames 3886 --seed 2 --screenshot "$picture" "$@" >/dev/null
}
same() { "$compare" "$1" "$2" "$clock" >/dev/null 2>&1; }
remember() {  # remember DIR INI-LINES...: a settings.ini with these lines
  mkdir -p "$1/tenfold"
  local dir="$1"
  shift
  printf '%s\n' "$@" >"$dir/tenfold/settings.ini"
  cp "$dir/tenfold/settings.ini" "$dir/kept.ini"
}
unchanged() {
  cmp -s "$1/kept.ini" "$1/tenfold/settings.ini" || { echo "FAIL: a run with options changed $1's settings.ini" >&2; exit 1; }
}

mkdir -p "$work/none"
run "$work/none" "$work/plain.png"
[ ! -e "$work/none/tenfold/settings.ini" ] || { echo "FAIL: a run with options wrote settings.ini" >&2; exit 1; }

for case in "Table|classic_table|--table-aids" "Table|slow_animation|--normal-speed" \
            "Rules|seven_of_hearts_lead|--no-seven-of-hearts-lead"; do
  IFS='|' read -r group key opposite <<<"$case"
  dir="$work/$key"
  remember "$dir" "[$group]" "$key=true"
  run "$dir" "$dir/remembered.png"
  same "$work/plain.png" "$dir/remembered.png" && { echo "FAIL: remembered $key made no difference" >&2; exit 1; }
  run "$dir" "$dir/overridden.png" "$opposite"
  same "$work/plain.png" "$dir/overridden.png" || { echo "FAIL: $opposite did not undo remembered $key" >&2; exit 1; }
  unchanged "$dir"
done

remember "$work/all" "[Table]" "windowed=true" "slow_animation=true" "classic_table=true" "dim_unplayable=true" \
  "[Rules]" "seven_of_hearts_lead=true"
run "$work/all" "$work/all/overridden.png" \
  --table-aids --no-dim-unplayable --full-screen --normal-speed --no-seven-of-hearts-lead
same "$work/plain.png" "$work/all/overridden.png" || { echo "FAIL: the five opposite options together did not undo the choices" >&2; exit 1; }
unchanged "$work/all"
echo "OK"
