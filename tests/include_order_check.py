"""Fails when a source file includes a header from a folder that does not lie below its own
in the library's order, and prints the folder-level include graph.

The order, lowest first (folders on one line are siblings and include none of each other):
    common
    xsview, coefview, splinetool, launcher
    materials
    beams
    cli, python, tools
Tests, benchmarks and fuzz targets may include any folder.
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
INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z_]+)/[^"]+"', re.MULTILINE)


def main(root):
    graph = {}
    faults = []
    for folder in RANK:
        for source in sorted((root / folder).rglob("*")):
            if source.suffix not in (".h", ".cpp", ".in") or not source.is_file():
                continue
            for included in INCLUDE.findall(source.read_text(errors="replace")):
                if included == folder or included not in RANK:
                    continue
                graph.setdefault((folder, included), 0)
                graph[(folder, included)] += 1
                if RANK[included] >= RANK[folder]:
                    faults.append(f"{source.relative_to(root)} includes {included}/, "
                                  f"which does not lie below {folder}/")
    for (folder, included), count in sorted(graph.items(), key=lambda e: (RANK[e[0][0]], e[0])):
        print(f"{folder}/ -> {included}/  ({count} includes)")
    for fault in faults:
        print("FAULT:", fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(pathlib.Path(sys.argv[1])))
