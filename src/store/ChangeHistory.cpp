#include "ChangeHistory.h"

#include "DbManager.h"
#include "KeyedRow.h"
#include "PgCopy.h"
#include "WriteTransaction.h"

#include <QDateTime>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <atomic>

const QString ChangeHistory::Table = QStringLiteral("tb_sm_change_log");

namespace
{

const QStringList Columns = {
    QStringLiteral("log_seq"),    QStringLiteral("log_time"),  QStringLiteral("store_no"),
    QStringLiteral("log_user"),   QStringLiteral("log_role"),  QStringLiteral("log_action"),
    QStringLiteral("log_page"),   QStringLiteral("log_kind"),  QStringLiteral("log_serial"),
    QStringLiteral("log_before"), QStringLiteral("log_after"), QStringLiteral("log_note"),
    QStringLiteral("log_prev"),   QStringLiteral("log_hash")};

const QStringList Types = {QStringLiteral("int"),           QStringLiteral("VARCHAR(50)"),
                           QStringLiteral("VARCHAR(50)"),   QStringLiteral("VARCHAR(50)"),
                           QStringLiteral("int"),           QStringLiteral("VARCHAR(50)"),
                           QStringLiteral("VARCHAR(50)"),   QStringLiteral("int"),
                           QStringLiteral("VARCHAR(50)"),   QStringLiteral("NVARCHAR(MAX)"),
                           QStringLiteral("NVARCHAR(MAX)"), QStringLiteral("NVARCHAR(MAX)"),
                           QStringLiteral("VARCHAR(64)"),   QStringLiteral("VARCHAR(64)")};

// The connect generation at which the table was last found or made.
std::atomic<int> ensuredAt{-1};

DbManager& Owner(const StoreConnection& connection)
{
    return connection.Manager() ? *connection.Manager() : *DbManager::Instance();
}

QString Reason(const QSqlQuery& query)
{
    const QString text = query.lastError().text().trimmed();
    return text.isEmpty() ? QStringLiteral("数据库未连接") : text;
}

} // namespace

bool ChangeHistory::EnsureTable() const
{
    DbManager& manager = Owner(connection);
    const int generation = manager.Generation();
    if (ensuredAt.load() == generation)
        return true;
    // A connection lost since the last statement is opened again, once.
    if (!CreateTable(manager) &&
        (manager.ReopenIfLost() != DbManager::Reconnect::Reopened || !CreateTable(manager)))
        return false;
    // Made inside an enclosing transaction, the table goes if that one is rolled back.
    if (!WriteTransaction::OpenOnThisThread())
        ensuredAt = generation;
    return true;
}

bool ChangeHistory::CreateTable(DbManager& manager) const
{
    QSqlDatabase db = manager.Database();
    if (!db.isOpen())
        return StoreConnection::Fail(QStringLiteral("数据库未连接"));
    QString why;
    bool tableRefused = false;
    {
        // In a write transaction, so SQLite waits its turn behind other writers.
        WriteTransaction transaction(db);
        if (!transaction.IsOpen())
            return StoreConnection::Fail(transaction.ErrorText());
        QSqlQuery create(db);
        QSqlQuery index(db);
        if (!db.tables(QSql::Tables).contains(Table) &&
            !create.exec(manager.Dialect().CreateTableStatement(Table, Columns, Types, false))) {
            tableRefused = true;
            why = QStringLiteral("无法建立操作记录表 %1：%2").arg(Table, Reason(create));
        } else if (!index.exec(manager.Dialect().UniqueIndexStatement(
                       QStringLiteral("ux_change_log"), Table, QStringLiteral("store_no,log_seq"))))
            why = QStringLiteral("无法建立操作记录表的索引：%1").arg(Reason(index));
        else if (transaction.Commit())
            return true;
        else
            why = transaction.ErrorText();
    }
    // Another installation may have made it (and its index) at the same moment.
    return (tableRefused && !WriteTransaction::OpenOnThisThread() &&
            db.tables(QSql::Tables).contains(Table)) ||
           StoreConnection::Fail(why);
}

