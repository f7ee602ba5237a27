"""Prints every sheet of a workbook as JSON, read by an independent reader.

usage: dump_workbook.py FILE
Output: [{"name": ..., "cells": {"ROW,COLUMN": [KIND, VALUE]}}], 1-based; KIND is "text",
"number" or "date" (VALUE then the date as yyyy-mm-dd).
"""
import datetime
import json
import sys

path = sys.argv[1]
with open(path, "rb") as file:
    is_zip = file.read(2) == b"PK"
sheets = []
if is_zip:
    import openpyxl
    book = openpyxl.load_workbook(path)
    for sheet in book.worksheets:
        cells = {}
        for row in sheet.iter_rows():
            for cell in row:
                if cell.value is None:
                    continue
                if isinstance(cell.value, (datetime.date, datetime.datetime)):
                    kind, value = "date", cell.value.strftime("%Y-%m-%d")
                elif isinstance(cell.value, str):
                    kind, value = "text", cell.value
                else:
                    kind, value = "number", cell.value
                cells["%d,%d" % (cell.row, cell.column)] = [kind, value]
        sheets.append({"name": sheet.title, "cells": cells})
else:
    import xlrd
    book = xlrd.open_workbook(path)
    for sheet in book.sheets():
        cells = {}
        for r in range(sheet.nrows):
            for c in range(sheet.ncols):
                cell = sheet.cell(r, c)
                if cell.ctype == xlrd.XL_CELL_TEXT:
                    kind, value = "text", cell.value
                elif cell.ctype == xlrd.XL_CELL_NUMBER:
                    kind, value = "number", cell.value
                elif cell.ctype == xlrd.XL_CELL_DATE:
                    kind = "date"
                    value = xlrd.xldate.xldate_as_datetime(cell.value, book.datemode).strftime("%Y-%m-%d")
                else:
                    continue
                cells["%d,%d" % (r + 1, c + 1)] = [kind, value]
        sheets.append({"name": sheet.name, "cells": cells})
json.dump(sheets, sys.stdout, ensure_ascii=False)
