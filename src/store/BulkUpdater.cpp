#include "BulkUpdater.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QStringList>

namespace
{

// PostgreSQL takes an untyped value of a VALUES list for a text: numbers and dates are cast to
// the column's type, texts stay text, so a text too long for its column is refused by the update
// rather than cut short by the cast.
QString PostgresMark(const QString& type)
{
    if (type.compare(QLatin1String("int"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("cast(? as integer)");
    if (type.compare(QLatin1String("date"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("cast(? as date)");
    return QStringLiteral("cast(? as text)");
}

} // namespace

BulkUpdater::BulkUpdater(QSqlDatabase database, const TableSchema& table, const QList<int>& key,
                         int rows)
    : db(std::move(database)), table(table), key(key), form(Form::OneRow)
{
    const QSqlDriver::DbmsType server =
        db.driver() ? db.driver()->dbmsType() : QSqlDriver::UnknownDbms;
    if (server == QSqlDriver::PostgreSQL)
        form = Form::PostgresValues;
    else if (server == QSqlDriver::MSSqlServer)
        form = Form::SqlServerJoin;
    BulkLimits limits = BulkLimits::For(db);
    if (rows > 0)
        limits.maxRows = rows;
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

QString BulkUpdater::Statement(int rows) const
{
    QStringList set;
    QStringList on;
    QStringList marks;
    for (int c = 0; c < table.columns.size(); ++c) {
        const QString& column = table.columns.at(c);
        if (key.contains(c))
            on << QStringLiteral("%1.%2=v.%2").arg(table.name, column);
        else
            set << QStringLiteral("%1=v.%1").arg(column);
        marks << (form == Form::PostgresValues ? PostgresMark(table.types.at(c))
                                               : QStringLiteral("?"));
    }
    const QString row = QLatin1Char('(') + marks.join(u',') + QLatin1Char(')');
    const QString values = QStringLiteral("(values %1) as v(%2)")
                               .arg(QStringList(rows, row).join(u','), table.columns.join(u','));
    if (form == Form::PostgresValues)
        return QStringLiteral("update %1 set %2 from %3 where %4")
            .arg(table.name, set.join(u','), values, on.join(QLatin1String(" and ")));
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

bool BulkUpdater::Send()
{
    const int rows = int(tags.size());
    bool sent = false;
    if (form == Form::OneRow) {
        sent = SendOneByOne();
    } else if (const std::shared_ptr<QSqlQuery> query = Prepared(form, rows)) {
        last = query;
        for (qsizetype i = 0; i < queued.size(); ++i)
            query->bindValue(int(i), queued.at(i));
        sent = query->exec() || Fail(*query);
        // Fewer rows updated than named: some were deleted meanwhile. Updating the rows once more
        // one at a time, which changes nothing stored, tells which.
        const int affected = sent ? query->numRowsAffected() : -1;
        if (affected >= 0 && affected < rows)
            sent = SendOneByOne();
        else if (sent)
            updated += rows;
    }
    queued.clear();
    tags.clear();
    return sent;
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
