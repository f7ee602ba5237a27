// bench_chain: the figures of a chain of 10, 25 and 50 shops of 200 000 records each, computed
// from records in memory, for a month, a year and all time; and the inventory computation alone
// on the same shops, the largest part of the work, as the baseline.
//
// Five shops are generated (two goods records for one money record, over four years) and shop n
// of the chain is generated shop n mod 5: the work of a shop depends on its records, not on its
// number. Reading the records from the database is not part of this program.

#include "ChainSummary.h"
#include "DemoData.h"
#include "Period.h"
#include "StockComputation.h"

#include <QCoreApplication>
#include <QTextStream>

#include <ctime>

namespace
{

constexpr int RecordsPerShop = 200000;
constexpr int GeneratedShops = 5;
constexpr int ChainSizes[] = {10, 25, 50};

// CPU time of this thread: the machine may be shared, so wall time says little about the code.
double CpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

bool InPeriod(const QString& date, const std::optional<Period>& period)
{
    return !period || (date >= period->first && date <= period->last);
}

// A shop's records as its pages select them for the period (no period: all time).
ChainSummary::ShopRecords Select(const StoreDemo& shop, const std::optional<Period>& period)
{
    ChainSummary::ShopRecords records;
    for (const ProductRecord& r : shop.goods) {
        if (r.tab_type == 3)
            records.salesReturns << r;
        if (!InPeriod(r.product_time, period))
            continue;
        records.goods << r;
        if (r.tab_type == 2)
            records.sales << r;
    }
    for (const FinanceRecord& r : shop.money) {
        if (InPeriod(r.ie_time, period))
            records.money << r;
    }
    return records;
}

// CPU time after each chain size, running `work` on shop n mod 5 for n = 0, 1, ...
template <class Work> QList<double> Timed(const QList<ChainSummary::ShopRecords>& shops, Work work)
{
    QList<double> ms;
    const double start = CpuMs();
    for (int n = 0; n < ChainSizes[std::size(ChainSizes) - 1]; ++n) {
        work(shops[n % shops.size()]);
        if (std::find(std::begin(ChainSizes), std::end(ChainSizes), n + 1) != std::end(ChainSizes))
            ms << CpuMs() - start;
    }
    return ms;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);

    DemoOptions options;
    options.stores = GeneratedShops;
    options.goodsPerStore = RecordsPerShop * 2 / 3;
    options.moneyPerStore = RecordsPerShop - options.goodsPerStore;
    options.days = 4 * 365;
    options.end = QDate(2024, 6, 30);
    const QList<StoreDemo> generated = DemoData::Build(options);
    out << QStringLiteral("%1 generated shops of %2 goods and %3 money records, %4 to %5\n")
               .arg(GeneratedShops)
               .arg(options.goodsPerStore)
               .arg(options.moneyPerStore)
               .arg(options.end.addDays(1 - options.days).toString(Qt::ISODate),
                    options.end.toString(Qt::ISODate));

    const QList<std::pair<QString, std::optional<Period>>> periods = {
        {QStringLiteral("month 2024-05"), Period::ForMode(2, QString(), "2024-05-15")},
        {QStringLiteral("year 2023"), Period::ForMode(3, QString(), "2023-06-15")},
        {QStringLiteral("all time"), std::nullopt}};
    for (const auto& [name, period] : periods) {
        QList<ChainSummary::ShopRecords> shops;
        qsizetype records = 0;
        for (const StoreDemo& shop : generated) {
            shops << Select(shop, period);
            records += shops.last().goods.size() + shops.last().money.size();
        }
        double checksum = 0;
        const QList<double> summary = Timed(shops, [&](const ChainSummary::ShopRecords& shop) {
            checksum += ChainSummary::ForShop(shop)[ChainSummary::Sales];
        });
        const QList<double> stock = Timed(shops, [&](const ChainSummary::ShopRecords& shop) {
            checksum += double(StockComputation::ComputeStock(shop.goods, true).size());
        });
        out << QStringLiteral("%1: %2 records of the period per shop\n")
                   .arg(name)
                   .arg(records / shops.size());
        for (qsizetype i = 0; i < summary.size(); ++i) {
            out << QStringLiteral("  %1 shops: %2 ms CPU (%3 ms a shop, x%4 of 10 shops), "
                                  "summary/inventory alone %5\n")
                       .arg(ChainSizes[i], 2)
                       .arg(summary[i], 0, 'f', 0)
                       .arg(summary[i] / ChainSizes[i], 0, 'f', 1)
                       .arg(summary[i] / summary[0], 0, 'f', 2)
                       .arg(summary[i] / qMax(stock[i], 0.001), 0, 'f', 2);
        }
        out << QStringLiteral("  (checksum %1)\n").arg(checksum, 0, 'g', 6);
        out.flush();
    }
    return 0;
}
