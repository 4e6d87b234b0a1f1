# test_objects.sh -- charges, bribes, teleporters, the three grids of bars and the step, on screen
#
# Two parts. First tests/ui/objectview.cpp, built against the build's gfx and sim
# libraries and run in the fixture dungeon (so the objects' own images load), draws
# every object close up, plain, textured and grey; the pictures are checked by colour
# and shape: the blue battery with its brass terminal, the brown chest, the dark glossy
# teleporter, the golden bars standing, turned and lying, the see-through grids, the
# tan step, the textures changing each one, no colour at all in the grey variants.
# Then the game itself starts on a level with every kind in front of the start, and
# its first frame must show each of them where it stands. The PNGs are kept in
# ui-shots/test_objects.
. "$2/tests/ui/lib.sh"
ui_init "$@"
ui_start_xvfb
ui_fixture_dungeon

# Number of pixels of FILE (WIDTH pixels a row) for which the awk test COND holds,
# optionally only inside the rectangle X Y W H. r, g, b are 0..1; mx and mn the
# largest and smallest of the three.
count()
{
    convert "$1" -depth 8 rgb:- | od -An -v -tu1 -w3 |
        awk -v W="$2" -v cx="${4:-0}" -v cy="${5:-0}" -v cw="${6:-100000}" -v ch="${7:-100000}" '
        {
            i = NR - 1; x = i % W; y = int(i / W)
            if (x < cx || x >= cx + cw || y < cy || y >= cy + ch) next
            r = $1 / 255; g = $2 / 255; b = $3 / 255
            mx = r > g ? (r > b ? r : b) : (g > b ? g : b)
            mn = r < g ? (r < b ? r : b) : (g < b ? g : b)
            if ('"$3"') n++
        }
        END { print n + 0 }'
}

# "X0 Y0 X1 Y1": the bounding box of the pixels of FILE for which COND holds.
bbox()
{
    convert "$1" -depth 8 rgb:- | od -An -v -tu1 -w3 | awk -v W="$2" '
        {
            i = NR - 1; x = i % W; y = int(i / W)
            r = $1 / 255; g = $2 / 255; b = $3 / 255
            if (!('"$3"')) next
            if (!n++) { x0 = x1 = x; y0 = y1 = y }
            if (x < x0) x0 = x; if (x > x1) x1 = x
            if (y < y0) y0 = y; if (y > y1) y1 = y
        }
        END { print x0 + 0, y0 + 0, x1 + 0, y1 + 0 }'
}
atleast() { [ "$1" -ge "$2" ]; }
atmost() { [ "$1" -le "$2" ]; }

# --- close-ups ----------------------------------------------------------------

viewer="$UI_TMP/objectview"
g++ -std=c++20 -O1 -I "$UI_SRC/src" -o "$viewer" "$UI_SRC/tests/ui/objectview.cpp" \
    "$UI_BUILD/libvesk_gfx.a" "$UI_BUILD/libvesk_sim.a" -lGL -lGLU -lX11 || {
    ui_fail "objectview builds"
    ui_finish
}
views="$UI_TMP/views"
mkdir -p "$views"
(cd "$UI_DUNGEON" && "$viewer" "$views") >"$UI_TMP/viewer.out" 2>"$UI_TMP/viewer.err"
status=$?
ui_check "objectview runs (status $status)" [ "$status" -eq 0 ]
ui_check "objectview printed nothing on stderr" [ ! -s "$UI_TMP/viewer.err" ]
[ -s "$UI_TMP/viewer.err" ] && cat "$UI_TMP/viewer.err"

OBJECTS="charge bribe teleporter barsxy barszy barsxz step"
for object in $OBJECTS; do
    for variant in plain textured grey; do
        name="${object}_${variant}"
        if [ -s "$views/$name.ppm" ]; then
            convert "$views/$name.ppm" "$UI_SHOTS/$name.png"
        else
            ui_fail "$name picture written"
        fi
    done
done
[ -s "$views/charge_plain.ppm" ] || ui_finish
pic() { echo "$views/$1.ppm"; }

BACKGROUND='(r - 0.349)^2 + (g - 0.349)^2 + (b - 0.349)^2 < 0.0004'   # the viewer's grey, 89 89 89
OBJECT="!($BACKGROUND)"
COLOURED="mx - mn > 0.12"
BLUE='b > r + 0.3 && b > g + 0.3'
BRASS='r > b + 0.15 && g > b + 0.1 && r >= g'
BROWN='r > g + 0.15 && g > b && r > 0.3'
DARK='mx < 0.1'
BLUISH='b > r + 0.08 && b > g + 0.08'
GOLD='r > b + 0.25 && g > b + 0.2'
TAN='r > b + 0.1 && g > b + 0.07 && r > 0.3'

for object in $OBJECTS; do
    for variant in plain textured grey; do
        name="${object}_${variant}"
        ui_check "$name: background in the corners" ui_near "$(ui_pixel "$UI_SHOTS/$name.png" 2 2)" "89 89 89" 2
        size=$(count "$(pic "$name")" 400 "$OBJECT")
        ui_check "$name: the object fills a fair part of the picture ($size pixels)" \
            eval 'atleast $size 5000 && atmost $size 100000'
    done
    diff=$(compare -metric AE -fuzz 6% "$UI_SHOTS/${object}_plain.png" "$UI_SHOTS/${object}_textured.png" null: 2>&1)
    ui_check "$object: the texture changes it (${diff%%.*} pixels differ)" atleast "${diff%%.*}" 1000
    coloured=$(count "$(pic "${object}_grey")" 400 "$COLOURED")
    ui_check "$object: the grey variant has no colour ($coloured pixels)" atmost "$coloured" 0
