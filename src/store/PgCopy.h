#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariantList>

struct pg_conn;

// Rows sent to PostgreSQL in one COPY ... FROM STDIN through the client library, the server's
// own fast path for many rows: no statement to parse per batch and no value pasted into any
// statement. It runs inside the caller's transaction on the connection's own session.
class PgCopy
{
public:
    // The client library's connection of a PostgreSQL connection; nullptr for other drivers.
    static pg_conn* Connection(const QSqlDatabase& db);

    explicit PgCopy(pg_conn* connection) : connection(connection) {}

    // Copies the rows in `values` (one row after another, `columns.size()` values each) into
    // `columns` of `table`. False with Error() when the server refused them: then none is stored
    // and the transaction is failed, as after a refused insert.
    bool Send(const QString& table, const QStringList& columns, const QVariantList& values);
    QString Error() const { return error; }

private:
    bool Fail(const QString& text);

    pg_conn* connection;
    QString error;
};
