// The flows without the main window: each built on the pages and the status line of a bench,
// with a small stand-in for the window's side of its interface and a real SQLite database.
#include "BackupFlow.h"
#include "CancelAtOnce.h"
#include "ChartFlow.h"
#include "DatabaseEngine.h"
#include "DialogQuery.h"
#include "DialogUserMge.h"
#include "EditingFlow.h"
#include "FlowBench.h"
#include "LedgerExchange.h"
#include "LedgerImport.h"
#include "LedgerSheet.h"
#include "ListFlow.h"
#include "ListTabs.h"
#include "PagePrint.h"
#include "PdfText.h"
#include "PrintFlow.h"
#include "QueryFlow.h"
#include "RestoreFlow.h"
#include "SampleGoods.h"
#include "StatusLine.h"

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QThread>
#include <QTimer>

namespace
{

// Runs each query as the job would at its start, and holds the result back until the test hands
// it in: a query still running while the clerk works on.
struct HeldQueries {
    QueryFlow::Window Window()
    {
        return {[this] {
                    held << QueryRun::Run(*DatabaseEngine::Instance(), flow->Pending());
                    return true;
                },
                [](const QString&) { return std::optional<QString>(); }};
    }

    QueryFlow* flow = nullptr;
    QList<QueryResult> held;
};

// Notes each backup started; Run() then does the started job's work, as the worker does.
struct BackupJobs {
    BackupFlow::Window Window()
    {
        return {[this] { ++started; }};
    }
    void Run()
    {
        const QString path = BackupFlow::PathFor(QDateTime::currentDateTime());
        const StopFlag stop = flow->Stop();
        const BackupResult result = DatabaseEngine::Instance()->BackupToScript(
            path, {}, [stop] { return stop.IsRaised(); });
        flow->Finish(result.ok, path, result.error);
    }

    BackupFlow* flow = nullptr;
    int started = 0;
};

// A sale of model M-1, `num` pieces at 10.
ProductRecord Sale(const QString& serial, const QString& day = QStringLiteral("2024-05-05"),
                   const QString& num = QStringLiteral("2"))
{
    return SampleGoods(2, serial, day, QStringLiteral("M-1"), num);
}

QStringList Backups()
{
    return QDir(QStringLiteral("DbDateSave")).entryList(QDir::Files | QDir::Hidden);
}

int StoredSales()
{
    return TestFolder::Count(QStringLiteral("select count(*) from tb_sm_product_info"));
}

} // namespace

// The one progress reporter of the long jobs.
class TestStatusLine : public QObject
{
    Q_OBJECT
private slots:
    void theBarFollowsTheLatestJobAndOnlyAStoppableOneCancels()
    {
        QStatusBar bar;
        auto* status = new StatusLine(bar, QStringLiteral("admin"));
        bar.show();
        auto* progress = bar.findChild<QProgressBar*>(QStringLiteral("progress_job"));
        auto* cancel = bar.findChild<QPushButton*>(QStringLiteral("btn_jobcancel"));
        QVERIFY(progress->isHidden());
        QVERIFY(cancel->isHidden());

        const StatusLine::Job load = status->Begin(QString());
        QVERIFY(progress->isVisible());
        QCOMPARE(progress->maximum(), 0); // moving: the length is not known
        QVERIFY(cancel->isVisible());
        QVERIFY(!cancel->isEnabled());

        int cancelled = 0;
        const StatusLine::Job import = status->Begin("数据导入开始...", [&] { ++cancelled; });
        QVERIFY(cancel->isEnabled());
        status->Step(import, 500, 2000);
        status->Step(load, 1, 2); // not the job shown
        QCOMPARE(progress->value(), 25);
        cancel->click();
        QCOMPARE(cancelled, 1);
        QVERIFY(!cancel->isEnabled()); // asked once is enough
        QVERIFY(bar.findChild<QLabel*>()->text().endsWith(" - 正在取消..."));

        status->End(import, "导入未完成: 已取消");
        QVERIFY(bar.findChild<QLabel*>()->text().endsWith(" - 导入未完成: 已取消"));
        QCOMPARE(progress->value(), 50); // the page load again
        QVERIFY(!cancel->isEnabled());
        status->End(load);
        QVERIFY(progress->isHidden());
        QVERIFY(cancel->isHidden());
        QCOMPARE(bar.currentMessage(), QString("用户：admin"));
    }

