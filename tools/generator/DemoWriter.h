#pragma once

#include "DemoData.h"

#include <QSet>
#include <QString>

// Writes generated stores through the data store: lists and accounts through its saves, ledger
// rows in bulk.
class DemoWriter
{
public:
    // Lists, accounts and ledger rows of one store, under its store number. The data store's
    // current store number is restored afterwards. False with Error() set on the first refusal.
    bool Write(const StoreDemo& store);
    QString Error() const { return error; }

private:
    bool WriteLists(const StoreDemo& store);
    template <typename Row> bool WriteRows(const QString& table, const QList<Row>& rows);
    QSet<QString> StoredKeys(const QString& table, const QString& storeNo);

    QString error;
};
