#!/bin/bash
# run.sh -- builds and runs every benchmark and writes docs/PERFORMANCE.md (what `make bench` does)
#
#   bash bench/run.sh BUILD_DIR SOURCE_DIR
#
# The kernels (Google Benchmark, medians of REPS runs) and, under a private
# Xvfb with Mesa's llvmpipe, the frame benchmark on every bundled level and
# the start-up time of the game against a bare Togl window. FRAMES, PROFILED,
# REPS and STARTS set the sizes. Figures are quoted as ratios to baselines
# measured in the same run, since the machine may be shared.
set -u
BUILD=$(cd "$1" && pwd) || exit 1
SRC=$(cd "$2" && pwd) || exit 1
FRAMES=${FRAMES:-3000}
PROFILED=${PROFILED:-500}
REPS=${REPS:-3}
STARTS=${STARTS:-9}
OUT=$BUILD/bench-results
mkdir -p "$OUT"

cmake --build "$BUILD" --target benchmarks || exit 1
rm -rf "$BUILD/Dungeon"
"$BUILD/vesk-dungeon" build "$SRC/data" "$BUILD/Dungeon" > "$OUT/dungeon.log" || exit 1

for b in visibility levelfile update collision; do
    echo "== ${b}_bench" >&2
    "$BUILD/bench/${b}_bench" --benchmark_out="$OUT/$b.json" --benchmark_out_format=json \
        --benchmark_repetitions="$REPS" --benchmark_report_aggregates_only=true >&2 || exit 1
done

# A private display, stopped by its pid when the script ends.
XVFB_PID=
cleanup() { [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null; }
trap cleanup EXIT
for n in $(seq 90 140); do
    [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ] && continue
    Xvfb :$n -screen 0 1024x768x24 -nolisten tcp > "$OUT/xvfb.log" 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 50); do
        DISPLAY=:$n xdpyinfo > /dev/null 2>&1 && break
        sleep 0.1
    done
    if DISPLAY=:$n xdpyinfo > /dev/null 2>&1; then export DISPLAY=:$n; break; fi
    kill "$XVFB_PID" 2>/dev/null
    XVFB_PID=
done
[ -n "$XVFB_PID" ] || { echo "run.sh: no Xvfb display" >&2; exit 1; }
export LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER=llvmpipe

echo "== framebench" >&2
"$BUILD/bench/framebench" "$BUILD/Dungeon" "$FRAMES" "$PROFILED" > "$OUT/frames.txt" || exit 1

# Start-up: process start to the first frame finished, game and bare window
# taken in turns so that both see the same load; the median of each.
echo "== start-up" >&2
: > "$OUT/startup.txt"
for i in $(seq "$STARTS"); do
    t0=$EPOCHREALTIME
    VESK_EXIT_AFTER_FIRST_FRAME=1 "$BUILD/vesk" "$BUILD/Dungeon" > /dev/null 2>&1 || echo "game start failed" >&2
    t1=$EPOCHREALTIME
    "$BUILD/bench/baretogl" > /dev/null 2>&1 || echo "bare start failed" >&2
    t2=$EPOCHREALTIME
    awk -v a="$t0" -v b="$t1" -v c="$t2" 'BEGIN { printf "game %.1f\nbare %.1f\n", (b - a) * 1000, (c - b) * 1000 }' \
        >> "$OUT/startup.txt"
done

bash "$SRC/bench/report.sh" "$OUT" "$SRC/docs/PERFORMANCE.md" || exit 1
echo "wrote $SRC/docs/PERFORMANCE.md" >&2
