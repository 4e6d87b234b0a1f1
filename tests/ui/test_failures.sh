# test_failures.sh -- the ways the game refuses to start, run as real processes:
# no X display, no dungeon, missing images, an exception escaping a Tcl callback
. "$2/tests/ui/lib.sh"
ui_init "$@"

# run_vesk DIR ARGS... : runs the game in DIR; sets OUT (stderr) and STATUS.
run_vesk()
{
    local dir=$1
    shift
    (cd "$dir" && timeout 30 "$UI_BUILD/vesk" "$@") >/dev/null 2>"$UI_TMP/stderr"
    STATUS=$?
    OUT=$(cat "$UI_TMP/stderr")
}

expect_run()   # DESC STATUS EXPECTED_STDERR
{
    ui_check "$1: status $2 (got $STATUS)" [ "$STATUS" = "$2" ]
    ui_check "$1: stderr" [ "$OUT" = "$3" ]
    [ "$OUT" = "$3" ] || printf '  expected:\n%s\n  got:\n%s\n' "$3" "$OUT"
}

empty="$UI_TMP/empty"
mkdir -p "$empty"

# --- no X display: one line naming the display tried, before any dungeon is looked for
unset DISPLAY
run_vesk "$empty"
expect_run "DISPLAY unset" 1 "vesk: cannot open X display (DISPLAY not set)"
no=99
while [ -e "/tmp/.X$no-lock" ] || [ -e "/tmp/.X11-unix/X$no" ]; do no=$((no + 1)); done
DISPLAY=":$no" run_vesk "$empty"
expect_run "no server on :$no" 1 "vesk: cannot open X display ':$no'"

ui_start_xvfb
ui_fixture_dungeon

# --- no dungeon: the four lines with the directory as typed, status 1
four_lines()
{
    printf '%s\n' "Could not find dungeon (tried $1)" \
        "Please specify a valid dungeon path on the command line" \
        " (or don't specify anything if the 'Dungeon/' directory" \
        "  is in the current directory)"
}
mkdir -p "$UI_TMP/nodata" "$UI_TMP/nolevel/Data"
cp "$UI_DUNGEON/level0" "$UI_TMP/nodata/"
run_vesk "$empty"
expect_run "no argument, no ./Dungeon" 1 "$(four_lines Dungeon)"
while read -r arg; do
    run_vesk "$UI_TMP" "$arg" extra arguments
    expect_run "dungeon '$arg'" 1 "$(four_lines "$arg")"
done <<EOF
nowhere/
nodata
nolevel/
EOF

# --- missing images: the first missing file in loading order is named, status 0
# broken NAME FILE... : a copy of the fixture dungeon without the given Data files
broken()
{
    local copy="$UI_TMP/$1" f
    shift
    rm -rf "$copy"
    cp -r "$UI_DUNGEON" "$copy"
    for f in "$@"; do rm -f "$copy/Data/$f"; done
    echo "$copy"
}
# Each row: files removed, then the one line expected. Later files removed too
# show the earlier one in loading order wins.
n=0
while IFS='|' read -r files line; do
    n=$((n + 1))
    dir=$(broken "case$n" $files)
    run_vesk "$UI_TMP" "$dir"
    expect_run "without $files" 0 "$line"
done <<'EOF'
bribe_grey.ppm guard.ppm teleporter.ppm|Problem loading image Data/bribe_grey.ppm
stone.ppm|Problem loading wall image Data/stone.ppm
tiles_grey.ppm|Problem loading wall image Data/tiles_grey.ppm
stone_grey.ppm slimepuddle.ppm|Problem loading wall image Data/slimepuddle.ppm
slimepuddle_grey.ppm vesk.ppm|Problem loading wall image Data/slimepuddle_grey.ppm
EOF

# --- an exception escaping a Tcl callback: reported, status 2, never through Tcl
probe="$UI_TMP/throwprobe"
if g++ -std=c++20 -o "$probe" "$UI_SRC/tests/ui/throwprobe.cpp" -I"$UI_SRC/src" $(pkg-config --cflags tk) \
    "$UI_BUILD/libvesk_ui.a" $(pkg-config --libs tk tcl x11) 2>"$UI_TMP/probe.log"; then
    for kind in error other; do
        "$probe" "$kind" >/dev/null 2>"$UI_TMP/stderr"
        STATUS=$?
        OUT=$(cat "$UI_TMP/stderr")
        want="Uncaught exception: boom from a callback"
        [ "$kind" = other ] && want="Uncaught exception: an exception of unknown type"
        expect_run "exception ($kind) from a timer callback" 2 "$want"
    done
else
    cat "$UI_TMP/probe.log"
    ui_fail "the exception probe builds"
fi

ui_finish
