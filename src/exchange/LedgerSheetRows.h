#pragma once

#include "Records.h"

#include <QString>
#include <functional>

// Ledger records <-> the lines a sheet is read into: cell texts joined by "+", with a "+" of a
// cell written as "^^", dates as "yyyyKMMKdd". A line becomes a record only when every cell fits
// the stored record; otherwise it is refused with the reason a clerk can act on.
class LedgerSheetRows
{
public:
    // Makes the entry time of a line that has none; each call gives a different one.
    using SerialMaker = std::function<QString()>;

    LedgerSheetRows(int kind, SerialMaker newSerial);

    // Fills `record` (of the converter's kind) from `line`; false with `reason` when the line is
    // blank, has too few cells, holds a number cell that is not a number or a text longer than
    // its column. Cells after the record's last column are ignored.
    bool ToRecord(const QString& line, ProductRecord& record, QString& reason) const;
    bool ToRecord(const QString& line, FinanceRecord& record, QString& reason) const;

private:
    template <class Record>
    bool Fill(const QString& line, const QString& table, int dateColumn, Record& record,
              QString& reason) const;
    static QString NumberProblem(const ProductRecord& record);
    static QString NumberProblem(const FinanceRecord& record);

    int kind;
    SerialMaker newSerial;
};
