#include "WriteTransaction.h"

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
    if (!open)
        return false;
    switch (db.driver()->dbmsType()) {
    case QSqlDriver::PostgreSQL:
        return Exec(QStringLiteral("select count(*) from (select "
                                   "pg_advisory_xact_lock(hashtext(cast(? as text)))) as locked"),
                    {key});
    case QSqlDriver::MSSqlServer:
        return Exec(QStringLiteral("exec sp_getapplock @Resource=?, @LockMode='Exclusive', "
                                   "@LockOwner='Transaction'"),
                    {key.left(255)});
    default:
        return true; // SQLite: the immediate transaction already keeps every other writer out
    }
}

bool WriteTransaction::LockKeys(QStringList keys)
{
    if (!open)
        return false;
    keys.sort();
    keys.removeDuplicates();
    if (db.driver()->dbmsType() != QSqlDriver::PostgreSQL) {
        for (const QString& key : std::as_const(keys)) {
            if (!LockKey(key))
                return false;
        }
        return true;
    }
    // Many keys to a round trip; the branches of a union all run in their order.
    constexpr qsizetype KeysPerStatement = 200;
    for (qsizetype from = 0; from < keys.size(); from += KeysPerStatement) {
        const QStringList part = keys.mid(from, KeysPerStatement);
        QStringList locks;
        for (qsizetype i = 0; i < part.size(); ++i)
            locks << QStringLiteral("select pg_advisory_xact_lock(hashtext(cast(? as text)))");
        if (!Exec(QStringLiteral("select count(*) from (%1) as locked")
                      .arg(locks.join(QLatin1String(" union all "))),
                  QVariantList(part.cbegin(), part.cend())))
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

bool WriteTransaction::Fail(const QString& reason)
{
    error = reason.trimmed().isEmpty() ? NotConnected() : reason.trimmed();
    return false;
}

bool WriteTransaction::IsSqlite() const
{
    return db.driver()->dbmsType() == QSqlDriver::SQLite;
}
