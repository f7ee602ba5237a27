#include "BackupWriter.h"

#include "CompletenessLine.h"
#include "Schema.h"
#include "SqliteHandle.h"
#include "StoreTables.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QSaveFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

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
        const QByteArrayView bytes(text, sqlite3_column_bytes(row, column));
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
    // The connection's own order; only the program's tables, whose rows a restore takes back.
    QStringList tables;
    for (const QString& name : db.tables(QSql::Tables)) {
        if (name.startsWith(QLatin1String("tb_sm")) && StoreTables::IsKnown(name))
            tables << name;
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
    // Each page continues after the last id read. SQLite is kept off the store index ("+"):
    // walking the rows by id reads a page at once, where the index would sort the whole store
    // again for every page.
    if (db.driverName() == QLatin1String("QSQLITE"))
        return QStringLiteral("select * from %1 where +store_no=? and id>? order by id limit %2")
            .arg(table)
            .arg(PageRows);
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
    if (sqlite3* handle = SqliteHandle(db))
        return WriteSqliteTable(handle, table, file, result);
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(PageStatement(table))) {
        result.error = query.lastError().text().trimmed();
        return false;
    }
    QString chunk;
    qlonglong lastId = -1;
    for (;;) {
        query.bindValue(0, storeNo);
        query.bindValue(1, lastId);
        if (!query.exec()) {
            result.error = query.lastError().text().trimmed();
            return false;
        }
        const QSqlRecord record = query.record();
        const int idColumn = record.indexOf(QStringLiteral("id"));
        if (idColumn < 0) {
            result.error = QStringLiteral("%1 没有 id 列").arg(table);
            return false;
        }
        QStringList names;
        for (int i = 0; i < record.count(); ++i) {
            if (i != idColumn)
                names << record.fieldName(i);
        }
        const QString head =
            QStringLiteral("insert into %1(%2) values(").arg(table, names.join(QLatin1Char(',')));
        int pageRows = 0;
        while (query.next()) {
            if (stop && stop()) {
                result.error = QStringLiteral("备份已取消");
                return false;
            }
            ++pageRows;
            lastId = query.value(idColumn).toLongLong();
            chunk += head;
            for (int i = 0, written = 0; i < record.count(); ++i) {
                if (i == idColumn)
                    continue;
                if (written++)
                    chunk += QLatin1Char(',');
                AppendValue(chunk, query.value(i));
            }
            chunk += QLatin1String(");\n");
            ++result.rows;
            if (chunk.size() >= ChunkBytes) {
                if (file.write(chunk.toUtf8()) < 0) {
                    result.error = file.errorString();
                    return false;
                }
                chunk.clear();
                if (progress)
                    progress(result.rows, total);
            }
        }
        if (pageRows < PageRows)
            break;
    }
    if (!chunk.isEmpty() && file.write(chunk.toUtf8()) < 0) {
        result.error = file.errorString();
        return false;
    }
    if (progress)
        progress(result.rows, total);
    return true;
}

// SQLite is read through the library itself, in one pass by id (rows of other stores skipped
// without the store index, which would sort the store first): each value goes from the bytes
// SQLite holds into the file's, without the driver's copy of every value.
bool BackupWriter::WriteSqliteTable(sqlite3* handle, const QString& table, QSaveFile& file,
                                    BackupResult& result)
{
    const QByteArray sql =
        QStringLiteral("select * from %1 where +store_no=? order by id").arg(table).toUtf8();
    sqlite3_stmt* prepared = nullptr;
    if (sqlite3_prepare_v2(handle, sql.constData(), int(sql.size()), &prepared, nullptr) !=
        SQLITE_OK) {
        result.error = QString::fromUtf8(sqlite3_errmsg(handle));
        return false;
    }
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> select(prepared, sqlite3_finalize);
    const QByteArray store = storeNo.toUtf8();
    sqlite3_bind_text(prepared, 1, store.constData(), int(store.size()), SQLITE_STATIC);
    const int columns = sqlite3_column_count(prepared);
    int idColumn = -1;
    QByteArrayList names;
    for (int i = 0; i < columns; ++i) {
        const QByteArray name = sqlite3_column_name(prepared, i);
        if (name == "id")
            idColumn = i;
        else
            names << name;
    }
    if (idColumn < 0) {
        result.error = QStringLiteral("%1 没有 id 列").arg(table);
        return false;
    }
    const QByteArray head = "insert into " + table.toUtf8() + '(' + names.join(',') + ") values(";
    QByteArray chunk;
    chunk.reserve(ChunkBytes + 4096);
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(prepared)) == SQLITE_ROW) {
        if (stop && stop()) {
            result.error = QStringLiteral("备份已取消");
            return false;
        }
        chunk += head;
        for (int i = 0, written = 0; i < columns; ++i) {
            if (i == idColumn)
                continue;
            if (written++)
                chunk += ',';
            AppendSqliteValue(chunk, prepared, i);
        }
        chunk += ");\n";
        ++result.rows;
        if (chunk.size() >= ChunkBytes) {
            if (file.write(chunk) < 0) {
                result.error = file.errorString();
                return false;
            }
            chunk.clear();
            if (progress)
                progress(result.rows, total);
        }
    }
    if (step != SQLITE_DONE) {
        result.error = QString::fromUtf8(sqlite3_errmsg(handle));
        return false;
    }
    if (!chunk.isEmpty() && file.write(chunk) < 0) {
        result.error = file.errorString();
        return false;
    }
    if (progress)
        progress(result.rows, total);
    return true;
}
