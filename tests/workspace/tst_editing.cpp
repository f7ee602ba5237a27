// Editing the ledger pages: every change stored at once, computed columns, adding, deleting and
// clearing rows, refused saves, page totals and the item picker; each checked on screen and in
// the database.

#include "DatabaseEngine.h"
#include "DbManager.h"
#include "DialogStoreSet.h"
#include "ItemPicker.h"
#include "MainWindow.h"
#include "ScriptedPrompt.h"
#include "SignedInWindow.h"
#include "TestFolder.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <tuple>

namespace
{

const QString OtherStore = QStringLiteral("20990101000000000LINK");
enum GoodsColumn {
    Class = 1,
    Code = 5,
    Colour = 4,
    Num = 9,
    Price,
    Total,
    Paid,
    Unpaid,
    Remark = 18
};

void Click(MainWindow& w, const QString& button)
{
    auto* b = w.findChild<QPushButton*>(button);
    QVERIFY2(b, qPrintable(button));
    b->click();
}

// Adds a row with the page's add button; serials are milliseconds, so wait for the next one.
int AddRow(MainWindow& w, const QString& button, QAbstractItemModel* model)
{
    QTest::qWait(2);
    Click(w, button);
    return model->rowCount() - 1;
}

// Types `text` key by key into a widget, as a keyboard (or input method) would.
void TypeKeys(QWidget* widget, const QString& text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// Edits a cell through its model; the boxes an edit raises are shown once it has run to its end.
void Edit(QAbstractItemModel* model, int row, int column, const QString& text)
{
    QVERIFY(model->setData(model->index(row, column), text));
    QCoreApplication::processEvents();
}

// Opens the editor of a list cell as a click would, once its window is active again.
QComboBox* OpenListCell(QTableView* table, int row, int column)
{
    if (!QTest::qWaitForWindowActive(table->window()))
        qWarning("the window did not become active");
    const QModelIndex index = table->model()->index(row, column);
    table->setCurrentIndex(index);
    table->edit(index);
    return qobject_cast<QComboBox*>(table->indexWidget(index));
}

// A signed-in main window that is shown and active, so its cell editors take the focus.
std::unique_ptr<MainWindow> ActiveWindow()
{
    auto w = SignedInWindow();
    w->show();
    if (!QTest::qWaitForWindowActive(w.get()))
        qWarning("the main window did not become active");
    return w;
}

// An active window whose colour cells offer 红色 and 蓝色; closing an editor twice fails the test.
std::unique_ptr<MainWindow> ColourWindow()
{
    if (!DatabaseEngine::Instance()->SaveListInfo(1, ListRecord{4, "红色;蓝色"}))
        qWarning("the colour list was not stored");
    QTest::failOnWarning(QRegularExpression("does not belong to this view"));
    return ActiveWindow();
}

QString Cell(QAbstractItemModel* model, int row, int column)
{
    return model->index(row, column).data().toString();
}

// One stored field of the current store's record, "<none>" when there is no such record.
QString Stored(const QString& table, int kind, const QString& serial, const QString& field)
{
    const QString key = table == "tb_sm_product_info" ? "product_serial" : "ie_serial";
    QSqlQuery q(DbManager::Instance()->Database());
    q.prepare(QString("select %1 from %2 where tab_type=? and %3=? and store_no=?")
                  .arg(field, table, key));
    q.addBindValue(kind);
    q.addBindValue(serial);
    q.addBindValue(DatabaseEngine::Instance()->StoreNo());
    if (!q.exec() || !q.next())
        return "<none>";
    return q.value(0).toString();
}

QString Goods(int kind, const QString& serial, const QString& field)
{
    return Stored("tb_sm_product_info", kind, serial, field);
}

QString Field(MainWindow& w, const char* name)
{
    return w.findChild<QLineEdit*>(name)->text();
}

ProductRecord Product(int kind, const QString& serial)
{
    ProductRecord r;
    r.tab_type = kind;
    r.product_serial = serial;
    r.product_time = QDate::currentDate().toString("yyyy-MM-dd");
    return r;
}

// An account of the current store with that role.
bool AddAccount(int role, const QString& name, const QString& password)
{
    UserRecord user;
    user.user_type = role;
    user.user_name = name;
    user.user_password = password;
    return TestFolder::AddUser(user);
}

// The buttons of every ledger page that change records: add, delete, clear and import.
QList<QPushButton*> ChangingButtons(MainWindow& w)
{
    QList<QPushButton*> buttons;
    for (const PageDefinition& d : PageDefinitions::All()) {
        for (const PageButton& b : d.buttons) {
            if (d.role == PageRole::Ledger &&
                QRegularExpression("add|del|clr|inport").match(b.name).hasMatch())
                buttons << w.findChild<QPushButton*>(b.name);
        }
    }
    return buttons;
}

} // namespace

class TestEditing : public QObject
{
    Q_OBJECT
private slots:
    void computedColumnsAreShownAndStored();
    void numberCellsRejectLettersOnceAndKeepBigNumbers();
    void textCellsHoldFiftyCharacters();
    void addStoresANewRowAtOnce();
    void deleteAsksFirstAndRemovesByIdentity();
    void editAfterRowsAboveWereDeletedStoresThatRow();
    void clearAsksTwiceAndKeepsOtherStores();
    void clearNeedsTheSignInOfAManager();
    void generalUserEntersSingleRowsButImportsNothing();
    void browseUserChangesNothing();
    void refusedSavesAndDeletesAreReported();
    void totalsFollowEveryChange();
    void pickerFollowsTypingOnly();
    void keyboardEntryGoesLikeASpreadsheet();
    void tabLeavesADateCellForTheNextCell();
    void openingAnEditorChangesNothing();
    void refusedSaveWhileAListCellIsEditedKeepsTheProgramRunning();
};

void TestEditing::computedColumnsAreShownAndStored()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    auto w = SignedInWindow();
    ScriptedPrompt prompt;
    QAbstractItemModel* m = w->Table("tab_saleout")->model();
    const int row = AddRow(*w, "btn_puradd_3", m);
    const QString serial = Cell(m, row, 0);

