#!/usr/bin/env python3
"""Prints a workbook as JSON (sheet name -> rows of cell texts), read by xlrd: an
independent reader, so a file only our own code accepts does not pass. With --typed after
the file name every cell is [kind, text], kind "text", "number" or "empty"."""
import json
import sys

import xlrd

KINDS = {xlrd.XL_CELL_TEXT: "text", xlrd.XL_CELL_NUMBER: "number", xlrd.XL_CELL_EMPTY: "empty"}

book = xlrd.open_workbook(sys.argv[1])
typed = "--typed" in sys.argv[2:]
out = {}
for sheet in book.sheets():
    rows = []
    for r in range(sheet.nrows):
        cells = []
        for c in range(sheet.ncols):
            text = str(sheet.cell_value(r, c))
            cells.append([KINDS.get(sheet.cell_type(r, c), "other"), text] if typed else text)
        rows.append(cells)
    out[sheet.name] = rows
json.dump(out, sys.stdout, ensure_ascii=False)
