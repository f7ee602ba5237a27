#pragma once

#include "ImportReport.h"
#include "LedgerSheetRows.h"

#include <QList>
#include <QVariantList>
#include <functional>
#include <memory>

class DatabaseEngine;
class SheetTable;

// Reads sheet 1 of a spreadsheet and stores its data rows as records of one ledger kind: a row
// whose entry time the store has already updates that record, any other is added. Rows that
// cannot be records, and rows the database refuses, are left out and reported with their sheet
// row. When the connection to the database is lost, or the caller asks it to stop, the import
// stores nothing more and reports every row it did not save. The source file is only read,
// never written. The import is one entry of the store's change history (file, counts, the values
// of the updated records before); when the history cannot be written, nothing is imported.
class LedgerImport
{
public:
    // Rows handled so far, of all data rows.
    using Progress = std::function<void(int done, int total)>;
    // Asked before each transaction's rows: why the import is to stop there (the program is
    // quitting, the user cancelled it), empty to go on.
    using StopRequested = std::function<QString()>;

    LedgerImport(DatabaseEngine& engine, LedgerSheetRows::SerialMaker newSerial);

    // `pageType`: LedgerSheet::GoodsLedger or MoneyLedger; `kind`: the records' tab_type.
    ImportReport Run(const QString& path, int pageType, int kind, const Progress& progress = {},
                     const StopRequested& stopRequested = {});

private:
    // The data rows of sheet 1 and the workbook's date system, or null with the reason.
    static std::unique_ptr<SheetTable> ReadCells(const QString& path, bool& dateSystem1904,
                                                 QString& failure);
    // False when the connection to the database was lost on the way.
    template <class Record>
    bool Store(const SheetTable& cells, const LedgerSheetRows& rows, ImportReport& report,
               const Progress& progress, const StopRequested& stopRequested,
               QList<QVariantList>& updatedRows);

    DatabaseEngine& engine;
    LedgerSheetRows::SerialMaker newSerial;
};
