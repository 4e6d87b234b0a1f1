# lib.sh -- shared harness for whole-program tests: Xvfb, the game, xdotool, screenshots
#
# A test script is run by CTest as `bash tests/ui/test_NAME.sh BUILD_DIR SOURCE_DIR` and
# starts with
#
#     . "$2/tests/ui/lib.sh"
#     ui_init "$@"               # dirs, temp dir, cleanup trap, tool check
#     ui_start_xvfb              # a private display; DISPLAY is exported
#     ui_fixture_dungeon         # builds tests/fixtures/dungeon-src; sets UI_DUNGEON
#     VESK_TRACE=1 ui_start_game "$UI_DUNGEON"   # sets UI_GAME_PID, UI_WIN
#     ...
#     ui_finish                  # exit status: 1 if any ui_check failed
#
# Everything started here (Xvfb, the game) is stopped by its pid when the script exits.
# Screenshots go to BUILD_DIR/ui-shots/<script name>/ and are kept for a look afterwards.
#
# Variables set:
#   UI_BUILD UI_SRC     the two arguments, as absolute paths
#   UI_TMP              a private temp dir (removed on exit)
#   UI_SHOTS            the screenshot dir of this script
#   UI_DUNGEON          the fixture dungeon (after ui_fixture_dungeon)
#   UI_GAME_PID UI_WIN  the game's pid and its main window id (after ui_start_game)
#   UI_GAME_OUT UI_GAME_ERR   files holding the game's stdout and stderr
#
# Functions (window ids are decimal, as xdotool prints them; coordinates are pixels):
#   ui_check DESC CMD...          run CMD; print "ok - DESC" or "FAIL - DESC"; count failures
#   ui_fail DESC                  count a failure with a message
#   ui_finish                     print the summary and exit 0 or 1
#   ui_start_xvfb [WxHxD]         start Xvfb on a free display (default 1024x768x24), wait
#                                 until it answers, export DISPLAY; its log is UI_TMP/xvfb.log
#   ui_fixture_dungeon [OUTDIR]   vesk-dungeon build of the fixture source (once per script)
#   ui_start_game ARGS...         start BUILD/vesk (or $UI_VESK when set, e.g. a debug
#                                 wrapper) in the background, wait for its window titled
#                                 "Spaceman Vesk in Escape from Droon" and give it the
#                                 keyboard focus
#   ui_wait_exit PID [SECS]       wait for a process started by this shell; sets UI_STATUS
#                                 to its exit status ("timeout" if it is still running)
#   ui_find_window TITLE          ids of the mapped or unmapped windows with exactly TITLE
#   ui_wait_window TITLE [SECS]   wait until one exists; prints its id
#   ui_wait_title WID TITLE [SECS]  wait until WID's title is exactly TITLE
#   ui_title WID                  the window's title
#   ui_geometry WID               "X Y W H" of the window, X Y relative to the root
#   ui_children WID               "ID X Y W H" per child window, X Y relative to WID
#   ui_move WID X Y               move the pointer to (X, Y) inside WID
#   ui_click WID X Y [BUTTON]     move there and click (default button 1)
#   ui_key KEY...                 xdotool key names (Escape, Up, KP_Insert, Return, ...)
#   ui_focus WID                  give WID the keyboard focus (XSetInputFocus)
#   ui_menubuttons                "ID X Y W H" of the menu bar's buttons, left to right
#   ui_menu BUTTON_INDEX ENTRY_INDEX  open the menu of the BUTTON_INDEX-th menu button
#                                 (0 = Game, 1 = Options, 2 = Help) and invoke its
#                                 ENTRY_INDEX-th entry (0 = first) with the keyboard
#   ui_shot NAME [WID]            screenshot (root window, or WID) to UI_SHOTS/NAME.png;
#                                 prints the path
#   ui_pixel PNG X Y              "R G B" (0..255) of one pixel
#   ui_mean PNG X Y W H           "R G B" mean of a rectangle, rounded
#   ui_near "R G B" "R G B" TOL   true when every channel differs by at most TOL
#   ui_pointer                    "X Y" of the pointer on the root window
#   ui_grab                       the active pointer grab as "PID CONFINE_WINDOW_ID" (decimal),
#                                 from the X server's own grab log; empty when none
#   ui_grabbed                    true while some client holds a pointer grab
#   ui_cursor_pixels              number of visible pixels of the current cursor image
#   ui_wait_for SECS CMD...       retry CMD every 0.1 s until it succeeds or SECS pass
#   ui_trace_lines PATTERN        lines of the game's stderr matching an extended regex
#
# Needs: Xvfb, xdotool, xdpyinfo, xwininfo, import and convert (imagemagick), g++ and
# Xlib headers (for tests/ui/xprobe.cpp, built into BUILD_DIR on first use).

