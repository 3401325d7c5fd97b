"""Fails when a source file includes a header from a folder that does not lie below its own
in the library's order, and prints the folder-level include graph.

The order, lowest first (folders on one line are siblings and include none of each other):
    common
    xsview, coefview, splinetool, launcher
    materials
    beams
    cli, python, tools
Tests, benchmarks and fuzz targets may include any folder.

A folder's window files (those its CMakeLists.txt builds into no tarvo_library target) are
fronts like cli/: they may include the library files of every folder, and window files of
their own folder and of common/. A library file includes no window file and no Qt.
"""
import pathlib
import re
import sys

ORDER = [
    ["common"],
    ["xsview", "coefview", "splinetool", "launcher"],
    ["materials"],
    ["beams"],
    ["cli", "python", "tools"],
]
RANK = {folder: level for level, folders in enumerate(ORDER) for folder in folders}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z_]+)/([^"]+)"', re.MULTILINE)
QT_INCLUDE = re.compile(r'^\s*#\s*include\s+<Q', re.MULTILINE)
FRONT_RANK = len(ORDER) - 1


LIBRARY_CALL = re.compile(r"tarvo_library\(\s*\w+([^)]*)\)")


def library_sources(folder):
    """The .cpp files of a folder's Qt-free library targets."""
    cmake = folder / "CMakeLists.txt"
    if not cmake.is_file():
        return set()
    text = re.sub(r"#.*", "", cmake.read_text())
    return {name for call in LIBRARY_CALL.findall(text) for name in call.split()}


def is_window_file(path, libraries):
    """A window file: its .cpp is built into no library target (a header without a .cpp when
    it includes Qt). A folder without a library target is a front throughout."""
    if not libraries:
        return True
    source = path.with_suffix(".cpp")
    if source.is_file():
        return source.name not in libraries
    header = path.with_suffix(".h")
    return header.is_file() and QT_INCLUDE.search(header.read_text(errors="replace")) is not None


def check(folder, window, included, included_window):
    """Why an include breaks the order, or nothing."""
    if included_window:
        if not window:
            return "a library file includes a window file"
        if included not in (folder, "common"):
            return "a window file includes another folder's window file"
        return None
    rank = FRONT_RANK if window else RANK[folder]
    if RANK[included] >= rank and included != folder:
        return f"{included}/ does not lie below {folder}/"
    return None


def main(root):
    graph = {}
    faults = []
    libraries = {folder: library_sources(root / folder) for folder in RANK}
    for folder in RANK:
        for source in sorted((root / folder).rglob("*")):
            if source.suffix not in (".h", ".cpp", ".in") or not source.is_file():
                continue
            window = is_window_file(source, libraries[folder])
            if not window and QT_INCLUDE.search(source.read_text(errors="replace")):
                faults.append(f"{source.relative_to(root)} is library code and includes Qt")
            for included, header in INCLUDE.findall(source.read_text(errors="replace")):
                if included not in RANK:
                    continue
                included_window = is_window_file(root / included / header, libraries[included])
                if included == folder and (window or not included_window):
                    continue
                graph.setdefault((folder, included), 0)
                graph[(folder, included)] += 1
                fault = check(folder, window, included, included_window)
                if fault:
                    faults.append(f"{source.relative_to(root)} includes {included}/{header}: "
                                  f"{fault}")
    for (folder, included), count in sorted(graph.items(), key=lambda e: (RANK[e[0][0]], e[0])):
        print(f"{folder}/ -> {included}/  ({count} includes)")
    for fault in faults:
        print("FAULT:", fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(pathlib.Path(sys.argv[1])))
