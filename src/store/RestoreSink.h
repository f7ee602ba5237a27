#pragma once

#include "BulkInserter.h"
#include "ScriptValue.h"

#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <memory>

struct pg_conn;
struct sqlite3;

// Where the rows of a restore go, inside the caller's transaction: on SQLite one prepared
// statement per table and column set of the engine's own library, its values bound from the
// file's bytes; on PostgreSQL COPY lines written from them; elsewhere the driver's bulk inserts.
class RestoreSink
{
public:
    // `file` holds the rows' bytes, read in `encoding`; both outlive the sink.
    static std::unique_ptr<RestoreSink> For(QSqlDatabase db, QByteArrayView file,
                                            ScriptEncoding encoding);
    virtual ~RestoreSink() = default;

    // Deletes every row of the store in each of the program's tables, before its rows come in.
    virtual bool Empty(const QString& storeNo, QString& error);
    static bool DeleteStoreRows(QSqlDatabase db, const QString& storeNo, QString& error);
    // Stores one row (perhaps later, with others); false when the database refused it or the
    // rows sent with it (Error(), RefusedLine(), Refused()).
    virtual bool Add(const ScannedRow& row) = 0;
    // Stores the rows still held.
    virtual bool Finish() = 0;

    QString Error() const { return error; }
    // The line of the refused row, or of the first of the rows refused together.
    int RefusedLine() const { return refusedLine; }
    // When several rows were refused together: those rows, to be tried one at a time.
    virtual BulkRows Refused() const { return {}; }
    // Rows stored by table name.
    QHash<QString, qint64> InsertedInto() const;
    qint64 Inserted() const;

protected:
    RestoreSink(QSqlDatabase db, ScriptEncoding encoding);
    bool Refuse(const QString& why, int line);
    void Count(int tableIndex, qint64 rows = 1) { perTable[tableIndex] += rows; }

    QSqlDatabase db;
    const ScriptEncoding encoding;

private:
    QList<qint64> perTable;
    QString error;
    int refusedLine = 0;
};

namespace RestoreSinks
{
std::unique_ptr<RestoreSink> Sqlite(QSqlDatabase db, sqlite3* handle, ScriptEncoding encoding);
std::unique_ptr<RestoreSink> PgCopy(QSqlDatabase db, pg_conn* connection, QByteArrayView file,
                                    ScriptEncoding encoding);
} // namespace RestoreSinks
