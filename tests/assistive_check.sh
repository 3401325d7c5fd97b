#!/usr/bin/env bash
# Reads values of the cross-section viewer through the accessibility bus (AT-SPI), as a
# screen reader would, in a real window under a virtual X display.
set -euo pipefail
run_dir="$1"
here="$(cd "$(dirname "$0")" && pwd)"

if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ] || [ -z "${TARVO_IN_SESSION:-}" ]; then
    exec env TARVO_IN_SESSION=1 dbus-run-session -- "$0" "$@"
fi

# shellcheck source=tests/xvfb_session.sh
source "$here/xvfb_session.sh"
start_accessible_session "$run_dir"
(cd / && exec "$work/run/Tarvo7S_sub1") 2>/dev/null &
/usr/bin/python3 "$here/assistive_check.py"
