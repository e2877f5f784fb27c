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
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT

"$program" >/dev/null 2>&1 &
pid=$!

# Visible windows as "id geometry name" lines. The start dialog carries the
# program's name; the game's borderless window has an empty caption.
visible_windows() {
  for w in $(xdotool search --onlyvisible --name '' 2>/dev/null); do
    echo "$w $(xdotool getwindowgeometry "$w" | sed -n 's/.*Geometry: //p') $(xdotool getwindowname "$w")"
  done
}
wait_for() {  # wait_for DESCRIPTION COMMAND...: up to 20 s
  for _ in $(seq 100); do
    if "${@:2}"; then return 0; fi
    sleep 0.2
  done
  echo "FAIL: $1 (visible: $(visible_windows | tr '\n' ';'))" >&2
  kill "$pid" 2>/dev/null || true
  exit 1
}
screen="$(xdotool getdisplaygeometry | tr " " x)"
dialog_shown() { visible_windows | grep -E '^[0-9]+ [0-9x]+ Tenfold$' >/dev/null; }
full_screen_ids() { visible_windows | awk -v s="$screen" '$2 == s {print $1}' | sort; }
only_game_shown() {
  ! dialog_shown && [ -n "$(comm -13 <(echo "$before") <(full_screen_ids))" ]
}

wait_for "the start dialog opens" dialog_shown
before="$(full_screen_ids)"
xdotool key Return
wait_for "the game alone covers the screen" only_game_shown
sleep 1
xdotool key Escape
for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
if kill -0 "$pid" 2>/dev/null; then
  echo "FAIL: Escape did not end the game" >&2
  kill "$pid"
  exit 1
fi
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || { echo "FAIL: exit status $status" >&2; exit 1; }
leftover="$(find "$XDG_RUNTIME_DIR" -mindepth 1 | head -1)"
[ -z "$leftover" ] || { echo "FAIL: unpacked resources left behind: $leftover" >&2; exit 1; }
echo "start dialog -> Start -> game -> Escape: ok"
