// bench_chainread: "门店汇总" through its real reading path (ChainRun on a thread of its own, each
// shop read by its store number with the selects of its pages) on the throwaway PostgreSQL
// (LEDGER_TEST_PG): a month and a year for chains of 10, 25 and 50 shops, wall time, and how it
// grows with the number of shops. Prints the plan of the per-shop selects.
//
//   bench_chainread [shops [records per shop [month|year]]]
//
// (default 50 shops of 200 000 records, both periods)
//
// Five shops are generated (two goods records for one money record over four years, as in
// bench_chain) and written by the generator's bulk path; the other store numbers get copies of
// them made by the server (insert ... select), which is much faster and gives the same rows.
// With LEDGER_BENCH_CHAIN_DB set, the chain is built in the server database of that name and
// kept: a later run that finds it there, of the same size, reads it without building it again.

#include "ChainRun.h"
#include "DatabaseEngine.h"
#include "DbManager.h"
#include "DemoData.h"
#include "DemoWriter.h"
#include "Schema.h"
#include "TestDatabase.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>
#include <QThread>

#include <ctime>
#include <memory>

namespace
{

constexpr int GeneratedShops = 5;

QString StoreNo(int shop)
{
    return QStringLiteral("2023010112%1LINK").arg(shop, 7, 10, QLatin1Char('0'));
}

bool Exec(const QString& statement, QTextStream& out)
{
    QSqlQuery query(DbManager::Instance()->Database());
    if (query.exec(statement))
        return true;
    out << "failed: " << statement.left(120) << ": " << query.lastError().text() << "\n";
    return false;
}

// Copies every ledger row of store `from` to store `to` on the server.
bool CopyShop(const QString& from, const QString& to, QTextStream& out)
{
    for (const TableSchema& table : Schema::Tables()) {
        if (table.name != QLatin1String("tb_sm_product_info") &&
            table.name != QLatin1String("tb_sm_finance_info"))
            continue;
        QStringList source = table.columns;
        source.last() = QStringLiteral("'%1'").arg(to); // store_no is the last column
        if (!Exec(QStringLiteral("insert into %1 (%2) select %3 from %1 where store_no='%4'")
                      .arg(table.name, table.columns.join(','), source.join(','), from),
                  out))
            return false;
    }
    return true;
}

void PrintPlan(const QString& statement, QTextStream& out)
{
    QSqlQuery query(DbManager::Instance()->Database());
    if (!query.exec(QStringLiteral("explain ") + statement)) {
        out << "explain failed: " << query.lastError().text() << "\n";
        return;
    }
    out << "  " << statement << "\n";
    while (query.next())
        out << "    " << query.value(0).toString() << "\n";
}

// CPU time of this process (both reading threads): the part of the work done on this side of
// the connection.
double CpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Wall time of one summary on a worker thread, as the dialog runs it, and the program's CPU time.
double Summary(const ChainRequest& request, ChainResult& result, double& cpuMs)
{
    QElapsedTimer timer;
    timer.start();
    const double cpu = CpuMs();
    QThread* worker = QThread::create([&] { result = ChainRun::Run(request); });
    worker->start();
    worker->wait();
    delete worker;
    cpuMs = CpuMs() - cpu;
    return double(timer.elapsed());
}

// The kept chain of an earlier run: as many shops, each with as many records.
bool BuiltBefore(int shops, int perShop, QTextStream& out)
{
    const int found = TestDatabase::Scalar(
        QStringLiteral("select count(*) from tb_sm_product_info where store_no='%1'")
            .arg(StoreNo(shops - 1)));
    const int stores = TestDatabase::Scalar(
        QStringLiteral("select count(distinct store_no) from tb_sm_product_info"));
    if (found != perShop * 2 / 3 || stores != shops)
        return false;
    out << QStringLiteral("%1 shops of %2 records, built by an earlier run\n")
               .arg(shops)
               .arg(perShop);
    return true;
}

// Writes five generated shops and copies them to the other store numbers.
bool Build(int shops, int perShop, QTextStream& out)
{
    // A kept database may hold an interrupted build.
    if (!Exec(QStringLiteral("delete from tb_sm_product_info"), out) ||
        !Exec(QStringLiteral("delete from tb_sm_finance_info"), out))
        return false;
    QElapsedTimer timer;
    timer.start();
    DemoOptions options;
    options.stores = 1;
    options.goodsPerStore = perShop * 2 / 3;
    options.moneyPerStore = perShop - options.goodsPerStore;
    options.days = 4 * 365;
    options.end = QDate(2024, 6, 30);
    for (int g = 0; g < GeneratedShops; ++g) {
        options.seed = 20240601 + g;
        StoreDemo shop = DemoData::Build(options).first();
        shop.storeNo = StoreNo(g);
        DemoWriter writer;
        if (!writer.Write(shop)) {
            out << "write failed: " << writer.Error() << "\n";
            return false;
        }
    }
    const qint64 written = timer.restart();
    for (int n = GeneratedShops; n < shops; ++n) {
        if (!CopyShop(StoreNo(n % GeneratedShops), StoreNo(n), out))
            return false;
    }
    Exec(QStringLiteral("analyze"), out);
    out << QStringLiteral("%1 shops of %2 records (%3 goods, %4 money) over %5 days to %6: "
                          "5 written in bulk in %7 s, %8 copied by the server in %9 s\n")
               .arg(shops)
               .arg(perShop)
               .arg(options.goodsPerStore)
               .arg(options.moneyPerStore)
               .arg(options.days)
               .arg(options.end.toString(Qt::ISODate))
               .arg(written / 1000.0, 0, 'f', 1)
               .arg(shops - GeneratedShops)
               .arg(timer.elapsed() / 1000.0, 0, 'f', 1);

    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const QStringList args = app.arguments();
    const int shops = args.size() > 1 ? args[1].toInt() : 50;
    const int perShop = args.size() > 2 ? args[2].toInt() : 200000;
    if (!TestDatabase::Available().contains(TestDatabase::Postgres) || shops < GeneratedShops) {
        out << "bench_chainread: needs LEDGER_TEST_PG and at least 5 shops\n";
        return 0;
    }
    const QString keptName = qEnvironmentVariable("LEDGER_BENCH_CHAIN_DB");
    std::unique_ptr<TestDatabase> db =
        keptName.isEmpty() ? std::make_unique<TestDatabase>(TestDatabase::Postgres, StoreNo(0))
                           : std::make_unique<TestDatabase>(StoreNo(0), keptName);
    if (!db->Connect()) {
        out << "cannot connect\n";
        return 1;
    }
    if (!BuiltBefore(shops, perShop, out) && !Build(shops, perShop, out))
        return 1;

    out << "plans of one shop's selects:\n";
    PrintPlan(QStringLiteral("select * from tb_sm_product_info where store_no='%1' and "
                             "product_time between '2024-05-01' and '2024-05-31'")
                  .arg(StoreNo(7)),
              out);
    PrintPlan(QStringLiteral("select * from tb_sm_product_info where store_no='%1' and "
                             "tab_type=3")
                  .arg(StoreNo(7)),
              out);
    out.flush();

    const QList<std::pair<QString, ChainRequest>> periods = {
        {QStringLiteral("month 2024-05"), {{}, 2, QString(), QStringLiteral("2024-05-15")}},
        {QStringLiteral("year 2023"), {{}, 3, QString(), QStringLiteral("2023-06-15")}}};
    const QString only = args.size() > 3 ? args[3] : QString();
    for (const auto& [name, base] : periods) {
        if (!only.isEmpty() && !name.startsWith(only))
            continue;
        out << name << ":\n";
        double first = 0;
        int firstSize = 0;
        for (int size : {10, 25, 50}) {
            if (size > shops)
                continue;
            ChainRequest request = base;
            for (int n = 0; n < size; ++n)
                request.chain.shops << ChainConfig::Shop{StoreNo(n), QStringLiteral("店%1").arg(n)};
            ChainResult result;
            double cpu = 0;
            const double ms = Summary(request, result, cpu);
            if (result.outcome != ChainResult::Done) {
                out << "  failed: " << result.error << "\n";
                return 1;
            }
            if (!firstSize) {
                first = ms;
                firstSize = size;
            }
            out << QStringLiteral("  %1 shops: %2 s (%3 ms a shop; x%4 the time for x%5 the "
                                  "shops), program CPU %7 s, sales %6\n")
                       .arg(size, 2)
                       .arg(ms / 1000.0, 0, 'f', 2)
                       .arg(ms / size, 0, 'f', 0)
                       .arg(ms / qMax(first, 1.0), 0, 'f', 2)
                       .arg(double(size) / firstSize, 0, 'f', 1)
                       .arg(result.total[ChainSummary::Sales], 0, 'f', 2)
                       .arg(cpu / 1000.0, 0, 'f', 2);
            out.flush();
        }
    }
    return 0;
}
