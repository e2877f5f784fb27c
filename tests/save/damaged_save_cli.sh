#!/bin/bash
# The real program met with a damaged save: `tenfold --resume` says so in one
# line, moves the file aside, starts a new match (which is saved at once) and
# ends normally; without a save it ends with status 2 and one line.
#
# usage: damaged_save_cli.sh TENFOLD WORKDIR
set -u
exe=$1
work=$2
rm -rf "$work"
mkdir -p "$work"
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
run() {  # run CASE: the game resumed for a few frames in CASE's folders
    XDG_STATE_HOME=$work/$1/state XDG_DATA_HOME=$work/$1/data \
        "$exe" --resume --autoplay --uncapped --windowed --frames 300 >"$work/$1.out" 2>"$work/$1.err"
}

# A good save to damage, from a short game.
XDG_STATE_HOME=$work/good/state XDG_DATA_HOME=$work/good/data \
    "$exe" --autoplay --uncapped --windowed --frames 3000 --seed 2 >/dev/null 2>&1 || fail "the first game"
good=$work/good/state/tenfold/match.sav
[ -s "$good" ] || fail "the first game left no save"

run missing
[ $? -eq 2 ] || fail "no save: status is not 2"
[ "$(wc -l <"$work/missing.err")" -eq 1 ] || fail "no save: not one line: $(cat "$work/missing.err")"

size=$(stat -c %s "$good")
for damage in empty truncated version flipped folder; do
    dir=$work/$damage/state/tenfold
    mkdir -p "$dir"
    case $damage in
        empty) : >"$dir/match.sav" ;;
        truncated) head -c $((size / 2)) "$good" >"$dir/match.sav" ;;
        version) sed 's/^version 1$/version 2/' "$good" >"$dir/match.sav" ;;
        flipped) cp "$good" "$dir/match.sav" && printf 'X' | dd of="$dir/match.sav" bs=1 seek=$((size / 3)) conv=notrunc 2>/dev/null ;;
        folder) mkdir "$dir/match.sav" ;;
    esac
    run $damage
    status=$?
    [ $status -eq 0 ] || fail "$damage: status $status: $(cat "$work/$damage.err")"
    [ "$(wc -l <"$work/$damage.err")" -eq 1 ] || fail "$damage: not one line: $(cat "$work/$damage.err")"
    grep -q "match.sav.bad" "$work/$damage.err" || fail "$damage: the message does not name the file set aside"
    [ -e "$dir/match.sav.bad" ] || fail "$damage: nothing set aside"
    grep -q '^deal 1 ' "$dir/match.sav" || fail "$damage: the new match is not saved"
    echo "$damage: $(cat "$work/$damage.err")"
done
echo OK
