#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QVariantList>
#include <functional>

class DbManager;
class QSqlQuery;
class WriteTransaction;

// The calling thread's connection with the rule for a lost one: a statement that failed because
// the server went away runs once more on the reopened connection, a write transaction is tried
// once more as a whole. Why the last statement of the thread failed is kept per thread.
class StoreConnection
{
public:
    // `manager` nullptr: the program's own DbManager.
    explicit StoreConnection(DbManager* manager = nullptr) : manager(manager) {}

    DbManager* Manager() const { return manager; }
    // Whether a manager was given; the writes refuse to run without one.
    bool HasManager() const { return manager != nullptr; }
    QSqlDatabase Database() const;

    // Prepares, binds and runs a statement; on a lost connection once more after reopening.
    bool Run(QSqlQuery& query, const QString& statement, const QVariantList& values) const;
    // The single number a count statement gives; -1 when it failed (LastError() says why).
    qint64 Count(const QString& statement, const QVariantList& values) const;
    // Runs `work` inside one write transaction and commits it. When it fails because the
    // connection was lost, it runs once more on the reopened connection, unless an enclosing
    // transaction was open: its earlier statements went with the old connection.
    // `connectionLost` tells whether it failed for want of a connection (lost, and not to be
    // opened again) rather than because the database refused the work.
    bool InWriteTransaction(const std::function<bool(WriteTransaction&)>& work,
                            bool* connectionLost = nullptr) const;

    // Why the last failed statement of the calling thread failed.
    static QString LastError();
    // Prepares, binds and runs a statement once, forward only (no reopen).
    static bool Execute(QSqlQuery& query, const QString& statement, const QVariantList& values);
    // Keeps `why` as the calling thread's last error; returns false for the caller to hand on.
    static bool Fail(const QString& why);

private:
    DbManager* Owner() const;

    DbManager* manager;
};
