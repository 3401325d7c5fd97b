#!/usr/bin/env bash
# Two user journeys through the real programs under a virtual X display, driven from the
# keyboard as a user would: from the launcher into each viewer, reading the values shown
# through the clipboard and checking every file written. A screenshot of each step goes
# to the artefact directory given as the second argument.
set -euo pipefail
run_dir="$1"
artefacts="$2"
mkdir -p "$artefacts"
here="$(cd "$(dirname "$0")" && pwd)"

# shellcheck source=tests/xvfb_session.sh
source "$here/xvfb_session.sh"
copy_run_directory "$run_dir"
rm -f "$run/Start.dat"
start_display

# Log-log interpolation of the columns of a table of rows "E v1 v2 ..." at an energy,
# between the rows that bracket it; a column that is 0 in either row gives 0.
interpolated_columns() {
    tr -d '\r' <"$1" | awk -v e="$2" -v first="$3" -v count="$4" '
        NR >= first && NR < first + count && NF >= 4 {
            if (have && prev[1] < e && e <= $1) {
                for (c = 2; c <= NF; ++c) {
                    if (prev[c] <= 0 || $c <= 0) { printf "%s0", (c > 2 ? " " : "") }
                    else {
                        t = (log(e) - log(prev[1])) / (log($1) - log(prev[1]))
                        printf "%s%.6e", (c > 2 ? " " : ""), exp(log(prev[c]) + t * (log($c) - log(prev[c])))
                    }
                }
                print ""; exit
            }
            for (c = 1; c <= NF; ++c) prev[c] = $c
            have = 1
        }'
}

# Succeeds when two numbers agree within a relative tolerance (both 0 also agree); a text
# that is no number never agrees.
agree() {
    local number='^[-+]?[0-9]*\.?[0-9]+([eE][-+]?[0-9]+)?$'
    [[ "$1" =~ $number && "$2" =~ $number ]] || return 1
    awk -v a="$1" -v b="$2" -v tolerance="$3" 'BEGIN {
        a += 0; b += 0
        if (a == 0 && b == 0) exit 0
        d = a - b; if (d < 0) d = -d
        m = (a < 0 ? -a : a); n = (b < 0 ? -b : b); if (n > m) m = n
        exit !(d <= tolerance * m)
    }'
}

# Checks three coefficients "mu mutr muen" against three expected ones within a
# relative tolerance; `what` names them in the failure.
agree_coefficients() {
    local what="$1" tolerance="$2" got expected
    read -r -a got <<<"$3"
    read -r -a expected <<<"$4"
    for c in 0 1 2; do
        agree "${got[$c]:-}" "${expected[$c]:-}" "$tolerance" ||
            fail "$what: coefficient $((c + 1)) is ${got[$c]:-missing}, the table gives ${expected[$c]:-nothing}"
    done
}

# Every write goes through a temporary ".name.XXXXXX" beside its target; none may remain.
no_temporary_files() {
    local left
    left=$(find "$run" -name '.*.??????' | head -n 1)
    [ -z "$left" ] || fail "temporary file left behind: $left"
}

# Fills a creator window from the keyboard: material name, density 1.0, two elements
# picked from the list by their numbers with their amounts, the file name; then saves.
fill_creator() {
    local title="$1" program="$2" name="$3" first="$4" first_amount="$5" second="$6"
    local second_amount="$7" file_name="$8" step="$9"
    wait_for_title "$title"
    local creator
    creator=$(window_exactly "$title")
    xdotool windowmove "$creator" 0 0
    focus_window "$creator"
    press ctrl+a
    type_text "$name"
    press Return ctrl+a
    type_text "1.0"
    press Return
    type_text "2"
    # The confirm button moves the focus to the element list; row 1's number follows it.
    press Return space
    type_text "$first"
    press Tab space
    answer_prompt "$program" "$first_amount"
    focus_window "$creator"
    # Row 1's number, element and amount lie between the list and row 2's number.
    press shift+Tab
    type_text "$second"
    press Tab Tab Tab Tab space
    answer_prompt "$program" "$second_amount"
    focus_window "$creator"
    press Tab Tab Tab
    type_text "$file_name"
    press Return
    shot "$step"
    press space
}

# Answers the message box with this title after checking its text; keeps a screenshot.
answer_message() {
    local title="$1" expected="$2" step="$3"
    wait_for_title "$title"
    local box
    box=$(window_exactly "$title")
    focus_window "$box"
    shot "$step"
    local text
    text=$(read_message "$box")
    grep -qF -- "$expected" <<<"$text" || fail "$step: message '$text' lacks '$expected'"
    press Return
    wait_for_no_title "$title"
}

