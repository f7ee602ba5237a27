#pragma once

#include <QString>

class ExcelEngine;
class QAbstractItemModel;

// A ledger page as a sheet: the two page layouts, goods and money, each with the record's texts
// in stored column order, and the writing of a page into a sheet.
namespace LedgerSheet
{

enum LedgerKind { GoodsLedger = 1, MoneyLedger = 2 };

// The column that holds the record's date: 7 on goods pages, 3 on money pages, -1 for any other
// kind.
int DateColumn(int kind);

// Header texts into row 1, then every cell of the page from row 2 as shown, empty ones too; the
// date column of `kind` as "yyyyKMMKdd" (2014K05K20) where it holds a date. Then the sheet is
// saved: false when it is not open or could not be saved.
bool WriteLedgerToSheet(ExcelEngine& sheet, int kind, const QAbstractItemModel* model);

} // namespace LedgerSheet
