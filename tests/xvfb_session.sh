# Helpers for driving the real programs under a virtual X display; sourced by the
# real-window checks, which start with copy_run_directory (or start_accessible_session)
# and set `artefacts`.

# Copies the run directory given to a fresh scratch directory `work` as `run`; at exit the
# session ends and the scratch directory goes.
copy_run_directory() {
    work="$(mktemp -d)"
    trap 'stop_session; rm -rf "$work"' EXIT
    cp -r "$1" "$work/run"
    run="$work/run"
}

# Starts Xvfb on a free display and points DISPLAY and Qt at it; the pid is in `xvfb`.
start_display() {
    # Without -noreset the server resets whenever its last client leaves, and a program
    # connecting at that moment fails to start.
    Xvfb -displayfd 5 -screen 0 2200x1000x24 -nolisten tcp -noreset 5>"$work/display" 2>/dev/null &
    xvfb=$!
    for _ in $(seq 1 50); do
        [ -s "$work/display" ] && break
        sleep 0.1
    done
    export DISPLAY=":$(head -n 1 "$work/display")"
    export QT_QPA_PLATFORM=xcb
}

# Starts the accessibility bus (AT-SPI) for the programs to come, inside a D-Bus session
# the check runs in; its pid is in `bus`.
start_accessibility_bus() {
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
    "${ATSPI_BUS_LAUNCHER:-/usr/libexec/at-spi-bus-launcher}" --launch-immediately 2>/dev/null &
    bus=$!
    sleep 1
}

# The scratch run directory started as the launcher leaves it, on a display, with the
# accessibility bus running: what a check read through AT-SPI starts from.
start_accessible_session() {
    copy_run_directory "$1"
    printf 'Tarvo_V7S\r\n' >"$work/run/Start.dat"
    start_display
    start_accessibility_bus
}

# Ends every program started from the scratch run directory, the clipboard helpers and
# the display.
stop_session() {
    pkill -f "$work/run/" 2>/dev/null || true
    pkill -f "xclip -selection" 2>/dev/null || true
    [ -z "${bus:-}" ] || kill "$bus" 2>/dev/null || true
    if [ -n "${xvfb:-}" ]; then
        kill "$xvfb" 2>/dev/null || true
        wait "$xvfb" 2>/dev/null || true
    fi
}

# Ids of the mapped top-level windows whose title contains a text.
windows_titled() {
    xwininfo -root -tree | grep -F "$1" | grep -F '("' | awk '{print $1}'
}

# Waits until a top-level window with exactly this title is mapped.
wait_for_title() {
    for _ in $(seq 1 100); do
        if xwininfo -root -tree | grep -qF "\"$1\": (\""; then
            return 0
        fi
        sleep 0.1
    done
    echo "no window titled '$1'"
    xwininfo -root -tree | grep '"' || true
    return 1
}

# Waits until no mapped top-level window has exactly this title.
wait_for_no_title() {
    for _ in $(seq 1 100); do
        if ! xwininfo -root -tree | grep -qF "\"$1\": (\""; then
            return 0
        fi
        sleep 0.1
    done
    echo "window titled '$1' is still shown"
    return 1
}

# Waits until at least this many windows have titles containing the text.
wait_for_count() {
    for _ in $(seq 1 100); do
        [ "$(windows_titled "$1" | wc -l)" -ge "$2" ] && return 0
        sleep 0.1
    done
    echo "fewer than $2 windows titled '$1'"
    xwininfo -root -tree | grep '"' || true
    return 1
}

# Waits for a window whose title contains the text and which is wider than a width;
# prints its id.
wait_for_wide_window() {
    for _ in $(seq 1 100); do
        for id in $(windows_titled "$1"); do
            if [ "$(window_width "$id")" -gt "$2" ]; then
                echo "$id"
                return 0
            fi
        done
        sleep 0.1
    done
    echo "no window titled '$1' wider than $2" >&2
    return 1
}

# The window with exactly this title.
window_exactly() {
    windows_titled "\"$1\": (\"" | head -n 1
}

