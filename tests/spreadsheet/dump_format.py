"""Prints the formatting of every sheet of an .xls file as JSON, read by python3-xlrd.

usage: dump_format.py FILE
Output: [{"name", "merged": [[r0, r1, c0, c1]], "widths": {"COLUMN": WIDTH},
"bold": ["ROW,COLUMN"], "formats": {"ROW,COLUMN": FORMAT}}], rows and columns 0-based.
"""
import json
import sys

import xlrd

book = xlrd.open_workbook(sys.argv[1], formatting_info=True)
sheets = []
for sheet in book.sheets():
    bold = []
    formats = {}
    for r in range(sheet.nrows):
        for c in range(sheet.ncols):
            xf = book.xf_list[sheet.cell_xf_index(r, c)]
            if book.font_list[xf.font_index].bold:
                bold.append("%d,%d" % (r, c))
            code = book.format_map[xf.format_key].format_str
            if code != "General":
                formats["%d,%d" % (r, c)] = code
    widths = {str(c): info.width for c, info in sheet.colinfo_map.items()}
    sheets.append({"name": sheet.name, "merged": [list(m) for m in sheet.merged_cells],
                   "widths": widths, "bold": bold, "formats": formats})
json.dump(sheets, sys.stdout, ensure_ascii=False)
