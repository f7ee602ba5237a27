// The query flow of the main window with its real background job: the dialog, the fifteen query
// buttons, results on their pages, overlapping runs, failures and edits after a query.
#include "DatabaseEngine.h"
#include "DbManager.h"
#include "DialogQuery.h"
#include "DialogStoreSet.h"
#include "ListCodec.h"
#include "MainWindow.h"
#include "SampleGoods.h"
#include "ScriptedPrompt.h"
#include "TestFolder.h"
#include "ThreadJobLauncher.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QTimer>

namespace
{

// Not today, so the window's first load of today's records leaves the pages to the queries.
const QString Day = QStringLiteral("2024-05-05");

ProductRecord Goods(int kind, const QString& serial, const QString& model, const QString& num)
{
    return SampleGoods(kind, serial, Day, model, num);
}

FinanceRecord Money(int kind, const QString& sum)
{
    FinanceRecord r;
    r.tab_type = kind;
    r.ie_serial = QStringLiteral("m%1").arg(kind);
    r.ie_time = Day;
    r.ie_sum = sum;
    return r;
}

bool SaveList(int table, int kind, const QList<QStringList>& rows)
{
    return DatabaseEngine::Instance()->SaveListInfo(table, {kind, ListCodec::Pack(rows)});
}

QStringList Items(const QComboBox* box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

// Runs jobs on real worker threads. While `hold` is set, a query is run at once on the data as
// it is at its start, and its result reaches the window only on Deliver(): a query that is
// still running while the clerk goes on working.
class HeldQueries : public JobLauncher
{
public:
    void Start(MainWindow* owner, int jobType) override
    {
        if (hold && jobType == RunQuery)
            held << QueryRun::Run(*DatabaseEngine::Instance(), owner->PendingQuery());
        else
            threads.Start(owner, jobType);
    }
    void Deliver(MainWindow* owner)
    {
        for (const QueryResult& r : std::exchange(held, {}))
            owner->ShowQueryResultData(r);
    }

    bool hold = false;
    QList<QueryResult> held;

private:
    ThreadJobLauncher threads;
};

// A signed-in super user's window whose jobs run on real worker threads.
struct QueryWindow {
    explicit QueryWindow(int userType = 1)
    {
        window->SetUser(UserRecord{userType, 1, "", "admin", "", "", ""});
        window->SetJobLauncher(&jobs);
        window->InitMainWindow();
        dialog = window->QueryDialog();
        // The first page load has shown its rows: one ending after a query would total the
        // query's rows with today's.
        QTRY_VERIFY(!window->IsFilling() && Idle());
    }

    template <class T> T* Find(const QString& name) const
    {
        T* child = window->findChild<T*>(name);
        return child ? child : dialog->findChild<T*>(name);
    }
    void Click(const QString& button) { Find<QPushButton>(button)->click(); }
    QString Status() const
    {
        QString texts;
        for (const QLabel* l : window->statusBar()->findChildren<QLabel*>())
            texts += l->text();
        return texts;
    }
    bool Idle() const { return window->statusBar()->findChild<QProgressBar*>()->isHidden(); }
    int Rows(const QString& table) const { return window->Table(table)->model()->rowCount(); }
    QString Cell(const QString& table, int row, int column) const
    {
        const QAbstractItemModel* m = window->Table(table)->model();
        return m->index(row, column).data().toString();
    }
    // Runs the query of a button with "全部记录" or "查询" and waits for its result.
    bool Run(const QString& queryButton, const QString& run = "btn_all")
    {
        Click(queryButton);
        Click(run);
        return QTest::qWaitFor([this] { return Idle() && Status().contains("当前查询完成！"); });
    }

    // Starts "全部记录" of a query button with its result held back; the rows it read.
    qsizetype StartHeld(const QString& queryButton)
    {
        jobs.hold = true;
        Click(queryButton);
        Click("btn_all");
        return jobs.held.size() == 1 ? jobs.held[0].goods.size() : -1;
    }

    HeldQueries jobs; // outlives the window, so no worker is cut short
    std::unique_ptr<MainWindow> window = std::make_unique<MainWindow>();
    DialogQuery* dialog = nullptr;
};

} // namespace

class TestQueryFlow : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestFolder> folder;

private slots:
    void init()
    {
        folder = std::make_unique<TestFolder>(TestFolder::Sqlite, "20240101000000000LINK");
        QVERIFY(folder->Connect());
    }
    void cleanup() { folder.reset(); }

