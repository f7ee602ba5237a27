#include "BulkUpdater.h"

#include "PgCopy.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QStringList>

namespace
{

// The temporary table the copied rows of `table` wait in; a name no stored table has, so that it
// hides none of them.
QString StagingName(const TableSchema& table)
{
    return table.name + QLatin1String("_changes");
}

} // namespace

BulkUpdater::BulkUpdater(QSqlDatabase database, const TableSchema& table, const QList<int>& key,
                         int rows)
    : db(std::move(database)), table(table), key(key), form(Form::OneRow)
{
    const QSqlDriver::DbmsType server =
        db.driver() ? db.driver()->dbmsType() : QSqlDriver::UnknownDbms;
    BulkLimits limits = BulkLimits::For(db);
    if (rows > 0)
        limits.maxRows = rows;
    if (rows != 1 && (copyConnection = PgCopy::Connection(db))) {
        form = Form::PostgresCopy;
        // COPY takes rows without a statement to parse: the batch is only what is held at once.
        limits.maxParameters = 200000;
        limits.maxRows = 10000;
    } else if (server == QSqlDriver::MSSqlServer) {
        form = Form::SqlServerJoin;
    }
    rowsPerStatement = form == Form::OneRow ? 1 : limits.RowsFor(int(table.columns.size()));
}

QString BulkUpdater::OneRowStatement() const
{
    QStringList set;
    QStringList where;
    for (int c = 0; c < table.columns.size(); ++c)
        (key.contains(c) ? where : set) << table.columns.at(c) + QLatin1String("=?");
    return QStringLiteral("update %1 set %2 where %3")
        .arg(table.name, set.join(u','), where.join(QLatin1String(" and ")));
}

// On PostgreSQL (`rows` 0) the update joined to the copied rows; on SQL Server the one joined to
// a VALUES list of `rows` rows.
QString BulkUpdater::Statement(int rows) const
{
    QStringList set;
    QStringList on;
    for (int c = 0; c < table.columns.size(); ++c) {
        const QString& column = table.columns.at(c);
        if (key.contains(c))
            on << QStringLiteral("%1.%2=v.%2").arg(table.name, column);
        else
            set << QStringLiteral("%1=v.%1").arg(column);
    }
    if (form == Form::PostgresCopy)
        return QStringLiteral("update %1 set %2 from %3 as v where %4")
            .arg(table.name, set.join(u','), StagingName(table), on.join(QLatin1String(" and ")));
    const QString row = QLatin1Char('(') +
                        QStringList(table.columns.size(), QStringLiteral("?")).join(u',') +
                        QLatin1Char(')');
    const QString values = QStringLiteral("(values %1) as v(%2)")
                               .arg(QStringList(rows, row).join(u','), table.columns.join(u','));
    return QStringLiteral("update %1 set %2 from %1 join %3 on %4")
        .arg(table.name, set.join(u','), values, on.join(QLatin1String(" and ")));
}

std::shared_ptr<QSqlQuery> BulkUpdater::Prepared(Form statementForm, int rows)
{
    std::shared_ptr<QSqlQuery>& kept = statementForm == Form::OneRow ? single : full;
    const bool keep = statementForm == Form::OneRow || rows == rowsPerStatement;
    if (keep && kept)
        return kept;
    auto query = std::make_shared<QSqlQuery>(db);
    if (!query->prepare(statementForm == Form::OneRow ? OneRowStatement() : Statement(rows))) {
        Fail(*query);
        return nullptr;
    }
    if (keep)
        kept = query;
    return query;
}

bool BulkUpdater::Add(const QVariantList& values, int tag)
{
    queued += values;
    tags << tag;
    return tags.size() < rowsPerStatement || Send();
}

bool BulkUpdater::Flush()
{
    return tags.isEmpty() || Send();
}

QList<int> BulkUpdater::TakeMissing()
{
    return std::exchange(missing, {});
}

bool BulkUpdater::Fail(const QSqlQuery& query)
{
    error = query.lastError().text().trimmed();
    if (error.isEmpty())
        error = QStringLiteral("数据库未连接");
    return false;
}

bool BulkUpdater::Fail(const QString& text)
{
    error = text.trimmed();
    return false;
}

bool BulkUpdater::Send()
{
    const int rows = int(tags.size());
    bool sent = false;
    int affected = -1;
    // A server that does not let this account make temporary tables gets the rows one by one.
    if (form == Form::PostgresCopy && !staged && !MayStage())
        form = Form::OneRow;
    if (form == Form::OneRow) {
        sent = SendOneByOne();
    } else if (form == Form::PostgresCopy) {
        sent = SendByCopy(affected);
    } else if (const std::shared_ptr<QSqlQuery> query = Prepared(form, rows)) {
        last = query;
        for (qsizetype i = 0; i < queued.size(); ++i)
            query->bindValue(int(i), queued.at(i));
        sent = query->exec() || Fail(*query);
        affected = sent ? query->numRowsAffected() : -1;
    }
    if (form != Form::OneRow) {
        // Fewer rows updated than named: some were deleted meanwhile. Updating the rows once more
        // one at a time, which changes nothing stored, tells which.
        if (affected >= 0 && affected < rows)
            sent = SendOneByOne();
        else if (sent)
            updated += rows;
    }
    queued.clear();
    tags.clear();
    return sent;
}

bool BulkUpdater::MayStage() const
{
    QSqlQuery query(db);
    return query.exec(
               QStringLiteral("select has_database_privilege(current_database(),'temporary')")) &&
           query.next() && query.value(0).toBool();
}

// The queued rows copied into the temporary table (made on the first batch, emptied for each
// further one), then one update joined to it.
bool BulkUpdater::SendByCopy(int& affected)
{
    auto query = std::make_shared<QSqlQuery>(db);
    last = query;
    const QString staging = StagingName(table);
    if (!query->exec(staged ? QStringLiteral("truncate %1").arg(staging)
                            : QStringLiteral("create temporary table %1 on commit drop as "
                                             "select %2 from %3 where 1=0")
                                  .arg(staging, table.columns.join(u','), table.name)))
        return Fail(*query);
    staged = true;
    PgCopy copy(copyConnection);
    if (!copy.Send(staging, table.columns, queued))
        return Fail(copy.Error());
    if (!query->exec(Statement(0)))
        return Fail(*query);
    affected = query->numRowsAffected();
    return true;
}

bool BulkUpdater::SendOneByOne()
{
    const std::shared_ptr<QSqlQuery> query = Prepared(Form::OneRow, 1);
    if (!query)
        return false;
    last = query;
    const int columns = int(table.columns.size());
    for (qsizetype r = 0; r < tags.size(); ++r) {
        int at = 0;
        for (int pass = 0; pass < 2; ++pass) {
            // The set columns first, then the key's.
            for (int c = 0; c < columns; ++c) {
                if (key.contains(c) == (pass == 1))
                    query->bindValue(at++, queued.at(r * columns + c));
            }
        }
        if (!query->exec())
            return Fail(*query);
        // A driver that cannot count affected rows reports -1 for a row that is there.
        if (query->numRowsAffected() == 0)
            missing << tags.at(r);
        else
            ++updated;
    }
    return true;
}