    // While a job holds the window, a click anywhere but on the cancel button goes nowhere.
    void aHeldJobTakesOnlyTheCancelButtonsClick()
    {
        QWidget window;
        auto* other = new QPushButton(QStringLiteral("删除"), &window);
        auto* bar = new QStatusBar(&window);
        bar->move(0, 40);
        auto* status = new StatusLine(*bar, QStringLiteral("admin"));
        window.resize(600, 120);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        int otherClicks = 0;
        connect(other, &QPushButton::clicked, [&] { ++otherClicks; });

        StopFlag stop;
        const StatusLine::Job job = status->Begin(QString(), [stop] { stop.Raise(); });
        std::unique_ptr<QThread> worker(QThread::create([stop] {
            while (!stop.IsRaised())
                QThread::msleep(1);
        }));
        auto* cancel = bar->findChild<QPushButton*>(QStringLiteral("btn_jobcancel"));
        QTimer::singleShot(20, [&] {
            QTest::mouseClick(other, Qt::LeftButton);
            QTest::mouseClick(cancel, Qt::LeftButton);
        });
        status->RunHeld(*worker);
        worker->wait();
        status->End(job);
        QVERIFY(stop.IsRaised());
        QCOMPARE(otherClicks, 0);
        QTest::mouseClick(other, Qt::LeftButton);
        QCOMPARE(otherClicks, 1);
    }
};

// One test per flow family, each on a bench.
class TestFlows : public QObject
{
    Q_OBJECT
private slots:
    void queryShowsOnlyTheLatestLiveRun()
    {
        FlowBench bench;
        QVERIFY(bench.ready);
        QVERIFY(TestFolder::AddProduct(Sale("a")));
        HeldQueries jobs;
        QueryFlow flow(bench.window, jobs.Window(), bench.pages, *bench.status, 1);
        jobs.flow = &flow;
        connect(flow.Dialog(), &DialogQuery::sendQueryCmd, &flow, &QueryFlow::Start);
        const auto allSales = [&] {
            flow.Open("btn_purquery_3");
            flow.Dialog()->findChild<QPushButton*>("btn_all")->click();
        };
        ProductModel& sales = bench.Goods(2);

        allSales(); // reads one sale
        QVERIFY(TestFolder::AddProduct(Sale("b")));
        allSales(); // reads two, and replaces the first run
        QCOMPARE(jobs.held.size(), 2);
        flow.Show(jobs.held[1]);
        QCOMPARE(sales.rowCount(), 2);
        QVERIFY(bench.StatusText().endsWith("当前查询完成！"));
        QVERIFY(bench.Bar()->isVisible()); // the first run is still out
        flow.Show(jobs.held[0]);
        QCOMPARE(sales.rowCount(), 2);
        QVERIFY(bench.Bar()->isHidden());

        allSales(); // the data is replaced while it runs
        QCOMPARE(sales.rowCount(), 0);
        flow.DropRunning();
        flow.Show(jobs.held[2]);
        QCOMPARE(sales.rowCount(), 0);
        QVERIFY(bench.StatusText().contains("此前开始的查询结果作废"));

        allSales(); // cancelled while it runs
        QVERIFY(bench.CancelButton()->isEnabled());
        bench.CancelButton()->click();
        QVERIFY(bench.Bar()->isHidden());
        QVERIFY(bench.StatusText().endsWith("查询已取消"));
        flow.Show(jobs.held[3]);
        QCOMPARE(sales.rowCount(), 0);
        QVERIFY(bench.StatusText().endsWith("查询已取消"));
    }

    void editsAreStoredAtOnceAndTheTotalsFollow()
    {
        FlowBench bench;
        QVERIFY(bench.ready);
        EditingFlow editing(bench.window, bench.pages, *bench.status);
        int clearings = 0;
        connect(&editing, &EditingFlow::Clearing, [&] { ++clearings; });
        ProductModel& sales = bench.Goods(2);
        auto* total = bench.window.findChild<QLineEdit*>("lineEdit_t_3");

        editing.Add("btn_puradd_3");
        QCOMPARE(sales.rowCount(), 1);
        QCOMPARE(StoredSales(), 1);
        QVERIFY(sales.setData(sales.index(0, 9), "4"));
        QVERIFY(sales.setData(sales.index(0, 10), "2.5"));
        QCOMPARE(TestFolder::Count("select product_total from tb_sm_product_info"), 10);
        QCOMPARE(total->text(), QString("10"));

        editing.Add("btn_puradd_3");
        bench.pages.Table(FlowBench::Page("tab_saleout"))->setCurrentIndex(sales.index(0, 0));
        bench.prompt.AnswerBoxes({0});
        editing.Delete("btn_purdel_3");
        QCOMPARE(bench.prompt.shown.last().title, QString("删除告警"));
        QCOMPARE(sales.rowCount(), 1);
        QCOMPARE(StoredSales(), 1);
        QCOMPARE(total->text(), QString("0"));

        bench.prompt.AnswerBoxes({0});
        bench.prompt.SignInWith({{"admin", "407152"}});
        editing.Clear("btn_purclr_3");
        QCOMPARE(clearings, 1);
        QCOMPARE(sales.rowCount(), 0);
        QCOMPARE(StoredSales(), 0);
        QVERIFY(editing.Total("btn_total_3") == &FlowBench::Page("tab_saleout"));
        QVERIFY(!editing.Total("btn_puradd_3"));
    }

