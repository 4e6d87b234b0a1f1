# soak_window.sh -- the real program under a private Xvfb for a while: play with keys and the
# mouse, pauses, resumes, Reset, the three options, resizes and help boxes; it must stay alive,
# print nothing on stderr (no X or GL error) and keep its memory flat.
#
#   bash tests/autoplay/soak_window.sh BUILD_DIR SOURCE_DIR [SECONDS] [SEED]
. "$2/tests/ui/lib.sh"
SECS=${3:-600}
RANDOM=${4:-1}
ui_init "$1" "$2"
ui_start_xvfb

# The bundled dungeon as built by `make dungeon`, else built here.
DUNGEON="$UI_BUILD/Dungeon"
if [ ! -f "$DUNGEON/level0" ]; then
    DUNGEON="$UI_TMP/Dungeon"
    "$UI_BUILD/vesk-dungeon" build "$UI_SRC/data" "$DUNGEON" >"$UI_TMP/build.log" 2>&1 ||
        { cat "$UI_TMP/build.log"; ui_fail "the dungeon builds"; ui_finish; }
fi

ui_start_game "$DUNGEON" || { ui_fail "the game starts"; ui_finish; }
TITLE="Spaceman Vesk in Escape from Droon"
PAUSED_TITLE="$TITLE (paused)"
GAME_TITLE="$TITLE (press Escape for pause and game menu)"

rss() { awk '/^VmRSS:/ { print $2 }' "/proc/$UI_GAME_PID/status" 2>/dev/null; }
alive() { kill -0 "$UI_GAME_PID" 2>/dev/null; }
paused() { ui_title_is "$UI_WIN" "$PAUSED_TITLE" || ui_title_is "$UI_WIN" "$TITLE"; }

# An outcome box (caught, next level, won, lost): press its one button, as in test_outcome.sh.
dialog_buttons()
{
    local inner kids bottom
    inner=$(ui_children "$1" | head -n 1 | cut -d' ' -f1)
    kids=$(ui_children "$inner")
    bottom=$(echo "$kids" | awk '$2 == 0 && $3 > 0 { print $3 }' | head -n 1)
    echo "$kids" | awk -v b="$bottom" '$3 > b && $2 > 0'
}
OUTCOMES=0
answer_outcomes()
{
    local t d id x y w h
    for t in "Uh-oh" "You're getting there!" "You win!" "You lose"; do
        for d in $(ui_find_window "$t"); do
            read -r id x y w h <<<"$(dialog_buttons "$d" | head -n 1)"
            [ -n "$id" ] || continue
            ui_click "$id" $((w / 2)) $((h / 2))
            OUTCOMES=$((OUTCOMES + 1))
            ui_wait_for 5 eval '[ -z "$(ui_find_window "$t")" ]'
        done
    done
}

# Some seconds of play: walking keys held, turns, shots, jumps; then Escape.
play()
{
    local keys=(Up Up Up Down Left Right) n k
    for n in $(seq $((2 + RANDOM % 6))); do
        k=${keys[RANDOM % ${#keys[@]}]}
        xdotool keydown "$k"
        xdotool mousemove_relative -- $((RANDOM % 81 - 40)) $((RANDOM % 21 - 10))
        [ $((RANDOM % 3)) = 0 ] && xdotool click 1
        [ $((RANDOM % 4)) = 0 ] && xdotool key KP_Insert
        sleep "0.$((RANDOM % 9 + 1))"
        xdotool keyup "$k"
    done
    ui_title_is "$UI_WIN" "$GAME_TITLE" && ui_key Escape
}

start=$SECONDS
RSS_START=
RSS_MAX=0
samples=0
resumes=0 resets=0 toggles=0 resizes=0 helps=0 plays=0
while [ $((SECONDS - start)) -lt "$SECS" ] && alive; do
    answer_outcomes
    if ! paused; then
        play
        plays=$((plays + 1))
        continue
    fi
    case $((RANDOM % 12)) in
    0 | 1 | 2 | 3 | 4)
        ui_menu 0 0 # Start / Resume
        resumes=$((resumes + 1))
        ui_wait_for 3 ui_title_is "$UI_WIN" "$GAME_TITLE" && { play; plays=$((plays + 1)); } ;;
    5)
        ui_menu 0 1 # Reset
        resets=$((resets + 1)) ;;
    6 | 7 | 8)
        ui_menu 1 $((RANDOM % 3)) # Lighting, Textures, Stereo
        toggles=$((toggles + 1)) ;;
    9 | 10)
        xdotool windowsize "$UI_WIN" $((400 + RANDOM % 600)) $((300 + RANDOM % 400))
        sleep 0.5
        xdotool windowsize "$UI_WIN" 800 600
        sleep 0.3
        resizes=$((resizes + 1)) ;;
    11)
        # a help box now and then; they pile up as they would on a desktop
        [ $helps -lt $((SECS / 40 + 1)) ] && { ui_menu 2 $((RANDOM % 3)); helps=$((helps + 1)); } ;;
    esac
    # memory: the first sample once the game has warmed up (every option and size met)
    if [ $((SECONDS - start)) -ge $((SECS / 10)) ]; then
        r=$(rss)
        [ -n "$r" ] && {
            [ -z "$RSS_START" ] && RSS_START=$r
            [ "$r" -gt "$RSS_MAX" ] && RSS_MAX=$r
            samples=$((samples + 1))
        }
    fi
done
RSS_END=$(rss)
ran=$((SECONDS - start))

ui_check "the game is alive after $ran s" alive
echo "soak-window: $ran s, $plays bouts of play, $resumes resumes, $resets resets, $toggles option toggles," \
    "$resizes resizes, $helps help boxes, $OUTCOMES outcome boxes answered"
echo "soak-window: VmRSS $RSS_START kB after warming up, $RSS_END kB at the end, at most $RSS_MAX kB ($samples samples)"
flat() { [ -n "$RSS_START" ] && [ -n "$RSS_END" ] && [ "$RSS_END" -le $((RSS_START + 8192 + RSS_START / 10)) ]; }
ui_check "memory stays flat (within 8 MB and 10 %)" flat

# Quit from the menu ends the program normally.
answer_outcomes
ui_title_is "$UI_WIN" "$GAME_TITLE" && ui_key Escape
ui_wait_for 3 paused
ui_menu 0 2
ui_wait_exit "$UI_GAME_PID" 10
ui_check "Quit exits with status 0 (got $UI_STATUS)" [ "$UI_STATUS" = 0 ]
UI_GAME_PID=
ui_check "nothing on stderr (no X or GL error)" [ ! -s "$UI_GAME_ERR" ]
[ -s "$UI_GAME_ERR" ] && head -n 20 "$UI_GAME_ERR"
ui_finish
