#!/usr/bin/env bash
# Runs every command-line example of the README as it is written, from a directory laid
# out as the source tree's root (build/run beside it), on a copy of the run directory so
# that the tables an example writes go there: each must exit 0.
set -euo pipefail
readme="$(realpath "$1")"
run_directory="$(realpath "$2")"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/build"
cp -r "$run_directory" "$scratch/build/run"
cd "$scratch"
count=0
while IFS= read -r example; do
    count=$((count + 1))
    if ! bash -o pipefail -c "$example" > "$scratch/out" 2> "$scratch/err"; then
        echo "failed: $example"
        cat "$scratch/err"
        exit 1
    fi
done < <(grep -E '^    (.*\| *)?build/run/tarvo ' "$readme" | sed -e 's/^    //' -e 's/  *#.*$//')
echo "$count examples ran"
[ "$count" -ge 15 ]
