#!/usr/bin/env bash
# test_install.sh -- make install DESTDIR=...: the files, the desktop entry, the launcher, a game started from it
set -uo pipefail
. "$2/tests/ui/lib.sh"
ui_init "$@"
dest=$UI_TMP/dest
usr=$dest/usr

make -s -C "$UI_SRC" install BUILD="$UI_BUILD" DESTDIR="$dest" PREFIX=/usr >"$UI_TMP/install.log" 2>&1 ||
    { cat "$UI_TMP/install.log"; ui_fail "make install"; ui_finish; }

for f in bin/vesk bin/vesk-game; do
    ui_check "$f is an installed program" test -x "$usr/$f"
done
levels=$(ls "$usr/share/games/vesk" | grep -c '^level[0-9]*$')
ui_check "six levels or more under share/games/vesk ($levels)" test "$levels" -ge 6
ui_check "the 22 images under share/games/vesk/Data" test "$(ls "$usr/share/games/vesk/Data" | grep -c '\.ppm$')" -eq 22
desktop=$usr/share/applications/vesk-game.desktop
icon=$usr/share/icons/hicolor/128x128/apps/vesk-game.png
man=$usr/share/man/man6/vesk-game.6
ui_check "desktop file valid" desktop-file-validate "$desktop"
ui_check "desktop file runs the launcher" grep -qx 'Exec=vesk-game' "$desktop"
ui_check "desktop file names the icon" grep -qx "Icon=$(basename "$icon" .png)" "$desktop"
ui_check "icon is a 128 x 128 PNG" test "$(identify -format '%m %w %h' "$icon" 2>/dev/null)" = "PNG 128 128"
ui_check "man page in section 6, version filled in" \
    sh -c "head -1 '$man' | grep -q '^\\.TH VESK-GAME 6' && ! grep -q '@' '$man'"

help=$("$usr/bin/vesk-game" --help) && status=0 || status=$?
ui_check "launcher --help exits 0" test "$status" -eq 0
ui_check "launcher --help shows the usage" grep -q '^Usage: vesk-game \[DUNGEON\]' <<<"$help"
version=$("$usr/bin/vesk-game" --version)
ui_check "launcher --version ($version)" grep -Eqx 'vesk-game [0-9]+\.[0-9]+\.[0-9]+' <<<"$version"

# The launcher finds the game and dungeon beside itself: started from the
# DESTDIR tree, the game reads the installed dungeon and shows its window.
ui_start_xvfb
if UI_VESK=$usr/bin/vesk-game ui_start_game; then
    ui_check "the installed game runs" kill -0 "$UI_GAME_PID"
    ui_check "no complaint on stderr" test ! -s "$UI_GAME_ERR"
    shot=$(ui_shot installed "$UI_WIN")
    # the paused game draws the first level in the view above the status strip
    ui_check "the view shows the level, not a blank area" \
        sh -c "test \"\$(convert '$shot' -crop 760x560+0+0 -format '%[fx:standard_deviation]' info:)\" != 0"
else
    ui_fail "the installed launcher starts the game"
fi
ui_finish