    void dialogOffersTheListsAndKeepsWhatWasTyped()
    {
        QVERIFY(SaveList(1, 3, {{"A1"}, {"B-2"}}));
        QVERIFY(SaveList(2, 1, {{"王", "x"}}));
        QVERIFY(SaveList(2, 2, {{"客户丙"}}));
        QVERIFY(SaveList(2, 3, {{"分销甲"}}));
        QVERIFY(SaveList(2, 4, {{"供货乙"}}));
        QueryWindow w;
        DialogQuery* d = w.dialog;
        QCOMPARE(d->windowTitle(), QString("信息查询"));
        QVERIFY(!d->isVisible());
        auto box = [&](const QString& name) { return d->findChild<QComboBox*>(name); };
        QCOMPARE(Items(box("comboBox_3")), QStringList({"A1", "B-2"}));
        QCOMPARE(Items(box("comboBox_9")), QStringList({"A1", "B-2"}));
        QCOMPARE(Items(box("comboBox_6")), QStringList({"供货乙", "客户丙", "分销甲"}));
        QCOMPARE(Items(box("comboBox_10")), QStringList({"分销甲", "王"}));
        QCOMPARE(Items(box("comboBox_34")), QStringList{"王"});
        QVERIFY(box("comboBox_31")->isEditable() && box("comboBox_31")->count() == 0);
        QCOMPARE(box("comboBox_3")->currentText(), QString());

        // Lists edited later reach the boxes; what the user typed stays the criterion.
        box("comboBox_3")->setEditText("XA");
        QVERIFY(SaveList(1, 3, {{"A1"}, {"B-2"}, {"C3"}}));
        w.window->UpDateInfo();
        QCOMPARE(Items(box("comboBox_3")), QStringList({"A1", "B-2", "C3"}));
        QCOMPARE(d->ReadCriteria().goods.model, QString("XA"));
        w.Click("btn_clrcont");
        QCOMPARE(d->ReadCriteria().goods.model, QString());

        // The span start shows in span mode only.
        w.Click("btn_purquery");
        auto* start = d->findChild<QDateEdit*>("dateEdit");
        QVERIFY(!start->isVisible());
        d->findChild<QRadioButton*>("radioButton_4")->click();
        QVERIFY(start->isVisible());
        QCOMPARE(d->TimeMode(), 4);
        d->findChild<QRadioButton*>("radioButton_2")->click();
        QVERIFY(!start->isVisible());
        QCOMPARE(d->TimeMode(), 2);

        // Typing in the store field opens the store chooser; its choice becomes the criterion.
        QTimer::singleShot(0, [] {
            auto* chooser = qobject_cast<DialogStoreSet*>(QApplication::activeModalWidget());
            QVERIFY(chooser);
            chooser->findChild<QLineEdit*>("lineEdit")->setText("二号库-A区");
            chooser->findChild<QPushButton*>("pushButton")->click();
        });
        QTest::keyClicks(d->findChild<QLineEdit*>("lineEdit_2"), "x");
        QCOMPARE(d->ReadCriteria().goods.store, QString("二号库-A区"));
        w.Click("btn_cancel");
        QVERIFY(!d->isVisible());
    }

