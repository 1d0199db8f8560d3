#!/usr/bin/env bash
# Wall times of whole processes, as a user meets them:
#   tavo-cli export over 1000 generated tests with 1 and 2 jobs,
#   tavo-cli analyze over the same files, and
#   the window's start-up to its first shown and painted window
#   (offscreen, and on an X server when Xvfb is installed).
# Usage: bench/batch.sh [BUILD_DIR] [RUNS]   (median of RUNS runs, default 7)
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
runs=${2:-7}
work=$(mktemp -d)
xvfb_pid=
trap '[ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null; rm -rf "$work"' EXIT

"$build/make_samples" --corpus 1000 "$work/corpus" >/dev/null
files=("$work"/corpus/*)

now_ns() { date +%s%N; }
median() { sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }

# Median wall time in ms of a command, run $runs times after one warm-up.
time_ms() {
    "$@" >/dev/null 2>&1 || true
    for _ in $(seq "$runs"); do
        local t0 t1
        t0=$(now_ns)
        "$@" >/dev/null 2>&1 || true
        t1=$(now_ns)
        echo $(((t1 - t0) / 1000000))
    done | median
}

export_with() {
    rm -f "$work/out.txt"
    "$build/tavo-cli" export -j "$1" -o "$work/out.txt" "${files[@]}"
}

j1=$(time_ms export_with 1)
cp "$work/out.txt" "$work/out1.txt"
j2=$(time_ms export_with 2)
cmp -s "$work/out1.txt" "$work/out.txt" || { echo "export -j 2 differs from -j 1" >&2; exit 1; }
an=$(time_ms "$build/tavo-cli" analyze "${files[@]}")

echo "tavo-cli export, 1000 files, -j 1:  ${j1} ms"
echo "tavo-cli export, 1000 files, -j 2:  ${j2} ms  (speed-up $(awk -v a="$j1" -v b="$j2" 'BEGIN {printf "%.2f", a / b}'), same bytes)"
echo "tavo-cli analyze, 1000 files:       ${an} ms"

startup() {
    for _ in $(seq "$runs"); do
        TAVO_LAUNCH_NS=$(now_ns) "$build/tavo_window_bench" --startup 2>/dev/null
    done | median
}
if [ -x "$build/tavo_window_bench" ]; then
    echo "window start-up, offscreen:         $(QT_QPA_PLATFORM=offscreen startup) ms"
    if command -v Xvfb >/dev/null; then
        display=:$((90 + RANDOM % 100))
        Xvfb "$display" -screen 0 1280x1024x24 >/dev/null 2>&1 &
        xvfb_pid=$!
        if command -v xdpyinfo >/dev/null; then
            for _ in $(seq 50); do DISPLAY=$display xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
        else
            sleep 1
        fi
        echo "window start-up, X server (Xvfb):   $(DISPLAY=$display QT_QPA_PLATFORM=xcb startup) ms"
    fi
fi
