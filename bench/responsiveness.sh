#!/usr/bin/env bash
# Responsiveness against the floor, in one run on this machine, under a virtual display:
# start to the first shown main window and peak memory of each viewer against a minimal Qt
# Widgets program, then the draw action and a pointer move (bench/viewer_bench).
# Usage: bench/responsiveness.sh [build directory] [runs]
set -euo pipefail
build="$(cd "${1:-build}" && pwd)"
runs="${2:-10}"
work="$(mktemp -d)"
trap 'kill "${xvfb:-}" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
cp -r "$build/run" "$work/run"
cp "$build/bench/floor_window" "$work/run/"
printf 'Tarvo_V7S\r\n' > "$work/run/Start.dat"

Xvfb -displayfd 5 -screen 0 1600x1000x24 -nolisten tcp 5>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 1 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n 1 "$work/display")" QT_QPA_PLATFORM=xcb

# Milliseconds from the start of a program until its window titled $2 is visible, and the
# peak resident memory (kB) of the run.
measure() {
    local program="$1" title="$2"
    local start end
    start=$(date +%s%N)
    /usr/bin/time -f '%M' -o "$work/rss" "$work/run/$program" 2>/dev/null &
    local timer=$!
    until xdotool search --onlyvisible --name "$title" > /dev/null 2>&1; do
        sleep 0.005
    done
    end=$(date +%s%N)
    sleep 0.3
    pkill -x "$program" || true
    wait "$timer" 2>/dev/null || true
    echo "$(( (end - start) / 1000000 )) $(tail -n 1 "$work/rss")"
}

median() { sort -n | awk '{v[NR]=$1} END {print v[int((NR + 1) / 2)]}'; }

user_line="$(head -n 1 "$work/run/ele/user.txt" | tr -d '\r')"
declare -A start_ms memory_kb
for program in floor_window Tarvo7S_sub1 Tarvo7S_sub2; do
    title="  $user_line"
    [ "$program" = floor_window ] && title="Floor"
    : > "$work/samples"
    for _ in $(seq 1 "$runs"); do
        measure "$program" "$title" >> "$work/samples"
    done
    start_ms[$program]=$(awk '{print $1}' "$work/samples" | median)
    memory_kb[$program]=$(awk '{print $2}' "$work/samples" | median)
done

printf '%-14s %12s %10s %14s %10s\n' program "start (ms)" ratio "peak (kB)" ratio
for program in floor_window Tarvo7S_sub1 Tarvo7S_sub2; do
    awk -v p="$program" -v s="${start_ms[$program]}" -v fs="${start_ms[floor_window]}" \
        -v m="${memory_kb[$program]}" -v fm="${memory_kb[floor_window]}" \
        'BEGIN {printf "%-14s %12d %10.2f %14d %10.2f\n", p, s, s / fs, m, m / fm}'
done
"$build/bench/viewer_bench" --benchmark_min_time=0.5 2>/dev/null | grep -E '^(calculate|mouse|draw|cursor)'
