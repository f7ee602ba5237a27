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

    // The same in steps, for rows already in COPY's text form: Begin, Put lines (a tab between
    // values, a line end after each row), End. False with Error() as for Send.
    bool Begin(const QString& table, const QStringList& columns);
    bool Put(QByteArrayView lines);
    bool End();
    // Appends a text in COPY's text form: a backslash before a backslash, tab, line end or
    // carriage return.
    static void AppendEscaped(QByteArray& out, QByteArrayView text);

private:
    bool Fail(const QString& text);

    pg_conn* connection;
    bool sent = true;
    QString error;
};
