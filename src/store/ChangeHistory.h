#pragma once

#include "ChangeEntry.h"
#include "Schema.h"
#include "StoreConnection.h"

#include <QList>
#include <QString>

class DbManager;
class WriteTransaction;

// Who is signed in: the name and role every entry of the history carries.
struct ChangeActor {
    QString name;
    int role = 0;
};

// The change history of one store number, kept in a table of its own (tb_sm_change_log) that is
// created the first time it is needed, so installations that do not know it never miss it.
// Entries are appended inside the transaction of the change they record, so a change whose
// entry cannot be written is not made; each entry carries the hash of the store's entry before
// it. The history is not part of backups, and a restore leaves it alone (it adds its own entry).
class ChangeHistory
{
public:
    static const QString Table;

    ChangeHistory(const StoreConnection& connection, const QString& storeNo,
                  const ChangeActor& actor)
        : connection(connection), storeNo(storeNo), actor(actor)
    {
    }

    // Creates the table and its unique key (store number, sequence) when missing; after the
    // first success of a connection it only answers true.
    bool EnsureTable() const;
    // Appends the entry (what, where, the values and a note as given; the rest is filled in)
    // as the store's next one. Call it last in the open transaction: it locks the store's
    // history, so two writers never take the same place in the chain.
    bool Append(WriteTransaction& transaction, ChangeEntry entry) const;
    // The same inside a transaction the caller opened on the connection without a
    // WriteTransaction: nothing is locked, and should another writer take the same place in the
    // chain at once, the unique key refuses one of them, so the chain never forks.
    bool AppendInOpenTransaction(ChangeEntry entry) const;
    // Appends the entry in a transaction of its own.
    bool AppendAlone(const ChangeEntry& entry) const;
    // Every entry of the store, in sequence order.
    bool Load(QList<ChangeEntry>& out) const;

    // The rows of one of the program's tables that match `where`, every column of `table` in
    // order (the dates as the driver reads them).
    static bool ReadRows(const StoreConnection& connection, const TableSchema& table,
                         const QString& where, const QVariantList& values,
                         QList<QVariantList>& rows);

private:
    bool CreateTable(DbManager& manager) const;
    bool LastEntry(qint64& seq, QString& hash) const;

    const StoreConnection& connection;
    QString storeNo;
    ChangeActor actor;
};
