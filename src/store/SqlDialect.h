#pragma once

#include <QString>
#include <QStringList>

// What differs between the database servers: the table creation text and the indexes.
// Column type texts are given in SQL Server's words ("int", "VARCHAR(50)", "NVARCHAR(MAX)",
// "date"); each server gets its own.
class SqlDialect
{
public:
    enum Server { SqlServer, Postgres, Sqlite };

    explicit SqlDialect(Server server) : server(server) {}
    // For a Qt SQL driver name: QPSQL -> PostgreSQL, QSQLITE -> SQLite, any other -> SQL Server.
    static SqlDialect ForDriver(const QString& driverType);
    // For the server product an ODBC connection reached ("PostgreSQL", "SQLite"; any other is
    // taken for SQL Server).
    static SqlDialect ForServer(const QString& serverName);
    Server Kind() const { return server; }

    // `firstTable`: the database has no tables yet (the key constraint is then named "pkid").
    QString CreateTableStatement(const QString& name, const QStringList& columns,
                                 const QStringList& types, bool firstTable) const;

    // Statements that create the missing lookup indexes of a ledger table (a record by its key,
    // the records of a period); empty for other tables.
    QStringList IndexStatements(const QString& table) const;
    // The statement that creates a unique index unless one of that name exists.
    QString UniqueIndexStatement(const QString& index, const QString& table,
                                 const QString& columns) const;

private:
    QString IndexStatement(const QString& index, const QString& table, const QString& columns,
                           bool unique = false) const;
    QString TypeText(const QString& type) const;

    Server server;
};
