#pragma once

#include "Records.h"
#include "StoreConnection.h"

class ChangeHistory;

#include <QString>

// The goods and money rows of one store, one at a time: a record is identified by (kind, serial,
// store number), and a save never stores a second row for one key, also when several
// connections save it at once. With a history, every change is recorded in it in the change's
// own transaction.
class LedgerStore
{
public:
    LedgerStore(const StoreConnection& connection, const QString& storeNo,
                const ChangeHistory* history = nullptr)
        : connection(connection), storeNo(storeNo), history(history)
    {
    }

    bool SaveProduct(const ProductRecord& record) const;
    bool SaveFinance(const FinanceRecord& record) const;
    bool DeleteProduct(const ProductRecord& record) const;
    bool DeleteFinance(const FinanceRecord& record) const;
    // Every record of one kind.
    bool ClearProducts(int kind) const;
    bool ClearFinances(int kind) const;
    // How many records of a kind the store holds; -1 when the database cannot tell.
    qint64 CountProducts(int kind) const;
    qint64 CountFinances(int kind) const;

private:
    qint64 CountKind(const QString& table, int kind) const;

    const StoreConnection& connection;
    QString storeNo;
    const ChangeHistory* history;
};