    Edit(m, row, Num, "4");
    Edit(m, row, Price, "2.5");
    QCOMPARE(Cell(m, row, Total), QString("10"));
    QCOMPARE(Cell(m, row, Unpaid), QString("10"));
    QCOMPARE(Cell(m, row, Paid), QString("0"));
    QCOMPARE(Goods(2, serial, "product_total"), QString("10"));
    QCOMPARE(Goods(2, serial, "product_debt"), QString("10"));
    QCOMPARE(Goods(2, serial, "product_pay"), QString("0"));
    QCOMPARE(Goods(2, serial, "product_price"), QString("2.5"));

    // A total that is not blank stays; an emptied one is computed again.
    Edit(m, row, Num, "5");
    QCOMPARE(Cell(m, row, Total), QString("10"));
    Edit(m, row, Total, "");
    QCOMPARE(Cell(m, row, Total), QString("12.5"));
    QCOMPARE(Goods(2, serial, "product_total"), QString("12.5"));

    // Paid typed after unpaid leaves unpaid; with unpaid emptied it becomes total - paid.
    Edit(m, row, Paid, "3");
    QCOMPARE(Cell(m, row, Unpaid), QString("10"));
    Edit(m, row, Unpaid, "");
    QCOMPARE(Cell(m, row, Unpaid), QString("9.5"));
    QCOMPARE(Goods(2, serial, "product_debt"), QString("9.5"));

    // Quantity and total give the price, on screen and stored alike.
    const int second = AddRow(*w, "btn_puradd_3", m);
    const QString secondSerial = Cell(m, second, 0);
    Edit(m, second, Total, "10");
    QCOMPARE(Cell(m, second, Price), QString(""));
    Edit(m, second, Num, "4");
    QCOMPARE(Cell(m, second, Price), QString("2.5"));
    QCOMPARE(Goods(2, secondSerial, "product_price"), QString("2.5"));

    // No price from a zero quantity.
    const int third = AddRow(*w, "btn_puradd_3", m);
    Edit(m, third, Num, "0");
    Edit(m, third, Total, "10");
    QCOMPARE(Cell(m, third, Price), QString(""));
    QCOMPARE(Goods(2, Cell(m, third, 0), "product_price"), QString(""));
    QVERIFY(prompt.shown.isEmpty());
}

void TestEditing::numberCellsRejectLettersOnceAndKeepBigNumbers()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    auto w = SignedInWindow();
    ScriptedPrompt prompt;
    QAbstractItemModel* m = w->Table("tab_purchaseIn")->model();
    const int row = AddRow(*w, "btn_puradd", m);
    const QString serial = Cell(m, row, 0);
    Edit(m, row, Num, "1");
    Edit(m, row, Price, "2500000");
    QCOMPARE(Cell(m, row, Total), QString("2500000"));
    QCOMPARE(Goods(0, serial, "product_total"), QString("2500000"));
    QCOMPARE(Goods(0, serial, "product_price"), QString("2500000"));
    QVERIFY(prompt.shown.isEmpty());

    // Letters in the price: one box, the cell and the stored field empty.
    const int second = AddRow(*w, "btn_puradd", m);
    const QString secondSerial = Cell(m, second, 0);
    Edit(m, second, Price, "abc");
    QCOMPARE(prompt.shown.size(), 1);
    QCOMPARE(prompt.shown[0].title, QString("输入错误"));
    QCOMPARE(prompt.shown[0].text, QString("请输入数字"));
    QCOMPARE(Cell(m, second, Price), QString(""));
    QCOMPARE(Goods(0, secondSerial, "product_price"), QString(""));
    // Emptied in a row with a quantity, the price is derived again from the total.
    Edit(m, row, Price, "x1");
    QCOMPARE(prompt.shown.size(), 2);
    QCOMPARE(Cell(m, row, Price), QString("2500000"));
    QCOMPARE(Goods(0, serial, "product_price"), QString("2500000"));

    QAbstractItemModel* money = w->Table("tab_income")->model();
    const int income = AddRow(*w, "btn_finadd_1", money);
    Edit(money, income, 2, "12x");
    QCOMPARE(prompt.shown.size(), 3);
    QCOMPARE(Cell(money, income, 2), QString(""));
    QCOMPARE(Stored("tb_sm_finance_info", 0, Cell(money, income, 0), "ie_sum"), QString(""));
    Edit(money, income, 2, "0.1");
    QCOMPARE(Stored("tb_sm_finance_info", 0, Cell(money, income, 0), "ie_sum"), QString("0.1"));
    QCOMPARE(prompt.shown.size(), 3);
}