# Types a value into the focused prompt box and accepts it.
answer_prompt() {
    local title="$1" answer="$2"
    wait_for_title "$title"
    focus_window "$(window_exactly "$title")"
    press ctrl+a
    type_text "$answer"
    press Return
    wait_for_no_title "$title"
}

# Starts the launcher from another directory and presses one of its buttons (0 or 1 Tabs).
launch_viewer() {
    local tabs="$1" viewer="$2"
    (cd / && exec "$run/Tarvo_V7S") &
    wait_for_title "Tarvo"
    focus_window "$(window_exactly Tarvo)"
    shot "$viewer-01-launcher"
    for _ in $(seq 1 "$tabs"); do press Tab; done
    press Return
    wait_for_no_title "Tarvo"
    [ -r "$run/Start.dat" ] || fail "the launcher left no Start.dat"
    wait_for_title "  $user_line"
    main=$(window_exactly "  $user_line")
    xdotool windowmove "$main" 0 0
}

# Reads the seven boxes of the cross-section viewer's values window, the energy box first
# and focused; prints them on one line.
read_cross_sections() {
    local line
    line=$(read_focused)
    for _ in 1 2 3 4 5 6; do
        press Tab
        line="$line $(read_focused)"
    done
    echo "$line"
}

# Checks the values shown at an energy against the table's own rows.
check_cross_sections() {
    local shown="$1" table="$2" energy="$3" step="$4"
    # shellcheck disable=SC2206
    local got=($shown)
    local expected
    read -r -a expected <<<"$(interpolated_columns "$table" "$energy" 4 1000)"
    [ "${#got[@]}" = 7 ] && [ "${#expected[@]}" = 5 ] || fail "$step: shown '$shown', table gives '${expected[*]}'"
    agree "${got[0]}" "$energy" 1e-9 || fail "$step: energy shown ${got[0]}"
    local sum=0
    for c in 0 1 2 3 4; do
        agree "${got[$((c + 1))]}" "${expected[$c]}" 1e-3 ||
            fail "$step: value $((c + 1)) shown ${got[$((c + 1))]}, table gives ${expected[$c]}"
        sum=$(awk -v s="$sum" -v v="${got[$((c + 1))]}" 'BEGIN { printf "%.6e", s + v }')
    done
    agree "${got[6]}" "$sum" 5e-3 || fail "$step: total ${got[6]} against the sum $sum"
}

# Shrinks a window to 40x30 behind the program's back, as a bare X server lets a forced
# resize do, and checks it takes back the minimum size it announces.
shrink_window() {
    local id="$1" step="$2" minimum
    minimum=$(xprop -id "$id" WM_NORMAL_HINTS | sed -n 's/.*minimum size: \([0-9]*\) by \([0-9]*\).*/\1 \2/p')
    [ -n "$minimum" ] || fail "$step: the window announces no minimum size"
    read -r min_width min_height <<<"$minimum"
    [ "$min_width" -gt 40 ] && [ "$min_height" -gt 30 ] || fail "$step: minimum $minimum"
    local width height
    xdotool windowsize "$id" 40 30
    for _ in $(seq 1 30); do
        sleep 0.1
        width=$(window_width "$id")
        height=$(xwininfo -id "$id" | awk '/Height:/{print $2}')
        [ "$width" -ge "$min_width" ] && [ "$height" -ge "$min_height" ] && break
    done
    shot "$step"
    [ "$width" -ge "$min_width" ] && [ "$height" -ge "$min_height" ] ||
        fail "$step: shrunk to ${width}x${height}, below its minimum ${min_width}x${min_height}"
}

