#pragma once

#include "LedgerModel.h"

class DatabaseEngine;

// Turns a ledger row into its stored record: the number check and the computed columns are
// applied to the row on screen, then the whole row is stored in one round trip. Deleting and
// clearing go by the records' identity (kind, serial, current store).
class RowSaver
{
public:
    struct Outcome {
        bool numberRejected = false; // a number cell held no number and was emptied
        bool stored = false;
        QString serial; // the row's entry time
    };

    explicit RowSaver(DatabaseEngine& engine) : engine(engine) {}

    Outcome Save(ProductModel& model, int row);
    Outcome Save(FinanceModel& model, int row);
    // Deletes the stored record of `row` and then the row; a refused delete keeps the row.
    bool Delete(ProductModel& model, int row);
    bool Delete(FinanceModel& model, int row);
    // Deletes the current store's records of the page's kind and then every row.
    bool Clear(ProductModel& model);
    bool Clear(FinanceModel& model);
    // How many records a clear of the page would delete; -1 when the database cannot tell.
    qint64 Count(const ProductModel& model);
    qint64 Count(const FinanceModel& model);

    QString LastError() const;

private:
    DatabaseEngine& engine;
};