    void printWritesAPagesFullReportWithItsTotals()
    {
        if (!PdfText::Available())
            QSKIP("pdftotext is not installed");
        FlowBench bench;
        QVERIFY(bench.ready);
        bench.Goods(2).ShowRecords({Sale("a", "2024-05-05", "2"), Sale("b", "2024-05-06", "4")});
        PrintFlow printing(bench.window, bench.pages, *bench.status);
        const QString path = QDir(bench.folder.Path()).filePath("sales");
        bench.prompt.AnswerBoxes({PagePrint::ReportToPdf});
        bench.prompt.AnswerFiles({path});
        printing.Print("btn_purprint_3");
        QVERIFY(bench.StatusText().endsWith("已输出完整报表：" + path + ".pdf（2 行）"));
        const QString text = PdfText::Pages(path + ".pdf").join('\n');
        QVERIFY2(text.contains("销售管理表"), qPrintable(text));
        QVERIFY2(text.contains("共 2 行"), qPrintable(text));
        QVERIFY2(text.contains("总金额: 60"), qPrintable(text));

        printing.Print("btn_puradd_3"); // no print button: nothing is asked
        QCOMPARE(bench.prompt.shown.size(), 1);
    }

    void chartsAskForFiguresFirst()
    {
        FlowBench bench;
        QVERIFY(bench.ready);
        ChartFlow charts(bench.window, bench.pages);
        charts.ShowTotals();
        QCOMPARE(bench.prompt.shown.size(), 1);
        QCOMPARE(bench.prompt.shown[0].title, QString("图形显示"));
        QVERIFY(bench.prompt.shown[0].text.startsWith("请先在要显示的页面上点击"));
        charts.ShowSales("action_saleday");
        QCOMPARE(bench.prompt.shown.size(), 2);
        QVERIFY(bench.prompt.shown[1].text.startsWith("销售统计页还没有数据"));
    }

    void aCancelledImportStoresNothingMoreAndSaysSo()
    {
        FlowBench bench;
        QVERIFY(bench.ready);
        LedgerExchange exchange(bench.window, bench.pages, *bench.status);
        const PageDefinition& page = FlowBench::Page("tab_saleout");
        bench.Goods(2).ShowRecords(
            {Sale("2024-05-05 09:00:00:001"), Sale("2024-05-05 09:00:00:002")});
        const QString path = QDir(bench.folder.Path()).filePath("sales.xls");
        bench.prompt.AnswerFiles({path, path});
        exchange.Export(page);
        QVERIFY(!bench.CancelButton()->isEnabled()); // an export runs to its end
        QTRY_VERIFY(bench.StatusText().endsWith("导出数据完成,请进入相应TabDateSave目录查看"));
        QVERIFY(bench.Bar()->isHidden());

        const std::optional<ImportRequest> request = exchange.AskImport(page);
        QVERIFY(request);
        QCOMPARE(request->table, QString("tab_saleout"));
        QVERIFY(bench.StatusText().endsWith("数据导入开始..."));
        bench.CancelButton()->click();
        QVERIFY(request->stop.IsRaised());
        // The job asks the request's flag before each transaction's rows, as the worker does.
        LedgerImport import(*DatabaseEngine::Instance(), &LedgerModel::NextSerial);
        const ImportReport report =
            import.Run(path, LedgerSheet::GoodsLedger, page.kind, {}, [&request] {
                return request->stop.IsRaised() ? QStringLiteral("已取消") : QString();
            });
        exchange.ImportFinished(page, report);
        QCOMPARE(StoredSales(), 0);
        QCOMPARE(bench.Goods(2).rowCount(), 0);
        QVERIFY(bench.StatusText().endsWith("导入未完成: 已取消"));
        QVERIFY2(bench.prompt.shown.last().text.contains("导入未完成: 已取消。2 行未保存"),
                 qPrintable(bench.prompt.shown.last().text));
        QVERIFY(bench.Bar()->isHidden());
    }

