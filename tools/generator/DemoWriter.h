#pragma once

#include "DemoData.h"

#include <QString>

// Writes generated stores: lists and accounts through the data store, ledger rows in bulk with
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
    template <typename Row>
    bool WriteRows(const QString& table, const QString& storeNo, const QList<Row>& rows);

    int batchSize;
    QString error;
};