UI_FAILS=0
UI_CHECKS=0
UI_XVFB_PID=
UI_GAME_PID=
UI_WIN=

ui_init()
{
    UI_BUILD=$(cd "$1" && pwd) || { echo "lib.sh: no build dir '$1'" >&2; exit 1; }
    UI_SRC=$(cd "$2" && pwd) || { echo "lib.sh: no source dir '$2'" >&2; exit 1; }
    local tool missing=
    for tool in Xvfb xdotool xdpyinfo xwininfo import convert g++; do
        command -v "$tool" >/dev/null 2>&1 || missing="$missing $tool"
    done
    if [ -n "$missing" ]; then
        echo "lib.sh: missing tools:$missing (run 'make deps')" >&2
        exit 1
    fi
    UI_TMP=$(mktemp -d "${TMPDIR:-/tmp}/vesk-ui.XXXXXX")
    UI_SHOTS="$UI_BUILD/ui-shots/$(basename "$0" .sh)"
    rm -rf "$UI_SHOTS"
    mkdir -p "$UI_SHOTS"
    trap ui_cleanup EXIT
    trap 'exit 130' INT TERM
    ui_build_xprobe
}

ui_cleanup()
{
    ui_stop_pid "$UI_GAME_PID"
    ui_stop_pid "$UI_XVFB_PID"
    [ -n "$UI_TMP" ] && rm -rf "$UI_TMP"
}

# Stops one process we started: TERM, a short grace, then KILL.
ui_stop_pid()
{
    local pid=$1 i
    [ -n "$pid" ] || return 0
    kill -0 "$pid" 2>/dev/null || return 0
    kill -TERM "$pid" 2>/dev/null
    for i in $(seq 20); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null && kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    return 0
}

ui_check()
{
    local desc=$1
    shift
    UI_CHECKS=$((UI_CHECKS + 1))
    if "$@"; then
        echo "ok - $desc"
    else
        echo "FAIL - $desc"
        UI_FAILS=$((UI_FAILS + 1))
    fi
}

ui_fail()
{
    UI_CHECKS=$((UI_CHECKS + 1))
    UI_FAILS=$((UI_FAILS + 1))
    echo "FAIL - $1"
}

ui_finish()
{
    echo "$((UI_CHECKS - UI_FAILS)) of $UI_CHECKS checks passed; screenshots in $UI_SHOTS"
    if [ "$UI_FAILS" -ne 0 ] && [ -s "${UI_GAME_ERR:-/dev/null}" ]; then
        echo "--- game stderr (last 20 lines) ---"
        tail -n 20 "$UI_GAME_ERR"
    fi
    [ "$UI_FAILS" -eq 0 ] && exit 0
    exit 1
}

ui_wait_for()
{
    local secs=$1 i
    shift
    for i in $(seq $((secs * 10))); do
        "$@" && return 0
        sleep 0.1
    done
    "$@"
}

ui_build_xprobe()
{
    UI_XPROBE="$UI_BUILD/ui-xprobe"
    local src="$UI_SRC/tests/ui/xprobe.cpp"
    if [ ! -x "$UI_XPROBE" ] || [ "$src" -nt "$UI_XPROBE" ]; then
        # Built beside, then renamed: two scripts may build it at once.
        g++ -O1 -o "$UI_XPROBE.$$" "$src" -lX11 -ldl || { echo "lib.sh: cannot build xprobe" >&2; exit 1; }
        mv -f "$UI_XPROBE.$$" "$UI_XPROBE"
    fi
}

