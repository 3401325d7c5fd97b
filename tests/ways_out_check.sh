#!/usr/bin/env bash
# Every way out of both viewers in real windows under a virtual X display: the exit button
# and the main window's close box each start exactly one launcher, remove the exchange
# files and end the program; the close boxes of the chooser and the creators bring the
# main window back instead of ending it. The launchers are stand-ins that note their
# name. Screenshots go to the artefact directory given as the second argument.
set -euo pipefail
run_dir="$1"
artefacts="$2"
mkdir -p "$artefacts"
here="$(cd "$(dirname "$0")" && pwd)"

# shellcheck source=tests/xvfb_session.sh
source "$here/xvfb_session.sh"
copy_run_directory "$run_dir"
for launcher in Tarvo_V7S Tarvo_V6; do
    rm -f "$run/$launcher"
    printf '#!/bin/sh\necho %s >> "%s/launched.txt"\n' "$launcher" "$run" >"$run/$launcher"
    chmod +x "$run/$launcher"
done
printf 'Tarvo_V7S\r\n' >"$run/Start.dat"
user_line="$(head -n 1 "$run/ele/user.txt" | tr -d '\r')"

start_display

# Starts a viewer; sets `viewer` (its pid) and `main` (its main window).
start_viewer() {
    rm -f "$run/launched.txt"
    printf 'request\r\n' >"$run/B2F.dat"
    printf 'results\r\n' >"$run/F2B.dat"
    (cd / && exec "$run/$1") &
    viewer=$!
    wait_for_title "  $user_line"
    main=$(window_exactly "  $user_line")
}

# Checks that the viewer ended, started exactly this launcher and left no exchange file.
check_left_by() {
    local expected="$1" step="$2"
    wait_for_end "$viewer" || fail "$step: the viewer did not end"
    sleep 1
    local launched
    launched="$(cat "$run/launched.txt" 2>/dev/null || true)"
    [ "$launched" = "$expected" ] || fail "$step: launchers started: '${launched//$'\n'/, }'"
    [ ! -e "$run/B2F.dat" ] && [ ! -e "$run/F2B.dat" ] || [ "$step" = "${step#coef}" ] ||
        fail "$step: an exchange file is left"
    echo "$step: started $launched"
}

# Closes a window by its close box and checks that the main window is back and the
# program still runs.
close_and_come_back() {
    local title="$1" step="$2"
    wait_for_mapped "$title"
    wait_for_unmapped "  $user_line" || fail "$step: the main window stays"
    shot "$step"
    close_window "$(window_exactly "$title")"
    wait_for_unmapped "$title" || fail "$step: '$title' stays"
    wait_for_mapped "  $user_line" || fail "$step: the main window did not come back"
    kill -0 "$viewer" 2>/dev/null || fail "$step: the viewer ended"
    [ ! -e "$run/launched.txt" ] || fail "$step: a launcher was started"
    focus_window "$main"
}

for program in Tarvo7S_sub1 Tarvo7S_sub2; do
    step=$([ "$program" = Tarvo7S_sub1 ] && echo xs || echo coef)
    # The exit button is the last control of the main window, before the element list.
    start_viewer "$program"
    focus_window "$main"
    press shift+Tab
    shot "$step-exit-button"
    # Return presses a focused button as Space does.
    press Return
    check_left_by Tarvo_V7S "$step-exit-button"

    start_viewer "$program"
    close_window "$main"
    check_left_by Tarvo_V6 "$step-close-box"
done

# The chooser and both creators of the cross-section viewer; "Create New Data" stands
# three controls before the element list (then "About" and the exit button).
start_viewer Tarvo7S_sub1
focus_window "$main"
press shift+Tab shift+Tab shift+Tab Return
close_and_come_back "New Data" xs-chooser-close-box
# The main window comes back with the focus on "Create New Data".
for creator in "New chemical compound" "New mixture medium"; do
    press space
    wait_for_mapped "New Data"
    focus_window "$(window_exactly "New Data")"
    [ "$creator" = "New mixture medium" ] && press Tab
    press space
    close_and_come_back "$creator" "xs-creator-close-box-${creator// /-}"
done
close_window "$main"
check_left_by Tarvo_V6 xs-close-box-after-creators

start_viewer Tarvo7S_sub2
focus_window "$main"
press shift+Tab shift+Tab shift+Tab space
close_and_come_back "New Compound or New Mixture" coef-creator-close-box
close_window "$main"
check_left_by Tarvo_V6 coef-close-box-after-creator
echo "every way out checked"
