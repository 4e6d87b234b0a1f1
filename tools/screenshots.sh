#!/usr/bin/env bash
# screenshots.sh -- a picture of each bundled level from the real game under Xvfb, and its map
# Usage: tools/screenshots.sh [BUILD_DIR] [OUT_DIR]   (defaults: build, docs/img)
# Each level is shown from Vesk's start, as the game draws it paused, in its
# own one-level dungeon so that the game opens on it.
set -uo pipefail  # not -e: the harness's helpers end with statuses of their own
src=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$src/build}" && pwd)
out=${2:-$src/docs/img}
mkdir -p "$out"
out=$(cd "$out" && pwd)
. "$src/tests/ui/lib.sh"
ui_init "$build" "$src"
ui_start_xvfb

dungeon=$UI_TMP/dungeon
"$build/vesk-dungeon" build "$src/data" "$dungeon" >/dev/null || exit 1
n=0
while [ -e "$dungeon/level$n" ]; do
    one=$UI_TMP/one$n
    mkdir -p "$one"
    cp "$dungeon/level$n" "$one/level0"
    ln -s "$dungeon/Data" "$one/Data"
    ui_start_game "$one" || exit 1
    sleep 3
    shot=$(ui_shot "level$n" "$UI_WIN")
    # the Togl area without the window's menu bar: the bottom 800 x 600
    convert "$shot" -gravity South -crop 800x600+0+0 +repage -resize 50% -strip "$out/level$n.png"
    ui_stop_pid "$UI_GAME_PID"
    UI_GAME_PID=
    # the tool writes stored (uncompressed) PNG: squeeze it for the repository
    "$build/vesk-dungeon" map "$dungeon/level$n" "$UI_TMP/map.png"
    convert "$UI_TMP/map.png" -strip -define png:compression-level=9 "$out/map$n.png"
    echo "level$n: $out/level$n.png $out/map$n.png"
    n=$((n + 1))
done
