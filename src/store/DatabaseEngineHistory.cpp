#include "DatabaseEngine.h"

#include "KeyedRow.h"
#include "Schema.h"
#include "StoreTables.h"
#include "WriteTransaction.h"

#include <QSqlQuery>

// The change history of the current store, kept apart from the record operations.

namespace
{

// The columns that find a row of a table: its key and the store number.
QStringList KeyColumns(const TableSchema& table)
{
    QStringList names;
    for (const int c : table.key)
        names << table.columns.at(c);
    return names << QStringLiteral("store_no");
}

} // namespace

void DatabaseEngine::SetActor(const ChangeActor& a)
{
    actor = a;
}

ChangeActor DatabaseEngine::Actor() const
{
    return actor;
}

bool DatabaseEngine::LoadChangeHistory(QList<ChangeEntry>& out)
{
    return History().Load(out);
}

bool DatabaseEngine::RecordSignIn(const QString& login, int role, bool accepted)
{
    ChangeEntry entry;
    entry.action = accepted ? ChangeEntry::SignIn : ChangeEntry::FailedSignIn;
    entry.page = StoreTables::User;
    entry.serial = login.left(50);
    // The one who signs in is the actor of the entry, whoever was signed in before.
    const ChangeHistory history(connection, storeNo, {login, accepted ? role : 0});
    return history.AppendAlone(entry);
}

bool DatabaseEngine::RecoverDeleted(const ChangeEntry& deleted)
{
    if ((deleted.action != ChangeEntry::Delete && deleted.action != ChangeEntry::Clear) ||
        (deleted.page != StoreTables::Product && deleted.page != StoreTables::Finance))
        return StoreConnection::Fail(QStringLiteral("这条操作记录没有可以恢复的记录"));
    const TableSchema& schema = Schema::Table(deleted.page);
    QList<QVariantList> rows;
    if (!ChangeRows::Decode(deleted.before, schema.columns, rows) || rows.isEmpty())
        return StoreConnection::Fail(QStringLiteral("这条操作记录没有可以恢复的记录"));
    const qsizetype storeColumn = schema.columns.indexOf(QStringLiteral("store_no"));
    QList<KeyedRow> keyed;
    QStringList locks;
    for (QVariantList& row : rows) {
        // A record goes back into the current store only.
        row[storeColumn] = StoredValue::Text(storeNo);
        keyed << KeyedRow{schema.name, schema.columns, row, KeyColumns(schema)};
        locks << keyed.last().LockName();
    }
    const ChangeHistory history = History();
    if (!history.EnsureTable())
        return false;
    return connection.InWriteTransaction([&](WriteTransaction& transaction) {
        if (!transaction.LockKeys(locks))
            return StoreConnection::Fail(transaction.ErrorText());
        for (const KeyedRow& row : std::as_const(keyed)) {
            const qint64 stored = connection.Count(row.CountStatement(), row.KeyValues());
            if (stored < 0)
                return false;
            if (stored > 0)
                return StoreConnection::Fail(
                    QStringLiteral("录入时间为 %1 的记录已经存在，没有恢复任何记录")
                        .arg(row.values.at(1).toString()));
        }
        for (const KeyedRow& row : std::as_const(keyed)) {
            QSqlQuery insert(connection.Database());
            if (!connection.Run(insert, row.InsertStatement(), row.values))
                return false;
        }
        ChangeEntry entry;
        entry.action = ChangeEntry::Recover;
        entry.page = deleted.page;
        entry.kind = deleted.kind;
        entry.serial = deleted.serial;
        entry.after = ChangeRows::Encode(schema.columns, rows);
        entry.note =
            QStringLiteral("恢复第 %1 号操作删除的 %2 条记录").arg(deleted.seq).arg(rows.size());
        return history.Append(transaction, entry);
    });
}

bool DatabaseEngine::HistoryReady()
{
    // Without a connection nothing is changed either, and the change itself says so.
    const QSqlDatabase db = connection.Database();
    if (!db.isValid() || !db.isOpen())
        return true;
    return History().EnsureTable();
}

bool DatabaseEngine::RecordImport(const QString& file, const QString& table, int kind,
                                  const QString& counts, const QList<QVariantList>& updatedRows)
{
    ChangeEntry entry;
    entry.action = ChangeEntry::Import;
    entry.page = table;
    entry.kind = kind;
    entry.before = ChangeRows::Encode(Schema::Table(table).columns, updatedRows);
    entry.note = QStringLiteral("%1：%2").arg(file, counts);
    return History().AppendAlone(entry);
}
