#include "AnalysisWindow.h"
#include "DatabaseEngine.h"
#include "DbManager.h"
#include "JobLauncher.h"
#include "MainWindow.h"
#include "ProgramRestart.h"
#include "ReorderLevels.h"
#include "ScriptedPrompt.h"
#include "SignedInWindow.h"
#include "TestFolder.h"
#include "tst_workspace.h"

#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QTimer>

namespace
{

// Runs the page load on the calling thread, as the worker would hand it over.
class DirectLauncher : public JobLauncher
{
public:
    void Start(MainWindow* owner, int jobType) override
    {
        started << jobType;
        owner->TakeLoadedRecords(LoadDayRecords(*DatabaseEngine::Instance(), QDate::currentDate()));
        owner->ShowTabData();
    }
    QList<int> started;
};

QStackedWidget* Stack(MainWindow& w, const char* name)
{
    return w.findChild<QStackedWidget*>(name);
}

QAction* Action(MainWindow& w, const QString& name)
{
    auto* action = w.findChild<QAction*>(name);
    Q_ASSERT(action);
    return action;
}

ProductRecord Goods(int kind, const QString& serial, const QString& date, const QString& name)
{
    ProductRecord r;
    r.tab_type = kind;
    r.product_serial = serial;
    r.product_time = date;
    r.product_name = name;
    r.product_num = "2";
    return r;
}

QString Today(int offset = 0)
{
    return QDate::currentDate().addDays(offset).toString("yyyy-MM-dd");
}

} // namespace

void TestWindow::everyNamedResourceExists()
{
    QVERIFY(QFile(":/qss/qss/styleSheet.qss").size() > 1000);
    for (const char* path : {":/backg/backg/calendar.png", ":/backg/backg/dlg_bk20.jpg",
                             ":/icons/icons/exit.png", ":/icons/icons/littleIcon1/Error.png"})
        QVERIFY2(QFile::exists(path), path);
    for (const PageDefinition& d : PageDefinitions::All()) {
        for (const PageButton& b : d.buttons)
            QVERIFY2(QFile::exists(b.icon), qPrintable(b.icon));
    }
    TestFolder folder;
    QVERIFY(folder.Connect());
    auto w = SignedInWindow(1);
    for (QAction* a : w->findChildren<QAction*>()) {
        if (a->objectName().startsWith("action"))
            QVERIFY2(!a->icon().isNull(), qPrintable(a->objectName()));
    }
}

void TestWindow::rolesApplyOnce_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("startPage");
    QTest::addColumn<bool>("restricted");
    QTest::addColumn<bool>("salesVisible");
    QTest::newRow("super") << 1 << 1 << false << true;
    QTest::newRow("authorised") << 2 << 2 << true << true;
    QTest::newRow("general") << 3 << 2 << true << false;
    QTest::newRow("browse") << 4 << 5 << true << false;
    QTest::newRow("unknown") << 7 << 1 << false << true;
}

void TestWindow::rolesApplyOnce()
{
    QFETCH(int, type);
    QFETCH(int, startPage);
    QFETCH(bool, restricted);
    QFETCH(bool, salesVisible);
    TestFolder folder;
    QVERIFY(folder.Connect());
    auto w = SignedInWindow(type);
    QCOMPARE(Stack(*w, "stackedWidget")->currentIndex(), startPage);
    for (const char* name : {"action_income", "action_profit", "action_purchase", "action_users",
                             "action_datasave", "action_supplier", "action_showFin"})
        QCOMPARE(Action(*w, name)->isVisible(), !restricted);
    for (const char* name : {"menu_finance", "menu_purchase", "menu_client", "menu_employee"})
        QCOMPARE(w->findChild<QMenu*>(name)->menuAction()->isVisible(), !restricted);
    QCOMPARE(Action(*w, "action_saleout")->isVisible(), salesVisible);
    QCOMPARE(Action(*w, "action_saleback")->isVisible(), salesVisible);
    QCOMPARE(Action(*w, "action_showSale")->isVisible(), type != 4);
    QCOMPARE(Action(*w, "action_infotodb")->isVisible(), type != 4);
    // The shop analyses: low stock and its levels for super and authorised users, money owed and
    // margins for super users only.
    const bool stockAnalyses = type == 1 || type == 2 || type == 7;
    QCOMPARE(w->findChild<QMenu*>("menu_analysis")->menuAction()->isVisible(), stockAnalyses);
    QCOMPARE(Action(*w, "action_lowstock")->isVisible(), stockAnalyses);
    QCOMPARE(Action(*w, "action_reorder")->isVisible(), stockAnalyses);
    QCOMPARE(Action(*w, "action_ageing")->isVisible(), !restricted);
    QCOMPARE(Action(*w, "action_margin")->isVisible(), !restricted);
    QVERIFY(Action(*w, "action_saletotal")->isVisible());
    QVERIFY(Action(*w, "action_instore")->isVisible());
    QVERIFY(Action(*w, "actionExit")->isVisible());
}

