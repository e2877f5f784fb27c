#!/usr/bin/env bash
# A new player's road through a saved match, on a virtual screen: the first
# start (no saved match, an empty Statistics tab), two deals played, the
# window closed with its close box in the third, the next start offering "Resume match
# (deal 3 of 20)", a click on it taking the match up where it was left, a match
# played to its end, and the start after it: no Resume button, the finished
# match in the Statistics tab. The screenshots of each step go to SHOTS.
#
#   resume_road_e2e.sh TENFOLD CLOSE_WINDOW SHOTS
set -euo pipefail
exe="$1"
close_window="$2"
shots="$3"
rm -rf "$shots"
mkdir -p "$shots"

home="$(mktemp -d)"
export XDG_STATE_HOME="$home/state" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config"
export XDG_RUNTIME_DIR="$home/run"
mkdir -m 700 "$XDG_RUNTIME_DIR"
export SDL_AUDIODRIVER=dummy
save="$XDG_STATE_HOME/tenfold/match.sav"
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$home"' EXIT

deadline=180
fail() {
  echo "FAIL: $*" >&2
  [ -f "$home/log" ] && cat "$home/log" >&2
  exit 1
}
wait_for() {  # wait_for DESCRIPTION COMMAND...: polls until COMMAND succeeds (deadline=S to wait longer)
  local end=$((SECONDS + deadline))
  until "${@:2}"; do
    [ "$SECONDS" -lt "$end" ] || fail "$1 within $deadline s"
    kill -0 "$pid" 2>/dev/null || fail "the program ended before: $1"
    sleep 0.1
  done
}
ended() { ! kill -0 "$pid" 2>/dev/null; }
# repeat_until_ended FAILURE COMMAND...: runs COMMAND, then gives the program
# two seconds to end, again and again until it has ended (deadline=S).
repeat_until_ended() {
  local end=$((SECONDS + deadline)) until_next
  while :; do
    "${@:2}"
    until_next=$((SECONDS + 2))
    while [ "$SECONDS" -lt "$until_next" ]; do
      ended && return 0
      sleep 0.1
    done
    ended && return 0
    [ "$SECONDS" -lt "$end" ] || fail "$1"
  done
}
window_named() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1; }
dialog_shown() { [ -n "$(window_named '^Tenfold$')" ]; }
save_in_deal() { [ -f "$save" ] && grep -q "^deal $1 " "$save"; }
start() {  # start ARGS...: the program in the background
  "$exe" "$@" >"$home/log" 2>&1 &
  pid=$!
}
finish() {  # finish: waits for the program; its status must be 0 and it must have said nothing
  local status=0
  wait "$pid" || status=$?
  pid=""
  [ "$status" -eq 0 ] || fail "exit status $status"
  [ ! -s "$home/log" ] || grep -q '^match ' "$home/log" || fail "the program wrote: $(cat "$home/log")"
}
shot() { import -window root "$shots/$1.png"; }
felt_at() { [ "$(convert "$3" -format "%[fx:p{$1,$2}.g>0.4 && p{$1,$2}.r<0.3]" info:)" = 1 ]; }
# The Statistics tab, the last of the dialog's tabs: clicked where its caption is.
statistics_tab() {
  xdotool mousemove --window "$(window_named '^Tenfold$')" 415 26 click 1
}

# 1. The first start: nothing saved, nothing recorded.
start
wait_for "the start dialog opens" dialog_shown
statistics_tab
shot 1-first-start-statistics
"$close_window" "$(window_named '^Tenfold$')"
finish

# 2. Two deals, then the close box. The two deals are played unpaced (at the
# game's own pace they take minutes); 13,000 frames of seed 3 end in the third.
"$exe" --autoplay --uncapped --windowed --seed 3 --frames 13000 >"$home/log" 2>&1 || fail "two deals: $(cat "$home/log")"
save_in_deal 3 || fail "the third deal did not begin within 13,000 frames"
start --resume --autoplay --windowed
table_in_window() {  # the game's window shows the green table
  local id
  id="$(window_named '^Tenfold$')"
  [ -n "$id" ] && import -window "$id" "$home/probe.png" 2>/dev/null && felt_at 300 400 "$home/probe.png"
}
wait_for "the game's window shows the table" table_in_window
shot 2-third-deal
started_line="$(grep '^start ' "$save")"
# The close box asks "Leave this match?" during a match; Y answers it.
"$close_window" "$(window_named '^Tenfold$')"
answer_yes() { xdotool mousemove --window "$(window_named '^Tenfold$')" 400 300 key y 2>/dev/null || true; }
repeat_until_ended "the close box did not end the game" answer_yes
finish
save_in_deal 3 || fail "closing the window lost the save"

# 3. The next start offers the match; a click on "Resume match" takes it up.
start
wait_for "the start dialog opens" dialog_shown
shot 3-resume-offered
# The button left of Start, in the dialog's bottom row (the window has no
# keyboard focus without a window manager, so it is clicked, not keyed).
# Its height follows the tallest tab, so the row is found from the bottom.
dialog="$(window_named '^Tenfold$')"
dialog_height="$(xdotool getwindowgeometry "$dialog" | sed -n 's/.*Geometry: [0-9]*x//p')"
xdotool mousemove --window "$dialog" 283 $((dialog_height - 31)) click 1
screen="$(xdotool getdisplaygeometry | tr " " x)"
game_on_screen() {  # a window as large as the screen, the green table drawn beside where the dialog was
  local id
  for id in $(xdotool search --onlyvisible --name '' 2>/dev/null); do
    [ "$(xdotool getwindowgeometry "$id" | sed -n 's/.*Geometry: //p')" = "$screen" ] || continue
    import -window root "$home/probe.png"
    felt_at 300 400 "$home/probe.png" && return 0
  done
  return 1
}
wait_for "the resumed game covers the screen" game_on_screen
shot 4-resumed-table
[ "$(grep '^start ' "$save")" = "$started_line" ] || fail "Resume started a new match"
# Escape until the game ends: the first presses may come before it reads its keyboard.
repeat_until_ended "Escape did not end the resumed game" xdotool key Escape
finish
save_in_deal 3 || fail "leaving the resumed game lost the save"

# 4. The match played to its end (fast), which records it and removes the save.
"$exe" --resume --autoplay --uncapped --windowed --matches 1 >"$home/end" 2>&1 || fail "the match did not end: $(cat "$home/end")"
grep -q '^match 1: ' "$home/end" || fail "no result line: $(cat "$home/end")"
[ ! -e "$save" ] || fail "the finished match left its save"

# 5. The start after a finished match: no Resume button, the match in the statistics.
start
wait_for "the start dialog opens" dialog_shown
shot 5-after-a-match
statistics_tab
shot 6-statistics
"$close_window" "$(window_named '^Tenfold$')"
finish
"$exe" --stats | grep -q '^Matches played: 1$' || fail "the statistics do not hold the match"
echo "OK: screenshots in $shots"
