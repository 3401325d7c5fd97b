#!/usr/bin/env bash
# Times the command-line tool answering 10^6 energies from its standard input as CSV, the
# whole process start to end, beside a floor program that reads the same lines and writes
# as many bytes without computing (best of three each); then streams 10^7 energies and
# reports the tool's peak memory. Also beside Debian's default awk. Usage: bench/cli_batch.sh BUILD_DIRECTORY
set -euo pipefail
build="${1:-build}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
energies() {
    awk -v n="$1" 'BEGIN { srand(20261208); for (i = 0; i < n; ++i)
             printf "%.6g\n", exp(log(0.001) + rand() * (log(20) - log(0.001))) }'
}
best_ms() {
    local best=""
    for _ in 1 2 3; do
        local start end ms
        start=$(date +%s%N)
        "$@" <"$work/energies" >"$work/out"
        end=$(date +%s%N)
        ms=$(((end - start) / 1000000))
        if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
    done
    echo "$best"
}
energies 1000000 >"$work/energies"
for method in spline loglog; do
    tool_ms=$(best_ms "$build/run/tarvo" mu Water --csv --method "$method")
    lines=$(($(wc -l <"$work/out") - 1))
    row=$(($(wc -c <"$work/out") / lines))
    floor_ms=$(best_ms "$build/bench/cli_floor" "$row")
    echo "tarvo mu Water --csv --method $method: $lines energies in $tool_ms ms;" \
         "floor $floor_ms ms; ratio $(awk -v a="$tool_ms" -v b="$floor_ms" 'BEGIN { printf "%.2f", a / (b > 0 ? b : 1) }')"
done
# Debian's default awk over the same lines, printing the energy four times: the yardstick
# of a text tool's pace.
awk_ms=$(best_ms awk -F, '{print $1","$1","$1","$1}')
tool_ms=$(best_ms "$build/run/tarvo" mu Water --csv)
echo "tarvo mu Water --csv: $tool_ms ms; $(readlink -f "$(command -v awk)") printing \$1 four times:" \
     "$awk_ms ms; ratio $(awk -v a="$tool_ms" -v b="$awk_ms" 'BEGIN { printf "%.2f", a / (b > 0 ? b : 1) }')"
energies 10000000 >"$work/energies"
peak=$( { /usr/bin/time -f "%M" "$build/run/tarvo" mu Water --csv <"$work/energies" >/dev/null; } 2>&1 | tail -n 1)
echo "tarvo mu Water --csv: 10^7 energies streamed with a peak of $((peak / 1024)) MB"
