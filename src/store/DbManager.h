#pragma once

#include "DbConfig.h"
#include "SqlDialect.h"

#include <QMutex>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// Owns the database connections and creates the program's tables.
//
// The thread that calls ConnectFromConfig uses the main (default) connection; every other thread
// gets its own connection with the same settings on first use, closed when that thread ends.
class DbManager
{
public:
    static DbManager* Instance();

    // Reads the configuration, opens the main connection and creates the missing tables.
    // Connected means: opened (SQLite: a database file named, in WAL mode), the server's dialect
    // known, every table present or created. Otherwise false, with the reason in ConnectError().
    // Shows nothing (the caller tells the user).
    bool ConnectFromConfig(const QString& iniPath = DbConfig::DefaultPath);
    bool IsConnected() const;
    QString ConnectError() const;
    // Closes every connection this manager opened on the calling thread and forgets the
    // settings, so that the next statements fail until the next ConnectFromConfig.
    void Disconnect();

    // Creates the missing tables of the program in their fixed order; true when every table is
    // there afterwards (ConnectError() names the missing ones otherwise).
    bool InitTables();
    // Creates one table unless the database already has it; true only when the create ran.
    bool CreateTable(QString name, QStringList columns, QStringList types);
    // Why the last table creation was refused.
    QString ErrorText() const;

    // The connection of the calling thread (invalid when not connected).
    QSqlDatabase Database();
    // What ReopenIfLost found.
    enum class Reconnect {
        NotNeeded, // the connection answers: the statement itself failed
        Reopened,  // it was lost (the server restarted or dropped it) and is open again
        Lost,      // there is none: it was lost and cannot be opened again, or never was opened
        NotTried,  // a transaction is open: what it did is gone with a lost connection
    };
    // After a failed statement: when the calling thread's connection turns out to be lost, opens
    // it again, once.
    Reconnect ReopenIfLost();
    SqlDialect Dialect() const;
    QString DriverType() const;
    // Counts the connects and disconnects: what was true of the database at one generation may
    // not be of the next.
    int Generation() const;

private:
    DbManager() = default;
    static bool OpenConnection(QSqlDatabase& db, const DbConfig& settings, QString& why);
    void CreateIndexes(const QString& table);
    DbConfig Settings() const;

    mutable QMutex mutex;
    DbConfig config;
    SqlDialect dialect = SqlDialect::ForDriver(QStringLiteral("QODBC"));
    int generation = 0; // bumped by every (re)connect, so threads drop stale connections
    bool connected = false;
    QString errorText;
    QString connectError;
};
