#!/bin/bash
# A match killed with SIGKILL again and again ends as if it had never been
# interrupted. The same autoplayed match (fixed seed) is played once without a
# break, then killed at moments drawn from a seeded list (a frame count in
# dealing, a trick, the contract menu or the score page: the program kills
# itself there, so no clock decides where) and resumed with --resume each
# time. The interrupted match must end with the same "match 1:" line, and
# before every decision the table's fingerprint must equal the uninterrupted
# game's before the same decision: the first one after each resume shows the
# resumed table is the one that was left.
#
# usage: kill_and_resume.sh TENFOLD WORKDIR
set -u
exe=$1
work=$2
rm -rf "$work"
mkdir -p "$work"
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
common=(--autoplay --uncapped --windowed --matches 1)
seed=7
min_kills=20
max_kills=24

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

XDG_STATE_HOME=$work/whole/state XDG_DATA_HOME=$work/whole/data TENFOLD_TEST_FINGERPRINTS=$work/whole.log \
    "$exe" "${common[@]}" --seed $seed >"$work/whole.out" 2>"$work/whole.err" || fail "the uninterrupted match: status $?"
expected=$(grep '^match 1:' "$work/whole.out") || fail "the uninterrupted match printed no result"
echo "uninterrupted: $expected ($(wc -l <"$work/whole.log") decisions)"

export XDG_STATE_HOME=$work/killed/state XDG_DATA_HOME=$work/killed/data
RANDOM=1414
moments=(dealing trick menu scores)
declare -A seen=([dealing]=0 [trick]=0 [menu]=0 [scores]=0)
kills=0
run=0
args=(--seed $seed)
result=""
while :; do
    run=$((run + 1))
    moment=${moments[$((RANDOM % 4))]}
    case $moment in
        dealing) n=$((RANDOM % 300 + 1)) ;;
        trick) n=$((RANDOM % 300 + 1)) ;;
        menu) n=$((RANDOM % 40 + 1)) ;;
        scores) n=$((RANDOM % 140 + 1)) ;;
    esac
    kill_at=$moment:$n
    [ $kills -ge $max_kills ] && kill_at=""
    # In the background and waited for: the shell then reports no "Killed" line.
    TENFOLD_TEST_KILL_AT=$kill_at TENFOLD_TEST_FINGERPRINTS=$work/run$run.log \
        "$exe" "${common[@]}" "${args[@]}" >"$work/run$run.out" 2>"$work/run$run.err" &
    wait $!
    status=$?
    [ -s "$work/run$run.err" ] && fail "run $run wrote to stderr: $(cat "$work/run$run.err")"
    if [ -e "$work/run$run.log" ]; then
        while read -r line; do
            grep -Fxq "$line" "$work/whole.log" || fail "run $run (after $kill_at): the table before decision '${line% *}' differs from the uninterrupted game's"
        done <"$work/run$run.log"
    fi
    result=$(grep '^match 1:' "$work/run$run.out")
    if [ $status -eq 137 ]; then
        kills=$((kills + 1))
        seen[$moment]=$((seen[$moment] + 1))
        echo "run $run: killed at $kill_at, $(wc -l <"$work/run$run.log" 2>/dev/null || echo 0) decisions checked"
        [ -n "$result" ] && break  # killed after the match had ended and been recorded
    elif [ $status -eq 0 ]; then
        echo "run $run: the match ended"
        break
    else
        fail "run $run: status $status"
    fi
    args=(--resume)
done

[ "$result" = "$expected" ] || fail "the interrupted match ended '$result', the uninterrupted one '$expected'"
[ $kills -ge $min_kills ] || fail "only $kills kills before the match ended"
for m in "${moments[@]}"; do
    [ "${seen[$m]}" -gt 0 ] || fail "no kill during $m"
done
[ ! -e "$XDG_STATE_HOME/tenfold/match.sav" ] || fail "the finished match left its save"
played=$("$exe" --stats --json | grep -c '"played": 1,$')
[ "$played" -ge 1 ] || fail "the statistics do not hold exactly one match: $("$exe" --stats)"
echo "OK: $kills kills (dealing ${seen[dealing]}, trick ${seen[trick]}, menu ${seen[menu]}, scores ${seen[scores]}), $result"