journey_cross_section_viewer() {
    launch_viewer 0 xs
    # Element list, material list, then the categories from the first; space picks one.
    focus_window "$main"
    press Tab Tab Down space shift+Tab
    type_text "Water"
    press Return space
    wait_for_count "Density =" 2
    find_graph_and_values "Water" 547
    shot xs-02-water-plotted
    # In the values window the list and the csv button come before the energy box.
    focus_window "$values"
    press Tab Tab
    type_text "0.662"
    press Return
    local water
    water=$(read_cross_sections)
    shot xs-03-water-at-0.662-MeV
    echo "Water at 0.662 MeV: $water"
    check_cross_sections "$water" "$run/mix/Water.mix2" 0.662 xs-03
    focus_window "$graph"
    press space
    wait_for_count "Water, Liquid" 3
    shot xs-04-water-enlarged
    # Back from "OK" to the element list: density, name, categories, materials, elements.
    focus_window "$main"
    press shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab
    type_text "82"
    press Return space
    wait_for_count "Lead" 2
    find_graph_and_values "Lead" 547
    lead_at_its_k_edge
    focus_window "$graph"
    press space
    local enlarged
    enlarged=$(windows_titled "  & " | head -n 1)
    [ -n "$enlarged" ] || fail "the enlarged view does not hold both materials"
    shot xs-05-water-and-lead-enlarged
    shrink_window "$enlarged" xs-05-enlarged-view-shrunk
    shrink_window "$main" xs-05-main-window-shrunk
    save_enlarged_view "$enlarged"
    save_enlarged_view_as_png "$enlarged"
    save_enlarged_view_as_svg "$enlarged"
    create_water_compound
    plot_water_compound "$water"
    create_compound_from_formula
    pkill -f "$run/Tarvo7S_sub1" || true
}

# Saves the enlarged view as "journey.bmp" and checks the bitmap against the window.
save_enlarged_view() {
    focus_window "$1"
    press space
    wait_for_title "Image Save"
    focus_window "$(window_exactly "Image Save")"
    type_text "journey"
    shot xs-06-image-save-dialog
    press Tab space
    answer_message Tarvo7S_sub1 "Image saved in bitmap format" xs-07-image-saved
    [ -s "$run/journey.bmp" ] || fail "journey.bmp was not written"
    [ "$(head -c 2 "$run/journey.bmp")" = BM ] || fail "journey.bmp is not a bitmap"
    local size
    size=$(identify -format '%w %h' "$run/journey.bmp")
    echo "journey.bmp: $size pixels"
    [ "${size%% *}" -gt 600 ] || fail "journey.bmp is only $size pixels"
    no_temporary_files
}

# Lead at its K edge, 88 keV: the values below the edge in the boxes, those above beside
# them. The focus stays on the total box, as after water.
lead_at_its_k_edge() {
    focus_window "$values"
    press Tab space
    type_text "0.088"
    press Return
    shot xs-04a-lead-at-its-K-edge
    local lead
    lead=$(read_cross_sections)
    echo "Lead at 0.088 MeV, below the edge: $lead"
    check_cross_sections "$lead" "$run/ele/82_Pb.ele" 0.088 xs-04a
}

# The same view as "journey_png" in PNG, chosen in the dialog's format list (after "OK"
# and "Cancel"); the pixels are the bitmap's.
save_enlarged_view_as_png() {
    focus_window "$1"
    press space
    wait_for_title "Image Save"
    focus_window "$(window_exactly "Image Save")"
    type_text "journey_png"
    press Tab Tab Tab Down
    shot xs-07a-image-save-as-png
    press shift+Tab shift+Tab space
    answer_message Tarvo7S_sub1 "Image saved in PNG format" xs-07b-png-saved
    [ -s "$run/journey_png.png" ] || fail "journey_png.png was not written"
    [ "$(head -c 4 "$run/journey_png.png" | tail -c 3)" = PNG ] || fail "journey_png.png is no PNG"
    local differing
    differing=$(compare -metric AE "$run/journey.bmp" "$run/journey_png.png" null: 2>&1 || true)
    echo "journey_png.png: $(identify -format '%w %h' "$run/journey_png.png") pixels, $differing differing from journey.bmp"
    [ "$differing" = 0 ] || fail "journey_png.png differs from journey.bmp in $differing pixels"
    no_temporary_files
}