    void cancellingTheStoreChooserKeepsTheCriterion()
    {
        QueryWindow w;
        w.Click("btn_purquery");
        auto* store = w.dialog->findChild<QLineEdit*>("lineEdit_2");
        // The chooser answers from its own modal loop: a place confirmed, or Escape.
        auto answer = [](const QString& place) {
            QTimer::singleShot(0, [place] {
                auto* chooser = qobject_cast<DialogStoreSet*>(QApplication::activeModalWidget());
                QVERIFY(chooser);
                if (place.isEmpty()) {
                    QTest::keyClick(chooser, Qt::Key_Escape);
                    return;
                }
                chooser->findChild<QLineEdit*>("lineEdit")->setText(place);
                chooser->findChild<QPushButton*>("pushButton")->click();
            });
        };
        answer({});
        QTest::keyClicks(store, "x");
        QCOMPARE(store->text(), QString());
        answer("01-A-1");
        QTest::keyClicks(store, "y");
        QCOMPARE(store->text(), QString("01-A-1"));
        answer({});
        QTest::keyClick(store, Qt::Key_Backspace);
        QCOMPARE(store->text(), QString("01-A-1"));
        QCOMPARE(w.dialog->ReadCriteria().goods.store, QString("01-A-1"));

        // The kept criterion still finds its rows.
        ProductRecord there = Goods(0, "there", "A", "1");
        there.product_store = "01-A-1";
        QVERIFY(TestFolder::AddProduct(there));
        QVERIFY(TestFolder::AddProduct(Goods(0, "elsewhere", "A", "1")));
        w.dialog->findChild<QRadioButton*>("radioButton_5")->click();
        QVERIFY(w.Run("btn_purquery", "btn_query"));
        QCOMPARE(w.Rows("tab_purchaseIn"), 1);
        QCOMPARE(w.Cell("tab_purchaseIn", 0, 0), QString("there"));
    }

    void aSpanRunsFromItsEarlierDate()
    {
        QVERIFY(TestFolder::AddProduct(Goods(2, "in", "A", "1")));
        QueryWindow w;
        w.Click("btn_purquery_3");
        auto* start = w.dialog->findChild<QDateEdit*>("dateEdit");
        auto* end = w.dialog->findChild<QDateEdit*>("dateEdit_2");
        // A day chosen in the past, then the span: it opens from that day up to today.
        end->setDate(QDate(2024, 5, 1));
        w.dialog->findChild<QRadioButton*>("radioButton_4")->click();
        QCOMPARE(start->date(), QDate(2024, 5, 1));
        QCOMPARE(end->date(), QDate::currentDate());

        // A span typed the wrong way round is run, and shown, the right way round.
        start->setDate(QDate(2024, 5, 6));
        end->setDate(QDate(2024, 5, 4));
        QVERIFY(w.Run("btn_purquery_3", "btn_query"));
        QCOMPARE(start->date(), QDate(2024, 5, 4));
        QCOMPARE(end->date(), QDate(2024, 5, 6));
        QCOMPARE(w.Rows("tab_saleout"), 1);
    }

    void theDialogClosesWhenThePagesChange()
    {
        QueryWindow w;
        w.window->show();
        const QStringList actions = {"action_purchase", "action_instore",   "action_income",
                                     "action_profit",   "action_showStore", "action_showSale",
                                     "action_showFin",  "action_saletotal", "action_users",
                                     "action_client"};
        for (const QString& name : actions) {
            w.Click("btn_purquery_3");
            QVERIFY(w.dialog->isVisible());
            w.window->findChild<QAction*>(name)->trigger();
            QVERIFY2(!w.dialog->isVisible(), qPrintable(name));
        }
        // A money page's title shows or hides its goods page beside it.
        w.Click("btn_finquery_1");
        w.Click("btn_fin_1");
        QVERIFY(!w.dialog->isVisible());
    }

