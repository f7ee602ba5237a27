// bench_storechain: one shop of a chain that shares the throwaway PostgreSQL (LEDGER_TEST_PG) with
// 49 others, against a database holding that shop alone. For the shop: start-up to the day's rows
// (connecting, then every page's rows of the last day), a month's sales query, the stock of a
// year and the profit of a year, through the same code the window runs. Each is timed (wall time,
// best of three) on both databases, with the ratio, and the plan of every select it sent is
// printed and checked: each reads the shop's rows by an index, none scans the table.
//
//   bench_storechain [shops [records per shop]]     (default 50 shops of 200 000 records)

#include "ChainDatabase.h"
#include "DatabaseEngine.h"
#include "DbManager.h"
#include "LedgerRecords.h"
#include "PgCopy.h"
#include "QueryRun.h"
#include "TestDatabase.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <functional>

#include <libpq-fe.h>

namespace
{

// The shop looked at: a copy of a generated shop in the chain, generated alone for the baseline.
constexpr int Shop = 7;
constexpr int Runs = 3;
const QDate LastDay(2024, 6, 30);

// What the server says of each select while plans are asked for: its notices, taken from the
// client library.
QStringList plans;

void KeepPlan(void*, const char* message)
{
    plans << QString::fromUtf8(message);
}

struct Step {
    QString name;
    // Runs the step (start-up connects first when `connect`); returns a short account of what
    // it found, the same on both databases.
    std::function<QString(TestDatabase&, bool connect)> run;
};

QString Counted(const QueryResult& result)
{
    return result.ok ? QStringLiteral("%1 goods rows, %2 money rows")
                           .arg(result.goods.size())
                           .arg(result.money.size())
                     : QStringLiteral("failed: ") + result.error;
}

QString Query(int group, int page, int timeMode, const QString& queryDate)
{
    QueryRequest request;
    request.seesPrices = true;
    request.criteria.group = group;
    request.criteria.page = page;
    request.criteria.timeMode = timeMode;
    request.criteria.allRecords = true;
    request.criteria.queryDate = queryDate;
    return Counted(QueryRun::Run(*DatabaseEngine::Instance(), request));
}

QList<Step> Steps()
{
    const int month = 2;
    const int year = 3;
    const int salesPage = 2;
    return {
        {QStringLiteral("start-up to the day's rows"),
         [](TestDatabase& db, bool connect) {
             if (connect && !db.Connect())
                 return QStringLiteral("cannot connect");
             const LedgerRecords day = LoadDayRecords(*DatabaseEngine::Instance(), LastDay);
             qsizetype rows = 0;
             for (const auto& goods : day.goods)
                 rows += goods.size();
             for (const auto& money : day.money)
                 rows += money.size();
             return QStringLiteral("%1 rows").arg(rows);
         }},
        {QStringLiteral("a month's sales"),
         [=](TestDatabase&, bool) {
             return Query(QueryRun::GoodsGroup, salesPage, month, QStringLiteral("2024-05-15"));
         }},
        {QStringLiteral("stock of a year"),
         [=](TestDatabase&, bool) {
             return Query(QueryRun::GoodsGroup, QueryRun::InventoryPage, year,
                          QStringLiteral("2023-06-15"));
         }},
        {QStringLiteral("profit of a year"),
         [=](TestDatabase&, bool) {
             return Query(QueryRun::MoneyGroup, QueryRun::ProfitPage, year,
                          QStringLiteral("2023-06-15"));
         }},
    };
}

struct Timed {
    double ms = 0;
    QString found;
};

// Best of a few runs of every step, the tables' pages warm.
QList<Timed> TimeSteps(TestDatabase& db)
{
    QList<Timed> timed;
    for (const Step& step : Steps()) {
        Timed t{1e12, QString()};
        for (int run = 0; run < Runs; ++run) {
            QElapsedTimer timer;
            timer.start();
            t.found = step.run(db, true);
            t.ms = std::min(t.ms, double(timer.nsecsElapsed()) / 1e6);
        }
        timed << t;
    }
    return timed;
}

// Runs every step once with the server explaining each select; false when a plan reads a table
// whole.
bool PrintPlans(TestDatabase& db, QTextStream& out)
{
    if (!db.Connect())
        return false;
    // The settings live in this connection's session; the steps run without connecting anew.
    for (const char* setting : {"load 'auto_explain'", "set auto_explain.log_min_duration = 0",
                                "set client_min_messages = log"})
        ChainDatabase::Exec(QString::fromLatin1(setting), out);
    pg_conn* connection = PgCopy::Connection(DbManager::Instance()->Database());
    if (!connection)
        return false;
    bool indexed = true;
    for (const Step& step : Steps()) {
        plans.clear();
        const PQnoticeProcessor previous = PQsetNoticeProcessor(connection, KeepPlan, nullptr);
        step.run(db, false);
        PQsetNoticeProcessor(connection, previous, nullptr);
        out << step.name << ":\n";
        for (const QString& plan : std::as_const(plans)) {
            const bool scansTable = plan.contains(QLatin1String("Seq Scan on tb_sm_"));
            indexed = indexed && !scansTable;
            for (const QString& line : plan.trimmed().split(u'\n'))
                out << "    " << line.left(160) << "\n";
            if (scansTable)
                out << "    ^ reads the whole table\n";
        }
    }
    ChainDatabase::Exec(QStringLiteral("set client_min_messages = notice"), out);
    out.flush();
    return indexed;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const QStringList args = app.arguments();
    const int shops = args.size() > 1 ? args[1].toInt() : 50;
    const int perShop = args.size() > 2 ? args[2].toInt() : 200000;
    if (!TestDatabase::Available().contains(TestDatabase::Postgres) || shops <= Shop) {
        out << "bench_storechain: needs LEDGER_TEST_PG and more than 7 shops\n";
        return 0;
    }
    const QString storeNo = ChainDatabase::StoreNo(Shop);

    QList<Timed> alone;
    {
        TestDatabase db(TestDatabase::Postgres, storeNo);
        if (!db.Connect() || !ChainDatabase::WriteShop(Shop, storeNo, perShop, out) ||
            !ChainDatabase::Exec(QStringLiteral("analyze"), out))
            return 1;
        alone = TimeSteps(db);
    }

    TestDatabase db(TestDatabase::Postgres, storeNo);
    if (!db.Connect() || !ChainDatabase::Build(shops, perShop, out))
        return 1;
    const QList<Timed> inChain = TimeSteps(db);
    const bool indexed = PrintPlans(db, out);

    out << QStringLiteral("store %1 among %2 shops (%3 rows) against the same store alone:\n")
               .arg(storeNo)
               .arg(shops)
               .arg(qint64(shops) * perShop);
    const QList<Step> steps = Steps();
    for (qsizetype i = 0; i < steps.size(); ++i) {
        out << QStringLiteral("  %1: %2 ms in the chain, %3 ms alone, x%4 (%5)%6\n")
                   .arg(steps[i].name, -27)
                   .arg(inChain[i].ms, 0, 'f', 0)
                   .arg(alone[i].ms, 0, 'f', 0)
                   .arg(inChain[i].ms / std::max(alone[i].ms, 0.001), 0, 'f', 2)
                   .arg(inChain[i].found)
                   .arg(inChain[i].found == alone[i].found
                            ? QString()
                            : QStringLiteral(" DIFFERS alone: ") + alone[i].found);
    }
    out << (indexed ? "every select read the store's rows by an index\n"
                    : "SOME SELECT READ A WHOLE TABLE\n");
    return 0;
}