void TestEditing::textCellsHoldFiftyCharacters()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    auto w = SignedInWindow();
    QAbstractItemModel* m = w->Table("tab_storelose")->model();
    const int row = AddRow(*w, "btn_puradd_5", m);
    const QString serial = Cell(m, row, 0);
    const QString longText(60, QChar(u'长'));
    Edit(m, row, Code, longText);
    Edit(m, row, Class, longText);
    Edit(m, row, Remark, longText);
    QCOMPARE(Cell(m, row, Code), longText.left(50));
    QCOMPARE(Goods(4, serial, "product_code"), longText.left(50));
    QCOMPARE(Goods(4, serial, "product_class"), longText.left(50));
    QCOMPARE(Goods(4, serial, "prodcut_remark"), longText);
}

void TestEditing::addStoresANewRowAtOnce()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    auto w = SignedInWindow();
    const QRegularExpression serialShape(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d:\d{3}$)");
    const QString today = QDate::currentDate().toString("yyyy-MM-dd");

    QAbstractItemModel* sales = w->Table("tab_saleout")->model();
    const int row = AddRow(*w, "btn_puradd_3", sales);
    QCOMPARE(row, 0);
    const QString serial = Cell(sales, row, 0);
    QVERIFY2(serialShape.match(serial).hasMatch(), qPrintable(serial));
    QCOMPARE(Cell(sales, row, 7), today);
    QCOMPARE(Cell(sales, row, 8), QString(""));
    QCOMPARE(Cell(sales, row, Total), QString("0"));
    QCOMPARE(Goods(2, serial, "product_time"), today);
    QCOMPARE(Goods(2, serial, "product_debt"), QString("0"));
    QCOMPARE(Goods(2, serial, "product_store"), QString(""));

    QAbstractItemModel* debts = w->Table("tab_debt")->model();
    const int debt = AddRow(*w, "btn_finadd_2", debts);
    const QString debtSerial = Cell(debts, debt, 0);
    QVERIFY(serialShape.match(debtSerial).hasMatch());
    QCOMPARE(Stored("tb_sm_finance_info", 1, debtSerial, "ie_item"), QString("销售收款"));
    QCOMPARE(Stored("tb_sm_finance_info", 1, debtSerial, "ie_time"), today);
    QCOMPARE(TestFolder::Count("select count(*) from tb_sm_finance_info"), 1);
    QCOMPARE(TestFolder::Count("select count(*) from tb_sm_product_info"), 1);
}

void TestEditing::deleteAsksFirstAndRemovesByIdentity()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    auto w = SignedInWindow();
    ScriptedPrompt prompt;
    QTableView* table = w->Table("tab_purchaseBack");
    QAbstractItemModel* m = table->model();
    for (int i = 0; i < 3; ++i)
        AddRow(*w, "btn_puradd_2", m);
    const QString count = "select count(*) from tb_sm_product_info where tab_type=1";
    QCOMPARE(TestFolder::Count(count), 3);

    // No current row (adding selects the new one): asked first, then told to select one;
    // nothing goes.
    table->setCurrentIndex(QModelIndex());
    prompt.AnswerBoxes({0, 0});
    Click(*w, "btn_purdel_2");
    QCOMPARE(prompt.shown.size(), 2);
    QCOMPARE(prompt.shown[0].title, QString("删除告警"));
    QCOMPARE(prompt.shown[0].text, QString("删除或还原数据请慎重,确认?"));
    QCOMPARE(prompt.shown[0].buttons, (QStringList{"确认", "取消"}));
    QCOMPARE(prompt.shown[1].title, QString("warning"));
    QCOMPARE(prompt.shown[1].text, QString("请选中相应行"));
    QCOMPARE(prompt.shown[1].buttons, (QStringList{"确定", "取消"}));
    QCOMPARE(m->rowCount(), 3);

    // Declined: nothing goes.
    table->setCurrentIndex(m->index(1, 0));
    prompt.shown.clear();
    prompt.AnswerBoxes({1});
    Click(*w, "btn_purdel_2");
    QCOMPARE(prompt.shown.size(), 1);
    QCOMPARE(m->rowCount(), 3);
    QCOMPARE(TestFolder::Count(count), 3);

    // Confirmed: the current row and its record go, read as the row stands (a blank total is
    // not first completed and stored).
    const QString doomed = Cell(m, 1, 0);
    const QString kept = Cell(m, 2, 0);
    auto* goods = w->GoodsModel(1);
    ProductRecord edited = goods->Records().at(1);
    edited.product_total.clear();
    goods->ReplaceRow(1, edited);
    prompt.AnswerBoxes({0});
    Click(*w, "btn_purdel_2");
    QCOMPARE(m->rowCount(), 2);
    QCOMPARE(Cell(m, 1, 0), kept);
    QCOMPARE(Goods(1, doomed, "product_serial"), QString("<none>"));
    QCOMPARE(Goods(1, kept, "product_serial"), kept);
    QCOMPARE(TestFolder::Count(count), 2);
}

void TestEditing::editAfterRowsAboveWereDeletedStoresThatRow()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    auto w = SignedInWindow();
    ScriptedPrompt prompt;
    QTableView* table = w->Table("tab_purchaseIn");
    QAbstractItemModel* m = table->model();
    QStringList serials;
    for (int i = 0; i < 4; ++i)
        serials << Cell(m, AddRow(*w, "btn_puradd", m), 0);
    w->show();
    table->openPersistentEditor(m->index(3, Class));
    auto* editor = table->findChild<QComboBox*>("tab_purchaseIn.3");
    QVERIFY(editor);
    for (int i = 0; i < 2; ++i) {
        table->setCurrentIndex(m->index(0, 0));
        prompt.AnswerBoxes({0});
        Click(*w, "btn_purdel");
    }
    QCOMPARE(m->rowCount(), 2);

    // Typing stores the row at each keystroke: the row the editor is in now, and no other.
    editor->setEditText("甲");
    QCOMPARE(Goods(0, serials[3], "product_class"), QString("甲"));
    editor->setEditText("甲乙");
    QCOMPARE(Goods(0, serials[3], "product_class"), QString("甲乙"));
    QCOMPARE(Cell(m, 1, Class), QString("甲乙"));
    QCOMPARE(Goods(0, serials[2], "product_class"), QString(""));
    QCOMPARE(Cell(m, 0, Class), QString(""));
    QCOMPARE(TestFolder::Count("select count(*) from tb_sm_product_info"), 2);
}

