#pragma once

#include <QString>
#include <QStringList>
#include <memory>

// What differs between the database servers: the table creation text and the indexes.
// Column type texts are given in SQL Server's words ("int", "VARCHAR(50)", "NVARCHAR(MAX)",
// "date"); each dialect maps them to its own.
class SqlDialect
{
public:
    virtual ~SqlDialect() = default;

    // `firstTable`: the database has no tables yet (the key constraint is then named "pkid").
    virtual QString CreateTableStatement(const QString& name, const QStringList& columns,
                                         const QStringList& types, bool firstTable) const = 0;

    // Statements that create the missing lookup indexes of a ledger table (a record by its key,
    // the records of a period); empty for other tables.
    virtual QStringList IndexStatements(const QString& table) const;

    // For a Qt SQL driver name: QODBC -> SQL Server, QPSQL -> PostgreSQL, QSQLITE -> SQLite.
    static std::unique_ptr<SqlDialect> ForDriver(const QString& driverType);

protected:
    virtual QString IndexStatement(const QString& index, const QString& table,
                                   const QString& columns) const = 0;
};

class SqlServerDialect : public SqlDialect
{
public:
    QString CreateTableStatement(const QString& name, const QStringList& columns,
                                 const QStringList& types, bool firstTable) const override;

protected:
    QString IndexStatement(const QString& index, const QString& table,
                           const QString& columns) const override;
};

class PostgresDialect : public SqlDialect
{
public:
    QString CreateTableStatement(const QString& name, const QStringList& columns,
                                 const QStringList& types, bool firstTable) const override;

protected:
    QString IndexStatement(const QString& index, const QString& table,
                           const QString& columns) const override;
};

class SqliteDialect : public SqlDialect
{
public:
    QString CreateTableStatement(const QString& name, const QStringList& columns,
                                 const QStringList& types, bool firstTable) const override;

protected:
    QString IndexStatement(const QString& index, const QString& table,
                           const QString& columns) const override;
};
