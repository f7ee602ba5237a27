#include "PgCopy.h"
#include "RestoreSink.h"
#include "ScriptScanner.h"

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

    bool Finish() override { return Send(); }

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
};

} // namespace

std::unique_ptr<RestoreSink> RestoreSinks::PgCopy(QSqlDatabase db, pg_conn* connection,
                                                  QByteArrayView file, ScriptEncoding encoding)
{
    return std::make_unique<PgCopySink>(db, connection, file, encoding);
}
