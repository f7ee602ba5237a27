#pragma once

#include "Workbook.h"

#include <QByteArray>
#include <QString>

// Puts text cells into the XML of an existing worksheet part. Only the cell table and the
// recorded dimension change; every other byte of the part, and every cell not written, stays.
class XlsxSheetPatcher
{
public:
    static bool Apply(const QByteArray& sheetXml, const CellWrites& writes, QByteArray& patched,
                      QString& error);
};
