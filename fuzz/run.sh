#!/bin/bash
# run.sh -- one fuzz run: fuzz/run.sh BUILD TARGET SECONDS [DUNGEON]
#
# Seeds come from our own fixtures (fuzz_seeds) and, for levels, the bundled
# dungeon. New corpus entries stay in BUILD/corpus/TARGET. Every crash, timeout
# or out-of-memory input is minimized and kept as a regression case in
# tests/fuzz-regressions/TARGET/, which the sim tests replay.
set -u
build=$1 target=$2 seconds=$3 dungeon=${4:-}
src=$(cd "$(dirname "$0")/.." && pwd)
fuzzer=$build/${target}_fuzz
seeds=$build/seeds/$target corpus=$build/corpus/$target artifacts=$build/artifacts/$target/
mkdir -p "$corpus" "$artifacts" "$src/tests/fuzz-regressions/$target"

"$build/fuzz_seeds" "$build/seeds" || exit 1
if [ "$target" = level ] && [ -n "$dungeon" ] && [ -d "$dungeon" ]; then
    # The big levels would only raise max_len and slow every run.
    for f in "$dungeon"/level*; do
        [ "$(stat -c %s "$f")" -le 40000 ] && cp "$f" "$seeds/dungeon-$(basename "$f")"
    done
fi
case $target in
level) maxlen=40000 ;;
ppm) maxlen=4096 ;;
esac

"$fuzzer" -max_total_time="$seconds" -max_len=$maxlen -timeout=10 -rss_limit_mb=2048 \
    -dict="$src/fuzz/$target.dict" -artifact_prefix="$artifacts" -print_final_stats=1 \
    "$corpus" "$seeds"
status=$?

found=0
for a in "$artifacts"/crash-* "$artifacts"/timeout-* "$artifacts"/oom-* "$artifacts"/leak-*; do
    [ -f "$a" ] || continue
    found=1
    small=$a.min
    "$fuzzer" -minimize_crash=1 -max_total_time=60 -runs=100000 -exact_artifact_path="$small" "$a" >/dev/null 2>&1
    [ -s "$small" ] || small=$a
    keep=$src/tests/fuzz-regressions/$target/$(basename "$a")
    cp "$small" "$keep"
    echo "regression case: $keep ($(stat -c %s "$keep") bytes)"
    rm -f "$a" "$a.min"
done
[ $status -eq 0 ] && [ $found -eq 0 ]
