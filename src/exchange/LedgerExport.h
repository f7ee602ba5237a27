#pragma once

#include <QString>

class QAbstractItemModel;

namespace LedgerExport
{

// Writes a page into sheet 1 of the file at `path` (a new file becomes an Excel 97-2003
// workbook): row 1 the headers, then every row as shown, the date column of `pageType`
// (LedgerSheet::GoodsLedger or MoneyLedger) as "yyyyKMMKdd". Empty when written, else why not.
QString Write(const QString& path, int pageType, const QAbstractItemModel& page);

} // namespace LedgerExport
