#pragma once

#include "Records.h"

#include <QString>
#include <QStringList>
#include <functional>

// A sheet row's cell texts -> a ledger record: the cells in page column order, the date in any
// form SheetDate reads, stored as "yyyy-MM-dd". A row becomes a record only when every cell fits
// the stored record; otherwise it is refused with the reason a clerk can act on.
class LedgerSheetRows
{
public:
    // Makes the entry time of a row that has none; each call gives a different one.
    using SerialMaker = std::function<QString()>;

    // `dateSystem1904`: the workbook's date system, which its day numbers count in.
    LedgerSheetRows(int kind, SerialMaker newSerial, bool dateSystem1904 = false);

    // Whether the row has no entry time: it is then stored as a new record under a new one, so
    // importing it again adds it again.
    static bool IsNewRecord(const QStringList& cells);

    // Fills `record` (of the converter's kind) from `cells`; false with `reason` when the row is
    // blank, has too few cells, holds a number cell that is not a number, a date cell that is not
    // a date or a text longer than its column. Cells after the record's last column are ignored.
    bool ToRecord(const QStringList& cells, ProductRecord& record, QString& reason) const;
    bool ToRecord(const QStringList& cells, FinanceRecord& record, QString& reason) const;

private:
    template <class Record>
    bool Fill(const QStringList& cells, const QString& table, int dateColumn, Record& record,
              QString& reason) const;
    static QString NumberProblem(const ProductRecord& record);
    static QString NumberProblem(const FinanceRecord& record);

    int kind;
    SerialMaker newSerial;
    bool dateSystem1904;
};