void TestEditing::clearAsksTwiceAndKeepsOtherStores()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    QVERIFY(TestFolder::AddProduct(Product(0, "other-store"), OtherStore));
    QVERIFY(TestFolder::AddProduct(Product(1, "other-kind")));
    QVERIFY(TestFolder::AddProduct(Product(0, "not-on-screen")));
    auto w = SignedInWindow();
    ScriptedPrompt prompt;
    QAbstractItemModel* m = w->Table("tab_purchaseIn")->model();
    AddRow(*w, "btn_puradd", m);
    AddRow(*w, "btn_puradd", m);
    const QString all = "select count(*) from tb_sm_product_info";
    QCOMPARE(TestFolder::Count(all), 5);

    // The first box says how many of this store's records go, also those not on screen.
    prompt.AnswerBoxes({1});
    Click(*w, "btn_purclr");
    QCOMPARE(m->rowCount(), 2);
    QCOMPARE(TestFolder::Count(all), 5);
    QCOMPARE(prompt.shown.size(), 1);
    QVERIFY(prompt.shown[0].text.startsWith("删除或还原数据请慎重,确认?"));
    QVERIFY2(prompt.shown[0].text.contains("采购进货表的全部 3 条记录"),
             qPrintable(prompt.shown[0].text));

    prompt.AnswerBoxes({0});
    prompt.SignInWith({});
    Click(*w, "btn_purclr");
    QCOMPARE(m->rowCount(), 2);
    QCOMPARE(TestFolder::Count(all), 5);

    prompt.AnswerBoxes({0});
    prompt.SignInWith({{"admin", "407152"}});
    Click(*w, "btn_purclr");
    QCOMPARE(m->rowCount(), 0);
    QCOMPARE(TestFolder::Count(all), 2);
    QCOMPARE(TestFolder::Count("select count(*) from tb_sm_product_info where "
                               "product_serial='other-store' and tab_type=0"),
             1);
    QCOMPARE(Goods(1, "other-kind", "product_serial"), QString("other-kind"));
    QCOMPARE(Field(*w, "lineEdit_t_1"), QString("0"));
}

void TestEditing::clearNeedsTheSignInOfAManager()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    QVERIFY(AddAccount(3, "clerk", "pw3"));
    QVERIFY(AddAccount(4, "keeper", "pw4"));
    QVERIFY(AddAccount(2, "deputy", "pw2"));
    QVERIFY(TestFolder::AddProduct(Product(2, "sale-1")));
    QVERIFY(TestFolder::AddProduct(Product(2, "sale-2")));
    const QString sales = "select count(*) from tb_sm_product_info where tab_type=2";
    // A clerk may ask for the clear; his own sign-in or a browse user's does not let it go.
    auto w = SignedInWindow(3);
    ScriptedPrompt prompt;
    QVERIFY(w->findChild<QPushButton*>("btn_purclr_3")->isEnabled());
    for (const auto& [name, password, role] :
         {std::tuple{"clerk", "pw3", "一般用户"}, std::tuple{"keeper", "pw4", "浏览用户"}}) {
        prompt.shown.clear();
        prompt.AnswerBoxes({0, 0});
        prompt.SignInWith({{name, password}});
        Click(*w, "btn_purclr_3");
        QCOMPARE(TestFolder::Count(sales), 2);
        QCOMPARE(prompt.shown.size(), 2);
        QVERIFY2(prompt.shown[0].text.contains("清空须由超级用户或授权用户登录确认"),
                 qPrintable(prompt.shown[0].text));
        QCOMPARE(prompt.shown[1].title, QString("无权清空"));
        QVERIFY2(prompt.shown[1].text.contains(name) && prompt.shown[1].text.contains(role) &&
                     prompt.shown[1].text.contains("未删除任何数据"),
                 qPrintable(prompt.shown[1].text));
    }
    // An authorised user signing in for him lets it go.
    prompt.AnswerBoxes({0});
    prompt.SignInWith({{"deputy", "pw2"}});
    Click(*w, "btn_purclr_3");
    QCOMPARE(TestFolder::Count(sales), 0);
}

void TestEditing::generalUserEntersSingleRowsButImportsNothing()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    auto w = SignedInWindow(3);
    ScriptedPrompt prompt;
    for (QPushButton* button : ChangingButtons(*w))
        QCOMPARE(button->isEnabled(), !button->objectName().contains("inport"));
    // The sales and loss pages (the ones a clerk sees) take new rows and edits at once.
    for (const auto& [kind, table, add] : {std::tuple{2, "tab_saleout", "btn_puradd_3"},
                                           std::tuple{4, "tab_storelose", "btn_puradd_5"}}) {
        QAbstractItemModel* m = w->Table(table)->model();
        const int row = AddRow(*w, add, m);
        Edit(m, row, Num, "3");
        QCOMPARE(Goods(kind, Cell(m, row, 0), "product_num"), QString("3"));
    }
    QVERIFY(prompt.shown.isEmpty());
}