# The same view as "journey_svg" in SVG, the third format; its title joins the two tables
# with "&", which the file must hold escaped: it parses as XML and names both tables. The
# name is given with Enter.
save_enlarged_view_as_svg() {
    focus_window "$1"
    press space
    wait_for_title "Image Save"
    focus_window "$(window_exactly "Image Save")"
    type_text "journey_svg"
    press Tab Tab Tab Down Down
    shot xs-07c-image-save-as-svg
    press shift+Tab shift+Tab shift+Tab Return
    answer_message Tarvo7S_sub1 "Image saved in SVG format" xs-07d-svg-saved
    [ -s "$run/journey_svg.svg" ] || fail "journey_svg.svg was not written"
    local title
    title=$(python3 -c '
import sys, xml.etree.ElementTree as tree
root = tree.parse(sys.argv[1]).getroot()
print(root.find("{http://www.w3.org/2000/svg}title").text)' "$run/journey_svg.svg") ||
        fail "journey_svg.svg is not well-formed XML"
    echo "journey_svg.svg: title \"$title\""
    grep -qF "Water, Liquid" <<<"$title" && grep -qF "&  Lead" <<<"$title" ||
        fail "journey_svg.svg's title '$title' does not name both tables"
    no_temporary_files
}

# "Create New Data", "Compound", water typed as the formula "H2O": the same table as
# water picked by hand.
create_compound_from_formula() {
    focus_window "$main"
    press Tab Tab space
    wait_for_title "New Data"
    focus_window "$(window_exactly "New Data")"
    press space
    wait_for_title "New chemical compound"
    local creator
    creator=$(window_exactly "New chemical compound")
    xdotool windowmove "$creator" 0 0 windowraise "$creator"
    focus_window "$creator"
    press ctrl+a
    type_text "Water from H2O"
    press Return ctrl+a
    type_text "1.0"
    # Enter moves from the density to the count; its confirm button, then the formula box.
    press Return Tab Tab
    type_text "H2O"
    press Return
    shot xs-11-compound-from-formula
    # The rows filled, the file name box has the focus.
    type_text "H2O_formula"
    press Return space
    answer_message "New Data : mix\\H2O_formula.mix3" "Data saved" xs-12-formula-compound-saved
    cmp -s "$run/mix/H2O_formula.mix3" "$run/mix/H2O.mix3" ||
        fail "water from the formula differs from water picked by hand"
    echo "H2O_formula.mix3 equals H2O.mix3"
}

# "Create New Data", "Compound", then water from H 2 and O 1 saved as H2O in "Others".
create_water_compound() {
    focus_window "$main"
    press Tab Tab space
    wait_for_title "New Data"
    focus_window "$(window_exactly "New Data")"
    press space
    fill_creator "New chemical compound" Tarvo7S_sub1 "Water from H2O" 01 2 08 1 H2O \
        xs-08-compound-creator
    answer_message "New Data : mix\\H2O.mix3" "Data saved" xs-09-compound-saved
    [ -s "$run/mix/H2O.mix3" ] || fail "mix/H2O.mix3 was not written"
    [ "$(head -n 1 "$run/mix/H2O.mix3" | tr -d '\r')" = "Water from H2O" ] ||
        fail "mix/H2O.mix3 does not name the compound"
}

# Finds H2O under "Others", plots it, and checks its values at 0.662 MeV against water's.
plot_water_compound() {
    local water="$1"
    wait_for_title "  $user_line"
    focus_window "$main"
    # From "Create New Data" back to the categories: Delete, OK, density, name; the tab
    # stop of the categories is the first of them.
    press shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab Down Down space shift+Tab
    type_text "H2O"
    press Return space
    wait_for_count "Water from H2O" 2
    find_graph_and_values "Water from H2O" 547
    # The energy box's clearing button follows the seven boxes.
    focus_window "$values"
    press Tab space
    type_text "0.662"
    press Return
    local compound
    compound=$(read_cross_sections)
    shot xs-10-compound-at-0.662-MeV
    echo "H2O at 0.662 MeV: $compound"
    check_cross_sections "$compound" "$run/mix/H2O.mix3" 0.662 xs-10
    # shellcheck disable=SC2206
    local a=($water) b=($compound)
    agree "${a[6]}" "${b[6]}" 0.01 || fail "H2O total ${b[6]} differs from water's ${a[6]}"
}

# The coefficients of the table's row at an energy, "mu mutr muen".
table_row() {
    tr -d '\r' <"$1" | awk -v e="$2" 'NR > 3 && NF == 4 && $1 == e { print $2, $3, $4; exit }'
}

journey_coefficient_viewer() {
    launch_viewer 1 coef
    # Element list, material list, then "Human tissues", the first category.
    focus_window "$main"
    press Tab Tab space shift+Tab
    type_text "Bone"
    press Return space
    wait_for_count "Bone, Cortical" 2
    find_graph_and_values "Bone, Cortical" 551
    shot coef-02-bone-drawn
    read_energy_at_absorption
    show_composition
    equal_interval_by_spline
    create_and_delete_material
    attenuation_of_lead
    # From "OK": "Delete", "Create New Data", then "About" ("Indicate composition" is off).
    focus_window "$main"
    press Tab Tab Tab space
    wait_for_title "About Tarvo"
    focus_window "$(window_exactly "About Tarvo")"
    shot coef-12-about
    pkill -f "$run/Tarvo7S_sub2" || true
}

# Types the table's μen/ρ at 100 keV and checks the energy and coefficients shown.
read_energy_at_absorption() {
    local row
    read -r -a row <<<"$(table_row "$run/mu_mix/Bone_Cortical.mucm" 1.00000E-01)"
    [ "${#row[@]}" = 3 ] || fail "Bone_Cortical.mucm has no row at 100 keV"
    # The list, two buttons, then a clearing button before each of the four boxes.
    focus_window "$values"
    for _ in $(seq 1 10); do press Tab; done
    type_text "${row[2]}"
    press Return
    local shown=()
    shown[3]=$(read_focused)
    for box in 2 1 0; do
        press shift+Tab shift+Tab
        shown[box]=$(read_focused)
    done
    shot coef-03-energy-at-absorption
    echo "Bone at μen/ρ ${row[2]}: ${shown[*]}"
    agree "${shown[0]}" 0.1 1e-4 || fail "energy shown ${shown[0]}, the table row is at 0.1 MeV"
    agree_coefficients "shown at μen/ρ ${row[2]}" 1e-3 "${shown[*]:1}" "${row[*]}"
}

# "Indicate composition" is three tab stops after "OK", which has the focus.
show_composition() {
    focus_window "$main"
    press Tab Tab Tab space
    wait_for_count "ρ=1.920" 1
    local composition
    composition=$(windows_titled "ρ=1.920" | head -n 1)
    xdotool windowmove "$composition" 0 520
    shot coef-04-composition
}

# Equal energy steps by spline with the default range, then "Check" and "Save".
equal_interval_by_spline() {
    # The energy box has the focus; before it come its clearing button and the dialog's.
    focus_window "$values"
    press shift+Tab shift+Tab space
    local dialog
    dialog=$(wait_for_wide_window "Bone, Cortical" 900) || fail "no equal-interval dialog"
    xdotool windowmove "$dialog" 0 0
    focus_window "$dialog"
    # The file name box has the focus; the method options lie four tab stops before it.
    type_text "bone_equal"
    press shift+Tab shift+Tab shift+Tab shift+Tab Down space
    # Another viewer (here a shell) holds the exchange files: "OK" is refused and its
    # request is left alone until that holder lets go.
    printf 'the other viewer'"'"'s request\r\n' >"$run/B2F.dat"
    flock -o "$run/B2F.lock" sleep 60 &
    local holder=$!
    sleep 0.3
    # Forward again past the file name box to "OK".
    press Tab Tab Tab Tab Tab space
    answer_message Tarvo7S_sub2 "The spline tool is in use by another window" \
        coef-05-spline-tool-in-use
    [ "$(cat "$run/B2F.dat")" = $'the other viewer\'s request\r' ] ||
        fail "a refused spline request touched the other viewer's B2F.dat"
    kill "$holder"
    wait "$holder" 2>/dev/null || true
    # "OK" again, then the two steps of the spline.
    focus_window "$dialog"
    press space
    press Tab space
    press Tab space
    shot coef-05-equal-interval-checked
    press Tab space
    answer_message Tarvo7S_sub2 "Data saved in the file" coef-06-equal-interval-saved
    check_equal_interval_csv "$run/bone_equal.csv"
    no_temporary_files
}

# 999 rows from 1 to 500 keV; at 100 keV the spline passes through the table's row.
check_equal_interval_csv() {
    [ -s "$1" ] || fail "$1 was not written"
    local rows
    rows=$(tr -d '\r' <"$1" | awk -F, 'NR > 1 && NF == 4' | wc -l)
    [ "$rows" = 999 ] || fail "$1 holds $rows rows, not 999"
    local at100 row
    read -r -a at100 <<<"$(tr -d '\r' <"$1" | awk -F, 'NR > 1 && $1 + 0 == 100 { print $2, $3, $4 }')"
    read -r -a row <<<"$(table_row "$run/mu_mix/Bone_Cortical.mucm" 1.00000E-01)"
    echo "bone_equal.csv at 100 keV: ${at100[*]}; table row: ${row[*]}"
    agree_coefficients "bone_equal.csv at 100 keV" 2e-3 "${at100[*]}" "${row[*]}"
}

# "Create New Data": water by weight from H 11.19 and O 88.81, first under the name of the
# shipped air table, which is refused and left alone, then under its own name; saved, then
# deleted again.
create_and_delete_material() {
    focus_window "$main"
    press shift+Tab space
    fill_creator "New Compound or New Mixture" Tarvo7S_sub2 "Water by weight" 01 11.19 08 88.81 \
        Air coef-07-material-creator
    answer_message Tarvo7S_sub2 "is a table the suite ships and is never replaced" \
        coef-07-shipped-name-refused
    cmp -s "$run/mu_mix/Air.muc3" "$run_dir/mu_mix/Air.muc3" || fail "the shipped Air.muc3 was replaced"
    # The focus is back on the save button; the category options lie between it and the
    # file name box, which still holds the refused name.
    focus_window "$(window_exactly "New Compound or New Mixture")"
    press shift+Tab shift+Tab
    [ "$(read_focused)" = Air ] || fail "the creator lost its file name after the refusal"
    type_text journey_water
    press Return
    shot coef-07-material-creator-renamed
    press space
    answer_message "New Data : mu_mix\\journey_water.muc3" "Data saved" coef-08-material-saved
    local table="$run/mu_mix/journey_water.muc3"
    [ -s "$table" ] || fail "mu_mix/journey_water.muc3 was not written"
    [ "$(tail -n 3 "$table" | tr -d '\r' | tr '\n' '/')" = "02/01 0.111900/08 0.888100/" ] ||
        fail "journey_water.muc3 ends with '$(tail -n 3 "$table")'"
    delete_material "$table"
}

# Picks the new table under "Others" and deletes it with "Delete".
delete_material() {
    wait_for_title "  $user_line"
    focus_window "$main"
    # From "Create New Data" back to the categories: Delete, OK, density, name.
    press shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab Down Down space shift+Tab
    type_text "journey"
    press Return Tab space
    answer_message Tarvo7S_sub2 "really erase journey_water.muc3 ?" coef-09-delete-question
    for _ in $(seq 1 50); do
        [ -e "$1" ] || break
        sleep 0.1
    done
    [ ! -e "$1" ] || fail "journey_water.muc3 is still there after the deletion"
    shot coef-10-deleted
}

# Lead drawn, 0.662 MeV typed, "Attenuation…" with 2 mm: the window's results against the
# command-line tool's, lengths in mm.
attenuation_of_lead() {
    focus_window "$main"
    # From "Delete" back to the element list: OK, density, name, categories, materials.
    press shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab
    type_text "82"
    press Return space
    wait_for_count "Lead" 2
    find_graph_and_values "Lead" 551
    # The values window keeps its focus on the equal-interval button pressed before; the
    # energy's clearing button and box follow it.
    focus_window "$values"
    press Tab Tab
    type_text "0.662"
    press Return
    # The six coefficient controls, then "Attenuation…" last.
    for _ in $(seq 1 7); do press Tab; done
    press space
    wait_for_title "Attenuation"
    local window
    window=$(window_exactly "Attenuation")
    xdotool windowmove "$window" 0 420
    focus_window "$window"
    # Energy, density, thickness, unit ("cm" chosen; "mm" above it), then the six results.
    press Tab Tab ctrl+a
    type_text "2"
    press Tab Up
    local shown=()
    for k in 0 1 2 3 4 5; do
        press Tab
        shown[k]=$(read_focused)
    done
    shot coef-11-attenuation-of-lead
    # The windows read log-log lines between the rows; the tool's columns are energy, edge,
    # mu/rho, thickness in mm and g/cm2, I/I0, attenuated, absorbed, HVL in mm and g/cm2,
    # TVL and mean free path in mm.
    local expected
    IFS=, read -r -a expected <<<"$("$run/tarvo" attenuate Pb --thickness 2mm --energy 0.662 \
        --method loglog --csv --digits 6 | tail -n 1)"
    echo "Lead, 2 mm at 0.662 MeV: ${shown[*]}; tarvo: ${expected[*]}"
    local columns=(5 6 7 8 10 11)
    for k in 0 1 2 3 4 5; do
        agree "${shown[k]}" "${expected[columns[k]]}" 1e-4 ||
            fail "attenuation result $((k + 1)) ${shown[k]}, the tool gives ${expected[columns[k]]}"
    done
}

user_line="$(head -n 1 "$run/ele/user.txt" | tr -d '\r')"
journey_cross_section_viewer
echo "cross-section viewer journey passed"
rm -f "$run/Start.dat"
journey_coefficient_viewer
echo "coefficient viewer journey passed"
