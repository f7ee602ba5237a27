#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariantList>

// One transaction on the calling thread's connection for writes that must not interleave with
// another writer's: SQLite takes its write lock when the transaction starts, the database servers
// lock each key asked for until the transaction ends. A transaction opened on a thread that
// already has one open joins it; only the outermost commits or rolls back.
class WriteTransaction
{
public:
    explicit WriteTransaction(QSqlDatabase db);
    // Rolls back unless committed.
    ~WriteTransaction();
    WriteTransaction(const WriteTransaction&) = delete;
    WriteTransaction& operator=(const WriteTransaction&) = delete;

    bool IsOpen() const { return open; }
    // Whether a write transaction is open on the calling thread.
    static bool OpenOnThisThread();
    // Makes every other writer that locks the same key wait until this transaction ends.
    bool LockKey(const QString& key);
    // Locks many keys, in sorted order so that two writers of overlapping keys never wait for
    // each other in a circle.
    bool LockKeys(QStringList keys);
    bool Commit();
    // Why the transaction could not be opened, a key not locked or the commit failed.
    QString ErrorText() const { return error; }

private:
    bool Exec(const QString& statement, const QVariantList& values = {});
    bool ServerLocksGranted(const QStringList& keys);
    bool Fail(const QString& reason);
    bool IsSqlite() const;

    QSqlDatabase db;
    bool outermost = false;
    bool open = false;
    bool committed = false;
    bool busy = false; // the last statement failed because another connection held the lock
    QString error;
};