void TestEditing::browseUserChangesNothing()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    ProductRecord loss = Product(4, "loss-1");
    loss.product_num = "2";
    loss.product_price = "3";
    QVERIFY(TestFolder::AddProduct(loss));
    auto w = SignedInWindow(4);
    ScriptedPrompt prompt;
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    ProductModel* m = w->GoodsModel(4);
    m->ShowRecords({loss});
    const QString all = "select count(*) from tb_sm_product_info";

    // Every button that would change records is there, disabled; looking stays open.
    const QList<QPushButton*> changing = ChangingButtons(*w);
    QCOMPARE(changing.size(), 12 * 4);
    for (QPushButton* button : changing)
        QVERIFY2(!button->isEnabled(), qPrintable(button->objectName()));
    for (const char* name : {"btn_purquery_5", "btn_export_5", "btn_purprint_5", "btn_total_5"})
        QVERIFY2(w->findChild<QPushButton*>(name)->isEnabled(), name);
    QTest::mouseClick(w->findChild<QPushButton*>("btn_puradd_5"), Qt::LeftButton);
    QCOMPARE(m->rowCount(), 1);
    QCOMPARE(TestFolder::Count(all), 1);

    // No cell opens for editing, the model takes no edit, the store chooser does not open.
    QTableView* table = w->Table("tab_storelose");
    for (int column : {int(Class), 7, int(Num), int(Remark)}) {
        const QModelIndex cell = m->index(0, column);
        QVERIFY(!(cell.flags() & Qt::ItemIsEditable));
        table->setCurrentIndex(cell);
        table->edit(cell);
        QVERIFY(!table->indexWidget(cell));
        QVERIFY(!m->setData(cell, "9"));
    }
    QVERIFY(!m->setData(m->index(0, 8), "CK01-A-1"));
    w->CellChoseProcess(m, 0, 8);
    for (QWidget* top : QApplication::topLevelWidgets())
        QVERIFY(!qobject_cast<DialogStoreSet*>(top) || !top->isVisible());
    table->setCurrentIndex(m->index(0, Num));
    QTest::keyClicks(table, "7");
    QCOMPARE(Cell(m, 0, Num), QString("2"));

    // The total button sums what is shown and stores nothing.
    Click(*w, "btn_total_5");
    QCOMPARE(Field(*w, "lineEdit_t_5"), QString("6"));
    QCOMPARE(Goods(4, "loss-1", "product_num"), QString("2"));
    QCOMPARE(Goods(4, "loss-1", "product_total"), QString(""));
    QVERIFY(prompt.shown.isEmpty());
}

void TestEditing::refusedSavesAndDeletesAreReported()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    auto w = SignedInWindow();
    ScriptedPrompt prompt;
    QAbstractItemModel* m = w->Table("tab_saleback")->model();
    const int row = AddRow(*w, "btn_puradd_4", m);
    const QString serial = Cell(m, row, 0);
    QAbstractItemModel* money = w->Table("tab_salary")->model();
    AddRow(*w, "btn_finadd_5", money);
    QSqlQuery drop(DbManager::Instance()->Database());
    QVERIFY(drop.exec("drop table tb_sm_product_info"));
    QVERIFY(drop.exec("drop table tb_sm_finance_info"));

    Edit(m, row, Num, "7");
    QCOMPARE(prompt.shown.size(), 1);
    QCOMPARE(prompt.shown[0].title, QString("保存失败"));
    QVERIFY2(prompt.shown[0].text.contains("销售退货表") && prompt.shown[0].text.contains(serial),
             qPrintable(prompt.shown[0].text));
    QCOMPARE(Cell(m, row, Num), QString("7"));
    bool reported = false;
    for (QLabel* label : w->statusBar()->findChildren<QLabel*>())
        reported = reported || label->text().contains("保存失败");
    QVERIFY(reported);

    // The program goes on: typing on in the same row is tried again and reported in the status
    // line, without a box for every keystroke.
    w->ShowStatusInfo("");
    Edit(m, row, Code, "A1");
    QCOMPARE(prompt.shown.size(), 1);
    QCOMPARE(Cell(m, row, Code), QString("A1"));
    reported = false;
    for (QLabel* label : w->statusBar()->findChildren<QLabel*>())
        reported = reported || label->text().contains("保存失败");
    QVERIFY(reported);

    w->Table("tab_salary")->setCurrentIndex(money->index(0, 0));
    prompt.AnswerBoxes({0});
    Click(*w, "btn_findel_5");
    QCOMPARE(prompt.shown.size(), 3);
    QCOMPARE(prompt.shown[2].title, QString("删除失败"));
    QCOMPARE(money->rowCount(), 1);

    prompt.AnswerBoxes({0});
    prompt.SignInWith({{"admin", "407152"}});
    Click(*w, "btn_purclr_4");
    QCOMPARE(prompt.shown.last().title, QString("清空失败"));
    QCOMPARE(m->rowCount(), 1);
}

