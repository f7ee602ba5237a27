#include "BackupWriter.h"

#include "CompletenessLine.h"
#include "PgCopy.h"
#include "Schema.h"
#include "SqliteHandle.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QSaveFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <libpq-fe.h>
#include <memory>
#include <sqlite3.h>

namespace
{

// Rows read per select: a large store is read in pages by id, so neither the client library nor
// the program holds all of it at once.
constexpr int PageRows = 20000;
// Text gathered before it is handed to the file.
constexpr qsizetype ChunkBytes = 1 << 20;

void AppendQuoted(QString& out, const QString& text)
{
    out += QLatin1Char('\'');
    if (text.contains(QLatin1Char('\'')))
        out += QString(text).replace(QLatin1Char('\''), QLatin1String("''"));
    else
        out += text;
    out += QLatin1Char('\'');
}

// A quoted text of the script: a quote inside doubled.
void AppendQuotedBytes(QByteArray& out, QByteArrayView bytes)
{
    out += '\'';
    for (qsizetype from = 0;;) {
        const qsizetype quote = bytes.indexOf('\'', from);
        out += bytes.sliced(from, (quote < 0 ? bytes.size() : quote) - from);
        if (quote < 0)
            break;
        out += "''";
        from = quote + 1;
    }
    out += '\'';
}

// One value of a SQLite row in its script form, as AppendValue writes what the driver reads.
void AppendSqliteValue(QByteArray& out, sqlite3_stmt* row, int column)
{
    switch (sqlite3_column_type(row, column)) {
    case SQLITE_NULL:
        out += "null";
        break;
    case SQLITE_INTEGER:
        out += QByteArray::number(sqlite3_column_int64(row, column));
        break;
    case SQLITE_FLOAT:
        out += QByteArray::number(sqlite3_column_double(row, column), 'g',
                                  QLocale::FloatingPointShortest);
        break;
    case SQLITE_BLOB: {
        const auto* bytes = static_cast<const char*>(sqlite3_column_blob(row, column));
        out += "E'" + QByteArray(bytes, sqlite3_column_bytes(row, column)).toHex() + '\'';
        break;
    }
    default: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(row, column));
        AppendQuotedBytes(out, QByteArrayView(text, sqlite3_column_bytes(row, column)));
    }
    }
}

// One value of a PostgreSQL row (its text form, the session's dates in ISO form) in its script
// form, as AppendValue writes what the driver reads: numbers bare, booleans 1 or 0, bytes E'<hex>'.
void AppendPgValue(QByteArray& out, const PGresult* row, int column)
{
    if (PQgetisnull(row, 0, column)) {
        out += "null";
        return;
    }
    const QByteArrayView text(PQgetvalue(row, 0, column), PQgetlength(row, 0, column));
    switch (PQftype(row, column)) {
    case 20:   // int8
    case 21:   // int2
    case 23:   // int4
    case 26:   // oid
    case 700:  // float4
    case 701:  // float8
    case 1700: // numeric
        out += text;
        break;
    case 16: // bool
        out += text == "t" ? '1' : '0';
        break;
    case 17: // bytea, "\x<hex>"
        out += "E'" + text.sliced(2).toByteArray() + '\'';
        break;
    default:
        AppendQuotedBytes(out, text);
    }
}

// The position of one of the program's tables in Schema::Tables().
qsizetype TableIndex(const QString& table)
{
    const QList<TableSchema>& tables = Schema::Tables();
    for (qsizetype i = 0; i < tables.size(); ++i) {
        if (tables.at(i).name == table)
            return i;
    }
    return -1;
}

} // namespace

BackupWriter::BackupWriter(QSqlDatabase db, const QString& storeNo) : db(db), storeNo(storeNo) {}

