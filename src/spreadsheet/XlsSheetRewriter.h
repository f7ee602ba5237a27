#pragma once

#include "SharedStrings.h"
#include "Workbook.h"

#include <QByteArray>
#include <QString>

// Writes texts into the records of one worksheet. The written cells are replaced (new texts go
// into the shared string table); every other record of the sheet stays as it was. The row-block
// index (INDEX, DBCELL) would point at moved records, so it is left out; spreadsheet programs
// do without it.
class XlsSheetRewriter
{
public:
    // `sheet` is the sheet's records from its BOF to just past its EOF. False with a reason,
    // nothing written, when a write would break a construct of the sheet (an array formula, a
    // data table or the cell that holds a shared formula).
    static bool Apply(QByteArrayView sheet, const CellWrites& writes, quint16 textXf,
                      SharedStrings& strings, QByteArray& rewritten, QString& error);
};
