"""Drives the cross-section viewer through the AT-SPI accessibility bus as a screen reader
would: chooses lead in the element list, reads its name and density, plots it, picks a row
of the values window and reads its values; then checks a category option and the list it
fills; types totals of sodium and reads every energy listed for them; opens the image-save
dialog of the enlarged view, reads its lists by their labels and the entry each shows
(the selected item of its list), and moves the format on by the keyboard.
Every window must be a frame or a dialog named by its title. Prints what it read; exits
non-zero on the first difference."""
import subprocess
import sys
import time

import pyatspi

from atspi_helpers import application, do, entry, find, keys, text_of


def expect_windows(app):
    """Every top-level window of the application is a frame or a dialog with a name."""
    for i in range(app.childCount):
        window = app.getChildAtIndex(i)
        if window is None:
            continue
        print("window: %s %r" % (window.getRoleName(), window.name))
        if window.getRoleName() not in ("frame", "dialog") or not window.name.strip():
            sys.exit("window %r has the role %s" % (window.name, window.getRoleName()))


def typed(text):
    subprocess.run(["xdotool", "type", "--delay", "60", text], check=True)
    time.sleep(0.3)


def focus_values_window(title, graph_width=547):
    """Gives the keyboard focus to the values window: the window of this title that is not
    as wide as the graph window."""
    found = subprocess.run(["xdotool", "search", "--name", title], capture_output=True,
                           text=True).stdout.split()
    for window in found:
        geometry = subprocess.run(["xdotool", "getwindowgeometry", window],
                                  capture_output=True, text=True).stdout
        if "Geometry: %dx" % graph_width not in geometry and "Geometry: 1x1" not in geometry:
            subprocess.run(["xdotool", "windowfocus", "--sync", window], check=True)
            time.sleep(0.4)
            return
    sys.exit("no values window titled %r" % title)


def expect(what, got, wanted):
    print("%s: %s" % (what, got))
    if got != wanted:
        sys.exit("%s is %r, not %r" % (what, got, wanted))


app = application("Tarvo7S_sub1")
elements = find(app, "list", "Elements")
do(entry(elements, "82_Pb.ele"), "Toggle")
expect("name", text_of(find(app, "text", "Selected material")), "Lead")
expect("density", text_of(find(app, "text", "Density (g/cm3)")), "11.350")
do(find(app, "push button", "OK"), "Press")
rows = find(app, "list", "Rows of the table")
row = rows.getChildAtIndex(10)
do(row, "Toggle")
values = [float(v) for v in row.name.split()]
expect("energy", text_of(find(app, "text", "Photon energy (MeV)")), "%.3E" % values[0])
total = float(text_of(find(app, "text", "Total mass attenuation coefficient (cm2/g)")))
print("total: %g, the row's sum %g" % (total, sum(values[1:])))
if abs(total - sum(values[1:])) > 1e-3 * total:
    sys.exit("the total is not the sum of the row's partial values")
# Sodium rises from 654 cm2/g at 1 keV to 6400 above its K edge: every energy of 653 is
# listed; 2000 gives "Calculation error" and still lists both energies where the curve
# takes it; a value out of range empties the list.
do(entry(elements, "11_Na.ele"), "Toggle")
do(find(app, "push button", "OK"), "Press")
crossings = None
for total, message_shown, listed in (("653", False, 3), ("2000", True, 2), ("1e9", True, 0)):
    focus_values_window("Sodium   Density")
    do(find(app, "push button", "Clear the values to input μ/ρ"), "Press")
    typed(total)
    keys("Return")
    if message_shown:
        keys("Return")  # answers the message box
    crossings = crossings or find(app, "list", "Every energy of this value:")
    expect("energies of %s cm2/g listed" % total, crossings.childCount, listed)
    expect("the list of %s cm2/g shown" % total,
           crossings.getState().contains(pyatspi.STATE_SHOWING), listed > 0)
do(find(app, "radio button", "Phantom substances"), "Toggle")
entry(find(app, "list", "Materials"), "Water.mix2")
print("the category option filled the material list")
do(find(app, "push button", "Enlarged View"), "Press")
do(find(app, "push button", "Save as a BMP image"), "Press")
dialog = find(app, "dialog", "Image Save")


def current_entry(combo):
    """The entry a screen reader reads as chosen: the selected item of the list."""
    items = combo.getChildAtIndex(0)
    chosen = [items.getChildAtIndex(i).name for i in range(items.childCount)
              if items.getChildAtIndex(i).getState().contains(pyatspi.STATE_SELECTED)]
    return chosen[0] if len(chosen) == 1 else chosen


formats = find(dialog, "combo box", "Format")
expect("the format list's current entry", current_entry(formats), "BMP")
drives = find(dialog, "combo box", "Drives")
expect("the drive list's current entry", current_entry(drives), "/")
subprocess.run(["xdotool", "search", "--name", "^Image Save$", "windowactivate", "--sync"],
               check=False)
subprocess.run(["xdotool", "search", "--name", "^Image Save$", "windowfocus", "--sync"],
               check=True)
formats.queryComponent().grabFocus()
time.sleep(0.4)
keys("Down")
expect("the format list's entry after Down", current_entry(formats), "PNG")
expect_windows(app)