    void resultsReadBeforeAClearAreDropped()
    {
        QVERIFY(TestFolder::AddProduct(Goods(2, "old", "A", "1")));
        ScriptedPrompt prompt;
        QueryWindow w;
        QCOMPARE(w.StartHeld("btn_purquery_3"), 1);

        prompt.AnswerBoxes({0});
        prompt.SignInWith({{"admin", "407152"}});
        w.Click("btn_purclr_3");
        QCOMPARE(TestFolder::Count("select count(*) from tb_sm_product_info"), 0);

        // The query read the sale before the clear: its rows do not come back on the page.
        w.jobs.Deliver(w.window.get());
        QCOMPARE(w.Rows("tab_saleout"), 0);
        QVERIFY(w.Status().contains("查询结果作废"));
        QVERIFY(w.Idle());

        // A query started after the clear is shown.
        QVERIFY(TestFolder::AddProduct(Goods(2, "new", "A", "1")));
        w.jobs.hold = false;
        QVERIFY(w.Run("btn_purquery_3"));
        QCOMPARE(w.Rows("tab_saleout"), 1);
        QCOMPARE(w.Cell("tab_saleout", 0, 0), QString("new"));
    }

    void resultsReadBeforeARestoreAreDropped()
    {
        QVERIFY(TestFolder::AddProduct(Goods(2, "kept", "A", "1")));
        const QString backup = QDir::currentPath() + "/DbDateSave/before.sql";
        QVERIFY(QDir().mkpath("DbDateSave"));
        QVERIFY(DatabaseEngine::Instance()->BackupToScript(backup).ok);
        QVERIFY(TestFolder::AddProduct(Goods(2, "later", "A", "1")));
        ScriptedPrompt prompt;
        QueryWindow w;
        QCOMPARE(w.StartHeld("btn_purquery_3"), 2);

        prompt.AnswerBoxes({0, 0});
        prompt.AnswerFiles({backup});
        w.window->findChild<QAction*>("action_datarestore")->trigger();
        QVERIFY2(w.Status().contains("数据库还原完成..."), qPrintable(w.Status()));
        QCOMPARE(TestFolder::Count("select count(*) from tb_sm_product_info"), 1);

        // The rows the query read before the restore, "later" among them, stay away: edited,
        // they would be stored again over the restored data.
        w.jobs.Deliver(w.window.get());
        QCOMPARE(w.Rows("tab_saleout"), 0);
        QCOMPARE(TestFolder::Count("select count(*) from tb_sm_product_info where "
                                   "product_serial='later'"),
                 0);
    }

    void showingAResultLeavesTheTotalsAndTheProfitTotalIsTheProfit()
    {
        ProductRecord sale = Goods(2, "s", "A", "2");
        sale.product_total = "30";
        QVERIFY(TestFolder::AddProduct(sale));
        for (int kind = 0; kind < 7; ++kind)
            QVERIFY(TestFolder::AddFinance(Money(kind, QString::number(10 * (kind + 1)))));
        QueryWindow w;
        // Today's pages are empty; a query shows older rows beside the totals of before.
        QVERIFY(w.Run("btn_purquery_3"));
        QCOMPARE(w.Rows("tab_saleout"), 1);
        QCOMPARE(w.Find<QLineEdit>("lineEdit_t_3")->text(), QString("0"));
        w.Click("btn_total_3");
        QCOMPARE(w.Find<QLineEdit>("lineEdit_t_3")->text(), QString("30"));

        QVERIFY(w.Run("btn_finquery_8"));
        QCOMPARE(w.Cell("tab_profit", 7, 2), QString("-160"));
        QCOMPARE(w.Cell("tab_profit", 0, 0), QString()); // sums have no entry time
        QCOMPARE(w.Find<QLineEdit>("lineEdit_ft_8")->text(), QString("0"));
        // 10 + 20 + 30 - 40 - 50 - 60 - 70: the profit, not the column with the profit in it.
        w.Click("btn_ft_8");
        QCOMPARE(w.Find<QLineEdit>("lineEdit_ft_8")->text(), QString("-160"));
    }