window_width() {
    xwininfo -id "$1" | awk '/Width:/{print $2}'
}

# The title of a window.
window_title() {
    xwininfo -id "$1" | sed -n 's/^xwininfo: Window id: [^ ]* "\(.*\)"$/\1/p'
}

# The graph and values windows, told apart by the graph window's width,
# are put side by side at the right of the main window; sets `graph` and `values`.
find_graph_and_values() {
    local title="$1" graph_width="$2"
    graph="" values=""
    for id in $(windows_titled "$title"); do
        if [ "$(window_width "$id")" = "$graph_width" ]; then graph=$id; else values=$id; fi
    done
    [ -n "$graph" ] && [ -n "$values" ] || fail "graph or values window of '$title' missing"
    xdotool windowmove "$graph" 730 0
    xdotool windowmove "$values" 1300 0
    sleep 0.3
}

# Gives a window the keyboard focus once it is shown (a window is in the tree before it is
# mapped, and X refuses the focus to an unmapped one).
focus_window() {
    for _ in $(seq 1 50); do
        xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable' && break
        sleep 0.1
    done
    xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"
    sleep 0.3
}

# Presses keys in the window that has the focus, leaving the program time to react.
press() {
    xdotool key --delay 60 "$@"
    sleep 0.4
}

# Types a text into the focused widget.
type_text() {
    xdotool type --delay 40 "$1"
    sleep 0.3
}

# Prints the selection once the program has filled it (waits up to five seconds).
read_selection() {
    local text=""
    for _ in $(seq 1 25); do
        text=$(xclip -selection "$1" -o 2>/dev/null | tr -d '\r' || true)
        [ -n "$text" ] && break
        sleep 0.2
    done
    printf '%s\n' "$text"
}

# The text of a message box: a triple click on its text selects it.
read_message() {
    printf '' | xclip -selection primary -i >/dev/null 2>&1
    xdotool mousemove --window "$1" $(($(window_width "$1") / 2)) 18 click --repeat 3 --delay 80 1
    read_selection primary
}

# The text of the focused line edit, read through the clipboard.
read_focused() {
    printf '' | xclip -selection clipboard -i >/dev/null 2>&1
    xdotool key ctrl+a ctrl+c
    read_selection clipboard
}

# Keeps a screenshot of the whole screen for this step.
shot() {
    sleep 0.3
    import -window root "$artefacts/$1.png"
}

# Fails the check with a message.
fail() {
    echo "FAILED: $*"
    shot "failure-$(date +%s)"
    exit 1
}

# Uses a window's close box: sends it the window manager's delete request.
close_window() {
    /usr/bin/python3 - "$1" <<'PYTHON'
import sys
from Xlib import X, display, protocol
screen = display.Display()
window = screen.create_resource_object("window", int(sys.argv[1], 0))
request = protocol.event.ClientMessage(
    window=window, client_type=screen.intern_atom("WM_PROTOCOLS"),
    data=(32, [screen.intern_atom("WM_DELETE_WINDOW"), X.CurrentTime, 0, 0, 0]))
window.send_event(request, event_mask=X.NoEventMask)
screen.flush()
PYTHON
    sleep 0.4
}

# Waits until a process has ended (up to ten seconds).
wait_for_end() {
    for _ in $(seq 1 100); do
        kill -0 "$1" 2>/dev/null || return 0
        sleep 0.1
    done
    return 1
}

# Succeeds when the window with exactly this title is shown (a hidden window keeps its
# place in the window tree, unmapped).
title_mapped() {
    local id
    id=$(window_exactly "$1")
    [ -n "$id" ] && xwininfo -id "$id" | grep -q 'Map State: IsViewable'
}

# Waits until the window with exactly this title is shown, or hidden.
wait_for_mapped() {
    for _ in $(seq 1 100); do
        title_mapped "$1" && return 0
        sleep 0.1
    done
    echo "window titled '$1' is not shown"
    return 1
}
wait_for_unmapped() {
    for _ in $(seq 1 100); do
        title_mapped "$1" || return 0
        sleep 0.1
    done
    echo "window titled '$1' is still shown"
    return 1
}
