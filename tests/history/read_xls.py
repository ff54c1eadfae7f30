#!/usr/bin/env python3
"""Prints a workbook as JSON (sheet name -> rows of cell texts), read by xlrd: an
independent reader, so a file only our own code accepts does not pass."""
import json
import sys

import xlrd

book = xlrd.open_workbook(sys.argv[1])
out = {}
for sheet in book.sheets():
    out[sheet.name] = [[str(sheet.cell_value(r, c)) for c in range(sheet.ncols)] for r in range(sheet.nrows)]
json.dump(out, sys.stdout, ensure_ascii=False)