bool ChangeHistory::LastEntry(qint64& seq, QString& hash) const
{
    QSqlQuery query(connection.Database());
    if (!connection.Run(query,
                        QStringLiteral("select log_seq,log_hash from %1 where store_no=? and "
                                       "log_seq=(select max(log_seq) from %1 where store_no=?)")
                            .arg(Table),
                        {StoredValue::Text(storeNo), StoredValue::Text(storeNo)}))
        return false;
    seq = 0;
    hash.clear();
    if (query.next()) {
        seq = query.value(0).toLongLong();
        hash = query.value(1).toString();
    }
    return true;
}

bool ChangeHistory::Append(WriteTransaction& transaction, ChangeEntry entry) const
{
    if (!EnsureTable())
        return false;
    if (!transaction.LockKey(KeyedRow::LockName(Table, {StoredValue::Text(storeNo)})))
        return StoreConnection::Fail(transaction.ErrorText());
    return AppendInOpenTransaction(std::move(entry));
}

bool ChangeHistory::AppendInOpenTransaction(ChangeEntry e) const
{
    qint64 last = 0;
    if (!LastEntry(last, e.prev))
        return false;
    e.seq = last + 1;
    e.time = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
    e.storeNo = storeNo;
    e.user = actor.name.left(50);
    e.role = actor.role;
    e.hash = ChangeChain::Hash(e);
    const QVariantList values = {e.seq,
                                 e.time,
                                 StoredValue::Text(e.storeNo),
                                 StoredValue::Text(e.user),
                                 e.role,
                                 e.action,
                                 StoredValue::Text(e.page),
                                 e.kind,
                                 StoredValue::Text(e.serial),
                                 StoredValue::Text(e.before),
                                 StoredValue::Text(e.after),
                                 StoredValue::Text(e.note),
                                 StoredValue::Text(e.prev),
                                 e.hash};
    // The driver would paste an import's megabytes of values into the statement text, for the
    // server to read back out of it; a copy hands them over as they are.
    if (pg_conn* pg = PgCopy::Connection(connection.Database())) {
        PgCopy copy(pg);
        return copy.Send(Table, Columns, values) || StoreConnection::Fail(copy.Error());
    }
    QStringList marks;
    marks.fill(QStringLiteral("?"), Columns.size());
    QSqlQuery insert(connection.Database());
    return connection.Run(
        insert,
        QStringLiteral("insert into %1(%2) values(%3)")
            .arg(Table, Columns.join(QLatin1Char(',')), marks.join(QLatin1Char(','))),
        values);
}

bool ChangeHistory::AppendAlone(const ChangeEntry& entry) const
{
    return EnsureTable() &&
           connection.InWriteTransaction([this, &entry](WriteTransaction& transaction) {
               return Append(transaction, entry);
           });
}

bool ChangeHistory::Load(QList<ChangeEntry>& out) const
{
    if (!EnsureTable())
        return false;
    QSqlQuery query(connection.Database());
    if (!connection.Run(query,
                        QStringLiteral("select %1 from %2 where store_no=? order by log_seq")
                            .arg(Columns.join(QLatin1Char(',')), Table),
                        {StoredValue::Text(storeNo)}))
        return false;
    QList<ChangeEntry> entries;
    while (query.next()) {
        ChangeEntry e;
        e.seq = query.value(0).toLongLong();
        e.time = query.value(1).toString();
        e.storeNo = query.value(2).toString();
        e.user = query.value(3).toString();
        e.role = query.value(4).toInt();
        e.action = query.value(5).toString();
        e.page = query.value(6).toString();
        e.kind = query.value(7).toInt();
        e.serial = query.value(8).toString();
        e.before = query.value(9).toString();
        e.after = query.value(10).toString();
        e.note = query.value(11).toString();
        e.prev = query.value(12).toString();
        e.hash = query.value(13).toString();
        entries << e;
    }
    out = entries;
    return true;
}

bool ChangeHistory::ReadRows(const StoreConnection& connection, const TableSchema& table,
                             const QString& where, const QVariantList& values,
                             QList<QVariantList>& rows)
{
    QSqlQuery query(connection.Database());
    if (!connection.Run(query,
                        QStringLiteral("select %1 from %2 where %3 order by id")
                            .arg(table.columns.join(QLatin1Char(',')), table.name, where),
                        values))
        return false;
    rows.clear();
    while (query.next()) {
        QVariantList row;
        row.reserve(table.columns.size());
        for (qsizetype c = 0; c < table.columns.size(); ++c)
            row << query.value(int(c));
        rows << row;
    }
    return true;
}
