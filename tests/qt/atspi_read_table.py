#!/usr/bin/env python3
"""Reads the list of a running program through AT-SPI, from another process, as a screen reader does.

Finds the application on the accessibility bus (by a part of its name), the first table in it, and
checks the table's row and column counts, a column's caption (its description and its header cell)
and a cell's text. Prints what it read; exits 1 on a mismatch or when no table shows up in time.
Prints "skipped: <reason>" and exits 0 when pyatspi is not installed.

  atspi_read_table.py --app "Spice orders" --rows 7 --columns 5 --header 1=Qty --cell 0,0=Anise
"""

import argparse
import sys
import time


def parse_args():
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("--app", default="", help="a part of the application's name (any application when empty)")
    p.add_argument("--rows", type=int, required=True)
    p.add_argument("--columns", type=int, required=True)
    p.add_argument("--header", required=True, help="COLUMN=CAPTION, column 0-based in display order")
    p.add_argument("--cell", required=True, help="ROW,COLUMN=TEXT, 0-based")
    p.add_argument("--timeout", type=float, default=30, help="seconds to wait for the table to show up")
    return p.parse_args()


def find_table(pyatspi, app_name):
    """The first table of the first application whose name holds app_name, or None."""
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is None or app_name.lower() not in (app.name or "").lower():
            continue
        # Breadth first, never into a table: a long list has a child per cell.
        queue = [app]
        while queue:
            node = queue.pop(0)
            try:
                if node.getRole() == pyatspi.ROLE_TABLE:
                    return node
                queue.extend(child for child in node if child is not None)
            except Exception:  # an object that went while it was read
                continue
    return None


def applications(pyatspi):
    return [app.name for app in pyatspi.Registry.getDesktop(0) if app is not None]


def main():
    args = parse_args()
    try:
        import pyatspi
    except ImportError as e:
        print(f"skipped: pyatspi is not installed ({e})")
        return 0

    header_column, caption = args.header.split("=", 1)
    cell_at, text = args.cell.split("=", 1)
    row, column = (int(n) for n in cell_at.split(","))

    deadline = time.monotonic() + args.timeout
    table = None
    while table is None and time.monotonic() < deadline:
        table = find_table(pyatspi, args.app)
        if table is None:
            time.sleep(0.25)
    if table is None:
        print(f"FAIL: no table in an application named like {args.app!r} within {args.timeout:g} s; "
              f"applications on the bus: {applications(pyatspi)}")
        return 1

    t = table.queryTable()
    header_cell = t.getColumnHeader(int(header_column))
    cell = t.getAccessibleAt(row, column)
    read = {
        "table": table.name,
        "rows": t.nRows,
        "columns": t.nColumns,
        "column description": t.getColumnDescription(int(header_column)),
        "column header": header_cell.name if header_cell is not None else None,
        "cell": cell.name if cell is not None else None,
        "cell role": cell.getRoleName() if cell is not None else None,
    }
    for key, value in read.items():
        print(f"  {key}: {value!r}")

    expected = {
        "rows": args.rows,
        "columns": args.columns,
        "column description": caption,
        "column header": caption,
        "cell": text,
        "cell role": "table cell",
    }
    failures = [f"{key}: read {read[key]!r}, expected {want!r}" for key, want in expected.items() if read[key] != want]
    for f in failures:
        print("FAIL: " + f)
    if not failures:
        print("atspi: the table reads as expected")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
