#!/usr/bin/env bash
# test_reach.sh -- vesk-dungeon check proves every level can be finished, and says what cannot be reached
set -euo pipefail
BUILD=$1 SRC=$2
tool=$BUILD/vesk-dungeon
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# The bundled dungeon and the fixture dungeon pass, reachability included.
"$tool" build "$SRC/data" "$tmp/bundled" > /dev/null
"$tool" check "$tmp/bundled" > "$tmp/out" 2>&1 || fail "bundled dungeon: $(cat "$tmp/out")"
"$tool" build "$SRC/tests/fixtures/dungeon-src" "$tmp/fixture" > /dev/null
"$tool" check "$tmp/fixture" > "$tmp/out" 2>&1 || fail "fixture dungeon: $(cat "$tmp/out")"

# A second level whose charges lie on a ledge three cubes up: no jump, step or
# shot gets Vesk there. Its teleporter stands on the floor by the start.
ledge()  # ledge HEIGHT: the ledge's layers are solid up to HEIGHT, steps lead up to it
{
    local h=$1 y row
    echo "size 14 6 3"
    for y in 1 2 3 4; do
        echo "layer $y"
        echo "##############"
        if [ "$y" -gt "$h" ]; then row="#...ccccccccc#"; [ "$y" -gt $((h + 1)) ] && row="#............#"
        elif [ "$y" -eq 1 ]; then row="#@ts##########"
        else row="#...##########"; fi
        echo "$row"
        echo "##############"
    done
}
mkdir -p "$tmp/src/levels"
cp "$SRC/tests/fixtures/dungeon-src/levels/1-corridor.lvl" "$tmp/src/levels/1-fine.lvl"
ledge 3 > "$tmp/src/levels/2-ledge.lvl"
"$tool" build "$tmp/src" "$tmp/ledge" > /dev/null
if "$tool" check "$tmp/ledge" > "$tmp/out" 2>&1; then fail "check passed a level whose charges are out of reach"; fi
grep -q '^level1: only 0 of 9 charges can be reached from the start, 9 are needed; out of reach: charge at (4.50, 4.08, 1.50) in cell (4, 4, 1);' "$tmp/out" ||
    fail "message: $(cat "$tmp/out")"
if grep -q '^level0' "$tmp/out"; then fail "the good level was blamed: $(cat "$tmp/out")"; fi
if grep -q 'teleporter' "$tmp/out"; then fail "the reachable teleporter was blamed: $(cat "$tmp/out")"; fi

# One cube up, with a step below the edge: a jump onto the step, another onto
# the ledge; the level passes.
ledge 1 > "$tmp/src/levels/2-ledge.lvl"
"$tool" build "$tmp/src" "$tmp/step" > /dev/null
"$tool" check "$tmp/step" > "$tmp/out" 2>&1 || fail "ledge with a step: $(cat "$tmp/out")"
echo "test_reach: ok"
