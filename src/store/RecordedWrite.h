#pragma once

#include "ChangeHistory.h"
#include "KeyedRow.h"
#include "StoreConnection.h"

#include <QString>
#include <QVariantList>

// Saves and deletes of the program's tables together with their history entry, in one
// transaction: when the entry cannot be written, the change is not made. Without a history
// (nullptr) they are the plain saves and deletes.
class RecordedWrite
{
public:
    RecordedWrite(const StoreConnection& connection, const ChangeHistory* history)
        : connection(connection), history(history)
    {
    }

    // A keyed row saved: "add" when its key was new, `edited` otherwise; a save that changes no
    // value leaves no entry. Passwords are never written into the history: the note says that
    // one changed.
    bool Save(const KeyedRow& row, int kind, const QString& serial,
              const QString& added = ChangeEntry::Add,
              const QString& edited = ChangeEntry::Edit) const;
    // The rows of `table` that match `where` deleted, their values in the entry; nothing
    // deleted leaves no entry.
    bool Delete(const QString& table, const QString& where, const QVariantList& values,
                const QString& action, int kind, const QString& serial) const;

private:
    const StoreConnection& connection;
    const ChangeHistory* history;
};
