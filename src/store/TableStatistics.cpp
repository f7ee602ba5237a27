#include "TableStatistics.h"

#include "StoreTables.h"
#include "WriteTransaction.h"

#include <QHash>
#include <QMutex>
#include <QSqlDriver>
#include <QSqlQuery>

namespace
{

struct Tally {
    qint64 analysed = 0; // rows inserted up to the last analysis
    qint64 since = 0;    // rows inserted after it
};

QMutex mutex;
QHash<QString, Tally> tallies;

} // namespace

void TableStatistics::NoteInserted(const QSqlDatabase& db, const QString& table, qint64 rows)
{
    if (rows <= 0 || !StoreTables::IsKnown(table) || !db.driver() ||
        db.driver()->dbmsType() != QSqlDriver::PostgreSQL || WriteTransaction::OpenOnThisThread())
        return;
    const QString name = QStringList{db.driverName(), db.hostName(), QString::number(db.port()),
                                     db.databaseName(), table}
                             .join(u'\n');
    {
        QMutexLocker locked(&mutex);
        Tally& tally = tallies[name];
        tally.since += rows;
        if (tally.since < qMax(FirstRows, tally.analysed))
            return;
        tally.analysed += tally.since;
        tally.since = 0;
    }
    // Only planning is at stake: a failed analysis leaves the statistics as they were.
    QSqlQuery(db).exec(QStringLiteral("analyze %1").arg(table));
}
