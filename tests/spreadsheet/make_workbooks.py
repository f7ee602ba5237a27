"""Writes the input workbooks of the exchange tests with independent writers.

usage: make_workbooks.py FOLDER
"""
import datetime
import sys
import zipfile

import openpyxl
import xlwt

folder = sys.argv[1]
first = [
    (5, 3, "名称"), (5, 4, "数量"), (5, 5, "单价"), (5, 6, "日期"),
    (6, 3, "苹果"), (6, 4, 12), (6, 5, 12.5), (6, 6, datetime.date(2014, 5, 20)),
    (7, 3, "a+b"), (7, 4, 3), (7, 5, 0.1), (7, 6, "2014-05-21"),
    (20, 8, "保留"),
]
others = [("第二页", [(1, 1, "甲"), (2, 2, 42)]), ("third", [(1, 1, "x")])]

book = openpyxl.Workbook()
sheet = book.active
sheet.title = "数据"
for row, column, value in first:
    sheet.cell(row=row, column=column, value=value)
for name, cells in others:
    extra = book.create_sheet(name)
    for row, column, value in cells:
        extra.cell(row=row, column=column, value=value)
book.save(folder + "/three_sheets.xlsx")

book = xlwt.Workbook(encoding="utf-8")
date_style = xlwt.easyxf(num_format_str="yyyy-mm-dd")
for name, cells in [("数据", first)] + others:
    sheet = book.add_sheet(name)
    for row, column, value in cells:
        if isinstance(value, datetime.date):
            sheet.write(row - 1, column - 1, value, date_style)
        else:
            sheet.write(row - 1, column - 1, value)
book.save(folder + "/three_sheets.xls")

# Numbers whose text needs the general format, some with a "+" in their exponent.
book = xlwt.Workbook(encoding="utf-8")
sheet = book.add_sheet("数")
numbers = [1e20, 1 / 3, -0.05, 1e-7, 123456789012345678, 2500000]
for column, value in enumerate(numbers):
    sheet.write(0, column, "列%d" % column)
    sheet.write(1, column, value)
book.save(folder + "/numbers.xls")

# Formula cells with cached values, a row without cell references and no shared strings: shapes
# openpyxl does not write, so the package is put together by hand.
parts = {
    "[Content_Types].xml": '<?xml version="1.0" encoding="UTF-8"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"><Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/><Default Extension="xml" ContentType="application/xml"/><Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/><Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/></Types>',
    "_rels/.rels": '<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>',
    "xl/workbook.xml": '<?xml version="1.0" encoding="UTF-8"?><workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheets><sheet name="公式" sheetId="1" r:id="rId1"/></sheets></workbook>',
    "xl/_rels/workbook.xml.rels": '<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/></Relationships>',
    "xl/worksheets/sheet1.xml": '<?xml version="1.0" encoding="UTF-8"?><worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><dimension ref="A1:C3"/><sheetData>'
    '<row r="1"><c r="A1" t="inlineStr"><is><t>a</t></is></c><c r="B1" t="inlineStr"><is><r><t>b</t></r><r><t>c</t></r></is></c><c r="C1" t="inlineStr"><is><t>d</t></is></c></row>'
    '<row r="2"><c r="A2"><f>1+2</f><v>3</v></c><c r="B2" t="str"><f>"x"&amp;"y"</f><v>xy</v></c><c r="C2" t="b"><v>1</v></c></row>'
    '<row><c><v>7.0</v></c><c t="inlineStr"><is><t>tab_x0009_end</t></is></c><c><v>1E-3</v></c></row>'
    '</sheetData></worksheet>',
}
with zipfile.ZipFile(folder + "/formulas.xlsx", "w", zipfile.ZIP_DEFLATED) as package:
    for name, text in parts.items():
        package.writestr(name, text)

# Two cells at opposite corners of the largest sheet: a legal used range of 17 billion cells.
parts["xl/worksheets/sheet1.xml"] = (
    '<?xml version="1.0" encoding="UTF-8"?><worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><dimension ref="A1:XFD1048576"/><sheetData>'
    '<row r="1"><c r="A1" t="inlineStr"><is><t>a</t></is></c></row>'
    '<row r="1048576"><c r="XFD1048576"><v>1</v></c></row>'
    '</sheetData></worksheet>')
