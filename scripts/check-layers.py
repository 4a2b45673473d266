#!/usr/bin/env python3
"""Checks that the #include lines of src/ keep to the layer order.

Usage: check-layers.py SRC

The layers, bottom up; a layer may include its own files and those of the layers below it,
never those above it nor those of another layer on its own line (peers stay apart):

   1  base                      what every layer shares (byte order, atomic saves, names)
   2  data/value                the value type the table readers hand out
   3  data/dbf  word/docx       the file formats: dBASE tables, OOXML packages
   4  data/schema               the survey schema: tables, columns, sheet types, bookmarks
   5  app                       settings, log, message file, user-interface interface
   6  data  shape  print        the survey provider; shapefiles; printing and PDF services
   7  check  sample  word       the data check; the sample database; clsWordDoc
   8  sheets                    the clean copies
   9  report                    the data reports (they reuse the sheets' routines)
  10  cli  gui                  the two front ends

Printing sits below the document layer: clsWordDoc prints and converts the documents it saves
(waiting for the print queue, handing a saved document to the PDF copies), and the sheet and
report runs join PDFs; print itself knows no document, template or sheet and uses only app and
base. The sample database is part of the program (the sample-data and demo commands write it),
so it lives in src/sample. Nothing in src/ includes tools/ or templates/: a quoted include must
name a file of src/ or of the including file's own folder.

Exits 0 when every include keeps to the order, else 1 with one line per include that does not
(2 for a wrong call).
"""

import pathlib
import re
import sys

LAYERS = [
    ["base"],
    ["data/value"],
    ["data/dbf", "word/docx"],
    ["data/schema"],
    ["app"],
    ["data", "shape", "print"],
    ["check", "sample", "word"],
    ["sheets"],
    ["report"],
    ["cli", "gui"],
]
RANK = {unit: rank for rank, units in enumerate(LAYERS) for unit in units}
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^">]+)[">]')
OUTSIDE = ("tools/", "templates/")
EXIT_KEPT, EXIT_BROKEN, EXIT_USAGE = 0, 1, 2


def unit_of(path):
    """The layer unit of a path relative to src/: the longest unit that is the path, a folder
    above it, or its name without extension; None when no unit holds it."""
    best = None
    for unit in RANK:
        if path == unit or path.startswith(unit + "/") or path.startswith(unit + "."):
            if best is None or len(unit) > len(best):
                best = unit
    return best


def problems(src):
    found = []
    for file in sorted(src.rglob("*")):
        if file.suffix not in (".h", ".cpp") or not file.is_file():
            continue
        rel = file.relative_to(src).as_posix()
        own = unit_of(rel)
        if own is None:
            found.append(f"{rel}: lies in no layer; add its folder to the order in {__file__}")
            continue
        lines = file.read_text(encoding="utf-8", errors="replace").splitlines()
        for number, line in enumerate(lines, 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            quoted, name = match.group(1) == '"', match.group(2)
            where = f"{rel}:{number}: #include {name}"
            if name.startswith(OUTSIDE):
                found.append(f"{where}: src/ never includes tools/ or templates/")
                continue
            if not quoted:
                continue
            if (file.parent / name).is_file():
                target = (file.parent / name).resolve().relative_to(src.resolve()).as_posix()
            elif (src / name).is_file():
                target = name
            else:
                found.append(f"{where}: not a file of src/ (a header of another tree?)")
                continue
            other = unit_of(target)
            if other is None or other == own:
                continue
            if RANK[other] > RANK[own]:
                found.append(f"{where}: {own} (layer {RANK[own] + 1}) reaches up to {other} "
                             f"(layer {RANK[other] + 1})")
            elif RANK[other] == RANK[own]:
                found.append(f"{where}: {own} and {other} are peers and stay apart")
    return found


def main(argv):
    if len(argv) != 2:
        print(__doc__.splitlines()[2], file=sys.stderr)
        return EXIT_USAGE
    src = pathlib.Path(argv[1])
    if not src.is_dir():
        print(f"check-layers: no folder {src}", file=sys.stderr)
        return EXIT_USAGE
    found = problems(src)
    for line in found:
        print(line)
    if found:
        print(f"check-layers: {len(found)} include(s) break the layer order")
        return EXIT_BROKEN
    return EXIT_KEPT


if __name__ == "__main__":
    sys.exit(main(sys.argv))
