"""Writes ledger sheets whose date column holds dates as other programs store them.

usage: make_ledger_dates.py FOLDER

Each goods sheet has the 19 page columns; row i (from 2) has the entry time
2024-03-15 10:00:<i>:000 and the date value listed for it. A money sheet has the 9 page columns.
"""
import datetime
import sys

import openpyxl
import xlwt
from openpyxl.utils.datetime import CALENDAR_MAC_1904

folder = sys.argv[1]
D = datetime.date(2024, 3, 5)
DT = datetime.datetime(2024, 3, 5, 10, 11, 12)

# (file, date column values from sheet row 2 on); None leaves the entry time empty for that row.
GOODS = {
    "goods1900.xlsx": [D, DT, 45356, "2024/3/5", "2024年3月5日", "2024.3.5 10:11", "2024-02-30",
                       datetime.date(1900, 3, 1), 60, ("no serial", "2024-3-5")],
    "goods1904.xlsx": [D, DT, 43894, datetime.date(1904, 1, 1)],
    "goods1904iso.xlsx": [D, DT],
    "goods1900.xls": [D, DT, 45356, "2024年3月5日", ""],
    "goods1904.xls": [D, DT, 43894],
}


def goods_rows(values):
    rows = [["列%d" % c for c in range(19)]]
    for i, value in enumerate(values, start=2):
        serial = "2024-03-15 10:00:%02d:000" % i
        if isinstance(value, tuple):
            serial, value = "", value[1]
        row = [serial, "类目", "名称", "型号", "", "编码", "规格", value, "仓库", 2, 12.5, 25, 0, 25,
               "供货商", "张三", "单号", "李四", "备注"]
        rows.append(row)
    return rows


def money_rows():
    rows = [["列%d" % c for c in range(9)]]
    for i, value in enumerate([D, "2024/3/5 8:00", "5/3/2024"], start=2):
        rows.append(["2024-03-15 11:00:%02d:000" % i, "收款", 100, value, "客户", "张三", "凭证",
                     "李四", "备注"])
    return rows


def save_xlsx(path, rows, epoch1904=False, iso=False):
    book = openpyxl.Workbook(iso_dates=iso)
    if epoch1904:
        book.epoch = CALENDAR_MAC_1904
    sheet = book.active
    for row in rows:
        sheet.append(row)
    book.save(path)


def save_xls(path, rows, epoch1904=False):
    book = xlwt.Workbook(encoding="utf-8")
    book.dates_1904 = epoch1904
    sheet = book.add_sheet("账")
    date_style = xlwt.easyxf(num_format_str="yyyy-mm-dd")
    time_style = xlwt.easyxf(num_format_str="yyyy-mm-dd hh:mm:ss")
    for r, row in enumerate(rows):
        for c, value in enumerate(row):
            if isinstance(value, datetime.datetime):
                sheet.write(r, c, value, time_style)
            elif isinstance(value, datetime.date):
                sheet.write(r, c, value, date_style)
            else:
                sheet.write(r, c, value)
    book.save(path)


for name, values in GOODS.items():
    path = folder + "/" + name
    epoch1904 = "1904" in name
    if name.endswith(".xls"):
        save_xls(path, goods_rows(values), epoch1904)
    else:
        save_xlsx(path, goods_rows(values), epoch1904, iso="iso" in name)
save_xlsx(folder + "/money1900.xlsx", money_rows())