# Display numbers are drawn at random well above the low ones that hand-started
# servers and other scripts tend to use; a taken one is simply skipped.
ui_start_xvfb()
{
    local screen=${1:-1024x768x24} try no
    for try in $(seq 20); do
        no=$((100 + RANDOM % 900))
        [ -e "/tmp/.X$no-lock" ] || [ -e "/tmp/.X11-unix/X$no" ] && continue
        Xvfb ":$no" -screen 0 "$screen" -nolisten tcp >"$UI_TMP/xvfb.log" 2>&1 &
        UI_XVFB_PID=$!
        if ui_wait_for 10 eval 'xdpyinfo -display ":$no" >/dev/null 2>&1 || ! kill -0 "$UI_XVFB_PID" 2>/dev/null' &&
            kill -0 "$UI_XVFB_PID" 2>/dev/null; then
            export DISPLAY=":$no"
            return 0
        fi
        ui_stop_pid "$UI_XVFB_PID"
        UI_XVFB_PID=
    done
    echo "lib.sh: could not start Xvfb" >&2
    cat "$UI_TMP/xvfb.log" >&2
    exit 1
}

ui_fixture_dungeon()
{
    UI_DUNGEON=${1:-$UI_TMP/dungeon}
    if [ ! -d "$UI_SRC/tests/fixtures/dungeon-src" ]; then
        echo "lib.sh: no fixture source at tests/fixtures/dungeon-src" >&2
        exit 1
    fi
    rm -rf "$UI_DUNGEON"
    "$UI_BUILD/vesk-dungeon" build "$UI_SRC/tests/fixtures/dungeon-src" "$UI_DUNGEON" >"$UI_TMP/dungeon.log" 2>&1 || {
        echo "lib.sh: vesk-dungeon build failed:" >&2
        cat "$UI_TMP/dungeon.log" >&2
        exit 1
    }
}

ui_start_game()
{
    UI_GAME_OUT="$UI_TMP/game.out"
    UI_GAME_ERR="$UI_TMP/game.err"
    "${UI_VESK:-$UI_BUILD/vesk}" "$@" >"$UI_GAME_OUT" 2>"$UI_GAME_ERR" &
    UI_GAME_PID=$!
    UI_WIN=$(ui_wait_window "Spaceman Vesk in Escape from Droon" 20) || {
        echo "lib.sh: the game window did not appear on $DISPLAY" >&2
        cat "$UI_GAME_ERR" >&2
        if ! kill -0 "$UI_XVFB_PID" 2>/dev/null; then
            echo "lib.sh: Xvfb is gone:" >&2
            cat "$UI_TMP/xvfb.log" >&2
        fi
        return 1
    }
    # The Togl area is mapped once the window has its full size.
    ui_wait_for 10 ui_window_is 800 600 "$UI_WIN" || return 1
    # There is no window manager: give the window the keyboard focus as one would,
    # so keys reach the game wherever the pointer is.
    ui_focus "$UI_WIN"
}

ui_window_is()
{
    local g
    g=$(ui_geometry "$3") || return 1
    [ "$(echo "$g" | cut -d' ' -f3-4)" = "$1 $2" ]
}

# Not in $(...): only the shell that started the process can wait for it.
ui_wait_exit()
{
    local pid=$1 secs=${2:-10} i
    UI_STATUS=timeout
    for i in $(seq $((secs * 10))); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null && return 1
    wait "$pid"
    UI_STATUS=$?
}

ui_find_window()
{
    local id
    for id in $(xdotool search --name '.' 2>/dev/null); do
        [ "$(xdotool getwindowname "$id" 2>/dev/null)" = "$1" ] && echo "$id"
    done
}