    void aCancelledBackupLeavesNoFile()
    {
        FlowBench bench;
        QVERIFY(bench.ready);
        QVERIFY(TestFolder::AddProduct(Sale("a")));
        QVERIFY(QDir().mkdir("DbDateSave"));
        QAction action(QStringLiteral("数据备份"));
        BackupJobs jobs;
        BackupFlow backups(bench.window, jobs.Window(), *bench.status, action);
        jobs.flow = &backups;

        backups.Start();
        QCOMPARE(jobs.started, 1);
        QVERIFY(!action.isEnabled());
        QVERIFY(bench.StatusText().endsWith("数据库备份开始..."));
        bench.CancelButton()->click();
        jobs.Run();
        QVERIFY(Backups().isEmpty()); // not even the file it was writing
        QVERIFY(bench.StatusText().endsWith("数据库备份已取消"));
        QVERIFY(bench.prompt.shown.isEmpty());
        QVERIFY(!backups.IsRunning());

        backups.Start();
        jobs.Run();
        QCOMPARE(Backups().size(), 1);
        QVERIFY(bench.StatusText().endsWith("数据库备份完成..."));
        QVERIFY(bench.Bar()->isHidden());
    }

    void restoreReloadsBeforeItsReportAndACancelledOneChangesNothing()
    {
        FlowBench bench;
        QVERIFY(bench.ready);
        QVERIFY(TestFolder::AddProduct(Sale("a")));
        QVERIFY(QDir().mkdir("DbDateSave"));
        const QString path = QDir::currentPath() + "/DbDateSave/mine.sql";
        QVERIFY(DatabaseEngine::Instance()->BackupToScript(path).ok);
        QVERIFY(TestFolder::AddProduct(Sale("b")));
        RestoreFlow restores(bench.window, *bench.status);
        QList<int> boxesAtReload;
        connect(&restores, &RestoreFlow::Restored,
                [&] { boxesAtReload << int(bench.prompt.shown.size()); });

        {
            const CancelAtOnce cancel(bench.CancelButton());
            bench.prompt.AnswerBoxes({0});
            bench.prompt.AnswerFiles({path});
            restores.Run();
        }
        QCOMPARE(StoredSales(), 2);
        QVERIFY(boxesAtReload.isEmpty());
        QCOMPARE(bench.prompt.shown.last().title, QString("数据还原"));
        QCOMPARE(bench.prompt.shown.last().text, QString("数据还原已取消，原有数据未作改动。"));
        QVERIFY(bench.StatusText().endsWith("数据库还原已取消"));

        bench.prompt.AnswerBoxes({0});
        bench.prompt.AnswerFiles({path});
        restores.Run();
        QCOMPARE(StoredSales(), 1);
        QCOMPARE(boxesAtReload, QList<int>{3}); // the pages are read again before the report
        QCOMPARE(bench.prompt.shown.size(), 4);
        QVERIFY(bench.prompt.shown.last().text.startsWith("已还原 1 行数据。"));
        QVERIFY(bench.StatusText().endsWith("数据库还原完成..."));
        QVERIFY(bench.Bar()->isHidden());
    }

    void listDialogsOpenOnTheirTabsAndPassOnTheirChanges()
    {
        FlowBench bench;
        QVERIFY(bench.ready);
        ListFlow lists(bench.window, 1);
        int changes = 0;
        connect(&lists, &ListFlow::ListsChanged, [&] { ++changes; });
        lists.OpenPersons("action_users");
        DialogUserMge* persons = lists.ShowPersonDialog(true);
        QVERIFY(persons->isVisible());
        QCOMPARE(persons->findChild<QTabWidget*>()->currentIndex(), 0);
        lists.OpenPersons("action_distri");
        QCOMPARE(lists.ShowPersonDialog(true), persons);
        QCOMPARE(persons->findChild<QTabWidget*>()->currentIndex(), 3);

        persons->findChild<QPushButton*>(ListTabs::ButtonName(ListTabs::Button::Add, 3))->click();
        QCOMPARE(changes, 1);
        QCOMPARE(TestFolder::Count("select count(*) from tb_sm_person_info"), 1);

        ListFlow browsing(bench.window, 4);
        browsing.OpenPersons("action_client");
        QVERIFY(!browsing.ShowPersonDialog(true)
                     ->findChild<QPushButton*>(ListTabs::ButtonName(ListTabs::Button::Add, 2))
                     ->isEnabled());
    }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    int failed = 0;
    {
        TestStatusLine status;
        failed += QTest::qExec(&status, argc, argv);
    }
    {
        TestFlows flows;
        failed += QTest::qExec(&flows, argc, argv);
    }
    return failed;
}

#include "tst_flows.moc"
