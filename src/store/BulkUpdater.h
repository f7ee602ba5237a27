#pragma once

#include "BulkLimits.h"
#include "Schema.h"

#include <QList>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>
#include <memory>

struct pg_conn;

// Updates many stored rows of one table by their key, several to a statement: on PostgreSQL the
// rows go by COPY into a temporary table that one update joins (no value in any statement text,
// nothing for the server to parse or plan per row), on SQL Server one update is joined to a
// VALUES list, elsewhere (SQLite, whose single prepared update is as fast) one row goes to a
// statement, reused. Every value is bound. The rows of one statement must have different keys;
// the caller holds one transaction around the updater's whole life (the temporary table goes
// with it).
class BulkUpdater
{
public:
    // `key`: positions in `table.columns` that identify a row; every other column is set.
    // `rowsPerStatement` 0: as many as the server takes comfortably; 1: each row a statement of
    // its own. PostgreSQL takes all but single rows by COPY, in batches of its own size.
    BulkUpdater(QSqlDatabase db, const TableSchema& table, const QList<int>& key,
                int rowsPerStatement = 0);

    // Queues one row, a value for every column of the table in its order; `tag` names the row
    // to the caller. Sends a full batch. False when the database refused it (see Error()).
    bool Add(const QVariantList& values, int tag);
    // Sends the rows still queued.
    bool Flush();
    // The tags of the rows sent since the last call that found no stored row to update.
    QList<int> TakeMissing();

    QString Error() const { return error; }
    qint64 Updated() const { return updated; }

private:
    enum class Form { OneRow, PostgresCopy, SqlServerJoin };
    QString Statement(int rows) const;
    QString OneRowStatement() const;
    std::shared_ptr<QSqlQuery> Prepared(Form form, int rows);
    bool Send();
    bool MayStage() const;
    bool SendByCopy(int& affected);
    bool SendOneByOne();
    bool Fail(const QSqlQuery& query);
    bool Fail(const QString& text);

    QSqlDatabase db;
    const TableSchema& table;
    QList<int> key;
    Form form;
    int rowsPerStatement;
    pg_conn* copyConnection = nullptr; // PostgreSQL's client connection, when rows go by COPY
    bool staged = false;               // the temporary table of the copied rows is made
    QVariantList queued;               // the values of the queued rows, row after row
    QList<int> tags;
    QList<int> missing;
    std::shared_ptr<QSqlQuery> full; // the statement of a full batch, prepared once
    std::shared_ptr<QSqlQuery> single;
    // The statement sent last, kept as long as the updater: releasing a failed one at once would
    // be refused inside the failed transaction.
    std::shared_ptr<QSqlQuery> last;
    QString error;
    qint64 updated = 0;
};
