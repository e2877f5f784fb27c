#!/usr/bin/env bash
# The whole start-up road of the real program on a virtual screen: tenfold
# without options shows the start dialog; Enter presses Start; the dialog is
# gone before the game covers the screen; Escape ends the game with status 0
# and leaves no unpacked resources behind.
set -euo pipefail
program="$1"

export SDL_AUDIODRIVER=dummy
export XDG_RUNTIME_DIR
XDG_RUNTIME_DIR="$(mktemp -d)"
log="$(mktemp)"
# The player's settings are written when Start is pressed: into a folder of the test's own.
export XDG_CONFIG_HOME
XDG_CONFIG_HOME="$(mktemp -d)"
trap 'rm -rf "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME" "$log"' EXIT

"$program" >"$log" 2>&1 &
pid=$!

# Visible windows as "id geometry name" lines. The start dialog carries the
# program's name; the game's borderless window has an empty caption.
visible_windows() {
  for w in $(xdotool search --onlyvisible --name '' 2>/dev/null); do
    echo "$w $(xdotool getwindowgeometry "$w" | sed -n 's/.*Geometry: //p') $(xdotool getwindowname "$w")"
  done
}
# The first start of the window toolkit on a new machine, or on one busy with
# other work, can take long: every wait polls for its event with a generous
# deadline instead of guessing how long it takes.
deadline=120
ended() { ! kill -0 "$pid" 2>/dev/null; }
fail() {
  echo "FAIL: $1 (visible: $(visible_windows | tr '\n' ';'))" >&2
  if ended; then
    local status=0
    wait "$pid" || status=$?
    echo "the program ended with status $status; its output:" >&2
  else
    kill "$pid" 2>/dev/null || true
    echo "the program's output:" >&2
  fi
  cat "$log" >&2
  exit 1
}
wait_for() {  # wait_for DESCRIPTION COMMAND...: polls until COMMAND succeeds
  local end=$((SECONDS + deadline))
  until "${@:2}"; do
    [ "$SECONDS" -lt "$end" ] || fail "$1 within $deadline s"
    sleep 0.1
  done
}
running() {  # running COMMAND...: COMMAND succeeds; the program ending first is a failure
  "$@" && return 0
  ended && fail "the program ended early"
  return 1
}
screen="$(xdotool getdisplaygeometry | tr " " x)"
dialog_shown() { visible_windows | grep -E '^[0-9]+ [0-9x]+ Tenfold$' >/dev/null; }
full_screen_ids() { visible_windows | awk -v s="$screen" '$2 == s {print $1}' | sort; }
only_game_shown() {
  ! dialog_shown && [ -n "$(comm -13 <(echo "$before") <(full_screen_ids))" ]
}

wait_for "the start dialog opens" running dialog_shown
before="$(full_screen_ids)"
xdotool key Return
wait_for "the game alone covers the screen" running only_game_shown
grep -q '^deck=Roya2$' "$XDG_CONFIG_HOME/tenfold/settings.ini" ||
  fail "Start did not keep the choices in settings.ini"
# Escape until the game ends: during a match the first press it sees asks
# "Leave this match?" and the next one leaves, with status 0.
escape_ends_game() {
  xdotool key Escape
  local until_next=$((SECONDS + 2))
  while [ "$SECONDS" -lt "$until_next" ]; do
    ended && return 0
    sleep 0.1
  done
  ended
}
wait_for "Escape ends the game" escape_ends_game
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || { echo "FAIL: exit status $status; the program's output:" >&2; cat "$log" >&2; exit 1; }
leftover="$(find "$XDG_RUNTIME_DIR" -mindepth 1 | head -1)"
[ -z "$leftover" ] || { echo "FAIL: unpacked resources left behind: $leftover" >&2; exit 1; }
echo "start dialog -> Start -> game -> Escape: ok"
