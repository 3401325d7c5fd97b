#!/usr/bin/env bash
# The peak memory of `tarvo spectrum` on inputs without end or bound: /dev/zero (one line
# that never ends), `yes 30,1` (a repeated energy from line 2 on), a file of 10^7 bins
# (beyond the cap of 10^6) and one of 10^6 bins with --hvl Al; and of `tarvo mu` on a line
# of 10^8 bytes among energies. Usage: bench/spectrum_input.sh BUILD_DIRECTORY
set -euo pipefail
build="${1:-build}"
tool="$build/run/tarvo"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
peak() { # command..., standard input from $input
    /usr/bin/time -o "$work/time" -f "%M %e" "$@" <"$input" >/dev/null 2>&1 || true
    local report
    report=$(tail -n 1 "$work/time")
    echo "$((${report% *} / 1024)) MB, ${report#* } s"
}
input=/dev/null
echo "tarvo spectrum /dev/zero: $(peak "$tool" spectrum /dev/zero)"
input=/dev/stdin
echo "yes 30,1 | tarvo spectrum -: $(yes 30,1 | peak "$tool" spectrum -)"
awk 'BEGIN { for (i = 0; i < 10000000; ++i) printf "%.9g,1\n", 10 + i * 1e-5 }' >"$work/many.csv"
input=/dev/null
echo "tarvo spectrum (10^7 bins): $(peak "$tool" spectrum "$work/many.csv")"
head -n 1000000 "$work/many.csv" >"$work/million.csv"
echo "tarvo spectrum (10^6 bins) --hvl Al: $(peak "$tool" spectrum "$work/million.csv" --hvl Al)"
{ echo 0.1; head -c 100000000 /dev/zero | tr '\0' 1; echo; echo 0.2; } >"$work/long.txt"
input="$work/long.txt"
echo "tarvo mu Water (a line of 10^8 bytes): $(peak "$tool" mu Water --csv)"