done

n=$(count "$(pic charge_plain)" 400 "$BLUE")
ui_check "charge: a blue body ($n pixels)" atleast "$n" 10000
n=$(count "$(pic charge_plain)" 400 "$BRASS" 0 0 400 140)
ui_check "charge: a brass terminal on top ($n pixels)" atleast "$n" 300
n=$(count "$(pic bribe_plain)" 400 "$BROWN")
ui_check "bribe: a brown chest ($n pixels)" atleast "$n" 30000
n=$(count "$(pic teleporter_plain)" 400 "$DARK")
ui_check "teleporter: mostly black faces ($n pixels)" atleast "$n" 15000
n=$(count "$(pic teleporter_plain)" 400 "$BLUISH")
ui_check "teleporter: a blue sheen on the lit face ($n pixels)" atleast "$n" 10000
n=$(count "$(pic step_plain)" 400 "$TAN")
ui_check "step: a tan block ($n pixels)" atleast "$n" 30000

declare -A W H
for bars in barsxy barszy barsxz; do
    n=$(count "$(pic "${bars}_plain")" 400 "$GOLD")
    ui_check "$bars: golden bars ($n pixels)" atleast "$n" 5000
    read -r x0 y0 x1 y1 <<<"$(bbox "$(pic "${bars}_plain")" 400 "$OBJECT")"
    W[$bars]=$((x1 - x0 + 1))
    H[$bars]=$((y1 - y0 + 1))
    size=$(count "$(pic "${bars}_plain")" 400 "$OBJECT")
    ui_check "$bars: a see-through grid, bars on under half its outline ($size of $((W[$bars] * H[$bars])))" \
        [ $((size * 2)) -lt $((W[$bars] * H[$bars])) ]
done
# Seen from the same place: the grid turned about y is narrow, the one turned about
# x (lying flat) is low, the upright one neither.
ui_check "barszy is turned about y: narrower (${W[barszy]}) than barsxy (${W[barsxy]})" \
    [ $((W[barszy] * 10)) -lt $((W[barsxy] * 6)) ]
ui_check "barszy stands as high (${H[barszy]}) as barsxy (${H[barsxy]})" [ $((H[barszy] * 10)) -gt $((H[barsxy] * 9)) ]
ui_check "barsxz lies flat: lower (${H[barsxz]}) than barsxy (${H[barsxy]})" \
    [ $((H[barsxz] * 10)) -lt $((H[barsxy] * 6)) ]
ui_check "barsxz is as wide (${W[barsxz]}) as barsxy (${W[barsxy]})" [ "${W[barsxz]}" -ge "${W[barsxy]}" ]

# --- in the game ----------------------------------------------------------------

# One level: the player looks along -z at a chest, a battery to the left and a step
# to the right, a row of the three grids behind, the teleporter behind the upright grid.
mkdir -p "$UI_TMP/objects-src/levels"
cat >"$UI_TMP/objects-src/levels/1-objects.lvl" <<'EOF'
; every kind of object in front of the start
title Objects
size 7 4 7
heading 0
layer 0 fill #
layer 1
#######
#..t..#
#.|-=.#
#.c.s.#
#..b..#
#..@..#
#######
layer 2
#######
#.....#
#.....#
#.....#
#.....#
#.....#
#######
layer 3 fill #
EOF
"$UI_BUILD/vesk-dungeon" build "$UI_TMP/objects-src" "$UI_TMP/objects" >"$UI_TMP/objects.log" 2>&1 || {
    cat "$UI_TMP/objects.log"
    ui_fail "the objects level builds"
    ui_finish
}
ui_start_game "$UI_TMP/objects" || { ui_fail "the game starts"; ui_finish; }
sleep 1
shot=$(ui_shot game "$UI_WIN")

# Regions of the 800 x 600 window where each thing stands in the first frame.
BARS='r > b + 0.08 && g > b + 0.03'
WALL_BROWN=$(count "$shot" 800 "$BARS" 0 40 150 250)
ui_check "the stone wall at the left has no bar colour ($WALL_BROWN pixels)" atmost "$WALL_BROWN" 50
n=$(count "$shot" 800 'b > r + 0.25 && b > g + 0.25' 140 320 100 100)
ui_check "game: the blue battery at the left ($n pixels)" atleast "$n" 150
n=$(count "$shot" 800 'r > g + 0.1 && g > b && r > 0.4' 320 390 120 120)
ui_check "game: the chest straight ahead ($n pixels)" atleast "$n" 1000
n=$(count "$shot" 800 "$BARS" 200 190 90 180)
ui_check "game: the turned grid at the left ($n pixels)" atleast "$n" 1000
n=$(count "$shot" 800 'b > r + 0.15' 310 210 140 140)
ui_check "game: the teleporter behind the upright grid ($n pixels)" atleast "$n" 500
n=$(count "$shot" 800 "$BARS" 420 195 200 40)
ui_check "game: the lying grid above, at the top of its cell ($n pixels)" atleast "$n" 1000
n=$(count "$shot" 800 "$BARS" 460 280 300 140)
ui_check "game: the step at the right ($n pixels)" atleast "$n" 15000

ui_finish
