#!/usr/bin/env bash
# Real-window check of the run directory: the five programs beside their data, a viewer
# started without "Start.dat" shows only the start notice, and with it its titled main
# window. Screenshots go to the artefact directory given as the second argument.
set -euo pipefail
run_dir="$1"
artefacts="$2"
mkdir -p "$artefacts"

# shellcheck source=tests/xvfb_session.sh
source "$(cd "$(dirname "$0")" && pwd)/xvfb_session.sh"
copy_run_directory "$run_dir"

for entry in Tarvo7S_sub1 Tarvo7S_sub2 Tarvo6_sub3 Tarvo_V7S Tarvo_V6 ele mix mu_ele mu_mix ele/user.txt; do
    [ -e "$work/run/$entry" ] || { echo "missing in the run directory: $entry"; exit 1; }
done

start_display

# Starts a viewer from another directory, checks its window and keeps a screenshot.
check_viewer() {
    local program="$1" title="$2" shot="$3"
    (cd / && exec "$work/run/$program") &
    viewer=$!
    wait_for_title "$title"
    sleep 0.3
    if command -v import >/dev/null; then
        import -window root "$artefacts/$shot.png"
    fi
    kill "$viewer"; wait "$viewer" 2>/dev/null || true
}

# Plots the first element from the keyboard, adds it to the enlarged view, and keeps a
# screenshot of every window of the cross-section viewer.
tour_cross_section_viewer() {
    (cd / && exec "$work/run/Tarvo7S_sub1") &
    viewer=$!
    wait_for_title "  $user_line"
    main=$(windows_titled "  $user_line")
    xdotool windowfocus "$main"; sleep 0.3
    xdotool key Home Return; sleep 0.3
    xdotool key space
    wait_for_count "Density =" 2
    sleep 0.5
    find_graph_and_values "Density =" 547
    import -window "$main" "$artefacts/Tarvo7S_sub1-main-window-selected.png"
    import -window "$graph" "$artefacts/Tarvo7S_sub1-graph-window.png"
    import -window "$values" "$artefacts/Tarvo7S_sub1-values-window.png"
    xdotool windowfocus "$graph"; sleep 0.3
    xdotool key space
    wait_for_count "Density =" 3
    sleep 0.5
    for id in $(windows_titled "Density ="); do
        if [ "$(window_width "$id")" = 747 ]; then
            import -window "$id" "$artefacts/Tarvo7S_sub1-enlarged-view.png"
        fi
    done
    [ -s "$artefacts/Tarvo7S_sub1-enlarged-view.png" ] || { echo "no enlarged view"; return 1; }
    # "Create New Data" lies two tab stops after "OK", which has the focus.
    xdotool windowfocus "$main"; sleep 0.3
    xdotool key Tab Tab space
    wait_for_title "New Data"
    sleep 0.3
    import -window "$(windows_titled '"New Data"')" "$artefacts/Tarvo7S_sub1-new-data-chooser.png"
    xdotool windowfocus "$(windows_titled '"New Data"')"; sleep 0.3
    xdotool key space
    wait_for_title "New chemical compound"
    sleep 0.3
    import -window "$(windows_titled '"New chemical compound"')" "$artefacts/Tarvo7S_sub1-compound-creator.png"
    kill "$viewer"; wait "$viewer" 2>/dev/null || true
}

# Draws the first material of "Others" from the keyboard, shows its composition, adds it
# to the enlarged view, and keeps a screenshot of every window of the coefficient viewer.
tour_coefficient_viewer() {
    (cd / && exec "$work/run/Tarvo7S_sub2") &
    viewer=$!
    wait_for_title "  $user_line"
    main=$(windows_titled "  $user_line")
    xdotool windowfocus "$main"; sleep 0.3
    # The element list has the focus; the material list is the next tab stop.
    xdotool key Tab Home Return; sleep 0.3
    xdotool key space
    wait_for_count "Density =" 2
    sleep 0.5
    find_graph_and_values "Density =" 551
    import -window "$main" "$artefacts/Tarvo7S_sub2-main-window-selected.png"
    import -window "$graph" "$artefacts/Tarvo7S_sub2-graph-window.png"
    import -window "$values" "$artefacts/Tarvo7S_sub2-values-window.png"
    # "Indicate composition" lies three tab stops after "OK".
    xdotool windowfocus "$main"; sleep 0.3
    xdotool key Tab Tab Tab space
    # The composition window's title is the only one with the density but no "Density =".
    local composition=""
    for _ in $(seq 1 50); do
        composition=$(xwininfo -root -tree | grep -F "[g/cm3]" | grep -vF "Density =" | grep -F '("' | awk '{print $1}')
        [ -n "$composition" ] && break
        sleep 0.1
    done
    [ -n "$composition" ] || { echo "no composition window"; return 1; }
    sleep 0.3
    import -window "$composition" "$artefacts/Tarvo7S_sub2-composition-window.png"
    xdotool windowfocus "$graph"; sleep 0.3
    xdotool key Tab space
    wait_for_count "Density =" 3
    sleep 0.5
    for id in $(windows_titled "Density ="); do
        if [ "$(window_width "$id")" = 679 ]; then
            import -window "$id" "$artefacts/Tarvo7S_sub2-enlarged-view.png"
        fi
    done
    [ -s "$artefacts/Tarvo7S_sub2-enlarged-view.png" ] || { echo "no enlarged view"; return 1; }
    # In the values window the list comes first, then "Save in "csv format"", then the
    # equal-interval button.
    xdotool windowfocus "$values"; sleep 0.3
    xdotool key Tab space
    wait_for_title "Save  in the CSV format"
    sleep 0.3
    import -window "$(windows_titled '"Save  in the CSV format"')" "$artefacts/Tarvo7S_sub2-csv-save-dialog.png"
    # The csv button keeps the focus; the equal-interval button is the next tab stop.
    xdotool windowfocus "$values"; sleep 0.3
    xdotool key Tab space
    local dialog
    dialog=$(wait_for_wide_window "Density =" 900)
    sleep 0.3
    import -window "$dialog" "$artefacts/Tarvo7S_sub2-equal-interval-dialog.png"
    # "Create New Data" is the tab stop before "Indicate composition", which has the focus.
    xdotool windowfocus "$main"; sleep 0.3
    xdotool key shift+Tab space
    wait_for_title "New Compound or New Mixture"
    sleep 0.3
    import -window "$(windows_titled '"New Compound or New Mixture"')" "$artefacts/Tarvo7S_sub2-material-creator.png"
    kill "$viewer"; wait "$viewer" 2>/dev/null || true
}

user_line="$(head -n 1 "$work/run/ele/user.txt" | tr -d '\r')"
for program in Tarvo7S_sub1 Tarvo7S_sub2; do
    rm -f "$work/run/Start.dat"
    check_viewer "$program" "$program" "$program-start-notice"
    printf 'Tarvo_V7S\r\n' > "$work/run/Start.dat"
    check_viewer "$program" "  $user_line" "$program-main-window"
done
printf 'Tarvo_V7S\r\n' > "$work/run/Start.dat"
tour_cross_section_viewer
tour_coefficient_viewer
echo "run directory, start-up and both viewers' windows checked"
