#include "PgCopy.h"
#include "RestoreSink.h"
#include "ScriptScanner.h"

#include <QSqlError>
#include <QSqlQuery>

namespace
{

// Rows per COPY: a refused one is found by trying the rows of its COPY one at a time.
constexpr int CopyRows = 10000;
// Lines gathered before they are handed to the client library.
constexpr qsizetype ChunkBytes = 1 << 20;

// Rows written as COPY lines straight from the file's bytes, one COPY per run of rows of a
// table and column set.
class PgCopySink : public RestoreSink
{
public:
    PgCopySink(QSqlDatabase db, pg_conn* connection, QByteArrayView file, ScriptEncoding encoding)
        : RestoreSink(db, encoding), copy(connection), file(file)
    {
        chunk.reserve(ChunkBytes + 64 * 1024);
    }

    bool Add(const ScannedRow& row) override
    {
        if (row.columns != columns || rows.size() == CopyRows) {
            if (!Send())
                return false;
            columns = row.columns;
            columnList = *row.columns;
            table = row.table;
            tableIndex = row.tableIndex;
        }
        rows.append({row.offset, row.line});
        for (qsizetype i = 0; i < columnList.size(); ++i) {
            const ScriptValue& value = row.values[size_t(i)];
            if (i > 0)
                chunk += '\t';
            if (value.kind == ScriptValue::Null)
                chunk += "\\N";
            else if (value.kind == ScriptValue::Bytes)
                chunk += "\\\\x" + value.raw.toByteArray().toLower();
            else
                PgCopy::AppendEscaped(chunk, value.Utf8(encoding, row.IntColumn(int(i)), scratch));
        }
        chunk += '\n';
        if (chunk.size() >= ChunkBytes) {
            if (!copying && !Start())
                return false;
            copy.Put(chunk);
            chunk.resize(0);
        }
        return true;
    }

    bool Empty(const QString& storeNo, QString& error) override
    {
        for (const TableSchema& table : Schema::Tables()) {
            // A table of this store's rows only is emptied whole, and its indexes are built
            // again once the rows are in: far less work than changing them at every row.
            QSqlQuery others(db);
            bool done = true;
            const auto alone = [&] {
                others.prepare(QStringLiteral("select 1 from %1 where store_no is distinct "
                                              "from ? fetch first 1 rows only")
                                   .arg(table.name));
                others.addBindValue(storeNo);
                done = others.exec();
                return done && !others.next();
            };
            bool whole = alone();
            // Another installation may store a row between that look and the truncation: it is
            // looked for again with the table locked, so none is ever emptied with it.
            if (whole) {
                done = others.exec(
                    QStringLiteral("lock table %1 in access exclusive mode").arg(table.name));
                whole = done && alone();
            }
            if (whole) {
                if (!DropIndexes(table.name, error))
                    return false;
                done = others.exec(QStringLiteral("truncate table %1").arg(table.name));
            } else if (done) {
                others.prepare(QStringLiteral("delete from %1 where store_no=?").arg(table.name));
                others.addBindValue(storeNo);
                done = others.exec();
            }
            if (!done) {
                error = others.lastError().text().trimmed();
                return false;
            }
        }
        return true;
    }

    bool Finish() override
    {
        if (!Send())
            return false;
        for (const QString& index : std::as_const(rebuilt)) {
            QSqlQuery make(db);
            if (!make.exec(index))
                return Refuse(make.lastError().text(), 0);
        }
        rebuilt.clear();
        return true;
    }

    BulkRows Refused() const override
    {
        BulkRows refused;
        refused.table = table;
        refused.columns = columnList;
        ScriptScanner scanner(file, encoding);
        ScannedRow row;
        for (const auto& [offset, line] : rows) {
            if (!scanner.ReadAgain(offset, line, row))
                return {};
            for (qsizetype i = 0; i < columnList.size(); ++i)
                refused.values << row.values[size_t(i)].Variant(encoding,
                                                                table->types.at(columnList.at(i)));
            refused.tags << line;
        }
        return refused;
    }

private:
    // Drops the table's own indexes that allow repeated values; Finish() makes them again.
    // Drops the table's non-unique indexes, keeping their definitions to build them again; false
    // with the server's reason in `error`.
    bool DropIndexes(const QString& table, QString& error)
    {
        QSqlQuery indexes(db);
        indexes.prepare(QStringLiteral(
            "select i.indexrelid::regclass::text, pg_get_indexdef(i.indexrelid) from pg_index i "
            "where i.indrelid=to_regclass(?) and not i.indisunique and not i.indisprimary"));
        indexes.addBindValue(table);
        const auto refused = [&] {
            error = indexes.lastError().text().trimmed();
            return false;
        };
        if (!indexes.exec())
            return refused();
        QStringList names;
        while (indexes.next()) {
            names << indexes.value(0).toString();
            rebuilt << indexes.value(1).toString();
        }
        for (const QString& name : std::as_const(names)) {
            if (!indexes.exec(QStringLiteral("drop index %1").arg(name)))
                return refused();
        }
        return true;
    }

    bool Start()
    {
        QStringList names;
        for (int c : columnList)
            names << table->columns.at(c);
        copying = copy.Begin(table->name, names);
        return copying || Refuse(copy.Error(), rows.value(0).second);
    }

    // Ends the COPY of the rows held.
    bool Send()
    {
        if (rows.isEmpty())
            return true;
        if (!copying && !Start())
            return false;
        copy.Put(chunk);
        chunk.resize(0);
        copying = false;
        if (!copy.End())
            return Refuse(copy.Error(), rows.value(0).second);
        Count(tableIndex, rows.size());
        rows.resize(0);
        return true;
    }

    ::PgCopy copy;
    QByteArrayView file;
    // The scanner's list of the rows under way (it names the run), and a copy that outlives it.
    const QList<int>* columns = nullptr;
    QList<int> columnList;
    const TableSchema* table = nullptr;
    int tableIndex = -1;
    bool copying = false;
    // Where each row of the COPY under way starts in the file, and its line.
    QList<std::pair<qsizetype, int>> rows;
    QByteArray chunk;
    QByteArray scratch;
    QStringList rebuilt; // the indexes dropped while the rows come in
};

} // namespace

std::unique_ptr<RestoreSink> RestoreSinks::PgCopy(QSqlDatabase db, pg_conn* connection,
                                                  QByteArrayView file, ScriptEncoding encoding)
{
    return std::make_unique<PgCopySink>(db, connection, file, encoding);
}
