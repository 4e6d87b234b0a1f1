# test_window.sh -- the game window under Xvfb: titles, menu bar, modes, pointer capture,
# focus loss, help boxes and Quit, driven with xdotool and read back from screenshots
. "$2/tests/ui/lib.sh"
ui_init "$@"
ui_start_xvfb
ui_fixture_dungeon

TITLE="Spaceman Vesk in Escape from Droon"
GAME_TITLE="$TITLE (press Escape for pause and game menu)"
PAUSED_TITLE="$TITLE (paused)"
MENU_GREY="217 217 217"   # Tk's default background, the menu bar's colour

VESK_TRACE=1 ui_start_game "$UI_DUNGEON" || { ui_fail "the game starts"; ui_finish; }
read -r WX WY WW WH <<<"$(ui_geometry "$UI_WIN")"
CENTRE="$((WX + WW / 2)) $((WY + WH / 2))"
# Tk's main window "." is the one child of the window-manager wrapper.
MAIN=$(ui_children "$UI_WIN" | head -n 1 | cut -d' ' -f1)

# The empty right-hand part of the menu bar, and a part of the view well below it.
bar_is_grey() { ui_near "$(ui_mean "$1" 300 6 480 20)" "$MENU_GREY" 3; }
trace_count() { ui_trace_lines "$1" | wc -l; }
last_heading() { ui_trace_lines "$1" | tail -n 1 | sed -n 's/.*heading=\([-0-9.]*\).*/\1/p'; }
same_number() { awk -v a="$1" -v b="$2" 'BEGIN { d = a - b; exit !(d < 1e-6 && d > -1e-6) }'; }
pointer_at_centre() { [ "$(ui_pointer)" = "$CENTRE" ]; }
not_grabbed() { ! ui_grabbed; }

# --- start-up: pause mode with the menu bar and "Start"
sleep 0.5
shot=$(ui_shot startup)
ui_check "start-up title" ui_title_is "$UI_WIN" "$TITLE"
ui_check "window is 800 x 600" [ "$WW $WH" = "800 600" ]
ui_check "menu bar strip is grey" bar_is_grey "$shot"
ui_check "drawing area below the bar is not menu grey" \
    eval '! ui_near "$(ui_mean "$shot" 0 100 800 400)" "$MENU_GREY" 3'
ui_check "three menu buttons" [ "$(ui_menubuttons | wc -l)" = 3 ]
ui_check "first menu offers Start" [ "$(trace_count 'menu Start')" = 1 ]
ui_check "pointer is free before Start" not_grabbed
ui_check "cursor is visible before Start" [ "$(ui_cursor_pixels)" -gt 0 ]

# --- Start: game mode
ui_menu 0 0
ui_check "game-mode title after Start" ui_wait_title "$UI_WIN" "$GAME_TITLE"
sleep 0.3
shot=$(ui_shot game)
ui_check "menu bar window is gone" [ -z "$(ui_menubar)" ]
ui_check "menu bar strip is gone from the picture" eval '! bar_is_grey "$shot"'
ui_check "pointer is grabbed by the game, confined to the main window" \
    [ "$(ui_grab)" = "$UI_GAME_PID $MAIN" ]
ui_check "cursor is blank" [ "$(ui_cursor_pixels)" = 0 ]
ui_check "pointer sits at the window centre" ui_wait_for 2 pointer_at_centre
ui_check "Start itself does not pause" ui_title_is "$UI_WIN" "$GAME_TITLE"

