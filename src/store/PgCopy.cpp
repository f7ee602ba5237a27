#include "PgCopy.h"

#include "KeyedRow.h"

#include <QSqlDriver>
#include <QVariant>

#include <libpq-fe.h>

namespace
{

// COPY's text form: tab between values, a line per row, \N for null, and a backslash before a
// backslash, tab, line feed or carriage return inside a value.
void AppendValue(QByteArray& out, const QVariant& value)
{
    // A null text is NULL, as the driver binds it.
    if (StoredValue::IsNull(value)) {
        out += "\\N";
        return;
    }
    switch (value.typeId()) {
    case QMetaType::QByteArray:
        PgCopy::AppendEscaped(out, "\\x" + value.toByteArray().toHex());
        break;
    case QMetaType::Bool:
        out += value.toBool() ? '1' : '0';
        break;
    default:
        PgCopy::AppendEscaped(out, value.toString().toUtf8());
    }
}

// Data handed to the library at a time.
constexpr qsizetype ChunkBytes = 1 << 20;

} // namespace

pg_conn* PgCopy::Connection(const QSqlDatabase& db)
{
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    // The driver hands out PGconn*, which the type system names by its struct.
    if (!handle.isValid() ||
        (qstrcmp(handle.typeName(), "pg_conn*") != 0 && qstrcmp(handle.typeName(), "PGconn*") != 0))
        return nullptr;
    return *static_cast<PGconn* const*>(handle.constData());
}

void PgCopy::AppendEscaped(QByteArray& out, QByteArrayView text)
{
    qsizetype from = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (c != '\\' && c != '\t' && c != '\n' && c != '\r')
            continue;
        out += text.sliced(from, i - from);
        out += '\\';
        out += c == '\t' ? 't' : c == '\n' ? 'n' : c == '\r' ? 'r' : '\\';
        from = i + 1;
    }
    out += text.sliced(from);
}

bool PgCopy::Send(const QString& table, const QStringList& columns, const QVariantList& values)
{
    if (!Begin(table, columns))
        return false;
    QByteArray chunk;
    chunk.reserve(ChunkBytes + 4096);
    for (qsizetype i = 0; i < values.size() && sent; ++i) {
        AppendValue(chunk, values.at(i));
        chunk += (i + 1) % columns.size() == 0 ? '\n' : '\t';
        if (chunk.size() >= ChunkBytes || i + 1 == values.size()) {
            Put(chunk);
            chunk.clear();
        }
    }
    return End();
}

bool PgCopy::Begin(const QString& table, const QStringList& columns)
{
    error.clear();
    sent = true;
    const QByteArray statement =
        QStringLiteral("copy %1(%2) from stdin").arg(table, columns.join(u',')).toUtf8();
    PGresult* started = PQexec(connection, statement.constData());
    const bool copying = PQresultStatus(started) == PGRES_COPY_IN;
    if (!copying)
        Fail(QString::fromUtf8(PQresultErrorMessage(started)));
    PQclear(started);
    return copying;
}

bool PgCopy::Put(QByteArrayView lines)
{
    if (sent && !lines.isEmpty())
        sent = PQputCopyData(connection, lines.data(), int(lines.size())) == 1;
    return sent;
}

bool PgCopy::End()
{
    if (PQputCopyEnd(connection, sent ? nullptr : "the program stopped sending") != 1)
        sent = false;
    bool ok = sent;
    while (PGresult* result = PQgetResult(connection)) {
        if (PQresultStatus(result) != PGRES_COMMAND_OK) {
            ok = false;
            Fail(QString::fromUtf8(PQresultErrorMessage(result)));
        }
        PQclear(result);
    }
    if (!sent && error.isEmpty())
        Fail(QString::fromUtf8(PQerrorMessage(connection)));
    return ok;
}

bool PgCopy::Fail(const QString& text)
{
    error = text.trimmed();
    return false;
}
