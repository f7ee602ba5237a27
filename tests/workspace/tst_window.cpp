#include "DatabaseEngine.h"
#include "JobLauncher.h"
#include "MainWindow.h"
#include "ScriptedPrompt.h"
#include "SignedInWindow.h"
#include "TestFolder.h"
#include "tst_workspace.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QToolBar>

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

void TestWindow::frameHasEveryMenuActionAndPage()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    auto w = SignedInWindow(1);
    QCOMPARE(w->windowTitle(), QString("库存与财务管理系统-Marenvik"));
    QCOMPARE(w->size(), QSize(1110, 945));
    QStringList menus;
    for (QAction* a : w->menuBar()->actions())
        menus << a->menu()->objectName() + "=" + a->text();
    QCOMPARE(menus, (QStringList{"menu=信息录入(&I)", "menu_2=页面显示(&A)",
                                 "menu_purchase=采购管理(&P)", "menu_sales=销售管理(&S)",
                                 "menu_store=库存管理(&L)", "menu_salestotal=销售统计(&T)",
                                 "menu_employee=员工管理(&M)", "menu_client=客户管理(&C)",
                                 "menu_finance=财务管理(&F)", "menu_datamge=数据管理(&D)",
                                 "menu_systools=系统工具(&ST)", "menu_exit=系统退出(&Q)"}));
    auto* pay = w->findChild<QMenu*>("menu_pay");
    QStringList payEntries;
    for (QAction* a : pay->actions())
        payEntries << a->objectName() + "=" + a->text();
    QCOMPARE(payEntries, (QStringList{"action_purpay=采购支出", "action_salary=员工薪酬",
                                      "action_utilites=租赁水电\n", "action_expother=其它支出"}));
    QCOMPARE(Action(*w, "action_purBack")->text(), QString("采购退货理"));
    QVERIFY(Action(*w, "action_purchase")->isCheckable());
    QVERIFY(!Action(*w, "action_purchase")->isChecked());
    QCOMPARE(Action(*w, "action_infotodb")->toolTip(), QString("信息入库(&I)"));

    QStringList tools;
    for (QAction* a : w->findChild<QToolBar*>("toolBar")->actions())
        tools << (a->isSeparator() ? "|" : a->objectName());
    QCOMPARE(tools.join(' '),
             QString("action_infotodb | action_showStore action_showSale action_showFin "
                     "action_graph | action_purchase action_purBack action_saleout "
                     "action_saleback action_loss action_instore | action_saletotal | "
                     "action_income action_debt action_inother action_purpay action_salary "
                     "action_utilites action_expother action_profit | action_calc "
                     "action_editstore action_users action_employee | action_datasave "
                     "action_datarestore actionExit"));

    QCOMPARE(Stack(*w, "stackedWidget")->currentIndex(), 1);
    QCOMPARE(Stack(*w, "stackedWidget_2")->currentIndex(), 0);
    QCOMPARE(Stack(*w, "stackedWidget_3")->currentIndex(), 7);
    QVERIFY(!Stack(*w, "stackedWidget")->isHidden());
    QVERIFY(Stack(*w, "stackedWidget_2")->isHidden());
    QVERIFY(Stack(*w, "stackedWidget_3")->isHidden());
    // The chart entry is offered to the super user (and the authorised user).
    QVERIFY(Action(*w, "action_graph")->isVisible());
    QCOMPARE(Stack(*w, "stackedWidget")->widget(5)->objectName(), QString("page_store_curr"));
    QCOMPARE(Stack(*w, "stackedWidget_3")->widget(3)->objectName(), QString("page_purpay"));
    for (const PageDefinition& d : PageDefinitions::All()) {
        QStackedWidget* stack = Stack(*w, qPrintable(d.stack));
        QWidget* page = stack->findChild<QWidget*>(d.page);
        QVERIFY2(page, qPrintable(d.page));
        auto* table = page->findChild<QTableView*>(d.table);
        QVERIFY2(table, qPrintable(d.table));
        QCOMPARE(table->model()->columnCount(), d.ColumnCount());
        QCOMPARE(table->model()->headerData(0, Qt::Horizontal).toString(), d.headers.first());
        QCOMPARE(table->selectionBehavior(), QAbstractItemView::SelectRows);
        QCOMPARE(table->focusPolicy(), Qt::NoFocus);
        for (const PageButton& b : d.buttons)
            QVERIFY2(page->findChild<QPushButton*>(b.name), qPrintable(b.name));
        QVERIFY2(page->findChild<QPushButton*>(d.totalButton), qPrintable(d.totalButton));
        for (const QString& field : d.totalFields)
            QVERIFY2(page->findChild<QLineEdit*>(field), qPrintable(field));
        if (!d.titleButton.isEmpty())
            QCOMPARE(page->findChild<QPushButton*>(d.titleButton)->text(), d.titleText);
    }
    auto* models = w->findChild<QComboBox*>("comboModel");
    QVERIFY(models->isHidden());
    QCOMPARE(models->itemText(models->count() - 1), QString("所有型号"));
    QVERIFY(w->Table("tab_storeCurr")->editTriggers() == QAbstractItemView::NoEditTriggers);
    for (const char* dir : {"TabDateSave", "DbDateSave", "InfoDateSave"})
        QVERIFY2(QDir(folder.Path()).exists(dir), dir);
}

void TestWindow::everyNamedResourceExists()
{
    QStringList paths = {":/qss/qss/styleSheet.qss",
                         ":/backg/backg/1_backg.png",
                         ":/backg/backg/1_loginbk.png",
                         ":/backg/backg/3_login.png",
                         ":/backg/backg/calendar.png",
                         ":/backg/backg/dlg_bk20.jpg",
                         ":/backg/backg/offwhite.jpg",
                         ":/icons/icons/1_green.png",
                         ":/icons/icons/5_yellow.png",
                         ":/icons/icons/6_blue.png",
                         ":/icons/icons/exit.png",
                         ":/icons/icons/littleIcon1/Error.png",
                         ":/icons/icons/littleIcon1/Color layers.png",
                         ":/icons/icons/littleIcon1/3d graph.png"};
    for (const PageDefinition& d : PageDefinitions::All()) {
        for (const PageButton& b : d.buttons)
            paths << b.icon;
    }
    for (const QString& path : paths)
        QVERIFY2(QFile::exists(path), qPrintable(path));
    QVERIFY(QFile(":/qss/qss/styleSheet.qss").size() > 1000);

    TestFolder folder;
    QVERIFY(folder.Connect());
    auto w = SignedInWindow(1);
    for (QAction* a : w->findChildren<QAction*>()) {
        if (a->objectName().startsWith("action"))
            QVERIFY2(!a->icon().isNull(), qPrintable(a->objectName()));
    }
    QVERIFY(!w->findChild<QPushButton*>("btn_label_3")->icon().isNull());
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
    QVERIFY(Action(*w, "action_saletotal")->isVisible());
    QVERIFY(Action(*w, "action_instore")->isVisible());
    QVERIFY(Action(*w, "actionExit")->isVisible());
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
