"""Drives the beam window of the coefficient viewer through the AT-SPI accessibility bus:
draws aluminium, opens "Beam…", makes water the third material, and reads the quality table
of a W tube at 80 kV behind 2.5 mm Al by the fields' names, comparing every figure with
`tarvo spectrum --json` printed the window's way; saves the filtered spectrum as CSV and reads
it back through the tool; saves both plots as PNG, compared pixel for pixel with the screen,
and as SVG, parsed as XML; then shows a Mo tube at 28 kV behind 0.03 mm Mo, its counts on a
logarithmic axis; last, leaves the window by Escape, its close box and "Close", reopening it
each time. Arguments: the run directory and the screenshot directory. Exits non-zero on the
first difference."""
import json
import os
import subprocess
import sys
import time
import xml.etree.ElementTree

import pyatspi

from atspi_helpers import application, do, entry, find, find_all, keys, text_of, type_into

run, artefacts = sys.argv[1], sys.argv[2]


def shot(name):
    time.sleep(0.4)
    subprocess.run(["import", "-window", "root", os.path.join(artefacts, name + ".png")],
                   check=False)


def shot_window(title, name):
    """A screenshot of one window, as the README shows it."""
    time.sleep(0.4)
    window = subprocess.run(["xdotool", "search", "--name", "^%s$" % title], capture_output=True,
                            text=True).stdout.split()[0]
    subprocess.run(["import", "-window", window, os.path.join(artefacts, name + ".png")],
                   check=False)


def activate(title):
    subprocess.run(["xdotool", "search", "--name", "^%s$" % title, "windowactivate", "--sync"],
                   check=False)
    subprocess.run(["xdotool", "search", "--name", "^%s$" % title, "windowfocus", "--sync"],
                   check=True)
    time.sleep(0.3)


def answer_message(app, expected):
    """Reads the message box that holds `expected` and presses its OK."""
    end = time.time() + 10
    while time.time() < end:
        for i in range(app.childCount):
            window = app.getChildAtIndex(i)
            if window is None or window.getRoleName() not in ("alert", "dialog"):
                continue
            labels = [n.name for n in find_all(window, lambda n: n.getRoleName() == "label")]
            if any(expected in label for label in labels):
                print("message: %s" % " / ".join(labels))
                do(find(window, "push button", "OK"), "Press")
                return
        time.sleep(0.3)
    shot("failure")
    sys.exit("no message saying %r" % expected)


def figure_text(value, unit):
    """A figure as the window prints it: four significant digits and its unit."""
    text = "%.4g" % value
    return text + " " + unit if unit else text


def tool_figures(*arguments):
    """The tool's rows by the names the window gives its fields, printed the window's way."""
    output = subprocess.run([os.path.join(run, "tarvo"), "spectrum", "--data", run, "--json"] +
                            list(arguments), capture_output=True, text=True, check=True).stdout
    figures = {}
    units = {"HVL1/HVL2": "", "uGy/mAs at 1m": "µGy"}
    for row in json.loads(output)["rows"]:
        quantity = row["quantity"]
        if "mass thickness" in quantity or not isinstance(row["value"], (int, float)):
            continue
        at_edge = quantity.startswith("effective energy (at an edge)")
        if at_edge:
            quantity = quantity.replace(" (at an edge)", "")
        text = figure_text(row["value"], units.get(row["unit"], row["unit"])) + \
            (" (at an edge)" if at_edge else "")
        figures[quantity] = figures[quantity] + ", " + text if quantity in figures else text
    return figures


def expect(what, got, wanted):
    print("%s: %s" % (what, got))
    if got != wanted:
        shot("failure")
        sys.exit("%s is %r, not %r" % (what, got, wanted))


def save_through_dialog(app, button, dialog_title, name, downs, message):
    """Presses a save button, picks the format `downs` entries below the first, names the
    file and presses OK; answers the message."""
    do(find(app, "push button", button), "Press")
    dialog = find(app, "dialog", dialog_title)
    if downs:
        activate(dialog_title)
        find(dialog, "combo box", "Format").queryComponent().grabFocus()
        time.sleep(0.3)
        keys(*["Down"] * downs)
    type_into(find(dialog, "text", "Input the File name without the extension"), name)
    do(find(dialog, "push button", "OK"), "Press")
    answer_message(app, message)


def plot_on_screen(plot, name):
    """The plot's pixels as the screen shows them, cut from a screenshot of the display."""
    x, y, width, height = plot.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    path = os.path.join(run, name)
    subprocess.run(["import", "-window", "root", "-crop", "%dx%d+%d+%d" % (width, height, x, y),
                    "+repage", path], check=True)
    return path


def differing_pixels(first, second):
    result = subprocess.run(["compare", "-metric", "AE", first, second, "null:"],
                            capture_output=True, text=True)
    return result.stderr.strip()


app = application("Tarvo7S_sub2")
do(entry(find(app, "list", "Elements"), "13_Al.mut"), "Toggle")
do(find(app, "push button", "OK"), "Press")
do(find(app, "push button", "Beam…"), "Press")
beam = find(app, "frame", "Beam")
activate("Beam")
subprocess.run(["xdotool", "search", "--name", "^Beam$", "windowmove", "0", "0"], check=False)
expect("the third material, the drawn table",
       text_of(find(beam, "text", "Half-value layers and transmission also in")), "Al")
