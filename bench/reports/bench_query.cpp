// bench_query: "全部记录" on the sales page of a store holding 200 000 sales, through the main
// window and its query job, on SQLite and (with LEDGER_TEST_PG) PostgreSQL: time from the button
// to the rows in the page, and the resident memory that the shown rows add.

#include "DatabaseEngine.h"
#include "DemoWriter.h"
#include "DialogQuery.h"
#include "MainWindow.h"
#include "TestDatabase.h"
#include "ThreadJobLauncher.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTextStream>
#include <QTimer>

#include <ctime>

namespace
{

constexpr int Sales = 200000;

long ResidentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return 0;
}

QList<ProductRecord> SalesRecords(int count)
{
    QList<ProductRecord> records;
    records.reserve(count);
    const QDate first(2021, 1, 1);
    for (int i = 0; i < count; ++i) {
        ProductRecord r;
        r.tab_type = 2;
        r.product_serial = QStringLiteral("2021-01-01 10:00:00:%1").arg(i, 7, 10, QLatin1Char('0'));
        r.product_class = QStringLiteral("衬衫");
        r.product_name = QStringLiteral("商品%1").arg(i % 500);
        r.product_model = QStringLiteral("M-%1").arg(i % 800);
        r.product_color = i % 3 ? QStringLiteral("红") : QStringLiteral("藏青");
        r.product_size = QStringLiteral("L");
        r.product_time = first.addDays(i % 1400).toString(QStringLiteral("yyyy-MM-dd"));
        r.product_store = QStringLiteral("01-A-%1").arg(i % 9);
        r.product_num = QString::number(i % 17 + 1);
        r.product_price = QStringLiteral("37.5");
        r.product_total = QString::number((i % 17 + 1) * 37.5);
        r.product_pay = QStringLiteral("0");
        r.product_debt = r.product_total;
        r.product_supply = QStringLiteral("客户%1").arg(i % 300);
        r.product_purchase = QStringLiteral("小王");
        r.product_oddNum = QStringLiteral("XS%1").arg(i / 3);
        r.product_record = QStringLiteral("小李");
        records << r;
    }
    return records;
}

// CPU time of the whole process (window and query job): the machine may be shared, so wall time
// says little about the code.
double CpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Waits as the window's own event loop does, asleep between events, so that the processor time
// measured is the program's work and not a polling loop's.
void WaitFor(const std::function<bool()>& done)
{
    QTimer wake;
    wake.start(20);
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void Measure(TestDatabase::Backend backend, const QList<ProductRecord>& sales, QTextStream& out)
{
    out << TestDatabase::Name(backend) << "\n";
    out.flush();
    TestDatabase db(backend, QStringLiteral("BENCH-STORE"));
    if (!db.Connect()) {
        out << "  cannot connect\n";
        return;
    }
    StoreDemo store;
    store.storeNo = QStringLiteral("BENCH-STORE");
    store.goods = sales;
    DemoWriter writer;
    if (!writer.Write(store)) {
        out << "  writing failed: " << writer.Error() << "\n";
        return;
    }

    QElapsedTimer timer;
    timer.start();
    double cpu = CpuMs();
    QList<ProductRecord> selected;
    DatabaseEngine::Instance()->SelectProductRecords(5, 2, QString(), QString(), selected);
    out << QStringLiteral("  the select alone: %1 rows in %2 ms (%3 ms CPU)\n")
               .arg(selected.size())
               .arg(timer.nsecsElapsed() / 1e6, 0, 'f', 1)
               .arg(CpuMs() - cpu, 0, 'f', 1);
    selected.clear();

    ThreadJobLauncher jobs;
    {
        MainWindow window;
        window.SetUser(UserRecord{1, 1, QString(), QStringLiteral("admin"), {}, {}, {}});
        window.SetJobLauncher(&jobs);
        window.InitMainWindow();
        window.show();
        QCoreApplication::processEvents();
        const QAbstractItemModel* model = window.Table(QStringLiteral("tab_saleout"))->model();
        auto* progress = window.statusBar()->findChild<QProgressBar*>();

        const long before = ResidentKb();
        timer.restart();
        cpu = CpuMs();
        window.findChild<QPushButton*>(QStringLiteral("btn_purquery_3"))->click();
        window.QueryDialog()->findChild<QPushButton*>(QStringLiteral("btn_all"))->click();
        WaitFor([&] { return model->rowCount() == sales.size() && progress->isHidden(); });
        QCoreApplication::processEvents(); // the first rows painted
        const double ms = timer.nsecsElapsed() / 1e6;
        cpu = CpuMs() - cpu;
        const long added = ResidentKb() - before;
        out << QStringLiteral("  全部记录 of %1 sales, button to rows shown: %2 ms (%3 ms CPU), "
                              "resident memory added %4 MB\n")
                   .arg(model->rowCount())
                   .arg(ms, 0, 'f', 1)
                   .arg(cpu, 0, 'f', 1)
                   .arg(added / 1024.0, 0, 'f', 1);
    }
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    const QList<ProductRecord> sales = SalesRecords(Sales);
    for (TestDatabase::Backend backend : TestDatabase::Available()) {
        if (backend != TestDatabase::OdbcPostgres)
            Measure(backend, sales, out);
    }
    return 0;
}
