# test_guard.sh -- the guard figure under Xvfb: front, side and back, plain, textured and grey
#
# Builds tests/ui/guardview.cpp against the build's gfx and sim libraries, runs it in
# the fixture dungeon (so Badguy::init loads the dungeon's own guard images) and checks
# the pictures by colour: the red underside between torso and head and the silver
# spikes seen from the front, the staff and claws reaching out on both sides, feet on
# both sides at the bottom, the texture changing the body, and no colour at all in the
# grey variant except where silver stays silver. The PNGs are kept in ui-shots/test_guard.
. "$2/tests/ui/lib.sh"
ui_init "$@"
ui_start_xvfb
ui_fixture_dungeon

viewer="$UI_TMP/guardview"
g++ -std=c++20 -O1 -I "$UI_SRC/src" -o "$viewer" "$UI_SRC/tests/ui/guardview.cpp" \
    "$UI_BUILD/libvesk_gfx.a" "$UI_BUILD/libvesk_sim.a" -lGL -lGLU -lX11 || {
    ui_fail "guardview builds"
    ui_finish
}

mkdir -p "$UI_TMP/views"
(cd "$UI_DUNGEON" && "$viewer" "$UI_TMP/views") >"$UI_TMP/viewer.out" 2>"$UI_TMP/viewer.err"
status=$?
ui_check "guardview runs (status $status)" [ "$status" -eq 0 ]
ui_check "guardview printed nothing on stderr" [ ! -s "$UI_TMP/viewer.err" ]
[ -s "$UI_TMP/viewer.err" ] && cat "$UI_TMP/viewer.err"

for view in front side back; do
    for variant in plain textured grey; do
        name="${view}_${variant}"
        if [ -s "$UI_TMP/views/$name.ppm" ]; then
            convert "$UI_TMP/views/$name.ppm" "$UI_SHOTS/$name.png"
        else
            ui_fail "$name picture written"
        fi
    done
done
[ -s "$UI_SHOTS/front_plain.png" ] || ui_finish

# Number of pixels of picture NAME (optionally cropped to W H X Y) for which the awk
# test holds; r, g, b are 0..1, mx and mn the largest and smallest of the three.
# Read from the viewer's PPM (a 15-byte header, then 400 x 400 RGB), which is what
# the PNG holds.
count()
{
    local ppm="$UI_TMP/views/$1.ppm"
    tail -c +16 "$ppm" | od -An -v -tu1 -w3 | awk -v cw="${3:-400}" -v ch="${4:-400}" -v cx="${5:-0}" -v cy="${6:-0}" '
        function abs(v) { return v < 0 ? -v : v }
        {
            i = NR - 1; x = i % 400; y = int(i / 400)
            if (x < cx || x >= cx + cw || y < cy || y >= cy + ch) next
            r = $1 / 255; g = $2 / 255; b = $3 / 255
            mx = r > g ? (r > b ? r : b) : (g > b ? g : b)
            mn = r < g ? (r < b ? r : b) : (g < b ? g : b)
            if ('"$2"') n++
        }
        END { print n + 0 }'
}
atleast() { [ "$1" -ge "$2" ]; }
atmost() { [ "$1" -le "$2" ]; }

BACKGROUND='abs(r) + abs(g) + abs(b - 0.25) < 0.06'
RED='r > 0.55 && g < 0.35 && b < 0.45'
SILVER='mn > 0.65 && mx - mn < 0.1'
# Limbs and staff are brown (red above green); the body is olive (green above red).
BROWN='r > g + 0.03 && g > b && b < 0.2 && r > 0.12'
BODY='g > r + 0.02 && g > b + 0.1'
COLOURED="mx - mn > 0.15 && !($BACKGROUND)"

for shot in "$UI_SHOTS"/*.png; do
    name=$(basename "$shot" .png)
    ui_check "$name: background in the corners" ui_near "$(ui_pixel "$shot" 3 3)" "0 0 64" 3
    figure=$(count "$name" "!($BACKGROUND)")
    ui_check "$name: the guard fills a fair part of the picture ($figure pixels)" \
        eval 'atleast $figure 15000 && atmost $figure 80000'
done

front=front_plain
red=$(count "$front" "$RED")
ui_check "front: red underside of the head shows ($red pixels)" atleast "$red" 300
silver=$(count "$front" "$SILVER" 400 200 0 0)
ui_check "front: silver spikes on the upper half ($silver pixels)" atleast "$silver" 200
left=$(count "$front" "$BROWN" 133 400 0 0)
right=$(count "$front" "$BROWN" 133 400 267 0)
ui_check "front: staff and claws reach out on both sides ($left, $right)" eval 'atleast $left 300 && atleast $right 300'
feetl=$(count "$front" "$BODY" 200 80 0 320)
feetr=$(count "$front" "$BODY" 200 80 200 320)
ui_check "front: a foot at the bottom on each side ($feetl, $feetr)" eval 'atleast $feetl 400 && atleast $feetr 400'

side=side_plain
# In profile the front (-z) is on the left: spikes and hands there, nothing brown behind.
sfront=$(count "$side" "$SILVER" 200 400 0 0)
sback=$(count "$side" "$SILVER" 200 400 200 0)
ui_check "side: spikes on the front side only ($sfront, $sback)" eval 'atleast $sfront 100 && atmost $sback 0'
hands=$(count "$side" "$BROWN" 200 400 0 0)
ui_check "side: hands and staff in front of the body ($hands)" atleast "$hands" 200

for view in front side back; do
    diff=$(compare -metric AE -fuzz 6% "$UI_SHOTS/${view}_plain.png" "$UI_SHOTS/${view}_textured.png" null: 2>&1)
    ui_check "$view: the texture changes the body ($diff pixels differ)" atleast "${diff%%.*}" 5000
    grey=${view}_grey
    coloured=$(count "$grey" "$COLOURED")
    ui_check "$view: the grey variant has no colour ($coloured pixels)" atmost "$coloured" 0
    if [ "$view" != back ]; then
        gs=$(count "$grey" "$SILVER")
        ps=$(count "${view}_plain" "$SILVER")
        ui_check "$view: spikes stay silver in grey ($gs against $ps)" eval 'atleast $gs $((ps * 8 / 10))'
    fi
done

ui_finish
