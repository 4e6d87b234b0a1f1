#!/usr/bin/env bash
# test_check_dump.sh -- vesk-dungeon check on sound and broken dungeons, dump on good and bad level files
set -uo pipefail
BUILD=$1 SRC=$2
tool=$BUILD/vesk-dungeon
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

"$tool" build "$SRC/tests/fixtures/dungeon-src" "$tmp/good" > /dev/null || { echo "FAIL: build of the fixture" >&2; exit 1; }

# A sound dungeon passes, with one line saying so.
out=$("$tool" check "$tmp/good" 2>&1) || fail "sound dungeon refused: $out"
[ "$out" = "$tmp/good: 2 levels and the 22 images, all well" ] || fail "sound dungeon output: $out"

# Tiny images written here do as well as the tool's own: any readable P6 file.
cp -r "$tmp/good" "$tmp/tiny"
for f in "$tmp/tiny"/Data/*.ppm; do printf 'P6\n# tiny\n1 1\n255\n\001\002\003' > "$f"; done
"$tool" check "$tmp/tiny" > "$tmp/out" 2>&1 || fail "dungeon of 1 x 1 images: $(cat "$tmp/out")"

# Level files past the first gap are never read.
cp -r "$tmp/good" "$tmp/gap"
printf 'not a level' > "$tmp/gap/level3"
"$tool" check "$tmp/gap" > "$tmp/out" 2>&1 || fail "a file past the gap was read: $(cat "$tmp/out")"

# Broken dungeons: each change to a copy of the sound one, and the line it must give.
# broken NAME EXPECTED-LINE-REGEX COMMANDS...  (the commands run inside the copy)
broken()
{
    local name=$1 want=$2
    shift 2
    rm -rf "$tmp/$name"
    cp -r "$tmp/good" "$tmp/$name"
    (cd "$tmp/$name" && eval "$*")
    if "$tool" check "$tmp/$name" > "$tmp/out" 2> "$tmp/err"; then
        fail "$name: check passed"
        return
    fi
    grep -Eq "^$want\$" "$tmp/out" || fail "$name: no line matching '$want' in: $(cat "$tmp/out" "$tmp/err")"
    [ "$(wc -l < "$tmp/out")" -eq 1 ] || fail "$name: more than one line for one problem: $(cat "$tmp/out")"
}

flipbyte() { printf "\\x$2" | dd of="$1" bs=1 seek="$3" conv=notrunc status=none; }
cutlast() { truncate -s -"$2" "$1"; }

broken missing-image 'Data/bribe_grey\.ppm: missing' rm Data/bribe_grey.ppm
broken plain-text-image 'Data/guard\.ppm: not a readable P6 image: does not begin with P6' "printf 'P3 1 1 255\n1 2 3\n' > Data/guard.ppm"
broken short-image 'Data/step\.ppm: not a readable P6 image: fewer pixel bytes than width x height x 3' cutlast Data/step.ppm 1
broken zero-maximum 'Data/vesk_grey\.ppm: not a readable P6 image: maximum value outside 1\.\.255' "printf 'P6 1 1 0\nabc' > Data/vesk_grey.ppm"
broken image-directory 'Data/tiles\.ppm: not a readable P6 image: not a regular file' "rm Data/tiles.ppm && mkdir Data/tiles.ppm"
broken no-data 'Data: missing \(the directory of the 22 images\)' rm -r Data
broken no-level0 'level0: missing \(a dungeon.s first level\)' rm level0 level1
broken wrong-magic 'level1: wrong magic number' flipbyte level1 00 0
broken cut-level 'level0: the header announces [0-9]+ data bytes, the file holds [0-9]+' cutlast level0 5
broken level-directory 'level1: not a regular file' "rm level1 && mkdir level1"
broken rejected-code 'level1: byte 20: ill-formed code \(code 0x13\)' flipbyte level1 13 20

# Two problems: two lines.
rm -rf "$tmp/two" && cp -r "$tmp/good" "$tmp/two"
rm "$tmp/two/Data/stone.ppm"
flipbyte "$tmp/two/level0" 00 1
"$tool" check "$tmp/two" > "$tmp/out" 2>&1 && fail "two problems passed"
[ "$(wc -l < "$tmp/out")" -eq 2 ] || fail "two problems, lines: $(cat "$tmp/out")"

# Not a dungeon at all; no argument.
"$tool" check "$tmp/nothing" > "$tmp/out" 2>&1 && fail "a missing directory passed"
grep -q "^$tmp/nothing: not a directory$" "$tmp/out" || fail "missing directory: $(cat "$tmp/out")"
"$tool" check > /dev/null 2>&1; [ $? -eq 2 ] || fail "check without a directory should exit 2"

# dump: the fixture's first level, 15 x 4 x 5 with 9 charges, a bribe, a teleporter,
# a guard behind bars and a step (the exact form is tested with the sim tests).
"$tool" dump "$tmp/good/level0" > "$tmp/dump" 2> "$tmp/err" || fail "dump of a good level: $(cat "$tmp/err")"
grep -q '^  "size": \[15, 4, 5\],$' "$tmp/dump" || fail "dump size: $(head -3 "$tmp/dump")"
grep -q '^  "heading": 90,$' "$tmp/dump" || fail "dump heading"
grep -q '^  "start": \[1\.5, [0-9.]*, 2\.5\],$' "$tmp/dump" || fail "dump start"
[ "$(grep -c '"kind": 0, ' "$tmp/dump")" -eq 9 ] || fail "dump: nine charges"
[ "$(grep -c '"home": ' "$tmp/dump")" -eq 1 ] || fail "dump: one guard"
grep -q '"kind": 3, "box": \[4\.5, 1\.25, 1\.5, 0\.5, 0\.25, 0\.5\], "cell": \[4, 1, 1\]' "$tmp/dump" || fail "dump: the step"
[ "$(head -c 1 "$tmp/dump")" = "{" ] && [ "$(tail -n 1 "$tmp/dump")" = "}" ] || fail "dump is not one object"
[ ! -s "$tmp/err" ] || fail "dump wrote to stderr: $(cat "$tmp/err")"

# dump of bad files: one line naming the file and the reason, status 1, nothing on stdout.
cp "$tmp/good/level0" "$tmp/badlevel"
flipbyte "$tmp/badlevel" 00 0
"$tool" dump "$tmp/badlevel" > "$tmp/dump" 2> "$tmp/err"; rc=$?
[ $rc -eq 1 ] || fail "dump of a bad level: status $rc"
[ "$(cat "$tmp/err")" = "Problem reading level in $tmp/badlevel: wrong magic number" ] || fail "dump message: $(cat "$tmp/err")"
[ ! -s "$tmp/dump" ] || fail "dump of a bad level wrote to stdout"
"$tool" dump "$tmp/none" > /dev/null 2> "$tmp/err"; rc=$?
[ $rc -eq 1 ] || fail "dump of a missing file: status $rc"
grep -q "^Problem reading level in $tmp/none: cannot be opened" "$tmp/err" || fail "dump missing file: $(cat "$tmp/err")"

[ $failures -eq 0 ] || exit 1
echo "test_check_dump: ok"
