#!/usr/bin/env bash
# The beam window of the real coefficient viewer, driven and read through the accessibility
# bus (AT-SPI) under a virtual X display: a W tube at 80 kV behind 2.5 mm Al, its quality
# table against the tool's, the spectrum saved as CSV and read back by the tool, both plots
# saved as PNG (the screen's pixels) and SVG (well-formed); then a Mo tube at 28 kV behind
# 0.03 mm Mo. Screenshots go to the artefact directory given as the second argument.
set -euo pipefail
run_dir="$1"
artefacts="$2"
mkdir -p "$artefacts"
here="$(cd "$(dirname "$0")" && pwd)"

if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ] || [ -z "${TARVO_IN_SESSION:-}" ]; then
    exec env TARVO_IN_SESSION=1 dbus-run-session -- "$0" "$@"
fi

# shellcheck source=tests/xvfb_session.sh
source "$here/xvfb_session.sh"
start_accessible_session "$run_dir"
# The pointer stays off the plots, whose read-out lines would otherwise stand on the screen.
xdotool mousemove 2190 990
(cd / && exec "$work/run/Tarvo7S_sub2") 2>/dev/null &
/usr/bin/python3 "$here/beam_window_check.py" "$work/run" "$artefacts"
