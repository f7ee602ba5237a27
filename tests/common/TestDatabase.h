#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QTemporaryDir>

// A connected database for one test in a temporary working folder: a real SQLite file, or a fresh
// database on the PostgreSQL server named by LEDGER_TEST_PG ("host=... port=... user=..."),
// reached through QPSQL or, to prove the ODBC path, through QODBC and the PostgreSQL ODBC driver.
class TestDatabase
{
public:
    enum Backend { Sqlite, Postgres, OdbcPostgres };

    // The back ends this machine can test: SQLite always, the others when the server is there.
    static QList<Backend> Available();
    static const char* Name(Backend backend);
    // Adds a "backend" column and one row per available back end to a data-driven test.
    static void AddBackendRows();
    // The back end of the current data row.
    static Backend Current();

    explicit TestDatabase(Backend backend, const QString& storeNo = QStringLiteral("STORE-A"));
    // A database of that name on the PostgreSQL server, created when missing and kept afterwards:
    // a benchmark's large data set is built once and read by later runs.
    TestDatabase(const QString& storeNo, const QString& keptDatabase);
    ~TestDatabase();
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    // Connects the data store to this database (creating the tables) and sets the store number.
    bool Connect();
    QString ConfigPath() const;
    QString WorkDir() const;
    Backend Kind() const { return backend; }

    // The database's name on the PostgreSQL server (empty for SQLite).
    QString ServerDatabase() const;

    // A first-column integer of a statement on the data store's connection, -1 on failure.
    static int Scalar(const QString& statement);
    // Runs a statement on a short-lived QPSQL connection to the server's maintenance database.
    static bool OnPgServer(const QString& statement);
    // Ends every server connection to this database, as a server restart does.
    bool DropConnections() const;

private:
    void WriteConfig(const QString& driverType);

    Backend backend;
    QString storeNo;
    QTemporaryDir dir;
    QString pgDatabase;
    bool kept = false;
};