void TestEditing::totalsFollowEveryChange()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    ProductRecord blank = Product(0, "2026-01-01 10:00:00:000");
    blank.product_num = "3";
    blank.product_price = "1.5";
    QVERIFY(TestFolder::AddProduct(blank));
    auto w = SignedInWindow();
    ScriptedPrompt prompt;
    for (const char* field : {"lineEdit_t_1", "lineEdit_p_1", "lineEdit_d_1", "lineEdit_ft_1",
                              "lineEdit_t_6", "lineEdit_ft_7"})
        QCOMPARE(Field(*w, field), QString("0"));

    // A loaded row with a blank total counts as quantity x price; the button writes and stores it.
    w->GoodsModel(0)->ShowRecords({blank});
    QAbstractItemModel* m = w->Table("tab_purchaseIn")->model();
    Click(*w, "btn_total_1");
    QCOMPARE(Cell(m, 0, Total), QString("4.5"));
    QCOMPARE(Goods(0, blank.product_serial, "product_total"), QString("4.5"));
    QCOMPARE(Field(*w, "lineEdit_t_1"), QString("4.5"));

    const int row = AddRow(*w, "btn_puradd", m);
    Edit(m, row, Num, "2");
    Edit(m, row, Price, "0.1");
    QCOMPARE(Field(*w, "lineEdit_t_1"), QString("4.7"));
    Edit(m, row, Paid, "0.05");
    QCOMPARE(Field(*w, "lineEdit_p_1"), QString("0.05"));
    QCOMPARE(Field(*w, "lineEdit_d_1"), QString("4.7"));

    w->Table("tab_purchaseIn")->setCurrentIndex(m->index(0, 0));
    prompt.AnswerBoxes({0});
    Click(*w, "btn_purdel");
    QCOMPARE(Field(*w, "lineEdit_t_1"), QString("0.2"));
    QCOMPARE(Field(*w, "lineEdit_d_1"), QString("0.2"));

    QAbstractItemModel* money = w->Table("tab_expother")->model();
    for (const char* amount : {"0.1", "0.2"})
        Edit(money, AddRow(*w, "btn_finadd_7", money), 2, amount);
    QCOMPARE(Field(*w, "lineEdit_ft_7"), QString("0.3"));
    Click(*w, "btn_ft_7");
    QCOMPARE(Field(*w, "lineEdit_ft_7"), QString("0.3"));
}

void TestEditing::pickerFollowsTypingOnly()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    QVERIFY(DatabaseEngine::Instance()->SaveListInfo(1, ListRecord{4, "红色;蓝色;深红"}));
    auto w = ActiveWindow();
    QTableView* table = w->Table("tab_purchaseIn");
    QAbstractItemModel* m = table->model();
    const int row = AddRow(*w, "btn_puradd", m);
    const QString serial = Cell(m, row, 0);
    QListWidget* list = w->Picker()->List();
    auto entries = [&] {
        QStringList shown;
        for (int i = 0; i < list->count(); ++i)
            shown << list->item(i)->text();
        return shown;
    };

    // Opening the cell offers nothing yet.
    QPointer<QComboBox> cell = OpenListCell(table, row, Colour);
    QVERIFY(cell);
    QVERIFY(list->isHidden());
    QCOMPARE(list->windowTitle(), QString("项目选择"));

    cell->lineEdit()->selectAll();
    TypeKeys(cell->lineEdit(), "色");
    QVERIFY(list->isVisible());
    QCOMPARE(entries(), (QStringList{"红色", "蓝色"}));
    QCOMPARE(Goods(0, serial, "product_color"), QString("色"));
    // As tall as its two entries, not a fixed column of mostly empty space.
    QVERIFY(list->height() >= 2 * list->sizeHintForRow(0));
    QVERIFY2(list->height() < 4 * list->sizeHintForRow(0),
             qPrintable(QString::number(list->height())));
    TypeKeys(cell->lineEdit(), "绿");
    QVERIFY(list->isHidden());
    QTest::keyClick(cell->lineEdit(), Qt::Key_Backspace);
    QCOMPARE(entries(), (QStringList{"红色", "蓝色"}));

    // Keys typed into the cell: Down twice stays on the last, Up goes back and is drawn red,
    // Return chooses and stores.
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(cell->lineEdit(), Qt::Key_Down);
    QCOMPARE(list->currentRow(), 1);
    QTest::keyClick(cell->lineEdit(), Qt::Key_Up);
    QCOMPARE(list->currentRow(), 0);
    QCOMPARE(list->currentItem()->foreground().color(), QColor(Qt::red));
    QTest::keyClick(cell->lineEdit(), Qt::Key_Return);
    QCOMPARE(cell->currentText(), QString("红色"));
    QCOMPARE(Goods(0, serial, "product_color"), QString("红色"));
    QVERIFY(list->isHidden());
    // The hidden picker leaves Return to the cell, which closes.
    QTest::keyClick(cell->lineEdit(), Qt::Key_Return);
    QTRY_VERIFY(!cell);

    // Double click puts the entry into the cell, stores the row and hides the list.
    cell = OpenListCell(table, row, Colour);
    QVERIFY(cell);
    cell->lineEdit()->selectAll();
    TypeKeys(cell->lineEdit(), "深");
    QVERIFY(list->isVisible());
    emit list->itemDoubleClicked(list->item(0));
    QCOMPARE(Cell(m, row, Colour), QString("深红"));
    QCOMPARE(Goods(0, serial, "product_color"), QString("深红"));
    QVERIFY(list->isHidden());

    // A choice from the cell's own list hides the picker.
    cell->lineEdit()->selectAll();
    TypeKeys(cell->lineEdit(), "色");
    QVERIFY(list->isVisible());
    cell->setCurrentIndex(1);
    QVERIFY(list->isHidden());
    QCOMPARE(Goods(0, serial, "product_color"), QString("蓝色"));

    // The picker goes with the editor it serves, and then leaves the keys alone.
    cell->lineEdit()->selectAll();
    TypeKeys(cell->lineEdit(), "色");
    QVERIFY(list->isVisible());
    QTest::keyClick(cell->lineEdit(), Qt::Key_Escape);
    QTRY_VERIFY(!cell);
    QVERIFY(list->isHidden());
    QTest::keyClick(w.get(), Qt::Key_Down);
    QCOMPARE(list->currentRow(), -1);
}

