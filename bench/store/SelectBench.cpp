#include "SelectBench.h"

#include "DatabaseEngine.h"
#include "DbManager.h"
#include "Period.h"
#include "StoreTables.h"
#include "WriteTransaction.h"

#include <QElapsedTimer>
#include <QSqlQuery>

namespace
{

constexpr int Runs = 5;

QString Day(const QDate& date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

QString RowsPerSecond(int rows, double ms)
{
    return ms > 0 ? QString::number(qRound64(rows / ms * 1000)) : QStringLiteral("-");
}

} // namespace

QList<SelectBench::Period> SelectBench::Periods() const
{
    return {{"day", 1, lastDay.addDays(-3)},
            {"month", 2, lastDay.addMonths(-1)},
            {"year", 3, lastDay.addYears(-1)},
            {"all time", 5, lastDay}};
}

QList<SelectBench::Family> SelectBench::Families() const
{
    return {{"goods", StoreTables::Product, QStringLiteral("product_time"), true},
            {"money", StoreTables::Finance, QStringLiteral("ie_time"), false}};
}

QString SelectBench::Statement(const Family& family, const Period& period, int kind) const
{
    QString statement =
        QStringLiteral("select * from %1 where store_no='%2'").arg(family.table, storeNo);
    if (period.timeMode == 1) {
        statement += QStringLiteral(" and %1='%2'").arg(family.dateColumn, Day(period.date));
    } else if (period.timeMode != 5) {
        const auto bounds = ::Period::ForMode(period.timeMode, QString(), Day(period.date));
        statement += QStringLiteral(" and %1 between '%2' and '%3'")
                         .arg(family.dateColumn, bounds->first, bounds->last);
    }
    if (kind >= 0)
        statement += QStringLiteral(" and tab_type=%1").arg(kind);
    return statement;
}

int SelectBench::OurRows(const Family& family, const Period& period, double& ms) const
{
    DatabaseEngine* engine = DatabaseEngine::Instance();
    QList<double> times;
    qsizetype rows = 0;
    for (int i = 0; i < Runs; ++i) {
        QList<ProductRecord> goods;
        QList<FinanceRecord> money;
        QElapsedTimer timer;
        timer.start();
        if (family.goods)
            engine->SelectProductRecords(period.timeMode, -1, QString(), Day(period.date), goods);
        else
            engine->SelectFinanceRecords(period.timeMode, -1, QString(), Day(period.date), money);
        times << timer.nsecsElapsed() / 1e6;
        rows = family.goods ? goods.size() : money.size();
    }
    ms = Median(times);
    return int(rows);
}

void SelectBench::RunSelects()
{
    out << QStringLiteral("  %1 start-up alone (select 1): %2 ms\n")
               .arg(raw.Name())
               .arg(raw.MedianMs(QStringLiteral("select 1"), Runs), 0, 'f', 1);
    out << QStringLiteral("  %1 %2 %3 %4 %5 %6 %7\n")
               .arg(QStringLiteral("select"), -16)
               .arg(QStringLiteral("rows"), 7)
               .arg(QStringLiteral("ours ms"), 9)
               .arg(QStringLiteral("ours rows/s"), 12)
               .arg(raw.Name() + QStringLiteral(" ms"), 10)
               .arg(raw.Name() + QStringLiteral(" rows/s"), 14)
               .arg(QStringLiteral("ours/raw"), 9);
    for (const Family& family : Families()) {
        for (const Period& period : Periods()) {
            double ours = 0;
            const int rows = OurRows(family, period, ours);
            const QString statement = Statement(family, period, -1);
            const double rawMs = raw.MedianMs(statement, Runs);
            const QString counted = raw.Output(QString(statement).replace(
                QStringLiteral("select *"), QStringLiteral("select count(*)")));
            out << QStringLiteral("  %1 %2 %3 %4 %5 %6 %7%8\n")
                       .arg(QStringLiteral("%1 %2").arg(family.label, period.label), -16)
                       .arg(rows, 7)
                       .arg(ours, 9, 'f', 1)
                       .arg(RowsPerSecond(rows, ours), 12)
                       .arg(rawMs, 10, 'f', 1)
                       .arg(RowsPerSecond(rows, rawMs), 14)
                       .arg(ours / rawMs, 9, 'f', 2)
                       .arg(counted == QString::number(rows)
                                ? QString()
                                : QStringLiteral("  (raw count %1 differs)").arg(counted));
        }
    }
}

void SelectBench::ShowPlans()
{
    const bool sqlite = DbManager::Instance()->DriverType() == QLatin1String("QSQLITE");
    const QString explain =
        sqlite ? QStringLiteral("explain query plan ") : QStringLiteral("explain ");
    for (const Family& family : Families()) {
        for (const Period& period : Periods().mid(0, 2)) {
            for (int kind : {-1, 2}) {
                const QString statement = Statement(family, period, kind);
                out << "  " << statement << "\n";
                QSqlQuery plan(DbManager::Instance()->Database());
                plan.exec(explain + statement);
                while (plan.next())
                    out << "      " << plan.value(sqlite ? 3 : 0).toString() << "\n";
            }
        }
    }
}

void SelectBench::RunSaves(int rows)
{
    // New rows through the data store's own save, in a transaction never committed: rolled back.
    double ms = 0;
    {
        WriteTransaction undone(DbManager::Instance()->Database());
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < rows; ++i) {
            ProductRecord r;
            r.tab_type = 2;
            r.product_serial = QStringLiteral("2099-01-01 bench %1").arg(i);
            r.product_time = Day(lastDay);
            r.product_num = QStringLiteral("1");
            DatabaseEngine::Instance()->SaveProductInfo(r);
        }
        ms = timer.nsecsElapsed() / 1e6;
    }
    out << QStringLiteral(
               "  SaveProductInfo of %1 new rows into the full table: %2 ms, %3 rows/s\n")
               .arg(rows)
               .arg(ms, 0, 'f', 1)
               .arg(RowsPerSecond(rows, ms));
}