ui_wait_window()
{
    local title=$1 secs=${2:-10} i id
    for i in $(seq $((secs * 10))); do
        id=$(ui_find_window "$title" | head -n 1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

ui_title() { [ -n "$1" ] && xdotool getwindowname "$1" 2>/dev/null; }

ui_title_is() { [ "$(ui_title "$1")" = "$2" ]; }

ui_wait_title() { ui_wait_for "${3:-10}" ui_title_is "$1" "$2"; }

# xwininfo without an id waits for a click on a window: never call it with an empty one.
ui_geometry()
{
    local info x y w h
    [ -n "$1" ] || return 1
    info=$(xwininfo -id "$1" 2>/dev/null) || return 1
    x=$(echo "$info" | sed -n 's/^ *Absolute upper-left X: *//p')
    y=$(echo "$info" | sed -n 's/^ *Absolute upper-left Y: *//p')
    w=$(echo "$info" | sed -n 's/^ *Width: *//p')
    h=$(echo "$info" | sed -n 's/^ *Height: *//p')
    echo "$x $y $w $h"
}

ui_children()
{
    [ -n "$1" ] || return 1
    # xwininfo -children prints one line per child: ID "name": (...) WxH+X+Y +AX+AY
    xwininfo -children -id "$1" 2>/dev/null | sed -n 's/^ *\(0x[0-9a-f]*\) .* \([0-9]*\)x\([0-9]*\)+\(-*[0-9]*\)+\(-*[0-9]*\) *+.*$/\1 \4 \5 \2 \3/p' |
        while read -r id x y w h; do echo "$((id)) $x $y $w $h"; done
}

ui_move() { xdotool mousemove --window "$1" "$2" "$3"; }

ui_click()
{
    xdotool mousemove --window "$1" "$2" "$3"
    sleep 0.05
    xdotool click "${4:-1}"
}

ui_key() { xdotool key --delay 30 "$@"; }

ui_focus() { xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"; }

# The Tk main window "." is a child of a wrapper window; the menu bar is the child of
# "." that spans its width and is 32 pixels high.
ui_menubar()
{
    ui_children "$UI_WIN" | while read -r id x y w h; do
        if [ "$h" = 32 ] && [ "$y" = 0 ]; then echo "$id"; return; fi
        ui_children "$id" | while read -r cid cx cy cw ch; do
            if [ "$ch" = 32 ] && [ "$cy" = 0 ]; then echo "$cid"; fi
        done
    done | head -n 1
}

ui_menubuttons()
{
    local bar
    bar=$(ui_menubar)
    [ -n "$bar" ] || return 1
    ui_children "$bar" | sort -n -k2
}

ui_menu()
{
    local button=$1 entry=$2 line id x y w h n
    line=$(ui_menubuttons | sed -n "$((button + 1))p")
    [ -n "$line" ] || { echo "lib.sh: no menu button $button" >&2; return 1; }
    read -r id x y w h <<<"$line"
    # With no window manager new toplevels (help boxes) open over the menu bar.
    xdotool windowraise "$UI_WIN"
    ui_click "$id" $((w / 2)) $((h / 2))
    sleep 0.3
    # A click on a menu button posts its menu with the first entry active and the
    # keyboard grabbed; each Down moves one entry further.
    for ((n = 0; n < entry; n++)); do ui_key Down; done
    ui_key Return
}

ui_shot()
{
    local out="$UI_SHOTS/$1.png"
    if [ -n "$2" ]; then import -window "$2" "$out"; else import -window root "$out"; fi
    echo "$out"
}

ui_pixel()
{
    convert "$1" -crop "1x1+$2+$3" +repage -depth 8 txt:- | sed -n '2s/^[^(]*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p'
}

ui_mean()
{
    convert "$1" -crop "$4x$5+$2+$3" +repage -format '%[fx:round(255*mean.r)] %[fx:round(255*mean.g)] %[fx:round(255*mean.b)]\n' info:
}

ui_near()
{
    local a b tol=$3 i
    read -r -a a <<<"$1"
    read -r -a b <<<"$2"
    [ ${#a[@]} -eq 3 ] && [ ${#b[@]} -eq 3 ] || return 1
    for i in 0 1 2; do
        local d=$((a[i] - b[i]))
        [ "${d#-}" -le "$tol" ] || return 1
    done
}

ui_pointer() { "$UI_XPROBE" pointer; }

# The server writes its grabs to its log on the XF86LogGrabInfo key (the key event
# itself reaches the focused client, which has no binding for it). Asking with a
# grab request of our own would lift the confinement under test.
ui_grab()
{
    local log="$UI_TMP/xvfb.log" before
    before=$(wc -c <"$log")
    xdotool key XF86LogGrabInfo
    ui_wait_for 2 eval 'tail -c +$((before + 1)) "$log" | grep -q "End list of registered passive grabs"' || return 1
    local pid confine
    read -r pid confine < <(tail -c +$((before + 1)) "$log" | awk '
        /^Active grab .* on device .Virtual core pointer/ { active = 1; next }
        /^Active grab/ || /Printing all currently registered grabs/ { active = 0 }
        active && /client pid/ { pid = $3 }
        active && /confine/ { for (i = 1; i <= NF; i++) if ($i == "confine") c = $(i + 1); sub(",", "", c) }
        END { if (pid != "") print pid, (c == "" ? "0" : c) }')
    [ -n "$pid" ] && echo "$pid $((16#${confine#0x}))"
    return 0
}

ui_grabbed() { [ -n "$(ui_grab)" ]; }

ui_cursor_pixels() { "$UI_XPROBE" cursor | cut -d' ' -f3; }

ui_trace_lines() { grep -E "$1" "$UI_GAME_ERR" 2>/dev/null; }