type_into(find(beam, "text", "Half-value layers and transmission also in"), "Water")
expect("tube voltage", text_of(find(beam, "text", "Tube voltage, kV")), "80")
expect("filter 1", (text_of(find(beam, "text", "Material of filter 1")),
                    text_of(find(beam, "text", "Thickness of filter 1"))), ("Al", "2.5"))
shot("beam-01-W-80kV-2.5mm-Al")
shot_window("Beam", "beam-window-W-80kV")

tool = tool_figures("--tube", "W:80kV", "--filter", "Al:2.5mm", "--hvl", "Al", "--hvl", "Cu",
                    "--hvl", "Water")
figures = {"mean energy": "Mean energy (fluence)",
           "kerma-weighted mean energy": "Mean energy (air kerma)",
           "air kerma per mAs": "Air kerma per mAs at 1 m"}
for quantity, field in figures.items():
    expect(quantity, text_of(find(beam, "text", field)), tool[quantity])
for quantity in ("HVL1", "HVL2", "QVL", "TVL", "homogeneity coefficient", "effective energy"):
    for material in ("Al", "Cu", "Water"):
        name = "%s in %s" % (quantity, material)
        expect(name, text_of(find(beam, "text", name)), tool[name])

save_through_dialog(app, "Save spectrum (CSV)…", "Spectrum save", "journey_beam", 0,
                    "Spectrum saved in csv format")
read_back = tool_figures(os.path.join(run, "journey_beam.csv"), "--hvl", "Al")
expect("mean energy of the saved spectrum", read_back["mean energy"],
       text_of(find(beam, "text", "Mean energy (fluence)")))
expect("HVL1 in Al of the saved spectrum", read_back["HVL1"],
       text_of(find(beam, "text", "HVL1 in Al")))

plots = sorted(find_all(beam, lambda n: n.name == "Beam" and n.getRoleName() != "frame"),
               key=lambda n: n.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)[1])
if len(plots) != 2:
    sys.exit("the beam window shows %d plots, not 2" % len(plots))
for plot, button, title, name in ((plots[0], "Save spectrum plot…", "Spectrum plot save",
                                   "journey_spectrum"),
                                  (plots[1], "Save transmission plot…",
                                   "Transmission plot save", "journey_transmission")):
    screen = plot_on_screen(plot, name + "_screen.png")
    save_through_dialog(app, button, title, name, 1, "Image saved in PNG format")
    expect("pixels of %s.png differing from the screen" % name,
           differing_pixels(screen, os.path.join(run, name + ".png")), "0")
    save_through_dialog(app, button, title, name, 2, "Image saved in SVG format")
    xml.etree.ElementTree.parse(os.path.join(run, name + ".svg"))
    print("%s.svg is well-formed" % name)

activate("Beam")
find(beam, "combo box", "Anode").queryComponent().grabFocus()
keys("Down")
type_into(find(beam, "text", "Tube voltage, kV"), "28")
type_into(find(beam, "text", "Material of filter 1"), "Mo")
type_into(find(beam, "text", "Thickness of filter 1"), "0.03")
do(find(beam, "check box", "Logarithmic counts"), "Toggle")
tool = tool_figures("--tube", "Mo:28kV", "--filter", "Mo:0.03mm", "--hvl", "Al")
expect("HVL1 in Al behind Mo", text_of(find(beam, "text", "HVL1 in Al")), tool["HVL1"])
shot("beam-02-Mo-28kV-0.03mm-Mo")
shot_window("Beam", "beam-window-Mo-28kV")


def window_id(title):
    return subprocess.run(["xdotool", "search", "--name", "^%s$" % title], capture_output=True,
                          text=True).stdout.split()[0]


def beam_shown():
    """Whether a top-level window titled "Beam" is mapped (the tree lists hidden ones too)."""
    tree = subprocess.run(["xwininfo", "-root", "-tree"], capture_output=True,
                          text=True).stdout
    for line in tree.splitlines():
        if '"Beam": ("' in line:
            info = subprocess.run(["xwininfo", "-id", line.split()[0]], capture_output=True,
                                  text=True).stdout
            if "Map State: IsViewable" in info:
                return True
    return False


def wait_shown(shown):
    for _ in range(100):
        if beam_shown() == shown:
            return
        time.sleep(0.1)
    shot("failure")
    sys.exit("the beam window is not %s" % ("shown" if shown else "hidden"))


def close_box(window_id):
    """Sends the window the window manager's delete request, as its close box does."""
    from Xlib import X, display, protocol
    screen = display.Display()
    window = screen.create_resource_object("window", int(window_id))
    window.send_event(protocol.event.ClientMessage(
        window=window, client_type=screen.intern_atom("WM_PROTOCOLS"),
        data=(32, [screen.intern_atom("WM_DELETE_WINDOW"), X.CurrentTime, 0, 0, 0])),
        event_mask=X.NoEventMask)
    screen.flush()


# Every way out hides the window, the viewer goes on, and "Beam…" brings the same window back.
for leave in ("Escape", "the close box", "Close"):
    activate("Beam")
    if leave == "Escape":
        keys("Escape")
    elif leave == "the close box":
        close_box(window_id("Beam"))
    else:
        do(find(beam, "push button", "Close"), "Press")
    wait_shown(False)
    print("%s hid the beam window" % leave)
    do(find(app, "push button", "Beam…"), "Press")
    wait_shown(True)
    expect("HVL1 in Al on reopening", text_of(find(beam, "text", "HVL1 in Al")), tool["HVL1"])