# --- pointer motion turns the player and the pointer goes back to the centre
start_heading=$(last_heading ' game ')
xdotool mousemove_relative 10 0
ui_check "moving right by 10 reaches the player as (10, 0)" ui_wait_for 2 eval '[ "$(trace_count "move 10 0 ")" = 1 ]'
ui_check "pointer is put back at the centre" ui_wait_for 2 pointer_at_centre
ui_check "heading turned by 10 x 0.15" same_number "$(last_heading 'move ')" "$(awk -v h="$start_heading" 'BEGIN { print h + 1.5 }')"
xdotool mousemove_relative -- -7 4
ui_check "a motion left and down arrives as (-7, 4)" ui_wait_for 2 eval '[ "$(trace_count "move -7 4 ")" = 1 ]'
# Far beyond the edge: the grab keeps the pointer inside the window.
xdotool mousemove_relative 2000 2000
ui_check "the pointer cannot leave the window" ui_wait_for 2 eval \
    '[ "$(trace_count "move $((WW / 2 - 1)) $((WH / 2 - 1)) ")" = 1 ]'
ui_check "pointer back at the centre after the big move" ui_wait_for 2 pointer_at_centre
sleep 0.3
# Each warp back produces a motion exactly at the centre, which must be ignored.
ui_check "the warps' own motions reach nobody" [ "$(trace_count 'move ')" = 3 ]
ui_check "still in game mode" ui_title_is "$UI_WIN" "$GAME_TITLE"

# --- Escape: pause mode with "Resume", pointer free, motion ignored
ui_key Escape
ui_check "paused title after Escape" ui_wait_title "$UI_WIN" "$PAUSED_TITLE"
ui_check "menu now offers Resume" ui_wait_for 2 eval '[ "$(trace_count "menu Resume")" = 1 ]'
ui_check "heading in the pause differs from the start" eval '! same_number "$(last_heading " pause ")" "$start_heading"'
ui_check "pointer is released" ui_wait_for 2 not_grabbed
ui_check "cursor is visible again" [ "$(ui_cursor_pixels)" -gt 0 ]
sleep 0.3
ui_check "menu bar strip is back" bar_is_grey "$(ui_shot paused)"
xdotool mousemove_relative 10 0
ui_key Escape
sleep 0.3
ui_check "motion in pause mode reaches nobody" [ "$(trace_count 'move ')" = 3 ]
ui_check "Escape while paused changes nothing" [ "$(trace_count ' pause ')" = 1 ]
xdotool mousemove_relative 2000 2000
ui_check "the pointer can leave the window when paused" ui_wait_for 2 eval \
    '[ "$(ui_pointer | cut -d" " -f1)" -ge $((WX + WW)) ]'

# --- losing the keyboard focus in game mode pauses
ui_menu 0 0
ui_check "Resume enters game mode" ui_wait_title "$UI_WIN" "$GAME_TITLE"
ui_check "Resume grabs the pointer again" [ "$(ui_grab)" = "$UI_GAME_PID $MAIN" ]
xmessage -title vesk-other "another window" >/dev/null 2>&1 &
other_pid=$!
other=$(ui_wait_window vesk-other 10)
ui_check "another client's window appeared" [ -n "$other" ]
sleep 0.3
ui_check "no pause before the focus moves" ui_title_is "$UI_WIN" "$GAME_TITLE"
xdotool windowfocus "$other"
ui_check "focus moving to another window pauses" ui_wait_title "$UI_WIN" "$PAUSED_TITLE"
ui_check "and releases the pointer" ui_wait_for 2 not_grabbed
ui_check "and shows the menu with Resume" [ "$(trace_count 'menu Resume')" = 2 ]
ui_stop_pid "$other_pid"