void TestWindow::chainSummaryOnlyForASuperUserWhoseConfigurationNamesAChain()
{
    for (int type : {1, 2, 3, 4}) {
        TestFolder folder;
        {
            QFile ini(folder.ConfigPath());
            QVERIFY(ini.open(QIODevice::Append));
            ini.write("\n[Chain]\n20230101120000000LINK=总店\n20230301120000000LINK=东店\n");
        }
        QVERIFY(folder.Connect());
        auto w = SignedInWindow(type);
        QAction* entry = w->findChild<QAction*>("action_chainsummary");
        QCOMPARE(entry != nullptr, type == 1);
        if (entry) {
            QCOMPARE(entry->text(), QString("门店汇总"));
            QVERIFY(w->findChild<QMenu*>("menu_salestotal")->actions().contains(entry));
        }
    }
    TestFolder plain;
    QVERIFY(plain.Connect());
    auto w = SignedInWindow(1);
    QVERIFY(!w->findChild<QAction*>("action_chainsummary"));
}

void TestWindow::moneyTitleTogglesTheGoodsStack()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    auto w = SignedInWindow(1);
    QStackedWidget* goods = Stack(*w, "stackedWidget");
    auto click = [&](const char* name) { w->findChild<QPushButton*>(name)->click(); };
    click("btn_fin_1");
    QVERIFY(!goods->isHidden());
    QCOMPARE(goods->currentIndex(), 2);
    QVERIFY(Action(*w, "action_showStore")->isCheckable());
    click("btn_fin_1");
    QVERIFY(goods->isHidden());
    QVERIFY(!Action(*w, "action_showStore")->isCheckable());
    click("btn_fin_3");
    QVERIFY(!goods->isHidden());
    QCOMPARE(goods->currentIndex(), 2);
    click("btn_fin_4");
    QVERIFY(goods->isHidden());
    QCOMPARE(goods->currentIndex(), 0);
    click("btn_fin_7");
    QCOMPARE(goods->currentIndex(), 4);
    QVERIFY(!goods->isHidden());
}

void TestWindow::menuActionsSelectPages()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    auto w = SignedInWindow(1);
    QStackedWidget* goods = Stack(*w, "stackedWidget");
    QAction* showStore = Action(*w, "action_showStore");
    showStore->setChecked(true);
    showStore->trigger();
    QVERIFY(goods->isHidden());
    Action(*w, "action_purchase")->trigger();
    QVERIFY(!goods->isHidden());
    QCOMPARE(goods->currentIndex(), 0);
    Action(*w, "action_instore")->trigger();
    QCOMPARE(goods->currentIndex(), 5);
    Action(*w, "action_profit")->trigger();
    QVERIFY(!Stack(*w, "stackedWidget_3")->isHidden());
    QCOMPARE(Stack(*w, "stackedWidget_3")->currentIndex(), 7);
    Action(*w, "action_utilites")->trigger();
    QCOMPARE(Stack(*w, "stackedWidget_3")->currentIndex(), 5);
    QVERIFY(!goods->isHidden());
    QAction* showFin = Action(*w, "action_showFin");
    showFin->setChecked(true);
    showFin->trigger();
    QVERIFY(Stack(*w, "stackedWidget_3")->isHidden());
    Action(*w, "action_saletotal")->trigger();
    QVERIFY(!Stack(*w, "stackedWidget_2")->isHidden());
}

