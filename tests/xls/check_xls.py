#!/usr/bin/python3
"""Reads a workbook written by the tests with two independent readers and compares it
with what the test expected.

usage: check_xls.py WORKBOOK.xls EXPECTED.json

EXPECTED.json: {"stream": "path of the raw Workbook stream" (optional),
                "sheets": [{"name": ..., "rows": [[cell, ...], ...]}, ...]}
where a cell is a string (text), a number, or null (no cell).
Exit status 0 when everything matches; otherwise the first mismatches are printed.
"""
import io
import json
import sys

import olefile
import xlrd


def check_container(path, expected, problems):
    # Any defect olefile notices (bad FAT, DIFAT, directory, sizes) raises.
    ole = olefile.OleFileIO(path, raise_defects=olefile.DEFECT_INCORRECT)
    try:
        if ole.listdir() != [["Workbook"]]:
            problems.append("streams: %r" % ole.listdir())
            return
        data = ole.openstream("Workbook").read()
        if "stream" in expected:
            with open(expected["stream"], "rb") as f:
                if f.read() != data:
                    problems.append("Workbook stream differs from what was written")
    finally:
        ole.close()


def check_cells(path, expected, problems):
    log = io.StringIO()
    book = xlrd.open_workbook(path, logfile=log)
    if "WARNING" in log.getvalue() or "ERROR" in log.getvalue():
        problems.append("xlrd: " + log.getvalue().strip())
    names = [sheet["name"] for sheet in expected["sheets"]]
    if book.sheet_names() != names:
        problems.append("sheets %r, expected %r" % (book.sheet_names(), names))
        return
    for sheet, want in zip(book.sheets(), expected["sheets"]):
        rows = want["rows"]
        ncols = max((len(row) for row in rows), default=0)
        if (sheet.nrows, sheet.ncols) != (len(rows), ncols):
            problems.append("%s: %dx%d, expected %dx%d"
                            % (sheet.name, sheet.nrows, sheet.ncols, len(rows), ncols))
            continue
        for r, row in enumerate(rows):
            for c, value in enumerate(row):
                cell = sheet.cell(r, c)
                if value is None:
                    ok = cell.ctype == xlrd.XL_CELL_EMPTY
                elif isinstance(value, str):
                    ok = cell.ctype == xlrd.XL_CELL_TEXT and cell.value == value
                else:
                    ok = cell.ctype == xlrd.XL_CELL_NUMBER and cell.value == value
                if not ok:
                    problems.append("%s!R%dC%d: %r, expected %r"
                                    % (sheet.name, r, c, cell.value, value))
                    if len(problems) > 20:
                        return


def main(argv):
    with open(argv[2], encoding="utf-8") as f:
        expected = json.load(f)
    problems = []
    check_container(argv[1], expected, problems)
    check_cells(argv[1], expected, problems)
    for problem in problems[:20]:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