void TestEditing::openingAnEditorChangesNothing()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    QVERIFY(DatabaseEngine::Instance()->SaveListInfo(1, ListRecord{4, "红色;蓝色"}));
    auto w = ActiveWindow();
    ProductRecord shown = Product(0, "2026-01-05 08:00:00:000");
    // As some imported sheets hold them: a date without leading zeros, a colour off the list.
    shown.product_time = "2026-1-5";
    shown.product_color = "";
    w->GoodsModel(0)->ShowRecords({shown});
    QTableView* table = w->Table("tab_purchaseIn");
    QAbstractItemModel* m = table->model();
    const QString count = "select count(*) from tb_sm_product_info";

    QPointer<QComboBox> colour = OpenListCell(table, 0, Colour);
    QVERIFY(colour);
    QCOMPARE(colour->currentText(), QString(""));
    QVERIFY(w->Picker()->List()->isHidden());
    QTest::keyClick(colour->lineEdit(), Qt::Key_Escape);
    QTRY_VERIFY(!colour);

    const QModelIndex dateCell = m->index(0, 7);
    table->edit(dateCell);
    auto* date = qobject_cast<QDateEdit*>(table->indexWidget(dateCell));
    QVERIFY(date);
    QCOMPARE(date->date(), QDate(2026, 1, 5));
    QCOMPARE(TestFolder::Count(count), 0);
    QCOMPARE(w->GoodsModel(0)->Records().at(0).product_time, QString("2026-1-5"));
    QCOMPARE(w->GoodsModel(0)->Records().at(0).product_color, QString(""));

    // A changed date is stored at once.
    date->setDate(QDate(2026, 1, 6));
    QCOMPARE(Goods(0, shown.product_serial, "product_time"), QString("2026-01-06"));
    QCOMPARE(TestFolder::Count(count), 1);
}

void TestEditing::refusedSaveWhileAListCellIsEditedKeepsTheProgramRunning()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    auto w = ColourWindow();
    ScriptedPrompt prompt;
    QTableView* table = w->Table("tab_purchaseIn");
    QAbstractItemModel* m = table->model();
    const int first = AddRow(*w, "btn_puradd", m);
    const int second = AddRow(*w, "btn_puradd", m);
    QListWidget* list = w->Picker()->List();

    // Typed while the store still takes it: the picker offers both colours.
    QPointer<QComboBox> cell = OpenListCell(table, first, Colour);
    QVERIFY(cell);
    cell->lineEdit()->selectAll();
    TypeKeys(cell->lineEdit(), "色");
    QVERIFY(list->isVisible());
    QCOMPARE(list->count(), 2);

    // The store refuses the choice made in the picker: the box comes after the choice is
    // stored, the cell editor closes under it and the picker goes with it.
    QSqlQuery drop(DbManager::Instance()->Database());
    QVERIFY(drop.exec("drop table tb_sm_product_info"));
    QTest::keyClick(cell->lineEdit(), Qt::Key_Down);
    const QString chosen = list->currentItem()->text();
    QTest::keyClick(cell->lineEdit(), Qt::Key_Return);
    QTRY_COMPARE(prompt.shown.size(), 1);
    QCOMPARE(prompt.shown[0].title, QString("保存失败"));
    QCOMPARE(Cell(m, first, Colour), chosen);
    QTRY_VERIFY(!cell);
    QVERIFY(!list->isVisible());

    // Typing into another row that the store refuses: the same, started by a keystroke.
    cell = OpenListCell(table, second, Colour);
    QVERIFY(cell);
    cell->lineEdit()->selectAll();
    TypeKeys(cell->lineEdit(), "色");
    QTRY_COMPARE(prompt.shown.size(), 2);
    QCOMPARE(prompt.shown[1].title, QString("保存失败"));
    QCOMPARE(Cell(m, second, Colour), QString("色"));
    QTRY_VERIFY(!cell);
    QVERIFY(!list->isVisible());
}

// Types into whatever has the keyboard, as a clerk does.
void Type(const QString& text)
{
    QWidget* focus = QApplication::focusWidget();
    QVERIFY(focus);
    TypeKeys(focus, text);
}

void Press(Qt::Key key)
{
    QWidget* focus = QApplication::focusWidget();
    QVERIFY(focus);
    QTest::keyClick(focus, key);
}