void TestWindow::pageLoadShowsTodaysRecordsOfThisStore()
{
    TestFolder folder(TestFolder::Sqlite, "20240101000000000LINK");
    QVERIFY(folder.Connect());
    QVERIFY(TestFolder::AddProduct(Goods(0, "s-b", Today(), "第二")));
    QVERIFY(TestFolder::AddProduct(Goods(0, "s-a", Today(), "第一")));
    QVERIFY(TestFolder::AddProduct(Goods(0, "s-old", Today(-1), "昨天")));
    QVERIFY(TestFolder::AddProduct(Goods(0, "s-other", Today(), "别店"), "20990101000000000LINK"));
    QVERIFY(TestFolder::AddProduct(Goods(2, "s-sale", Today(), "卖出")));
    FinanceRecord salary;
    salary.tab_type = 4;
    salary.ie_serial = "f-1";
    salary.ie_time = Today();
    salary.ie_sum = "3000";
    QVERIFY(TestFolder::AddFinance(salary));
    FinanceRecord oldIncome = salary;
    oldIncome.tab_type = 0;
    oldIncome.ie_time = Today(-30);
    QVERIFY(TestFolder::AddFinance(oldIncome));

    DirectLauncher jobs;
    auto w = SignedInWindow(1, &jobs);
    QCOMPARE(jobs.started, QList<int>{JobLauncher::LoadPages});
    const QList<ProductRecord>& purchases = w->GoodsModel(0)->Records();
    QCOMPARE(purchases.size(), 2);
    QCOMPARE(purchases[0].product_name, QString("第二"));
    QCOMPARE(purchases[1].product_name, QString("第一"));
    QCOMPARE(w->GoodsModel(1)->rowCount(), 0);
    QCOMPARE(w->GoodsModel(2)->rowCount(), 1);
    QCOMPARE(w->MoneyModel(4)->rowCount(), 1);
    QCOMPARE(w->MoneyModel(0)->rowCount(), 0);
    QAbstractItemModel* view = w->Table("tab_salary")->model();
    QCOMPARE(view->data(view->index(0, 2)).toString(), QString("3000"));
    QCOMPARE(view->headerData(4, Qt::Horizontal).toString(), QString("员工信息"));
    QCOMPARE(w->LoadedRecords().goods[0].size(), 2);
    QVERIFY(!w->IsFilling());
}

void TestWindow::signInShowsTheLowStockListOnlyWhenSomethingIsLow()
{
    TestFolder folder(TestFolder::Sqlite, "20240101000000000LINK");
    QVERIFY(folder.Connect());
    ProductRecord bought = Goods(0, "s-1", Today(-3), "衬衫");
    bought.product_model = "M-1";
    QVERIFY(TestFolder::AddProduct(bought)); // two on hand
    ReorderLevels levels(*DbManager::Instance(), DatabaseEngine::Instance()->StoreNo());
    const auto lowStockList = [](MainWindow& w) {
        return w.findChild<AnalysisWindow*>("LowStockWindow");
    };
    const auto checked = [](MainWindow& w) {
        return w.statusBar()->findChild<QProgressBar*>("progress_job")->isHidden();
    };

    QVERIFY(levels.Save({{"M-1", "", "", 1}}));
    DirectLauncher jobs;
    auto notLow = SignedInWindow(2, &jobs);
    QTRY_VERIFY(checked(*notLow));
    QVERIFY(!lowStockList(*notLow));

    QVERIFY(levels.Save({{"M-1", "", "", 2}}));
    auto low = SignedInWindow(2, &jobs);
    QTRY_VERIFY(lowStockList(*low) && lowStockList(*low)->isVisible());
    Action(*low, "action_lowstock")->trigger(); // on demand as well: the same window again
    QTRY_VERIFY(checked(*low));
    QCOMPARE(low->findChildren<AnalysisWindow*>().size(), 1);

    // Roles that may not see it are not even checked.
    auto general = SignedInWindow(3, &jobs);
    QVERIFY(checked(*general));
    QTest::qWait(200);
    QVERIFY(!lowStockList(*general));
}

