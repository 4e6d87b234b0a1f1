# test_outcome.sh -- a game event during a tick: pause first, then Tk's modal dialog with
# the outcome's title and a single "OK" that is not the default; caught until lost
. "$2/tests/ui/lib.sh"
ui_init "$@"
ui_start_xvfb

# A level where a guard stands one cell from the start and walks at the player.
mkdir -p "$UI_TMP/src/levels"
cat >"$UI_TMP/src/levels/1-caught.lvl" <<'EOF'
title Caught
size 5 3 5
heading 90
layer 0 fill #
layer 1
#####
#...#
#@<.#
#...#
#####
layer 2 fill B
EOF
"$UI_BUILD/vesk-dungeon" build "$UI_TMP/src" "$UI_TMP/caught" >"$UI_TMP/build.log" 2>&1 ||
    { cat "$UI_TMP/build.log"; ui_fail "the caught level builds"; ui_finish; }

PAUSED_TITLE="Spaceman Vesk in Escape from Droon (paused)"
VESK_TRACE=1 ui_start_game "$UI_TMP/caught" || { ui_fail "the game starts"; ui_finish; }
trace_count() { ui_trace_lines "$1" | wc -l; }
dialog_gone() { [ -z "$(ui_find_window "$1")" ]; }

# The dialog's inner window holds its two frames, the message and the buttons
# (packed into the lower frame): "ID X Y W H" per button, i.e. per child of the
# dialog that lies in the lower frame.
dialog_buttons()
{
    local inner kids bottom
    inner=$(ui_children "$1" | head -n 1 | cut -d' ' -f1)
    kids=$(ui_children "$inner")
    bottom=$(echo "$kids" | awk '$2 == 0 && $3 > 0 { print $3 }' | head -n 1)
    echo "$kids" | awk -v b="$bottom" '$3 > b && $2 > 0'
}

ui_menu 0 0
dialog=$(ui_wait_window "Uh-oh" 30)
ui_check "being caught shows a box titled Uh-oh" [ -n "$dialog" ]
ui_check "the game is paused behind it" ui_title_is "$UI_WIN" "$PAUSED_TITLE"
ui_check "pause came with the box" [ "$(trace_count ' pause ')" = 1 ]
ui_check "the pointer is free for the box" eval '! ui_grabbed'
ui_shot caught >/dev/null
buttons=$(dialog_buttons "$dialog")
ui_check "the box has one button" [ "$(echo "$buttons" | grep -c .)" = 1 ]
ui_check "the box has no bitmap: two frames, the message and the button" \
    [ "$(ui_children "$(ui_children "$dialog" | head -n 1 | cut -d' ' -f1)" | wc -l)" = 4 ]
ui_key Return
sleep 0.5
ui_check "Return does not press OK: there is no default button" [ -n "$(ui_find_window "Uh-oh")" ]
read -r id x y w h <<<"$buttons"
ui_click "$id" $((w / 2)) $((h / 2))
ui_check "OK closes the box" ui_wait_for 5 dialog_gone "Uh-oh"
ui_check "and the game stays paused" ui_title_is "$UI_WIN" "$PAUSED_TITLE"

# Resume into the same guard until the last chance is gone.
caught=1
lost=
for round in 1 2 3 4 5 6 7 8; do
    ui_menu 0 0
    for i in $(seq 300); do
        [ -n "$(ui_find_window "You lose")" ] && { lost=$(ui_find_window "You lose" | head -n 1); break; }
        [ -n "$(ui_find_window "Uh-oh")" ] && break
        sleep 0.1
    done
    [ -n "$lost" ] && break
    dialog=$(ui_find_window "Uh-oh" | head -n 1)
    [ -n "$dialog" ] || break
    caught=$((caught + 1))
    read -r id x y w h <<<"$(dialog_buttons "$dialog")"
    ui_click "$id" $((w / 2)) $((h / 2))
    ui_wait_for 5 dialog_gone "Uh-oh"
done
ui_check "losing the last chance shows 'You lose' (after $caught captures)" [ -n "$lost" ]
ui_check "every pause of the game showed one box" [ "$(trace_count ' pause ')" = $((caught + 1)) ]
if [ -n "$lost" ]; then
    read -r id x y w h <<<"$(dialog_buttons "$lost")"
    ui_click "$id" $((w / 2)) $((h / 2))
    ui_check "OK closes the lost box" ui_wait_for 5 dialog_gone "You lose"
fi
ui_menu 0 2
ui_wait_exit "$UI_GAME_PID" 10
ui_check "Quit after the boxes exits with status 0 (got $UI_STATUS)" [ "$UI_STATUS" = 0 ]
UI_GAME_PID=
ui_check "nothing but trace lines on stderr" eval '[ -z "$(grep -v "^vesk-trace: " "$UI_GAME_ERR")" ]'
ui_finish
