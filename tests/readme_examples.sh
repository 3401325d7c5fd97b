#!/usr/bin/env bash
# Runs every shell example of the README (its lines indented by four blanks that start a
# command) as it is written, from a directory laid out as the source tree's root (the
# build's run directory and Python package beside it), on a copy of the run directory so
# that the tables an example writes go there: each must exit 0. The examples a test cannot
# run are listed below.
set -euo pipefail
readme="$(realpath "$1")"
build_directory="$(realpath "$2")"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/build"
cp -r "$build_directory/run" "$scratch/build/run"
[ ! -d "$build_directory/python" ] || ln -s "$build_directory/python" "$scratch/build/python"
cd "$scratch"

# Set-up, installation and packaging change the machine or take minutes; other tests
# cover them (the set-up is CI's first step, Install.LayoutAndDesktopEntry, Package.*).
excluded=(
    'scripts/run'
    'scripts/test'
    'cmake --install build --prefix /opt'
    'export PYTHONPATH=/opt/lib/python3.11/dist-packages'
    'cd build && cpack'
)
is_excluded() {
    local entry
    for entry in "${excluded[@]}"; do
        [ "$1" = "$entry" ] && return 0
    done
    return 1
}

count=0
skipped=0
without_python=0
while IFS= read -r example; do
    if is_excluded "$example"; then
        skipped=$((skipped + 1))
        continue
    fi
    # A build without the module (-DTARVO_PYTHON=OFF, the sanitizer build) runs the rest.
    if [[ "$example" == PYTHONPATH=build/python* && ! -d build/python ]]; then
        without_python=$((without_python + 1))
        continue
    fi
    count=$((count + 1))
    if ! bash -o pipefail -c "$example" > "$scratch/out" 2> "$scratch/err"; then
        echo "failed: $example"
        cat "$scratch/err"
        exit 1
    fi
done < <(grep -E '^    (.*\| *)?(build/[a-z]+/[a-z_]+ |PYTHONPATH=|seq |export |cd |cmake |scripts/|man )' "$readme" |
    sed -e 's/^    //' -e 's/  *#.*$//')
echo "$count examples ran, $skipped excluded, $without_python for a build without the module"
[ "$skipped" -eq "${#excluded[@]}" ] || { echo "an excluded example is no longer in the README"; exit 1; }
[ "$count" -ge 20 ]
