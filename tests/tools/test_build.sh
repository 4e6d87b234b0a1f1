#!/usr/bin/env bash
# test_build.sh -- vesk-dungeon build, map and icon: what they write, and how sources fail
set -euo pipefail
BUILD=$1 SRC=$2
tool=$BUILD/vesk-dungeon
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
pixel() { convert "$1" -format "%[pixel:p{$2,$3}]" info:; }

# The fixture source makes a two-level dungeon with all 22 images.
"$tool" build "$SRC/tests/fixtures/dungeon-src" "$tmp/d1" > "$tmp/out" || fail "build of the fixture source"
for f in level0 level1; do [ -s "$tmp/d1/$f" ] || fail "no $f"; done
[ ! -e "$tmp/d1/level2" ] || fail "a third level from two sources"
grep -q '^level0 <- 1-corridor.lvl: 15 x 4 x 5, 9 charges, 1 bribes, 1 teleporters, 1 guards$' "$tmp/out" ||
    fail "summary of level0: $(cat "$tmp/out")"
n=0
for name in stone blocks tiles slimepuddle vesk bars step charge bribe teleporter guard; do
    for f in "$name.ppm" "${name}_grey.ppm"; do
        [ "$(head -c 15 "$tmp/d1/Data/$f")" = "$(printf 'P6\n128 128\n255\n')" ] || fail "$f header"
        [ "$(stat -c %s "$tmp/d1/Data/$f")" -eq $((15 + 128 * 128 * 3)) ] || fail "$f size"
        n=$((n + 1))
    done
done
[ "$(ls "$tmp/d1/Data" | wc -l)" -eq 22 ] && [ $n -eq 22 ] || fail "Data should hold exactly the 22 images"
# The level files start with the game's magic number.
[ "$(head -c 4 "$tmp/d1/level0" | od -An -tx1 | tr -d ' ')" = "8495a6be" ] || fail "level0 magic"

# The same sources give the same bytes; a rebuild drops levels left from a longer dungeon.
mkdir -p "$tmp/d2" && : > "$tmp/d2/level2" && : > "$tmp/d2/level10" && : > "$tmp/d2/levelnotes"
"$tool" build "$SRC/tests/fixtures/dungeon-src" "$tmp/d2" > /dev/null
[ ! -e "$tmp/d2/level2" ] && [ ! -e "$tmp/d2/level10" ] || fail "stale level files kept"
[ -e "$tmp/d2/levelnotes" ] || fail "a file that is not a level was removed"
rm "$tmp/d2/levelnotes"
diff -r "$tmp/d1" "$tmp/d2" > /dev/null || fail "two builds differ"

# A mistake in a source names file, line and column; nothing is written.
mkdir -p "$tmp/bad/levels"
cp "$SRC/tests/fixtures/dungeon-src/levels/1-corridor.lvl" "$tmp/bad/levels/1-good.lvl"
printf 'size 4 3 3\nlayer 1\n####\n#@x#\n####\n' > "$tmp/bad/levels/2-bad.lvl"
if "$tool" build "$tmp/bad" "$tmp/d3" 2> "$tmp/err"; then fail "a bad source was accepted"; fi
grep -q "^$tmp/bad/levels/2-bad.lvl:4:3: unknown cell character 'x'$" "$tmp/err" || fail "error line: $(cat "$tmp/err")"
[ ! -e "$tmp/d3" ] || fail "output written despite the error"
mkdir -p "$tmp/empty/levels"
if "$tool" build "$tmp/empty" "$tmp/d4" 2> "$tmp/err"; then fail "no sources was accepted"; fi
grep -q "no level sources" "$tmp/err" || fail "message for no sources: $(cat "$tmp/err")"

# The map of level0: 15 x 5 cells of 24 pixels, two inner layers side by side.
"$tool" map "$tmp/d1/level0" "$tmp/map.png" || fail "map"
[ "$(identify -format '%m %w %h' "$tmp/map.png")" = "PNG 756 166" ] || fail "map size: $(identify "$tmp/map.png")"
# layer 1's panel starts at (12, 34); cell (x, z) centre at (12 + 24 (x + 0.5), 34 + 24 (z + 0.5))
[ "$(pixel "$tmp/map.png" 40 94)" = "srgb(20,170,40)" ] || fail "start marker at (1, 2)"
[ "$(pixel "$tmp/map.png" 72 94)" = "srgb(255,220,40)" ] || fail "charge at (2, 2)"
[ "$(pixel "$tmp/map.png" 288 94)" = "srgb(120,240,255)" ] || fail "teleporter at (11, 2)"
[ "$(pixel "$tmp/map.png" 336 94)" = "srgb(220,30,30)" ] || fail "guard at (13, 2)"
[ "$(pixel "$tmp/map.png" 312 94)" = "srgb(200,150,40)" ] || fail "bars at (12, 2)"
[ "$(pixel "$tmp/map.png" 4 4)" = "srgb(250,250,250)" ] || fail "background"
# a source maps the same as its compiled level
"$tool" map "$SRC/tests/fixtures/dungeon-src/levels/1-corridor.lvl" "$tmp/map2.png"
cmp -s "$tmp/map.png" "$tmp/map2.png" || fail "map of the source differs from the map of the level"
if "$tool" map "$tmp/bad/levels/2-bad.lvl" "$tmp/map3.png" 2> "$tmp/err"; then fail "map of a bad source"; fi
grep -q "2-bad.lvl:4:3:" "$tmp/err" || fail "map error: $(cat "$tmp/err")"

# The icon is the portrait the right way up: helmet white above, suit below.
"$tool" icon "$tmp/icon.png"
[ "$(identify -format '%m %w %h' "$tmp/icon.png")" = "PNG 128 128" ] || fail "icon size"
top=$(convert "$tmp/icon.png" -crop 40x4+44+30 -colorspace Gray -format '%[fx:mean]' info:)
awk -v t="$top" 'BEGIN { exit !(t > 0.6) }' || fail "icon upside down (helmet brightness $top)"
echo "test_build: ok"