    void everyQueryButtonFillsItsPage()
    {
        const QList<ProductRecord> goods = {Goods(0, "p", "A", "5"), Goods(1, "b", "A", "1"),
                                            Goods(2, "s", "A", "2"), Goods(3, "r", "A", "1"),
                                            Goods(4, "l", "A", "1")};
        for (const ProductRecord& r : goods)
            QVERIFY(TestFolder::AddProduct(r));
        for (int kind = 0; kind < 7; ++kind)
            QVERIFY(TestFolder::AddFinance(Money(kind, QString::number(10 * (kind + 1)))));
        QueryWindow w;
        struct Case {
            const char* button;
            const char* table;
            int criteriaPage;
            int rows;
        };
        const Case cases[] = {{"btn_purquery", "tab_purchaseIn", 0, 1},
                              {"btn_purquery_2", "tab_purchaseBack", 0, 1},
                              {"btn_purquery_3", "tab_saleout", 0, 1},
                              {"btn_purquery_4", "tab_saleback", 0, 1},
                              {"btn_purquery_5", "tab_storelose", 0, 1},
                              {"btn_purquery_6", "tab_storeCurr", 0, 1},
                              {"btn_salequery_1", "tab_saletotal_1", 1, 1},
                              {"btn_finquery_1", "tab_income", 2, 1},
                              {"btn_finquery_2", "tab_debt", 2, 1},
                              {"btn_finquery_3", "tab_inother", 2, 1},
                              {"btn_finquery_4", "tab_purpay", 2, 1},
                              {"btn_finquery_5", "tab_salary", 2, 1},
                              {"btn_finquery_6", "tab_utility", 2, 1},
                              {"btn_finquery_7", "tab_expother", 2, 1},
                              {"btn_finquery_8", "tab_profit", 2, 8}};
        for (const Case& c : cases) {
            w.window->ShowStatusInfo("-");
            w.Click(c.button);
            QVERIFY2(w.dialog->isVisible(), c.button);
            QCOMPARE(w.dialog->findChild<QStackedWidget*>("stackedWidget")->currentIndex(),
                     c.criteriaPage);
            w.Click("btn_all");
            QVERIFY2(!w.dialog->isVisible(), c.button);
            QVERIFY2(
                QTest::qWaitFor([&] { return w.Idle() && w.Status().contains("当前查询完成！"); }),
                c.button);
            QCOMPARE(w.Rows(c.table), c.rows);
        }
        QVERIFY(w.dialog->findChild<QRadioButton*>("radioButton_5")->isChecked());
        // 5 in, 1 back, 2 sold, 1 returned, 1 lost: 2 left, at 10 each; no paid or unpaid.
        QCOMPARE(w.Cell("tab_storeCurr", 0, 9), QString("2"));
        QCOMPARE(w.Cell("tab_storeCurr", 0, 12), QString());
        w.Click("btn_total_6");
        QCOMPARE(w.Find<QLineEdit>("lineEdit_t_6")->text(), QString("20"));
        QCOMPARE(w.Find<QLineEdit>("lineEdit_p_6")->text(), QString("0"));
        // The sale of 2 less its return of 1.
        QCOMPARE(w.Cell("tab_saletotal_1", 0, 9), QString("1"));
        w.Click("btn_total_7");
        QCOMPARE(w.Find<QLineEdit>("lineEdit_t_7")->text(), QString("10"));
        // 10 + 20 + 30 - 40 - 50 - 60 - 70.
        QCOMPARE(w.Cell("tab_profit", 7, 1), QString("经营利润"));
        QCOMPARE(w.Cell("tab_profit", 7, 2), QString("-160"));
    }

