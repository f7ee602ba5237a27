// bench_analysis: the shop analyses (low stock, ageing of unpaid amounts, gross margin) on
// 1 000 000 generated goods records, and each one's ratio to its plain definition on a smaller
// ledger, measured in the same run.
//
//   bench_analysis [lowstock] [ageing] [margin]     (default: all three)

#include "DemoData.h"
#include "GrossMargin.h"
#include "LowStock.h"
#include "NumberText.h"
#include "PlainAnalysis.h"
#include "StockComputation.h"
#include "UnpaidAgeing.h"

#include <QCoreApplication>
#include <QTextStream>

#include <ctime>
#include <functional>

namespace
{

const QDate LastDay(2024, 6, 30);

// Goods records of one store in time order, of every kind, as the demo generator makes them.
QList<ProductRecord> Generated(int count)
{
    DemoOptions options;
    options.goodsPerStore = count;
    options.moneyPerStore = 0;
    options.days = 4 * 365;
    options.end = LastDay;
    return DemoData::Build(options).first().goods;
}

// CPU time of this thread: the machine may be shared, so wall time says little about the code.
double CpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double Ms(const std::function<void()>& work)
{
    const double start = CpuMs();
    work();
    return CpuMs() - start;
}

// A level for every article of the stock rows, half of them above the stock on hand.
QList<LowStock::Level> LevelsFor(const QList<ProductRecord>& stock)
{
    QList<LowStock::Level> levels;
    for (qsizetype i = 0; i < stock.size(); ++i) {
        const ProductRecord& r = stock[i];
        const double onHand = NumberText::Read(r.product_num);
        levels << LowStock::Level{r.product_model, r.product_color, r.product_store,
                                  i % 2 ? onHand + 1 : onHand - 1};
    }
    return levels;
}

// Stock rows of `count` distinct articles: the largest list a catalogue could ask for.
QList<ProductRecord> StockRows(int count)
{
    QList<ProductRecord> rows;
    rows.reserve(count);
    for (int i = 0; i < count; ++i) {
        ProductRecord r;
        r.product_model = QStringLiteral("XK-%1").arg(i / 12);
        r.product_color = QStringLiteral("色%1").arg(i % 4);
        r.product_store = QStringLiteral("%1号库").arg(i % 3);
        r.product_num = NumberText::Write(i % 40);
        rows << r;
    }
    return rows;
}

QStringList Texts(const UnpaidAgeing::Ageing& ageing)
{
    QStringList texts;
    for (const UnpaidAgeing::Line& line : ageing.parties + QList{ageing.total}) {
        texts << line.party;
        for (double amount : line.amounts)
            texts << NumberText::Write(amount);
    }
    return texts;
}

QString Ratio(int records, double keyedMs, double plainMs, bool same)
{
    return QStringLiteral("  %1 records: keyed %2 ms, plain %3 ms CPU, plain/keyed %4x, %5\n")
        .arg(records)
        .arg(keyedMs, 0, 'f', 1)
        .arg(plainMs, 0, 'f', 1)
        .arg(plainMs / qMax(keyedMs, 0.001), 0, 'f', 0)
        .arg(same ? QStringLiteral("same result") : QStringLiteral("RESULTS DIFFER"));
}

bool LowStockBench(QTextStream& out, const QList<ProductRecord>& large)
{
    out << "low stock\n";
    QList<ProductRecord> stock;
    const double stockMs = Ms([&] { stock = StockComputation::ComputeStock(large, true); });
    const QList<LowStock::Level> levels = LevelsFor(stock);
    qsizetype listed = 0;
    const double alertMs = Ms([&] { listed = LowStock::Alerts(stock, levels).size(); });
    out << QStringLiteral("  stock of %1 records %2 ms, then %3 of %4 rows listed in %5 ms CPU\n")
               .arg(large.size())
               .arg(stockMs, 0, 'f', 1)
               .arg(listed)
               .arg(stock.size())
               .arg(alertMs, 0, 'f', 1);

    const QList<ProductRecord> rows = StockRows(1000000);
    const QList<LowStock::Level> rowLevels = LevelsFor(rows);
    const double largeMs = Ms([&] { listed = LowStock::Alerts(rows, rowLevels).size(); });
    out << QStringLiteral("  %1 stock rows with as many levels: %2 listed in %3 ms CPU\n")
               .arg(rows.size())
               .arg(listed)
               .arg(largeMs, 0, 'f', 1);

    const QList<ProductRecord> small = StockRows(5000);
    const QList<LowStock::Level> smallLevels = LevelsFor(small);
    QList<LowStock::Alert> keyed, plain;
    const double keyedMs = Ms([&] { keyed = LowStock::Alerts(small, smallLevels); });
    const double plainMs = Ms([&] { plain = PlainAnalysis::Alerts(small, smallLevels); });
    out << Ratio(int(small.size()), keyedMs, plainMs, keyed == plain);
    return keyed == plain;
}

bool AgeingBench(QTextStream& out, const QList<ProductRecord>& large,
                 const QList<ProductRecord>& small)
{
    out << "ageing of unpaid amounts\n";
    UnpaidAgeing::Ageing customers, suppliers;
    const double customersMs = Ms([&] { customers = UnpaidAgeing::Customers(large, LastDay); });
    const double suppliersMs = Ms([&] { suppliers = UnpaidAgeing::Suppliers(large, LastDay); });
    out << QStringLiteral("  %1 records: %2 customers in %3 ms, %4 suppliers in %5 ms CPU\n")
               .arg(large.size())
               .arg(customers.parties.size())
               .arg(customersMs, 0, 'f', 1)
               .arg(suppliers.parties.size())
               .arg(suppliersMs, 0, 'f', 1);

    UnpaidAgeing::Ageing keyed, plain;
    const double keyedMs = Ms([&] { keyed = UnpaidAgeing::Customers(small, LastDay); });
    const double plainMs = Ms([&] { plain = PlainAnalysis::Ageing(small, LastDay, 2, 3); });
    out << Ratio(int(small.size()), keyedMs, plainMs, Texts(keyed) == Texts(plain));
    return Texts(keyed) == Texts(plain);
}

bool MarginBench(QTextStream& out, const QList<ProductRecord>& large,
                 const QList<ProductRecord>& small)
{
    out << "gross margin\n";
    const QDate first = LastDay.addDays(-4 * 365);
    for (const QDate& from : {LastDay.addDays(-364), first}) {
        GrossMargin::Margins margins;
        const double ms = Ms([&] { margins = GrossMargin::Compute(large, from, LastDay); });
        out << QStringLiteral("  %1 records, sales of %2 days: %3 priced, %4 apart, "
                              "%5 salespeople, %6 models in %7 ms CPU\n")
                   .arg(large.size())
                   .arg(from.daysTo(LastDay) + 1)
                   .arg(margins.sales.size())
                   .arg(margins.unpriced.size())
                   .arg(margins.bySalesperson.size())
                   .arg(margins.byModel.size())
                   .arg(ms, 0, 'f', 1);
        out.flush();
    }

    GrossMargin::Margins keyed, plain;
    const double keyedMs = Ms([&] { keyed = GrossMargin::Compute(small, first, LastDay); });
    const double plainMs = Ms([&] { plain = PlainAnalysis::Margins(small, first, LastDay); });
    const bool same = keyed.sales == plain.sales && keyed.margins == plain.margins &&
                      keyed.unpriced == plain.unpriced &&
                      keyed.bySalesperson.size() == plain.bySalesperson.size();
    out << Ratio(int(small.size()), keyedMs, plainMs, same);
    return same;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);

    // Named parts only, when any are named: lowstock, ageing, margin.
    const QStringList parts = app.arguments().mid(1);
    const auto runs = [&](const char* part) {
        return parts.isEmpty() || parts.contains(QLatin1String(part));
    };
    const QList<ProductRecord> large = Generated(1000000);
    const QList<ProductRecord> small = Generated(20000);
    out << large.size() << " generated goods records\n";
    out.flush();
    bool same = !runs("lowstock") || LowStockBench(out, large);
    out.flush();
    same = (!runs("ageing") || AgeingBench(out, large, small)) && same;
    out.flush();
    same = (!runs("margin") || MarginBench(out, large, small)) && same;
    return same ? 0 : 1;
}
