// bench_chainread: "门店汇总" through its real reading path (ChainRun on a thread of its own, each
// shop read by its store number with the selects of its pages) on the throwaway PostgreSQL
// (LEDGER_TEST_PG): a month and a year for chains of 10, 25 and 50 shops, wall time, and how it
// grows with the number of shops. Prints the plan of the per-shop selects.
//
//   bench_chainread [shops [records per shop [month|year]]]
//
// (default 50 shops of 200 000 records, both periods). The chain is built by ChainDatabase: five
// shops generated as in bench_chain, written by the generator's bulk path, the others copies of
// them made by the server. With LEDGER_BENCH_CHAIN_DB set, it is built in the server database of
// that name and kept: a later run that finds it there, of the same size, reads it without
// building it again.

#include "ChainDatabase.h"
#include "ChainRun.h"
#include "DatabaseEngine.h"
#include "DbManager.h"
#include "LedgerColumns.h"
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

using ChainDatabase::StoreNo;

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

// Builds the chain, in a kept database after clearing what an interrupted build left.
bool Build(int shops, int perShop, QTextStream& out)
{
    return ChainDatabase::Exec(QStringLiteral("delete from tb_sm_product_info"), out) &&
           ChainDatabase::Exec(QStringLiteral("delete from tb_sm_finance_info"), out) &&
           ChainDatabase::Build(shops, perShop, out);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const QStringList args = app.arguments();
    const int shops = args.size() > 1 ? args[1].toInt() : 50;
    const int perShop = args.size() > 2 ? args[2].toInt() : 200000;
    if (!TestDatabase::Available().contains(TestDatabase::Postgres) ||
        shops < ChainDatabase::GeneratedShops) {
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
    // The returns of all time as the summary selects them: on PostgreSQL from their index alone.
    PrintPlan(QStringLiteral("select %1 from tb_sm_product_info where store_no='%2' and "
                             "tab_type=3")
                  .arg(LedgerColumns::ProductSelectList(ChainSummary::ReturnTexts()), StoreNo(7)),
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