void BackupWriter::AppendValue(QString& out, const QVariant& value)
{
    if (value.isNull()) {
        out += QLatin1String("null");
        return;
    }
    switch (value.typeId()) {
    case QMetaType::QString:
        AppendQuoted(out, value.toString());
        break;
    case QMetaType::QByteArray:
        out += QLatin1String("E'") + QLatin1String(value.toByteArray().toHex()) + QLatin1Char('\'');
        break;
    case QMetaType::QDate:
        AppendQuoted(out, value.toDate().toString(QStringLiteral("yyyy-MM-dd")));
        break;
    case QMetaType::QDateTime:
        AppendQuoted(out, value.toDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")));
        break;
    case QMetaType::Bool:
        out += value.toBool() ? QLatin1Char('1') : QLatin1Char('0');
        break;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
        out += value.toString();
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        out += QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
        break;
    default:
        AppendQuoted(out, value.toString());
    }
}

QStringList BackupWriter::Tables() const
{
    // The program's tables present, in their own order, whatever order the connection lists
    // them in: every back end writes the same script for the same rows.
    const QStringList present = db.tables(QSql::Tables);
    QStringList tables;
    for (const TableSchema& table : Schema::Tables()) {
        if (present.contains(table.name, Qt::CaseInsensitive))
            tables << table.name;
    }
    return tables;
}

qint64 BackupWriter::CountRows(const QString& table, QString& error) const
{
    QSqlQuery query(db);
    query.prepare(QStringLiteral("select count(*) from %1 where store_no=?").arg(table));
    query.addBindValue(storeNo);
    if (!query.exec() || !query.next()) {
        error = query.lastError().text().trimmed();
        return -1;
    }
    return query.value(0).toLongLong();
}

QString BackupWriter::PageStatement(const QString& table) const
{
    // Each page continues after the last id read.
    return QStringLiteral("select * from %1 where store_no=? and id>? order by id offset 0 rows "
                          "fetch next %2 rows only")
        .arg(table)
        .arg(PageRows);
}

BackupResult BackupWriter::Write(const QString& path)
{
    BackupResult result;
    const QStringList tables = Tables();
    if (tables.isEmpty()) {
        // Without the program's tables an empty file would pass for a backup of an empty store.
        result.error = db.isOpen() ? QStringLiteral("数据库中没有本程序的数据表")
                                   : QStringLiteral("数据库未连接");
        return result;
    }
    total = 0;
    for (const QString& table : tables) {
        const qint64 rows = CountRows(table, result.error);
        if (rows < 0)
            return result;
        total += rows;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        result.error = file.errorString();
        return result;
    }
    CompletenessLine::Counts counts(Schema::Tables().size(), 0);
    for (const QString& table : tables) {
        const qint64 before = result.rows;
        if (!WriteTable(table, file, result)) {
            file.cancelWriting();
            return result;
        }
        if (const qsizetype index = TableIndex(table); index >= 0)
            counts[index] = result.rows - before;
    }
    // Written last, so that a file without it was cut off (or written before there was one). A
    // store without rows keeps its empty file.
    if (result.rows > 0 &&
        file.write((CompletenessLine::Text(counts) + QLatin1Char('\n')).toUtf8()) < 0) {
        result.error = file.errorString();
        file.cancelWriting();
        return result;
    }
    if (!file.commit()) {
        result.error = file.errorString();
        return result;
    }
    result.ok = true;
    return result;
}

bool BackupWriter::WriteTable(const QString& table, QSaveFile& file, BackupResult& result)
{
    ScriptChunks chunks(file, result, progress, stop, total);
    if (sqlite3* handle = SqliteHandle(db))
        return WriteSqliteTable(handle, table, chunks) && chunks.Finish();
    if (pg_conn* pg = PgCopy::Connection(db))
        return WritePgTable(pg, table, chunks) && chunks.Finish();
    return WriteDriverTable(table, chunks) && chunks.Finish();
}

// Other servers (ODBC) are read through the driver, page by page by id.
bool BackupWriter::WriteDriverTable(const QString& table, ScriptChunks& chunks)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(PageStatement(table)))
        return chunks.Fail(query.lastError().text());
    qlonglong lastId = -1;
    for (;;) {
        query.bindValue(0, storeNo);
        query.bindValue(1, lastId);
        if (!query.exec())
            return chunks.Fail(query.lastError().text());
        const QSqlRecord record = query.record();
        const int idColumn = record.indexOf(QStringLiteral("id"));
        if (idColumn < 0)
            return chunks.Fail(QStringLiteral("%1 没有 id 列").arg(table));
        QStringList names;
        for (int i = 0; i < record.count(); ++i) {
            if (i != idColumn)
                names << record.fieldName(i);
        }
        const QByteArray head = InsertHead(table, names);
        int pageRows = 0;
        while (query.next()) {
            ++pageRows;
            lastId = query.value(idColumn).toLongLong();
            QString values;
            for (int i = 0; i < record.count(); ++i) {
                if (i == idColumn)
                    continue;
                if (!values.isEmpty())
                    values += QLatin1Char(',');
                AppendValue(values, query.value(i));
            }
            if (!chunks.StartRow(head))
                return false;
            chunks.Row() += values.toUtf8();
            if (!chunks.EndRow())
                return false;
        }
        if (pageRows < PageRows)
            return true;
    }
}