    void criteriaFilterAndAllRecordsIgnoresThem()
    {
        for (const QString model : {"A1", "XA1", "A10", "a1"})
            QVERIFY(TestFolder::AddProduct(Goods(2, model, model, "1")));
        QueryWindow w;
        w.Click("btn_purquery_3");
        w.dialog->findChild<QComboBox*>("comboBox_3")->setEditText("A1");
        w.dialog->findChild<QDateEdit*>("dateEdit_2")->setDate(QDate(2024, 5, 5));
        QVERIFY(w.Run("btn_purquery_3", "btn_query"));
        QVERIFY(w.dialog->isVisible());
        QCOMPARE(w.Rows("tab_saleout"), 3);
        QVERIFY(w.Run("btn_purquery_3", "btn_all"));
        QVERIFY(!w.dialog->isVisible());
        QCOMPARE(w.Rows("tab_saleout"), 4);
        QCOMPARE(w.dialog->TimeMode(), 5);
    }

    void aSecondRunReplacesTheFirst()
    {
        for (int i = 0; i < 300; ++i)
            QVERIFY(TestFolder::AddProduct(Goods(2, QString("s%1").arg(i), "A", "1")));
        QVERIFY(TestFolder::AddProduct(Goods(2, "x", "XA", "1")));
        QueryWindow w;
        w.Click("btn_purquery_3");
        w.dialog->findChild<QRadioButton*>("radioButton_5")->click();
        w.Click("btn_query");
        w.dialog->findChild<QComboBox*>("comboBox_3")->setEditText("XA");
        w.Click("btn_query");
        QVERIFY(QTest::qWaitFor([&] { return w.Idle(); }));
        QCOMPARE(w.Rows("tab_saleout"), 1);

        // The first run's result, arriving late, does not replace the page.
        QueryResult late;
        late.run = 1;
        late.group = 1;
        late.page = 2;
        late.code = 2;
        late.goods = {Goods(2, "late", "L", "1")};
        w.window->ShowQueryResultData(late);
        QCOMPARE(w.Rows("tab_saleout"), 1);
        QCOMPARE(w.Cell("tab_saleout", 0, 0), QString("x"));
    }

    void anEditAfterAQueryIsStored()
    {
        QVERIFY(TestFolder::AddProduct(Goods(2, "old", "A", "1")));
        QueryWindow w;
        QVERIFY(w.Run("btn_purquery_3"));
        QCOMPARE(w.Rows("tab_saleout"), 1);
        QAbstractItemModel* model = w.window->Table("tab_saleout")->model();
        QVERIFY(model->setData(model->index(0, 16), "单-7"));
        QCOMPARE(TestFolder::Count("select count(*) from tb_sm_product_info where "
                                   "product_serial='old' and product_oddNum='单-7'"),
                 1);
    }

    void aFailingSelectIsReportedNotShownAsEmpty()
    {
        ScriptedPrompt prompt;
        QueryWindow w;
        QSqlQuery drop(DbManager::Instance()->Database());
        QVERIFY(drop.exec("drop table tb_sm_finance_info"));
        w.Click("btn_finquery_1");
        w.Click("btn_all");
        QVERIFY(QTest::qWaitFor([&] { return w.Idle() && w.Status().contains("查询失败"); }));
        QVERIFY(!w.Status().contains("当前查询完成！"));
        QCOMPARE(prompt.shown.size(), 1);
        QCOMPARE(prompt.shown[0].title, QString("查询失败"));
        QVERIFY(prompt.shown[0].text.contains("tb_sm_finance_info"));
    }

    void aClerkSeesNoPricesInTheStock()
    {
        QVERIFY(TestFolder::AddProduct(Goods(0, "p", "A", "5")));
        QueryWindow w(3);
        QVERIFY(w.Run("btn_purquery_6"));
        QCOMPARE(w.Cell("tab_storeCurr", 0, 9), QString("5"));
        QCOMPARE(w.Cell("tab_storeCurr", 0, 10), QString());
        QCOMPARE(w.Cell("tab_storeCurr", 0, 11), QString());
    }
};

QTEST_MAIN(TestQueryFlow)
#include "tst_queryflow.moc"
