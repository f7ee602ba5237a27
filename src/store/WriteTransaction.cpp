#include "WriteTransaction.h"

#include "PgArray.h"

#include <QElapsedTimer>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

namespace
{

// Transactions open on this thread's connection; the first one owns the database transaction.
thread_local int openTransactions = 0;

// How long a SQLite writer keeps asking for the write lock while other writers hold it.
constexpr qint64 SqliteTurnWaitMs = 30000;

// SQLite's code for a database locked by another connection.
const QString SqliteBusy = QStringLiteral("5");

QString NotConnected()
{
    return QStringLiteral("数据库未连接");
}

} // namespace

WriteTransaction::WriteTransaction(QSqlDatabase database) : db(std::move(database))
{
    if (openTransactions > 0) {
        open = true;
    } else if (!db.isOpen()) {
        Fail(NotConnected());
    } else if (IsSqlite()) {
        // A deferred transaction that reads first cannot wait for the write lock later: another
        // writer's commit in between fails it at once instead of after the busy timeout. And
        // while other writers keep taking turns, one busy timeout may pass without a turn.
        QElapsedTimer waited;
        waited.start();
        do {
            open = Exec(QStringLiteral("BEGIN IMMEDIATE"));
        } while (!open && busy && waited.elapsed() < SqliteTurnWaitMs);
    } else {
        open = db.transaction() || Fail(db.lastError().text());
    }
    if (open) {
        outermost = openTransactions == 0;
        ++openTransactions;
    }
}

bool WriteTransaction::OpenOnThisThread()
{
    return openTransactions > 0;
}

WriteTransaction::~WriteTransaction()
{
    if (!open)
        return;
    --openTransactions;
    if (!outermost || committed)
        return;
    if (IsSqlite())
        Exec(QStringLiteral("ROLLBACK"));
    else
        db.rollback();
}

bool WriteTransaction::LockKey(const QString& key)
{
    return LockKeys({key});
}

bool WriteTransaction::LockKeys(QStringList keys)
{
    if (!open)
        return false;
    keys.sort();
    keys.removeDuplicates();
    const QSqlDriver::DbmsType server = db.driver()->dbmsType();
    if (server != QSqlDriver::PostgreSQL && server != QSqlDriver::MSSqlServer)
        return true; // SQLite: the immediate transaction already keeps every other writer out
    if (server == QSqlDriver::PostgreSQL) {
        // Every key in one round trip, as one array, taken in its order.
        return Exec(QStringLiteral("select count(pg_advisory_xact_lock(hashtext(k))) from "
                                   "unnest(cast(? as text[])) as k"),
                    {PgArray::Literal(QVariantList(keys.cbegin(), keys.cend()))});
    }
    // Many keys to a round trip, taken in their order.
    constexpr qsizetype KeysPerStatement = 200;
    for (qsizetype from = 0; from < keys.size(); from += KeysPerStatement) {
        QStringList shortened;
        for (const QString& key : keys.mid(from, KeysPerStatement))
            shortened << key.left(255);
        if (!ServerLocksGranted(shortened))
            return false;
    }
    return true;
}

bool WriteTransaction::Commit()
{
    if (!open)
        return false;
    if (!outermost)
        return true;
    committed =
        IsSqlite() ? Exec(QStringLiteral("COMMIT")) : db.commit() || Fail(db.lastError().text());
    return committed;
}

bool WriteTransaction::Exec(const QString& statement, const QVariantList& values)
{
    QSqlQuery query(db);
    bool ok = query.prepare(statement);
    if (ok) {
        for (const QVariant& value : values)
            query.addBindValue(value);
        ok = query.exec();
    }
    busy = !ok && query.lastError().nativeErrorCode() == SqliteBusy;
    return ok || Fail(query.lastError().text());
}

// sp_getapplock answers through its return value: 0 or 1 granted, negative refused (timed out,
// cancelled, chosen as a deadlock victim). The least answer of the keys comes back; a refused
// lock must fail the save.
bool WriteTransaction::ServerLocksGranted(const QStringList& keys)
{
    QString statement = QStringLiteral("set nocount on; declare @granted int, @least int = 0;");
    for (qsizetype i = 0; i < keys.size(); ++i)
        statement += QStringLiteral(
            " exec @granted = sp_getapplock @Resource=?, @LockMode='Exclusive', "
            "@LockOwner='Transaction'; select @least = case when @granted < @least then @granted "
            "else @least end;");
    statement += QStringLiteral(" select @least as granted");
    QSqlQuery query(db);
    bool ok = query.prepare(statement);
    if (ok) {
        for (const QString& key : keys)
            query.addBindValue(key);
        ok = query.exec();
    }
    if (!ok)
        return Fail(query.lastError().text());
    // The statements before the last select may each leave a result without rows.
    while (!query.isSelect() && query.nextResult()) {
    }
    if (!query.next())
        return Fail(QStringLiteral("数据库没有回答记录锁的结果"));
    const int granted = query.value(0).toInt();
    if (granted < 0)
        return Fail(
            QStringLiteral("无法锁定要保存的记录（数据库回答 %1），请稍后再试").arg(granted));
    return true;
}

bool WriteTransaction::Fail(const QString& reason)
{
    error = reason.trimmed().isEmpty() ? NotConnected() : reason.trimmed();
    return false;
}

bool WriteTransaction::IsSqlite() const
{
    return db.driver()->dbmsType() == QSqlDriver::SQLite;
}
