#pragma once

#include "Records.h"

#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

// Inserts new ledger rows of one store with one prepared statement, skipping rows whose
// (kind, serial) the store already holds, so a second run with the same seed adds nothing.
// The data store's save looks each row up before inserting it, which costs a scan of the
// store's rows of that kind per row: too slow for a hundred thousand rows.
class LedgerInserter
{
public:
    LedgerInserter(QSqlDatabase db, const QString& table, const QString& storeNo);

    // False when the existing rows could not be read or the statement not prepared.
    bool Ready() const { return ready; }
    bool Insert(const ProductRecord& r);
    bool Insert(const FinanceRecord& r);
    QString Error() const;

private:
    bool InsertTexts(int kind, const QString& serial, const QVariantList& texts);

    QSqlQuery insert;
    QString storeNo;
    QSet<QString> existing; // kind and serial
    bool ready = false;
};
