#pragma once

#include "DemoData.h"

#include <QString>

// Writes generated stores through the data store: lists, accounts and ledger rows, the rows with
// one transaction per batch.
class DemoWriter
{
public:
    explicit DemoWriter(int batchSize = 2000) : batchSize(batchSize) {}

    // Lists, accounts and ledger rows of one store, under its store number. The data store's
    // current store number is restored afterwards. False with Error() set on the first refusal.
    bool Write(const StoreDemo& store);
    QString Error() const { return error; }

private:
    bool WriteLists(const StoreDemo& store);
    template <typename Row> bool WriteRows(const QString& table, const QList<Row>& rows);

    int batchSize;
    QString error;
};