# --- options: a switch shows at the next frame, and the rebuilt menu keeps its marks
# Fine detail of the view: what the picture loses when walls are drawn untextured.
detail()
{
    convert "$1" -crop 760x480+0+40 +repage -colorspace gray \( +clone -blur 0x2 \) \
        -compose difference -composite -format '%[fx:round(1000*mean)]' info:
}
# The check marks of the Options menu's three entries, "1" where one shows.
option_marks()
{
    local line id x y w h menu shot r
    line=$(ui_menubuttons | sed -n 2p)
    read -r id x y w h <<<"$line"
    xdotool windowraise "$UI_WIN"
    ui_click "$id" $((w / 2)) $((h / 2))
    ui_wait_for 2 eval '[ -n "$(xdotool search --onlyvisible --class Menu)" ]'
    menu=$(xdotool search --onlyvisible --class Menu | head -n 1)
    read -r x y w h <<<"$(ui_geometry "$menu")"
    shot=$(ui_shot "options$1" "$menu")
    ui_key Escape
    for r in 0 1 2; do
        convert "$shot" -crop "18x$(((h - 4) / 3))+2+$((2 + r * (h - 4) / 3))" +repage \
            -format '%[fx:minima < 0.4 ? 1 : 0] ' info:
    done
}
ui_check "Lighting and Textures checked, Stereo not" [ "$(option_marks 1)" = "1 1 0 " ]
ui_menu 0 0
ui_wait_title "$UI_WIN" "$GAME_TITLE"
sleep 0.5
textured=$(detail "$(ui_shot textured)")
ui_key Escape
ui_wait_title "$UI_WIN" "$PAUSED_TITLE"
ui_menu 1 1
ui_menu 0 0
ui_wait_title "$UI_WIN" "$GAME_TITLE"
sleep 0.5
flat=$(detail "$(ui_shot untextured)")
ui_key Escape
ui_wait_title "$UI_WIN" "$PAUSED_TITLE"
ui_check "Textures off flattens the walls at the next frame ($textured -> $flat)" [ "$flat" -lt $((textured / 2)) ]
ui_check "the rebuilt menu shows Textures unchecked" [ "$(option_marks 2)" = "1 0 0 " ]
ui_menu 1 1
ui_check "and checked again after a second choice" [ "$(option_marks 3)" = "1 1 0 " ]

# --- the 4:3 hint for the window manager, and a resize redraws at once
hints=$(xprop -id "$UI_WIN" WM_NORMAL_HINTS)
ui_check "minimum aspect hint 4/3" eval 'echo "$hints" | grep -q "minimum aspect ratio: 4/3"'
ui_check "maximum aspect hint 4/3" eval 'echo "$hints" | grep -q "maximum aspect ratio: 4/3"'
togl_is() { ui_children "$MAIN" | grep -q " 0 0 $1 $2\$"; }
before=$(ui_shot before-resize)
xdotool windowsize "$UI_WIN" 640 480
ui_check "the drawing area follows the window to 640 x 480" ui_wait_for 5 togl_is 640 480
sleep 0.5
small=$(ui_shot resized)
# The frame is laid out anew: its bottom-left corner shows what the 800 x 600
# frame showed in its own bottom-left corner, not the old picture cut off.
ui_check "the resized frame is drawn for its new size" \
    ui_near "$(ui_mean "$small" 0 462 24 16)" "$(ui_mean "$before" 0 582 24 16)" 40
ui_check "and not the old picture cut off" \
    eval '! ui_near "$(ui_mean "$small" 0 462 24 16)" "$(ui_mean "$before" 0 462 24 16)" 40'
xdotool windowsize "$UI_WIN" 800 600
ui_wait_for 5 togl_is 800 600

# --- help boxes: each entry opens one more window
for entry in "0 About" "2 Controls" "0 About" "1 Background"; do
    read -r index name <<<"$entry"
    ui_menu 2 "$index"
    ui_wait_for 5 eval '[ -n "$(ui_find_window "$name")" ]'
done
ui_check "two windows titled About" [ "$(ui_find_window About | wc -l)" = 2 ]
ui_check "a window titled Controls" [ "$(ui_find_window Controls | wc -l)" = 1 ]
ui_check "a window titled Background" [ "$(ui_find_window Background | wc -l)" = 1 ]
ui_check "help boxes leave the game paused" ui_title_is "$UI_WIN" "$PAUSED_TITLE"

# --- Quit ends the process with status 0
ui_menu 0 2
ui_wait_exit "$UI_GAME_PID" 10
ui_check "Quit exits with status 0 (got $UI_STATUS)" [ "$UI_STATUS" = 0 ]
UI_GAME_PID=
ui_check "nothing but trace lines on stderr" eval '[ -z "$(grep -v "^vesk-trace: " "$UI_GAME_ERR")" ]'

ui_finish
