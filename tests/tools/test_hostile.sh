#!/usr/bin/env bash
# test_hostile.sh -- crafted files meant to cost time, memory or stack are turned away with the game's message
#
# Each case is one bad file in an otherwise good dungeon, given to the real game
# (on a private display) and to vesk-dungeon check, both under /usr/bin/time -v.
# Time and peak memory are printed for the record; only the outcome and a
# generous memory bound are asserted.
. "$2/tests/ui/lib.sh"
ui_init "$@"
command -v /usr/bin/time >/dev/null || { echo "test_hostile.sh: /usr/bin/time missing" >&2; exit 1; }
ui_start_xvfb
ui_fixture_dungeon

MAXRSS_KB=$((400 * 1024))  # the game with Tk and Mesa stays well below this; a header-sized allocation would not

# be32 N: four bytes, most significant first.
be32() { printf "\\x$(printf %02x $(($1 >> 24 & 255)))\\x$(printf %02x $(($1 >> 16 & 255)))\\x$(printf %02x $(($1 >> 8 & 255)))\\x$(printf %02x $(($1 & 255)))"; }
header() { printf '\x84\x95\xa6\xbe'; be32 "$1"; be32 "$2"; be32 "$3"; be32 0; }  # header LENGTH OBJECTS WORDS

# A dungeon copy with one file replaced: hostile NAME FILE-IN-DUNGEON; the bytes come on stdin.
hostile()
{
    local d=$UI_TMP/$1
    rm -rf "$d"
    cp -r "$UI_DUNGEON" "$d"
    cat > "$d/$2"
    echo "$d"
}

# run NAME STATUS MESSAGE DIR: the game in DIR must end with STATUS and MESSAGE as its last line.
run()
{
    local name=$1 want=$2 msg=$3 dir=$4 status rss secs
    (cd "$UI_TMP" && timeout 120 /usr/bin/time -v -o "$UI_TMP/$name.time" "$UI_BUILD/vesk" "$dir" \
        > "$UI_TMP/$name.out" 2> "$UI_TMP/$name.err")
    status=$?
    rss=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$UI_TMP/$name.time")
    secs=$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$UI_TMP/$name.time")
    echo "# $name: game exit $status, $secs wall, ${rss:-?} kB peak"
    ui_check "$name: game exits with status $want" [ "$status" = "$want" ]
    ui_check "$name: game says '$msg'" [ "$(grep -v '^Command' "$UI_TMP/$name.err" | tail -n 1)" = "$msg" ]
    ui_check "$name: game peak memory ${rss:-?} kB below $MAXRSS_KB kB" [ "${rss:-999999999}" -lt "$MAXRSS_KB" ]

    /usr/bin/time -v -o "$UI_TMP/$name.ttime" "$UI_BUILD/vesk-dungeon" check "$dir" > "$UI_TMP/$name.tout" 2>&1
    status=$?
    rss=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$UI_TMP/$name.ttime")
    secs=$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$UI_TMP/$name.ttime")
    echo "# $name: vesk-dungeon check exit $status, $secs wall, ${rss:-?} kB peak: $(head -n 1 "$UI_TMP/$name.tout")"
    ui_check "$name: check refuses it" [ "$status" = 1 ]
    ui_check "$name: check peak memory ${rss:-?} kB below $MAXRSS_KB kB" [ "${rss:-999999999}" -lt "$MAXRSS_KB" ]
}

# 100 bytes that claim 2^32 - 1 objects and as many words: a table sized by the
# header would be tens of gigabytes.
d=$(hostile objects level0 < <(header 80 4294967295 4294967295; printf '\x08\xff\xff\xfc\x00'; head -c 75 /dev/zero | tr '\0' '\100'))
ui_check "objects: the file is 100 bytes" [ "$(stat -c %s "$d/level0")" = 100 ]
run objects 1 "Problem reading level0 in $d" "$d"

# A million blocks, each the one field of the one before, with a header that
# matches: a reader that recursed per block would overflow the stack.
d=$(hostile nest level0 < <(header 1000001 1000000 2000000; head -c 1000000 /dev/zero | tr '\0' '\220'; printf '\x40'))
run nest 1 "Problem reading level0 in $d" "$d"

# The same in the last level: the levels before it are read, then refused.
d=$(hostile lastnest level1 < <(header 1000001 1000000 2000000; head -c 1000000 /dev/zero | tr '\0' '\220'; printf '\x40'))
run lastnest 1 "Problem reading level1 in $d" "$d"

# An image that claims 100000 x 100000 pixels (30 GB) over 64 bytes.
d=$(hostile bigimage Data/stone.ppm < <(printf 'P6\n100000 100000\n255\n'; head -c 64 /dev/zero))
run bigimage 0 "Problem loading wall image Data/stone.ppm" "$d"

# Width x height x 3 overflows 32 bits, and 64 bits once signs go wrong.
d=$(hostile maximage Data/guard.ppm < <(printf 'P6\n2147483647 2147483647\n255\n'; head -c 64 /dev/zero))
run maximage 0 "Problem loading image Data/guard.ppm" "$d"

ui_finish
