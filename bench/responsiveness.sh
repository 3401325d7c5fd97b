#!/usr/bin/env bash
# Responsiveness against the floor, in one run on this machine, under a virtual display:
# start to the first shown main window and peak memory of each viewer against a minimal Qt
# Widgets program, then the draw action and a pointer move (bench/viewer_bench).
# Usage: bench/responsiveness.sh [build directory] [runs]
set -euo pipefail
build="$(cd "${1:-build}" && pwd)"
runs="${2:-20}"
work="$(mktemp -d)"
trap 'kill "${listener:-}" "${xvfb:-}" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
cp -r "$build/run" "$work/run"
cp "$build/bench/floor_window" "$work/run/"
printf 'Tarvo_V7S\r\n' > "$work/run/Start.dat"

# Without -noreset the server resets whenever its last client leaves, and a program
# connecting at that moment fails to start.
Xvfb -displayfd 5 -screen 0 1600x1000x24 -nolisten tcp -noreset 5>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 1 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n 1 "$work/display")" QT_QPA_PLATFORM=xcb

# Every window mapped on the display is noted with the time (microseconds) at once, by a
# listener on the root window's events, so the measurement does not depend on polling.
: > "$work/maps"
stdbuf -oL xev -root -event substructure 2>/dev/null |
    while read -r line; do
        case "$line" in
        MapNotify*) echo "${EPOCHREALTIME/./}" >> "$work/maps" ;;
        esac
    done &
listener=$!
sleep 0.5

# Milliseconds from the start of a program until its main window is mapped, and the peak
# resident memory (kB) of the run.
measure() {
    local program="$1"
    local before start
    before=$(wc -l < "$work/maps")
    start=${EPOCHREALTIME/./}
    /usr/bin/time -f '%M' -o "$work/rss" "$work/run/$program" 2>/dev/null &
    local timer=$!
    local waited=0
    until [ "$(wc -l < "$work/maps")" -gt "$before" ]; do
        sleep 0.002
        waited=$((waited + 1))
        if [ "$waited" -gt 5000 ]; then
            echo "$program mapped no window" >&2
            exit 1
        fi
    done
    local end
    end=$(sed -n "$((before + 1))p" "$work/maps")
    sleep 0.3
    pkill -x "$program" || true
    wait "$timer" 2>/dev/null || true
    echo "$(( (end - start) / 1000 )) $(tail -n 1 "$work/rss")"
}

median() { sort -n | awk '{v[NR]=$1} END {print v[int((NR + 1) / 2)]}'; }

declare -A start_ms memory_kb
# The programs take turns, so that a slow moment of the machine hits all of them alike.
programs=(floor_window Tarvo7S_sub1 Tarvo7S_sub2)
for _ in $(seq 1 "$runs"); do
    for program in "${programs[@]}"; do
        measure "$program" >> "$work/$program.samples"
    done
done
for program in "${programs[@]}"; do
    start_ms[$program]=$(awk '{print $1}' "$work/$program.samples" | median)
    memory_kb[$program]=$(awk '{print $2}' "$work/$program.samples" | median)
done

printf '%-14s %12s %10s %14s %10s\n' program "start (ms)" ratio "peak (kB)" ratio
for program in "${programs[@]}"; do
    awk -v p="$program" -v s="${start_ms[$program]}" -v fs="${start_ms[floor_window]}" \
        -v m="${memory_kb[$program]}" -v fm="${memory_kb[floor_window]}" \
        'BEGIN {printf "%-14s %12d %10.2f %14d %10.2f\n", p, s, s / fs, m, m / fm}'
done
# The plot benchmarks draw offscreen, as the window tests do.
QT_QPA_PLATFORM=offscreen "$build/bench/viewer_bench" --benchmark_min_time=0.5 2>/dev/null | grep -E '^(calculate|mouse|draw|cursor)'
