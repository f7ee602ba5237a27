#pragma once

#include "Records.h"
#include "StoreConnection.h"

#include <QString>

class ChangeHistory;

// The packed lists of one store; `table` 1 = master-data lists, 2 = person lists, anything else
// fails. With a history, saves and deletes are recorded in it.
class ListStore
{
public:
    ListStore(const StoreConnection& connection, const QString& storeNo,
              const ChangeHistory* history = nullptr)
        : connection(connection), storeNo(storeNo), history(history)
    {
    }

    // Saved over the list of the same kind, or added.
    bool Save(int table, const ListRecord& list) const;
    bool Delete(int table, int infoType) const;
    // True when the select ran, also when no list of that kind is stored (record unchanged).
    bool Load(int table, ListRecord& list) const;

private:
    // The table's name; empty, with the reason kept, for an unknown selector.
    static QString TableName(int table);

    const StoreConnection& connection;
    QString storeNo;
    const ChangeHistory* history;
};