void TestWindow::showingLoadedRowsSavesNothing()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    QVERIFY(TestFolder::AddProduct(Goods(3, "", Today(), "无序号")));
    const QString count = "select count(*) from tb_sm_product_info";
    QCOMPARE(TestFolder::Count(count), 1);

    DirectLauncher jobs;
    auto w = SignedInWindow(1, &jobs);
    ProductModel* returns = w->GoodsModel(3);
    QCOMPARE(returns->rowCount(), 1);
    QVERIFY(!returns->Records()[0].product_serial.isEmpty());
    QSignalSpy edits(returns, &LedgerModel::RowEdited);
    w->ShowTabData();
    QCOMPARE(edits.size(), 0);
    QCOMPARE(TestFolder::Count(count), 1);
    QCOMPARE(TestFolder::Count("select count(*) from tb_sm_product_info where product_serial=''"),
             1);
}

void TestWindow::statusLineShowsTimeAndUser()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    auto w = SignedInWindow(1);
    QCOMPARE(w->statusBar()->currentMessage(), QString("用户：admin"));
    w->ShowStatusInfo("数据库备份完成...");
    const QRegularExpression shape(
        R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d \S+ - 数据库备份完成\.\.\.$)");
    bool found = false;
    for (QLabel* label : w->statusBar()->findChildren<QLabel*>())
        found = found || shape.match(label->text()).hasMatch();
    QVERIFY(found);
    QCOMPARE(w->statusBar()->currentMessage(), QString("用户：admin"));
}

void TestWindow::closeBoxCanBeDeclined()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    auto w = SignedInWindow(3);
    w->show();
    ScriptedPrompt prompt;
    prompt.AnswerBoxes({1, 0});
    QVERIFY(!w->close());
    QVERIFY(w->isVisible());
    QCOMPARE(prompt.shown.size(), 1);
    QCOMPARE(prompt.shown[0].title, QString("退出"));
    QCOMPARE(prompt.shown[0].text, QString("确定要退出?"));
    QCOMPARE(prompt.shown[0].buttons, (QStringList{"直接退出", "返回程序"}));
    QVERIFY(w->close());
    QVERIFY(!w->isVisible());
}

void TestWindow::restartStartsANewCopyOnlyWhenQuitting()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    auto w = SignedInWindow(3);
    w->show();
    auto* restart = w->findChild<ProgramRestart*>();
    QVERIFY(restart);
    // The new copy is a program that leaves a mark, so the test sees whether it was started.
    const QString mark = folder.Path() + "/started";
    restart->SetCommand(QStandardPaths::findExecutable("touch"), {mark});
    QAction* action = Action(*w, "action_restart");
    ScriptedPrompt prompt;
    // Closing the last window would leave a quit behind for a later test's event loop.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    const auto restore = qScopeGuard([] { QGuiApplication::setQuitOnLastWindowClosed(true); });
    // Runs the application's event loop while `step` runs in it, until the program quits (or
    // the test gives up).
    auto runLoop = [](const std::function<void()>& step) {
        QTimer::singleShot(0, qApp, step);
        QTimer giveUp;
        giveUp.setSingleShot(true);
        QObject::connect(&giveUp, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        giveUp.start(5000);
        return QCoreApplication::exec();
    };

    // "返回程序": the program stays, alone; leaving it later for another reason starts nothing.
    prompt.AnswerBoxes({1});
    runLoop([&] {
        action->trigger();
        QCoreApplication::exit(0);
    });
    QCOMPARE(prompt.shown.size(), 1);
    QCOMPARE(prompt.shown[0].title, QString("退出"));
    QVERIFY(w->isVisible());
    QTest::qWait(200);
    QVERIFY(!QFile::exists(mark));

    // "直接退出": the window closes, the program quits and the new copy starts.
    prompt.AnswerBoxes({0});
    QCOMPARE(runLoop([&] { action->trigger(); }), 0);
    QCOMPARE(prompt.shown.size(), 2);
    QVERIFY(!w->isVisible());
    QTRY_VERIFY(QFile::exists(mark));
}