with zipfile.ZipFile(folder + "/huge_range.xlsx", "w", zipfile.ZIP_DEFLATED) as package:
    for name, text in parts.items():
        package.writestr(name, text)

# Date system 1904, truth values and a row of small integers (written as one record of numbers).
book = xlwt.Workbook()
book.dates_1904 = True
sheet = book.add_sheet("1904")
sheet.write(0, 0, "head")
sheet.write(1, 0, datetime.date(2014, 5, 20), date_style)
sheet.write(1, 1, True)
sheet.write(1, 2, False)
for column in range(4):
    sheet.write(2, column, column + 1)
book.save(folder + "/dates1904.xls")


def letters(length, first):
    return "".join(chr(ord(first) + i % 26) for i in range(length))


# Formulas without cached values, for a spreadsheet program to compute and save as .xls.
book = openpyxl.Workbook()
sheet = book.active
for column in range(1, 11):
    sheet.cell(row=1, column=column, value="列%d" % column)
for column, value in enumerate(
        [3, 2.5, "=A2*B2", '="ab"&"cd"', "=A2>1", "=1/0", "=A2<1", datetime.date(2014, 5, 20),
         letters(12000, "a"), letters(7000, "中")], start=1):
    sheet.cell(row=2, column=column, value=value)
for column in range(1, 5):
    sheet.cell(row=3, column=column, value=column)
book.save(folder + "/office_source.xlsx")

# Formulas on two sheets, a merged range, a bold font, a date format and a wide column: all of
# it must still be there after the engine writes into the file.
book = xlwt.Workbook(encoding="utf-8")
sheet = book.add_sheet("数据")
sheet.col(0).width = 8000
sheet.write(0, 0, "名称")
sheet.write(0, 1, "数量")
sheet.write(1, 0, "苹果")
sheet.write(1, 1, 3)
sheet.write(1, 2, xlwt.Formula("B2*2"))
sheet.write_merge(0, 1, 3, 4, "合并")
sheet.write(0, 5, "粗体", xlwt.easyxf("font: bold on"))
sheet.write(2, 5, datetime.date(2014, 5, 20), date_style)
for column in range(3):
    sheet.write(5, column, column + 10)
other = book.add_sheet("汇总")
other.write(0, 0, xlwt.Formula("SUM(1,2)"))
other.write(0, 1, "说明")
other.write_merge(2, 3, 0, 1, "另一合并")
book.save(folder + "/kept.xls")

# A shared formula over B1:B3 and the cached order of calculation (calcChain), as spreadsheet
# programs write them.
parts["[Content_Types].xml"] = parts["[Content_Types].xml"].replace(
    "</Types>", '<Override PartName="/xl/calcChain.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.calcChain+xml"/></Types>')
parts["xl/_rels/workbook.xml.rels"] = parts["xl/_rels/workbook.xml.rels"].replace(
    "</Relationships>", '<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/calcChain" Target="calcChain.xml"/></Relationships>')
parts["xl/calcChain.xml"] = '<?xml version="1.0" encoding="UTF-8"?><calcChain xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><c r="B1" i="1"/><c r="B2"/><c r="B3"/><c r="C1"/></calcChain>'
parts["xl/worksheets/sheet1.xml"] = (
    '<?xml version="1.0" encoding="UTF-8"?><worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><dimension ref="A1:C3"/><sheetData>'
    '<row r="1"><c r="A1"><v>1</v></c><c r="B1"><f t="shared" ref="B1:B3" si="0">A1*2+$A$1</f><v>3</v></c><c r="C1"><f>SUM($A$1:A3)</f><v>6</v></c></row>'
    '<row r="2"><c r="A2"><v>2</v></c><c r="B2"><f t="shared" si="0"/><v>5</v></c></row>'
    '<row r="3"><c r="A3"><v>3</v></c><c r="B3"><f t="shared" si="0"/><v>7</v></c></row>'
    '</sheetData></worksheet>')
with zipfile.ZipFile(folder + "/shared.xlsx", "w", zipfile.ZIP_DEFLATED) as package:
    for name, text in parts.items():
        package.writestr(name, text)
