// bench_stock: the keyed stock computation on 1 000 000 generated goods records, and its ratio
// to the plain algorithm (a scan of every entry for every record) on 20 000.

#include "DemoData.h"
#include "QuadraticStock.h"
#include "StockComputation.h"

#include <QCoreApplication>
#include <QTextStream>

#include <ctime>

namespace
{

// Goods records of one store in time order, of every kind, as the demo generator makes them.
QList<ProductRecord> Generated(int count)
{
    DemoOptions options;
    options.goodsPerStore = count;
    options.moneyPerStore = 0;
    options.days = 4 * 365;
    options.end = QDate(2024, 6, 30);
    return DemoData::Build(options).first().goods;
}

// CPU time of this thread: the machine may be shared, so wall time says little about the code.
double CpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double KeyedMs(const QList<ProductRecord>& records, qsizetype& rows)
{
    const double start = CpuMs();
    rows = StockComputation::ComputeStock(records, true).size();
    return CpuMs() - start;
}

QString Mix(const QList<ProductRecord>& records)
{
    int kinds[5] = {};
    for (const ProductRecord& r : records)
        ++kinds[qBound(0, r.tab_type, 4)];
    return QStringLiteral("in %1, returns to supplier %2, sales %3, sales returns %4, losses %5")
        .arg(kinds[0])
        .arg(kinds[1])
        .arg(kinds[2])
        .arg(kinds[3])
        .arg(kinds[4]);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);

    const QList<ProductRecord> large = Generated(1000000);
    out << large.size() << " records (" << Mix(large) << ")\n";
    qsizetype rows = 0;
    const double largeMs = KeyedMs(large, rows);
    out << QStringLiteral("  keyed stock of %1 records: %2 ms CPU, %3 rows\n")
               .arg(large.size())
               .arg(largeMs, 0, 'f', 1)
               .arg(rows);
    out.flush();

    const QList<ProductRecord> small = Generated(20000);
    const double smallMs = KeyedMs(small, rows);
    const double start = CpuMs();
    const QList<ProductRecord> plain = QuadraticStock(small, true);
    const double plainMs = CpuMs() - start;
    const bool same = plain == StockComputation::ComputeStock(small, true);
    out << QStringLiteral("  %1 records: keyed %2 ms, plain %3 ms CPU, plain/keyed %4x, %5\n")
               .arg(small.size())
               .arg(smallMs, 0, 'f', 1)
               .arg(plainMs, 0, 'f', 1)
               .arg(plainMs / qMax(smallMs, 0.001), 0, 'f', 0)
               .arg(same ? QStringLiteral("same rows") : QStringLiteral("ROWS DIFFER"));
    return same ? 0 : 1;
}
