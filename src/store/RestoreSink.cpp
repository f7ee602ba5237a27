#include "RestoreSink.h"

#include "PgCopy.h"
#include "SqliteHandle.h"

namespace
{

// Other servers: the rows as the driver binds them, through its bulk inserts.
class DriverSink : public RestoreSink
{
public:
    DriverSink(QSqlDatabase db, ScriptEncoding encoding) : RestoreSink(encoding), inserter(db) {}

    bool Add(const ScannedRow& row) override
    {
        values.resize(0);
        for (qsizetype i = 0; i < row.columns->size(); ++i)
            values << row.values[size_t(i)].Variant(encoding,
                                                    row.table->types.at(row.columns->at(i)));
        Count(row.tableIndex);
        return inserter.Add(*row.table, *row.columns, values, row.line) || Refused(inserter);
    }

    bool Finish() override { return inserter.Flush() || Refused(inserter); }
    BulkRows Refused() const override { return inserter.Queued(); }

private:
    bool Refused(const BulkInserter& failed)
    {
        return Refuse(failed.Error(), failed.Queued().tags.value(0));
    }

    BulkInserter inserter;
    QVariantList values;
};

} // namespace

RestoreSink::RestoreSink(ScriptEncoding encoding)
    : encoding(encoding), perTable(Schema::Tables().size(), 0)
{
}

std::unique_ptr<RestoreSink> RestoreSink::For(QSqlDatabase db, QByteArrayView file,
                                              ScriptEncoding encoding)
{
    if (sqlite3* handle = SqliteHandle(db))
        return RestoreSinks::Sqlite(handle, encoding);
    if (pg_conn* connection = PgCopy::Connection(db))
        return RestoreSinks::PgCopy(connection, file, encoding);
    return std::make_unique<DriverSink>(db, encoding);
}

bool RestoreSink::Refuse(const QString& why, int line)
{
    error = why.trimmed();
    refusedLine = line;
    return false;
}

QHash<QString, qint64> RestoreSink::InsertedInto() const
{
    QHash<QString, qint64> into;
    for (qsizetype i = 0; i < perTable.size(); ++i) {
        if (perTable.at(i) > 0)
            into.insert(Schema::Tables().at(i).name, perTable.at(i));
    }
    return into;
}

qint64 RestoreSink::Inserted() const
{
    qint64 rows = 0;
    for (qint64 table : perTable)
        rows += table;
    return rows;
}
