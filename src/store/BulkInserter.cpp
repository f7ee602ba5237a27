#include "BulkInserter.h"

#include "PgCopy.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QStringList>

BulkInserter::BulkInserter(QSqlDatabase database, int rowsPerStatement)
    : db(database), limits(BulkLimits::For(db))
{
    if (rowsPerStatement != 1 && (copyConnection = PgCopy::Connection(db))) {
        // COPY takes rows without a statement to parse: the batch is only what is held at once.
        limits.maxParameters = 200000;
        limits.maxRows = 10000;
    } else if (rowsPerStatement > 0) {
        limits.maxRows = rowsPerStatement;
    }
}

bool BulkInserter::Add(const TableSchema& rowTable, const QList<int>& rowColumns,
                       const QVariantList& values, int tag)
{
    if (queued.table != &rowTable || queued.columns != rowColumns) {
        if (!Flush())
            return false;
        queued.table = &rowTable;
        queued.columns = rowColumns;
    }
    queued.values += values;
    queued.tags << tag;
    const int rows = int(queued.Count());
    return rows < limits.RowsFor(int(queued.columns.size())) || Send(rows);
}

bool BulkInserter::Flush()
{
    return queued.Count() == 0 || Send(int(queued.Count()));
}

QString BulkInserter::Statement(int rows) const
{
    QStringList names;
    for (int c : queued.columns)
        names << queued.table->columns.at(c);
    const QString one = QLatin1Char('(') +
                        QStringList(queued.columns.size(), QStringLiteral("?")).join(u',') +
                        QLatin1Char(')');
    return QStringLiteral("insert into %1(%2) values%3")
        .arg(queued.table->name, names.join(u','), QStringList(rows, one).join(u','));
}

bool BulkInserter::Send(int rows)
{
    if (copyConnection)
        return Copy(rows);
    // Full batches reuse their prepared statement; the last, shorter one of a run is prepared once.
    const bool full = rows == limits.RowsFor(int(queued.columns.size()));
    QString key;
    if (full) {
        key = queued.table->name;
        for (int c : queued.columns)
            key += QLatin1Char(',') + QString::number(c);
    }
    std::shared_ptr<QSqlQuery> query = full ? prepared.value(key) : nullptr;
    if (!query) {
        query = std::make_shared<QSqlQuery>(db);
        if (!query->prepare(Statement(rows))) {
            error = query->lastError().text().trimmed();
            return false;
        }
        if (full)
            prepared.insert(key, query);
    }
    last = query;
    for (qsizetype i = 0; i < queued.values.size(); ++i)
        query->bindValue(int(i), queued.values.at(i));
    if (!query->exec()) {
        error = query->lastError().text().trimmed();
        return false;
    }
    return Sent(rows);
}

bool BulkInserter::Copy(int rows)
{
    QStringList names;
    for (int c : queued.columns)
        names << queued.table->columns.at(c);
    PgCopy copy(copyConnection);
    if (!copy.Send(queued.table->name, names, queued.values)) {
        error = copy.Error();
        return false;
    }
    return Sent(rows);
}

// Counts the rows the batch sent (per table too, for the planner's statistics) and empties it.
bool BulkInserter::Sent(int rows)
{
    inserted += rows;
    insertedInto[queued.table->name] += rows;
    queued.values.clear();
    queued.tags.clear();
    return true;
}
