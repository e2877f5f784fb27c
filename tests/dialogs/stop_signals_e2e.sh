#!/usr/bin/env bash
# TERM, INT and HUP end the real program by its orderly road wherever they
# come: while it reads its resources from the archive, in the game's main
# loop, and at the start dialog. Each time it exits with 128 + the signal and
# leaves nothing behind. The resources are read into memory, never written
# out, so even a run killed with KILL leaves nothing.
#   stop_signals_e2e.sh TENFOLD TENFOLD_PAK ARCHIVE   (with DISPLAY set)
set -euo pipefail
program="$1"
pak_tool="$2"
archive="$3"

work="$(mktemp -d)"
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill -KILL "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# The program beside an archive with a large extra entry, so that its
# reading lasts long enough to be caught in the act.
mkdir -p "$work/bin" "$work/src" "$work/run"
cp "$program" "$work/bin/tenfold"
"$pak_tool" extract "$archive" -C "$work/src" >/dev/null
head -c 50000000 /dev/zero >"$work/src/Bitmaps/padding.bin"
"$pak_tool" create "$work/bin/res120.pak" "$work/src"
rm -rf "$work/src"
export XDG_RUNTIME_DIR="$work/run"
export XDG_CONFIG_HOME="$work/config"  # no remembered settings of the machine's player
export XDG_STATE_HOME="$work/state"    # the saved match, written once the game has loaded
export SDL_AUDIODRIVER=dummy

folders() { find "$XDG_RUNTIME_DIR" -mindepth 1 -maxdepth 1 -name 'tenfold-*' | sort; }
# Past the first 5 MB of the archive (its large entry): the reading is under
# way or, on a fast machine, already done.
reading() { [ "$(sed -n 's/^rchar: //p' "/proc/$pid/io" 2>/dev/null || echo 0)" -gt 5000000 ]; }
archive_open() { ls -l "/proc/$pid/fd" 2>/dev/null | grep -q 'res120\.pak'; }
loaded() { [ -n "$(find "$XDG_STATE_HOME" -name '*.sav' 2>/dev/null)" ]; }
wait_for() {  # wait_for DESCRIPTION COMMAND...: polls up to 120 s (a busy machine is slow)
  local end=$((SECONDS + 120))
  until "${@:2}"; do
    [ "$SECONDS" -lt "$end" ] || fail "$1 within 120 s"
    sleep 0.02
  done
}
no_folder() { [ -z "$(folders)" ]; }
start_game() {
  SDL_VIDEODRIVER=dummy "$work/bin/tenfold" --windowed >/dev/null 2>"$work/err" &
  pid=$!
  pids+=("$pid")
}
expect_end() {  # expect_end SIGNAL WHERE
  local status=0
  wait "$pid" || status=$?
  [ "$status" -eq $((128 + $(kill -l "$1"))) ] || fail "$1 $2: exit status $status: $(cat "$work/err")"
  no_folder || fail "$1 $2: left behind: $(folders)"
  # An orderly end shows no error (a leak checker's summary may follow it).
  if grep -E 'Cannot|Error|rror:' "$work/err" >/dev/null; then fail "$1 $2: said: $(cat "$work/err")"; fi
}

for sig in TERM INT HUP; do
  # During the reading: stopped while it reads the archive, the signal comes
  # in between; it is handled as soon as the program goes on.
  rm -rf "$XDG_STATE_HOME"
  start_game
  wait_for "$sig: the reading starts" reading
  kill -STOP "$pid"
  archive_open && where="while reading" || where="after reading"
  kill "-$sig" "$pid"
  kill -CONT "$pid"
  expect_end "$sig" "$where"
  echo "$sig $where: exit $((128 + $(kill -l "$sig"))), nothing left: ok"

  # In the main loop, once the resources are loaded.
  rm -rf "$XDG_STATE_HOME"
  start_game
  wait_for "$sig: the game has loaded" loaded
  kill "-$sig" "$pid"
  expect_end "$sig" "in the main loop"
  echo "$sig in the main loop: ok"
done

# KILL cannot be handled, and needs not be: nothing was written to clean up.
rm -rf "$XDG_STATE_HOME"
start_game
wait_for "KILL: the reading starts" reading
kill -KILL "$pid"
{ wait "$pid"; } 2>/dev/null || true
no_folder || fail "KILL: left behind: $(folders)"
start_game
wait_for "the next run has loaded" loaded
kill -TERM "$pid"
expect_end TERM "after a killed run"
echo "KILL, then a new start: nothing left either time: ok"

# At the start dialog.
"$work/bin/tenfold" >/dev/null 2>"$work/err" &
pid=$!
pids+=("$pid")
dialog_shown() { xdotool search --onlyvisible --name '^Tenfold$' >/dev/null 2>&1; }
wait_for "the start dialog opens (it said: $(cat "$work/err"))" dialog_shown
kill -TERM "$pid"
expect_end TERM "at the start dialog"
echo "TERM at the start dialog: ok"