// SQLite is read through the library itself, in one pass by id (rows of other stores skipped
// without the store index, which would sort the store first): each value goes from the bytes
// SQLite holds into the file's, without the driver's copy of every value.
bool BackupWriter::WriteSqliteTable(sqlite3* handle, const QString& table, ScriptChunks& chunks)
{
    const QByteArray sql =
        QStringLiteral("select * from %1 where +store_no=? order by id").arg(table).toUtf8();
    sqlite3_stmt* prepared = nullptr;
    if (sqlite3_prepare_v2(handle, sql.constData(), int(sql.size()), &prepared, nullptr) !=
        SQLITE_OK)
        return chunks.Fail(QString::fromUtf8(sqlite3_errmsg(handle)));
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> select(prepared, sqlite3_finalize);
    const QByteArray store = storeNo.toUtf8();
    sqlite3_bind_text(prepared, 1, store.constData(), int(store.size()), SQLITE_STATIC);
    const int columns = sqlite3_column_count(prepared);
    int idColumn = -1;
    QStringList names;
    for (int i = 0; i < columns; ++i) {
        const QString name = QString::fromUtf8(sqlite3_column_name(prepared, i));
        if (name == QLatin1String("id"))
            idColumn = i;
        else
            names << name;
    }
    if (idColumn < 0)
        return chunks.Fail(QStringLiteral("%1 没有 id 列").arg(table));
    const QByteArray head = InsertHead(table, names);
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(prepared)) == SQLITE_ROW) {
        if (!chunks.StartRow(head))
            return false;
        for (int i = 0, written = 0; i < columns; ++i) {
            if (i == idColumn)
                continue;
            if (written++)
                chunks.Row() += ',';
            AppendSqliteValue(chunks.Row(), prepared, i);
        }
        if (!chunks.EndRow())
            return false;
    }
    return step == SQLITE_DONE || chunks.Fail(QString::fromUtf8(sqlite3_errmsg(handle)));
}

// PostgreSQL is read through the client library, one row at a time from one select by id with
// the store number bound: each value's text goes into the file's bytes without the driver's copy.
bool BackupWriter::WritePgTable(pg_conn* connection, const QString& table, ScriptChunks& chunks)
{
    const QByteArray sql =
        QStringLiteral("select * from %1 where store_no=$1 order by id").arg(table).toUtf8();
    const QByteArray store = storeNo.toUtf8();
    const char* values[] = {store.constData()};
    if (!PQsendQueryParams(connection, sql.constData(), 1, nullptr, values, nullptr, nullptr, 0) ||
        !PQsetSingleRowMode(connection))
        return chunks.Fail(QString::fromUtf8(PQerrorMessage(connection)));
    QByteArray head;
    int idColumn = -1;
    bool ok = true;
    // Every result is taken, also after a failure, so the connection is ready for the next
    // statement.
    while (PGresult* row = PQgetResult(connection)) {
        const std::unique_ptr<PGresult, void (*)(PGresult*)> owned(row, PQclear);
        const ExecStatusType status = PQresultStatus(row);
        if (!ok || status == PGRES_TUPLES_OK)
            continue;
        if (status != PGRES_SINGLE_TUPLE) {
            ok = chunks.Fail(QString::fromUtf8(PQresultErrorMessage(row)));
            continue;
        }
        const int columns = PQnfields(row);
        if (head.isEmpty()) {
            QStringList names;
            for (int i = 0; i < columns; ++i) {
                const QString name = QString::fromUtf8(PQfname(row, i));
                if (name == QLatin1String("id"))
                    idColumn = i;
                else
                    names << name;
            }
            if (idColumn < 0) {
                ok = chunks.Fail(QStringLiteral("%1 没有 id 列").arg(table));
                continue;
            }
            head = InsertHead(table, names);
        }
        ok = chunks.StartRow(head);
        for (int i = 0, written = 0; ok && i < columns; ++i) {
            if (i == idColumn)
                continue;
            if (written++)
                chunks.Row() += ',';
            AppendPgValue(chunks.Row(), row, i);
        }
        ok = ok && chunks.EndRow();
    }
    return ok;
}

QByteArray BackupWriter::InsertHead(const QString& table, QStringList names)
{
    // Columns as the program spells them (PostgreSQL folds names to lower case).
    const qsizetype index = TableIndex(table);
    for (QString& name : names) {
        for (const QString& column :
             index >= 0 ? Schema::Tables().at(index).columns : QStringList()) {
            if (name.compare(column, Qt::CaseInsensitive) == 0)
                name = column;
        }
    }
    return QStringLiteral("insert into %1(%2) values(")
        .arg(table, names.join(QLatin1Char(',')))
        .toUtf8();
}

ScriptChunks::ScriptChunks(QSaveFile& file, BackupResult& result, const ScriptProgress& progress,
                           const ScriptStop& stop, qint64 total)
    : file(file), result(result), progress(progress), stop(stop), total(total)
{
    chunk.reserve(ChunkBytes + 4096);
}

bool ScriptChunks::StartRow(const QByteArray& head)
{
    if (stop && stop())
        return Fail(QStringLiteral("备份已取消"));
    chunk += head;
    return true;
}

bool ScriptChunks::EndRow()
{
    chunk += ");\n";
    ++result.rows;
    return chunk.size() < ChunkBytes || Write();
}

bool ScriptChunks::Finish()
{
    return (chunk.isEmpty() || Write()) && (!progress || (progress(result.rows, total), true));
}

bool ScriptChunks::Fail(const QString& error)
{
    result.error = error.trimmed();
    return false;
}

bool ScriptChunks::Write()
{
    if (file.write(chunk) < 0)
        return Fail(file.errorString());
    chunk.clear();
    if (progress)
        progress(result.rows, total);
    return true;
}
