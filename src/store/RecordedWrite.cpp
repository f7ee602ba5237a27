#include "RecordedWrite.h"

#include "WriteTransaction.h"

#include <QSqlQuery>

namespace
{

const QString Password = QStringLiteral("user_password");

} // namespace

bool RecordedWrite::Save(const KeyedRow& row, int kind, const QString& serial, const QString& added,
                         const QString& edited) const
{
    if (!history)
        return row.Save(connection);
    if (!connection.HasManager())
        return StoreConnection::Fail(QStringLiteral("数据库未连接"));
    if (!history->EnsureTable())
        return false;
    return connection.InWriteTransaction([&](WriteTransaction& transaction) {
        std::optional<QVariantList> before;
        if (!row.SaveIn(connection, transaction, &before))
            return false;
        ChangeEntry entry;
        entry.action = before ? edited : added;
        entry.page = row.table;
        entry.kind = kind;
        entry.serial = serial;
        const QStringList omit = {Password};
        entry.after = ChangeRows::Encode(row.columns, {row.values}, omit);
        if (before) {
            entry.before = ChangeRows::Encode(row.columns, {*before}, omit);
            const qsizetype password = row.columns.indexOf(Password);
            const bool passwordChanged =
                password >= 0 && before->at(password).toString() != row.values.at(password);
            if (passwordChanged)
                entry.note = QStringLiteral("密码已修改");
            else if (entry.before == entry.after)
                return true;
        }
        return history->Append(transaction, entry);
    });
}

bool RecordedWrite::Delete(const QString& table, const QString& where, const QVariantList& values,
                           const QString& action, int kind, const QString& serial) const
{
    const QString statement = QStringLiteral("delete from %1 where %2").arg(table, where);
    if (!history) {
        QSqlQuery query(connection.Database());
        return connection.Run(query, statement, values);
    }
    if (!connection.HasManager())
        return StoreConnection::Fail(QStringLiteral("数据库未连接"));
    if (!history->EnsureTable())
        return false;
    return connection.InWriteTransaction([&](WriteTransaction& transaction) {
        const TableSchema& schema = Schema::Table(table);
        QList<QVariantList> rows;
        if (!ChangeHistory::ReadRows(connection, schema, where, values, rows))
            return false;
        if (rows.isEmpty())
            return true;
        QSqlQuery query(connection.Database());
        if (!connection.Run(query, statement, values))
            return false;
        ChangeEntry entry;
        entry.action = action;
        entry.page = table;
        entry.kind = kind;
        entry.serial = serial;
        entry.before = ChangeRows::Encode(schema.columns, rows, {Password});
        entry.note = QStringLiteral("%1 条记录").arg(rows.size());
        return history->Append(transaction, entry);
    });
}
