#include "RestoreSink.h"

#include "PgCopy.h"
#include "SqliteHandle.h"

#include <QSqlError>
#include <QSqlQuery>

namespace
{

// Other servers: the rows as the driver binds them, through its bulk inserts.
class DriverSink : public RestoreSink
{
public:
    DriverSink(QSqlDatabase db, ScriptEncoding encoding) : RestoreSink(db, encoding), inserter(db)
    {
    }

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

RestoreSink::RestoreSink(QSqlDatabase db, ScriptEncoding encoding)
    : db(db), encoding(encoding), perTable(Schema::Tables().size(), 0)
{
}

bool RestoreSink::Empty(const QString& storeNo, QString& error)
{
    return DeleteStoreRows(db, storeNo, error);
}

bool RestoreSink::DeleteStoreRows(QSqlDatabase db, const QString& storeNo, QString& error)
{
    for (const TableSchema& table : Schema::Tables()) {
        QSqlQuery query(db);
        query.prepare(QStringLiteral("delete from %1 where store_no=?").arg(table.name));
        query.addBindValue(storeNo);
        if (!query.exec()) {
            error = query.lastError().text().trimmed();
            return false;
        }
    }
    return true;
}

std::unique_ptr<RestoreSink> RestoreSink::For(QSqlDatabase db, QByteArrayView file,
                                              ScriptEncoding encoding)
{
    if (sqlite3* handle = SqliteHandle(db))
        return RestoreSinks::Sqlite(db, handle, encoding);
    if (pg_conn* connection = PgCopy::Connection(db))
        return RestoreSinks::PgCopy(db, connection, file, encoding);
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
