# test_see.sh -- what a frame shows under Xvfb: lit, fogged, textured walls and the three
# status panels after Start; the same without lighting; and in stereo the scene only in
# red and blue while the panels stay white and grey. Textures off and lighting off are
# shot too, to show that the texture and the light make the difference. Shots are of the 800 x 600 window
# (y down from the top): the 3D view is x 0..760, y 0..560, the charge bar below it,
# the portraits in the 40-pixel column on the right and the teleporter squares in the
# bottom-right corner. The PNGs are kept in ui-shots/test_see.
. "$2/tests/ui/lib.sh"
ui_init "$@"
ui_start_xvfb
ui_fixture_dungeon

TITLE="Spaceman Vesk in Escape from Droon"
GAME_TITLE="$TITLE (press Escape for pause and game menu)"
PAUSED_TITLE="$TITLE (paused)"

ui_start_game "$UI_DUNGEON" || { ui_fail "the game starts"; ui_finish; }
sleep 0.5

# "R G B" of a rectangle's mean, and one number of a rectangle by an fx expression.
mean() { ui_mean "$1" "$2" "$3" "$4" "$5"; }
fx() { convert "$1" -crop "$4x$5+$2+$3" +repage -format "%[fx:$6]" info:; }
# Fine grain of a rectangle: the mean difference from a blurred copy, in grey.
# Smooth shading has next to none; a texture has plenty.
grain() {
    convert "$1" -crop "$4x$5+$2+$3" +repage -colorspace gray \( +clone -blur 0x2 \) \
        -compose difference -composite -format '%[fx:mean]' info:
}
# Comparisons of decimal numbers in awk: holds EXPR A [B], EXPR using a and b.
holds() {
    local expr=$1
    shift
    awk "BEGIN { split(\"$*\", v, \" \"); a = v[1]; b = v[2]; exit !($expr) }"
}
# Channel checks on a mean "R G B": is_colour "R G B" "rmin rmax gmin gmax bmin bmax"
is_colour() {
    local r g b rlo rhi glo ghi blo bhi
    read -r r g b <<<"$1"
    read -r rlo rhi glo ghi blo bhi <<<"$2"
    [ "$r" -ge "$rlo" ] && [ "$r" -le "$rhi" ] && [ "$g" -ge "$glo" ] && [ "$g" -le "$ghi" ] &&
        [ "$b" -ge "$blo" ] && [ "$b" -le "$bhi" ]
}
black() { is_colour "$1" "0 4 0 4 0 4"; }
# The portrait slot k (0 = bottom) of the right-hand column: 56 pixels high.
slot() { mean "$1" 764 $((560 - 56 * ($2 + 1) + 4)) 32 48; }
resume() {
    ui_menu 0 0
    ui_wait_title "$UI_WIN" "$GAME_TITLE" && sleep 0.8
}
pause() {
    ui_key Escape
    ui_wait_title "$UI_WIN" "$PAUSED_TITLE" && sleep 0.3
}

# --- Start: the first frames of the corridor
resume || ui_fail "game mode after Start"
mono=$(ui_shot mono "$UI_WIN")

# Charge bar: full, red at its start, yellow at the one-shot mark (x 306), green at its end.
ui_check "bar starts red" is_colour "$(mean "$mono" 6 570 8 20)" "200 255 0 90 0 40"
ui_check "bar is yellow at the one-shot mark" is_colour "$(mean "$mono" 302 570 8 20)" "200 255 200 255 0 40"
ui_check "bar ends green" is_colour "$(mean "$mono" 744 570 10 20)" "0 60 200 255 0 40"
ui_check "no bar above or below it" black "$(mean "$mono" 0 561 760 2)"
# Five chances: five portraits from the bottom, nothing above them.
for k in 0 1 2 3 4; do
    ui_check "portrait $((k + 1)) is there" eval '! black "$(slot "$mono" $k)"'
done
for k in 5 6 7 8 9; do
    ui_check "slot $((k + 1)) is empty" black "$(slot "$mono" $k)"
done
ui_check "no teleporter squares at 0 charges" black "$(mean "$mono" 760 560 40 40)"

# The view: textured walls (a stone wall near the left edge is far from flat), lit
# and fogged (the corridor's far end in the middle is nearly black, the near floor not).
wallgrain=$(grain "$mono" 20 100 100 150)
ui_check "left wall is textured (grain $wallgrain)" holds "a > 0.005" "$wallgrain"
ui_check "far end of the corridor is fogged dark" is_colour "$(mean "$mono" 360 215 40 40)" "0 20 0 20 0 20"
ui_check "near floor is bright" eval '! is_colour "$(mean "$mono" 420 470 200 60)" "0 40 0 40 0 40"'
ui_check "the scene has green in it" eval '[ "$(fx "$mono" 0 0 760 560 "round(255*mean.g)")" -gt 10 ]'

# --- Textures off: the same wall in its plain material colour is smooth
pause
ui_menu 1 1
sleep 0.3
resume
plain=$(ui_shot untextured "$UI_WIN")
plaingrain=$(grain "$plain" 20 100 100 150)
ui_check "the texture makes the wall's grain ($wallgrain textured, $plaingrain plain)" holds "a > 5 * b" "$wallgrain $plaingrain"

# --- Lighting off, textures on again: the same view draws differently
pause
ui_menu 1 1
sleep 0.3
ui_menu 1 0
sleep 0.3
resume
unlit=$(ui_shot unlit "$UI_WIN")
lit_wall=$(fx "$mono" 20 100 100 150 "255*mean")
unlit_wall=$(fx "$unlit" 20 100 100 150 "255*mean")
ui_check "lighting changes the walls ($lit_wall lit, $unlit_wall unlit)" holds "a - b > 10 || b - a > 10" "$lit_wall $unlit_wall"
ui_check "the panels do not depend on lighting" [ "$(mean "$mono" 0 560 800 40)" = "$(mean "$unlit" 0 560 800 40)" ]

# --- Stereo (lighting back on): the scene through red and blue masks only, panels grey
pause
ui_menu 1 0
sleep 0.3
ui_menu 1 2
sleep 0.3
resume
stereo=$(ui_shot stereo "$UI_WIN")
ui_check "no green anywhere in the scene" [ "$(fx "$stereo" 0 0 760 560 "round(255*maxima.g)")" = 0 ]
ui_check "the scene has red" eval '[ "$(fx "$stereo" 0 0 760 560 "round(255*mean.r)")" -gt 10 ]'
ui_check "the scene has blue" eval '[ "$(fx "$stereo" 0 0 760 560 "round(255*mean.b)")" -gt 10 ]'
ui_check "the bar is white" is_colour "$(mean "$stereo" 6 570 740 20)" "250 255 250 255 250 255"
for k in 0 4; do
    s=$(slot "$stereo" $k)
    ui_check "portrait $((k + 1)) is grey ($s)" eval 'read -r r g b <<<"$s"; [ "$r" = "$g" ] && [ "$g" = "$b" ] && [ "$r" -gt 30 ]'
done
ui_check "slot 6 still empty in stereo" black "$(slot "$stereo" 5)"
ui_check "still no squares in stereo" black "$(mean "$stereo" 760 560 40 40)"

ui_finish
