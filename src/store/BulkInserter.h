#pragma once

#include "BulkLimits.h"
#include "Schema.h"

#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>
#include <memory>

struct pg_conn;

// Rows waiting for one statement: one table and column set, the values row after row, and the
// tag the caller gave each row (the line of a file, the row of a sheet).
struct BulkRows {
    const TableSchema* table = nullptr;
    QList<int> columns;
    QVariantList values;
    QList<int> tags;

    qsizetype Count() const { return tags.size(); }
    QVariantList Row(qsizetype i) const { return values.mid(i * columns.size(), columns.size()); }
};

// Inserts many rows fast: rows naming the same columns of a table are sent several at a time in
// one multi-row insert, through one prepared statement per table and column set; on PostgreSQL
// in one COPY. The caller holds the transaction around it.
class BulkInserter
{
public:
    // `rowsPerStatement` 0: as many as the driver takes comfortably; 1: each row a statement of
    // its own (to find a refused row). PostgreSQL takes all but single rows by COPY, in batches
    // of its own size.
    explicit BulkInserter(QSqlDatabase db, int rowsPerStatement = 0);

    // Queues one row; `columns` are positions in `table.columns`, `values` follow them, `tag`
    // names the row to the caller. Runs a full batch. False when the database refused a batch
    // (see Error() and Queued()).
    bool Add(const TableSchema& table, const QList<int>& columns, const QVariantList& values,
             int tag = 0);
    // Sends the rows still queued.
    bool Flush();

    QString Error() const { return error; }
    qint64 Inserted() const { return inserted; }
    // Rows inserted by table name.
    const QHash<QString, qint64>& InsertedInto() const { return insertedInto; }
    // The rows not sent yet: after a refusal, those of the refused statement.
    const BulkRows& Queued() const { return queued; }

private:
    bool Send(int rows);
    bool Copy(int rows);
    bool Sent(int rows);
    QString Statement(int rows) const;

    QSqlDatabase db;
    BulkLimits limits;
    pg_conn* copyConnection = nullptr; // PostgreSQL's client connection, when rows go by COPY
    BulkRows queued;
    // Prepared full batches by table and column set.
    QHash<QString, std::shared_ptr<QSqlQuery>> prepared;
    // The statement sent last, kept as long as the inserter: releasing a failed one at once
    // would be refused inside the failed transaction.
    std::shared_ptr<QSqlQuery> last;
    QString error;
    qint64 inserted = 0;
    QHash<QString, qint64> insertedInto;
};
