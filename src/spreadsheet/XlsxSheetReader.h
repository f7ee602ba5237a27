#pragma once

#include "Workbook.h"

#include <QByteArray>
#include <QStringList>

// Reads the cell values of one worksheet part of an Office Open XML workbook.
class XlsxSheetReader
{
public:
    // The shared string table part: one text per entry, rich text runs joined.
    static bool ReadSharedStrings(const QByteArray& xml, QStringList& strings);
    // Formula cells give their cached values; cells without a value are left out. Date cells
    // written as dates get their day numbers in the workbook's date system.
    static bool ReadCells(const QByteArray& xml, const QStringList& strings, bool dateSystem1904,
                          SheetCells& cells);
};