void TestEditing::keyboardEntryGoesLikeASpreadsheet()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    auto w = ColourWindow();
    ScriptedPrompt prompt;
    QTableView* table = w->Table("tab_purchaseIn");
    QAbstractItemModel* m = table->model();
    const int first = AddRow(*w, "btn_puradd", m);
    const int row = AddRow(*w, "btn_puradd", m);
    const QString serial = Cell(m, row, 0);
    AddRow(*w, "btn_puradd", m);

    // Adding selects the new row and opens its first cell; Escape leaves it as it was.
    const QModelIndex opened = m->index(m->rowCount() - 1, Class);
    QCOMPARE(table->currentIndex(), opened);
    QVERIFY(qobject_cast<QComboBox*>(table->indexWidget(opened)));
    Type("鞋");
    Press(Qt::Key_Escape);
    QTRY_VERIFY(!table->indexWidget(opened));
    QCOMPARE(Cell(m, opened.row(), Class), QString(""));

    // A key typed on a selected list cell replaces its text and is stored at once; Escape puts
    // the old text back, on screen and stored.
    table->setCurrentIndex(m->index(row, Colour));
    table->setFocus();
    Type("青");
    QVERIFY(qobject_cast<QComboBox*>(table->indexWidget(m->index(row, Colour))));
    QCOMPARE(Cell(m, row, Colour), QString("青"));
    QCOMPARE(Goods(0, serial, "product_color"), QString("青"));
    Press(Qt::Key_Escape);
    QTRY_COMPARE(Cell(m, row, Colour), QString("红色"));
    QCOMPARE(Goods(0, serial, "product_color"), QString("红色"));

    // The same on the category cell, this time finished with Enter: the cell keeps the typed
    // text and the next row's cell becomes current.
    table->setCurrentIndex(m->index(first, Class));
    Type("帽");
    QCOMPARE(Cell(m, first, Class), QString("帽"));
    w->Picker()->Hide();
    Press(Qt::Key_Return);
    QTRY_COMPARE(table->currentIndex(), m->index(row, Class));
    QCOMPARE(Goods(0, Cell(m, first, 0), "product_class"), QString("帽"));

    // Number cells: the typed key replaces the text, Tab goes on to the price, Enter stores and
    // goes down.
    table->setCurrentIndex(m->index(row, Num));
    Type("4");
    Press(Qt::Key_Tab);
    QTRY_COMPARE(table->currentIndex(), m->index(row, Price));
    QCOMPARE(Goods(0, serial, "product_num"), QString("4"));
    Type("2.5");
    Press(Qt::Key_Return);
    QTRY_COMPARE(table->currentIndex(), m->index(row + 1, Price));
    QCOMPARE(Goods(0, serial, "product_total"), QString("10"));
    // Enter on a cell that is not being edited goes down too.
    table->setCurrentIndex(m->index(first, Remark));
    Press(Qt::Key_Return);
    QCOMPARE(table->currentIndex(), m->index(row, Remark));

    // Return while the picker offers entries takes the entry; the next one finishes the cell.
    table->setCurrentIndex(m->index(first, Colour));
    Type("色");
    QVERIFY(w->Picker()->List()->isVisible());
    Press(Qt::Key_Down);
    Press(Qt::Key_Return);
    QVERIFY(w->Picker()->List()->isHidden());
    const QString chosen = Cell(m, first, Colour);
    QVERIFY(chosen == "红色" || chosen == "蓝色");
    Press(Qt::Key_Return);
    QTRY_COMPARE(table->currentIndex(), m->index(row, Colour));
    QCoreApplication::processEvents();
    QCOMPARE(Goods(0, Cell(m, first, 0), "product_color"), chosen);
    QVERIFY(prompt.shown.isEmpty());
}

void TestEditing::tabLeavesADateCellForTheNextCell()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    auto w = ActiveWindow();
    ScriptedPrompt prompt;
    auto keyboardInTable = [](QTableView* table) {
        QWidget* focus = QApplication::focusWidget();
        return focus && (focus == table || table->isAncestorOf(focus));
    };
    // Goods rows: after the date (column 7) comes the store cell, which opens no editor; money
    // rows: after the date (column 3) comes the client list. Backtab goes the other way.
    struct Case {
        const char* table;
        const char* page;
        const char* add;
        int date;
    };
    for (const Case c : {Case{"tab_purchaseIn", "action_purchase", "btn_puradd", 7},
                         Case{"tab_income", "action_income", "btn_finadd_1", 3}}) {
        w->findChild<QAction*>(c.page)->trigger();
        QTableView* table = w->Table(c.table);
        QAbstractItemModel* m = table->model();
        const int row = AddRow(*w, c.add, m);
        for (const auto& [key, next] :
             {std::pair{Qt::Key_Tab, c.date + 1}, std::pair{Qt::Key_Backtab, c.date - 1}}) {
            const QModelIndex date = m->index(row, c.date);
            table->setCurrentIndex(date);
            table->setFocus();
            Press(Qt::Key_F2);
            QVERIFY2(qobject_cast<QDateEdit*>(table->indexWidget(date)), c.table);
            Press(key);
            QTRY_COMPARE(table->currentIndex(), m->index(row, next));
            QVERIFY2(!table->indexWidget(date), c.table);
            QVERIFY2(keyboardInTable(table), c.table);
        }
    }
    // From the store cell the next Tab goes on to the quantity, where typing is stored.
    QTableView* goods = w->Table("tab_purchaseIn");
    w->findChild<QAction*>("action_purchase")->trigger();
    QAbstractItemModel* m = goods->model();
    const int row = m->rowCount() - 1;
    goods->setCurrentIndex(m->index(row, 7));
    goods->setFocus();
    Press(Qt::Key_F2);
    Press(Qt::Key_Tab);
    QTRY_COMPARE(goods->currentIndex(), m->index(row, 8));
    Press(Qt::Key_Tab);
    QCOMPARE(goods->currentIndex(), m->index(row, Num));
    Type("3");
    Press(Qt::Key_Return);
    QTRY_COMPARE(Goods(0, Cell(m, row, 0), "product_num"), QString("3"));
    QVERIFY(prompt.shown.isEmpty());
}

QTEST_MAIN(TestEditing)
#include "tst_editing.moc"
