#include "DatabaseEngine.h"
#include "DialogInfoToDb.h"
#include "DialogLogin.h"
#include "DialogUserMge.h"
#include "ExcelEngine.h"
#include "JobLauncher.h"
#include "ListRows.h"
#include "LocalAddress.h"
#include "MainWindow.h"
#include "ScriptedPrompt.h"
#include "TestFolder.h"
#include "UserRoles.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace
{

const QString OtherStore = QStringLiteral("OTHERSTORE");

void Click(QWidget& dialog, const QString& button)
{
    auto* push = dialog.findChild<QPushButton*>(button);
    QVERIFY2(push, qPrintable(button));
    push->click();
}

QTableWidget* TableOf(QWidget& dialog, const QString& name)
{
    return dialog.findChild<QTableWidget*>(name);
}

// Types into a cell as the table's editor would: the item changes and reports it.
void Type(QTableWidget* table, int row, int column, const QString& text)
{
    if (QTableWidgetItem* item = table->item(row, column))
        item->setText(text);
    else
        table->setItem(row, column, new QTableWidgetItem(text));
}

QString Stored(int table, int kind)
{
    ListRecord record;
    record.info_type = kind;
    DatabaseEngine::Instance()->LoadListInfo(table, record);
    return record.info_list;
}

int StoredRows(const QString& table, int kind)
{
    return TestFolder::Count(QString("select count(*) from %1 where info_type = %2 and store_no = "
                                     "'%3'")
                                 .arg(table)
                                 .arg(kind)
                                 .arg(DatabaseEngine::Instance()->StoreNo()));
}

int Accounts(const QString& storeNo)
{
    return TestFolder::Count(
        QString("select count(*) from tb_sm_user where store_no = '%1'").arg(storeNo));
}

// Whether a sign-in with these credentials is accepted, and the account it took.
bool SignsIn(ScriptedPrompt& prompt, const QString& name, const QString& password,
             UserRecord* user = nullptr)
{
    prompt.SignInWith({{name, password}});
    DialogLogin dialog;
    const bool accepted = prompt.SignIn(dialog) == QDialog::Accepted;
    if (user)
        *user = dialog.user;
    return accepted;
}

// A sheet as a user would prepare it: a header row, then the rows.
bool WriteSheet(const QString& path, const QStringList& headers, const QList<QStringList>& rows)
{
    QStandardItemModel model(int(rows.size()), int(headers.size()));
    model.setHorizontalHeaderLabels(headers);
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < rows[r].size(); ++c)
            model.setItem(r, c, new QStandardItem(rows[r][c]));
    }
    ExcelEngine engine(path);
    return engine.Open(1, false) && engine.WriteTableToSheet(&model) && engine.Close();
}

// An account of another store, which no change to this store's user list may touch.
bool AddOtherStoreAccount(const QString& name)
{
    UserRecord user;
    user.user_type = 1;
    user.user_name = name;
    user.user_password = QStringLiteral("elsewhere");
    return TestFolder::AddUser(user, OtherStore);
}

// Adds a row to the user list and types its name and password.
void AddAccountRow(QWidget& dialog, QTableWidget* users, int row, const QString& name,
                   const QString& password)
{
    Click(dialog, "btn_add");
    Type(users, row, 1, name);
    Type(users, row, 3, password);
}

// Chooses a row's name cell and presses the tab's delete button.
void DeleteRow(QWidget& dialog, QTableWidget* table, int row, const QString& button)
{
    table->setCurrentCell(row, 1);
    Click(dialog, button);
}

// Presses a clear button, confirming its box and the sign-in it asks for as the built-in account.
void ClearConfirmed(ScriptedPrompt& prompt, QWidget& dialog, const QString& button)
{
    prompt.AnswerBoxes({0});
    prompt.SignInWith({{DialogLogin::BuiltInName, DialogLogin::BuiltInPassword}});
    Click(dialog, button);
}

// Loads no pages: these tests need the window's menus and lists only.
class NoLoadLauncher : public JobLauncher
{
public:
    void Start(MainWindow*, int) override {}
};

// A main window of a user with that role (a super user by default), with its menus and lists
// and no page loaded.
struct ListsWindow {
    NoLoadLauncher jobs;
    MainWindow window;

    explicit ListsWindow(int role = 1)
    {
        UserRecord user;
        user.user_type = role;
        window.SetUser(user);
        window.SetJobLauncher(&jobs);
        window.InitMainWindow();
    }
};

// The button of `window` that reads `text`; never null, so a missing one fails loudly.
QPushButton* ButtonOf(QWidget* window, const QString& text)
{
    for (auto* button : window->findChildren<QPushButton*>()) {
        if (button->text() == text)
            return button;
    }
    qFatal("no button %s", qPrintable(text));
}

} // namespace

class TestLists : public QObject
{
    Q_OBJECT
private slots:
    void roleTextRule_data();
    void roleTextRule();
    void storedRowsShowInTheirPlaces();

    void separatorsInCellsSurviveStoreAndReload();
    void textsTheListCannotHoldAreRefusedAtTheCell();
    void emptyWarehouseRowStoresSixSeparators();
    void deletingTheLastRowDeletesTheList();
    void refusedDeleteChangesNothing();
    void refusedClearChangesNothing();
    void clearNeedsTheSignInOfAManager();
    void browseUserListsTakeNoChange();
    void refusedStoreIsReported();

    void importPutsRowsFirstAndKeepsTheOld();
    void exportThenImportGivesTheSameEntries();
    void unreadableImportIsReportedAndChangesNothing();

    void typedAccountSignsInWithItsRole();
    void editedPasswordTakesEffect();
    void deletedAccountCanNoLongerSignIn();
    void builtInAccountReturnsAfterTheUserListIsCleared();
    void roleChooserWritesTheRoleCell();

    void ledgerCellsOfferANewCategoryAtOnce();
    void actionsShowTheirTabs();
};

void TestLists::roleTextRule_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("code");
    QTest::newRow("super") << "超级用户" << 1;
    QTest::newRow("authorised") << "授权用户" << 2;
    QTest::newRow("general") << "一般用户" << 3;
    QTest::newRow("browse") << "浏览用户" << 4;
    QTest::newRow("unknown word") << "管理员" << 3;
    QTest::newRow("digit") << "4" << 4;
    QTest::newRow("digit one before authorised") << "授权1" << 1;
    QTest::newRow("ordinary before browse") << "普通浏览" << 3;
    QTest::newRow("empty") << "" << 3;
}

void TestLists::roleTextRule()
{
    QFETCH(QString, text);
    QFETCH(int, code);
    QCOMPARE(UserRoles::CodeForText(text), code);
    QCOMPARE(ListRows::Account({"n", "p", "w", text, "r"}, "10.0.0.1").user_type, code);
}

void TestLists::storedRowsShowInTheirPlaces()
{
    // A row of another width shows no cells but keeps the rows after it in place.
    QCOMPARE(ListRows::Shown("a-b;c;d-e;f", 2), (QList<QStringList>{{"a", "b"}, {}, {"d", "e"}}));
    QCOMPARE(ListRows::Shown("", 1), (QList<QStringList>{{""}}));
    QVERIFY(ListRows::Shown("", 7).isEmpty());
    QCOMPARE(ListRows::Shown("A##1;B&&2", 1), (QList<QStringList>{{"A-1"}, {"B.2"}}));
}

void TestLists::separatorsInCellsSurviveStoreAndReload()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    ScriptedPrompt prompt;
    {
        DialogInfoToDb dialog;
        QTableWidget* models = TableOf(dialog, "tableWidgetModel");
        // A list that was never stored shows one empty row to type into.
        QCOMPARE(models->rowCount(), 1);
        Type(models, 0, 1, "X-1.5");
        Click(dialog, "btn_add_3");
        Type(models, 1, 1, "Y");
        QCOMPARE(Stored(1, 3), QString("X##1&&5;Y"));
        QCOMPARE(dialog.CurrentList(3), QString("X##1&&5;Y"));
    }
    DialogInfoToDb reopened;
    QTableWidget* models = TableOf(reopened, "tableWidgetModel");
    QCOMPARE(models->rowCount(), 2);
    QCOMPARE(models->item(0, 1)->text(), QString("X-1.5"));
    QCOMPARE(models->item(1, 0)->text(), QString("2"));
    QVERIFY(prompt.shown.isEmpty());
}

void TestLists::textsTheListCannotHoldAreRefusedAtTheCell()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    ScriptedPrompt prompt;
    DialogUserMge dialog;
    QTableWidget* users = TableOf(dialog, "tableWidget");
    AddAccountRow(dialog, users, 0, "wang", "pw");
    AddAccountRow(dialog, users, 1, "li", "lipw");
    const QString stored = Stored(2, 0);

    // Each would come back as something else, or split the list, at the next reading.
    for (const char* password : {"a;b", "x##y", "1&&2", "#-", "&."}) {
        prompt.shown.clear();
        Type(users, 0, 3, password);
        QCoreApplication::processEvents();
        QCOMPARE(users->item(0, 3)->text(), QString("pw"));
        QCOMPARE(Stored(2, 0), stored);
        QCOMPARE(prompt.shown.size(), 1);
        QCOMPARE(prompt.shown[0].title, QString("输入错误"));
        QVERIFY2(prompt.shown[0].text.contains(password), qPrintable(prompt.shown[0].text));
    }
    QVERIFY(SignsIn(prompt, "wang", "pw"));
    QVERIFY(SignsIn(prompt, "li", "lipw"));

    // Separators on their own are escaped and come back as typed.
    Type(users, 0, 3, "p-w.#&");
    QCoreApplication::processEvents();
    QVERIFY(SignsIn(prompt, "wang", "p-w.#&"));
    DialogUserMge reopened;
    QCOMPARE(TableOf(reopened, "tableWidget")->rowCount(), 2);
    QCOMPARE(TableOf(reopened, "tableWidget")->item(0, 3)->text(), QString("p-w.#&"));
    QCOMPARE(TableOf(reopened, "tableWidget")->item(1, 1)->text(), QString("li"));
}

void TestLists::emptyWarehouseRowStoresSixSeparators()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    ScriptedPrompt prompt;
    DialogInfoToDb dialog;
    QCOMPARE(TableOf(dialog, "tableWidgetStore")->rowCount(), 0);
    Click(dialog, "btn_add_6");
    QCOMPARE(Stored(1, 8), QString("------"));
    QCOMPARE(StoredRows("tb_sm_prestore_info", 8), 1);
}

void TestLists::deletingTheLastRowDeletesTheList()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    ScriptedPrompt prompt;
    DialogInfoToDb dialog;
    QTableWidget* names = TableOf(dialog, "tableWidgetName");
    Type(names, 0, 1, "first");
    Click(dialog, "btn_add_2");
    Type(names, 1, 1, "second");
    QCOMPARE(StoredRows("tb_sm_prestore_info", 2), 1);

    DeleteRow(dialog, names, 0, "btn_del_2");
    QCOMPARE(prompt.shown.last().title, QString("删除告警"));
    QCOMPARE(prompt.shown.last().buttons, (QStringList{"确认", "取消"}));
    QCOMPARE(Stored(1, 2), QString("second"));

    DeleteRow(dialog, names, 0, "btn_del_2");
    QCOMPARE(names->rowCount(), 0);
    QCOMPARE(StoredRows("tb_sm_prestore_info", 2), 0);
    QVERIFY(dialog.CurrentList(2).isEmpty());
}

void TestLists::refusedDeleteChangesNothing()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    ScriptedPrompt prompt;
    DialogInfoToDb dialog;
    QTableWidget* classes = TableOf(dialog, "tableWidgetClass");
    Type(classes, 0, 1, "kept");
    prompt.AnswerBoxes({1});
    DeleteRow(dialog, classes, 0, "btn_del");
    QCOMPARE(classes->rowCount(), 1);
    QCOMPARE(Stored(1, 1), QString("kept"));

    // Confirmed without a chosen row: told to choose one, nothing removed.
    classes->setCurrentCell(-1, -1);
    const int asked = int(prompt.shown.size());
    Click(dialog, "btn_del");
    QCOMPARE(prompt.shown.size(), asked + 2);
    QCOMPARE(prompt.shown.last().text, QString("请选中相应行"));
    QCOMPARE(classes->rowCount(), 1);
    QCOMPARE(Stored(1, 1), QString("kept"));
}

void TestLists::refusedClearChangesNothing()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    ScriptedPrompt prompt;
    DialogInfoToDb dialog;
    QTableWidget* sizes = TableOf(dialog, "tableWidgetSize");
    Type(sizes, 0, 1, "XL");

    prompt.AnswerBoxes({1});
    Click(dialog, "btn_clear_5");
    QCOMPARE(sizes->rowCount(), 1);
    QCOMPARE(Stored(1, 6), QString("XL"));

    prompt.AnswerBoxes({0});
    prompt.SignInWith({});
    Click(dialog, "btn_clear_5");
    QCOMPARE(sizes->rowCount(), 1);
    QCOMPARE(StoredRows("tb_sm_prestore_info", 6), 1);

    ClearConfirmed(prompt, dialog, "btn_clear_5");
    QCOMPARE(sizes->rowCount(), 0);
    QCOMPARE(StoredRows("tb_sm_prestore_info", 6), 0);
}

void TestLists::clearNeedsTheSignInOfAManager()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    for (const auto& [role, name] :
         {std::pair{3, "clerk"}, std::pair{4, "keeper"}, std::pair{1, "boss"}}) {
        UserRecord user;
        user.user_type = role;
        user.user_name = name;
        user.user_password = "pw";
        QVERIFY(TestFolder::AddUser(user));
    }
    QVERIFY(DatabaseEngine::Instance()->SaveListInfo(1, ListRecord{6, "XL;XXL"}));
    ScriptedPrompt prompt;
    // A clerk sees the master-data lists: he enters rows, imports nothing, may ask for a clear.
    ListsWindow shown(3);
    shown.window.findChild<QAction*>("action_infotodb")->trigger();
    auto* lists = shown.window.findChild<DialogInfoToDb*>();
    for (int tab = 0; tab < 6; ++tab) {
        using ListTabs::Button;
        QVERIFY(!lists->findChild<QPushButton*>(ListTabs::ButtonName(Button::Import, tab))
                     ->isEnabled());
        for (Button button : {Button::Export, Button::Add, Button::Delete, Button::Clear})
            QVERIFY(lists->findChild<QPushButton*>(ListTabs::ButtonName(button, tab))->isEnabled());
    }
    QTableWidget* sizes = TableOf(*lists, "tableWidgetSize");
    Click(*lists, "btn_add_5");
    Type(sizes, 2, 1, "S");
    QCOMPARE(Stored(1, 6), QString("XL;XXL;S"));

    // Neither his sign-in nor a browse user's clears; the list and the user list stay.
    DialogUserMge people;
    for (QWidget* dialog : {static_cast<QWidget*>(lists), static_cast<QWidget*>(&people)}) {
        for (const char* name : {"clerk", "keeper"}) {
            prompt.shown.clear();
            prompt.AnswerBoxes({0, 0});
            prompt.SignInWith({{name, "pw"}});
            Click(*dialog, dialog == lists ? "btn_clear_5" : "btn_clear");
            QCOMPARE(prompt.shown.size(), 2);
            QCOMPARE(prompt.shown[1].title, QString("无权清空"));
        }
    }
    QCOMPARE(sizes->rowCount(), 3);
    QCOMPARE(Stored(1, 6), QString("XL;XXL;S"));
    QCOMPARE(Accounts(DatabaseEngine::Instance()->StoreNo()), 3);

    prompt.AnswerBoxes({0});
    prompt.SignInWith({{"boss", "pw"}});
    Click(*lists, "btn_clear_5");
    QCOMPARE(sizes->rowCount(), 0);
    QCOMPARE(StoredRows("tb_sm_prestore_info", 6), 0);
}

void TestLists::browseUserListsTakeNoChange()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    QVERIFY(DatabaseEngine::Instance()->SaveListInfo(2, ListRecord{0, "wang-1-pw-一般用户-"}));
    ScriptedPrompt prompt;
    DialogUserMge people;
    people.ApplyRights(4);
    using ListTabs::Button;
    for (Button button : {Button::Import, Button::Add, Button::Delete, Button::Clear})
        QVERIFY(!people.findChild<QPushButton*>(ListTabs::ButtonName(button, 0))->isEnabled());
    QVERIFY(people.findChild<QPushButton*>(ListTabs::ButtonName(Button::Export, 0))->isEnabled());
    QTableWidget* users = people.Table(DialogUserMge::UserTab);
    QCOMPARE(users->editTriggers(), QAbstractItemView::NoEditTriggers);
    // The role chooser, which writes the role cell, does not open.
    bool opened = false;
    QTimer::singleShot(0, &people, [&opened] {
        if (QWidget* chooser = QApplication::activeModalWidget()) {
            opened = true;
            chooser->close();
        }
    });
    people.ChoseProcess(0, DialogUserMge::RoleColumn);
    QCoreApplication::processEvents();
    QVERIFY(!opened);
    QCOMPARE(Stored(2, 0), QString("wang-1-pw-一般用户-"));
}

void TestLists::refusedStoreIsReported()
{
    TestFolder folder(TestFolder::Unreachable);
    QVERIFY(!folder.Connect());
    ScriptedPrompt prompt;
    DialogInfoToDb dialog;
    QCOMPARE(prompt.shown.size(), 1);
    QVERIFY(prompt.shown[0].text.startsWith("列表未能读取"));
    Click(dialog, "btn_add_6");
    QCOMPARE(prompt.shown.size(), 2);
    QCOMPARE(prompt.shown[1].title, QString("警告"));
    QVERIFY(prompt.shown[1].text.startsWith("列表未能保存"));
}

void TestLists::importPutsRowsFirstAndKeepsTheOld()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    const QString path = folder.Path() + "/classes.xls";
    QVERIFY(WriteSheet(path, {"序号", "商品类目"}, {{"1", "new-A"}, {"2", "new.B"}}));
    ScriptedPrompt prompt;
    DialogInfoToDb dialog;
    QTableWidget* classes = TableOf(dialog, "tableWidgetClass");
    Type(classes, 0, 1, "old");

    prompt.AnswerFiles({path});
    Click(dialog, "btn_import_1");
    QCOMPARE(prompt.fileQuestions.size(), 1);
    QCOMPARE(prompt.fileQuestions[0].mode, FileQuestion::Open);
    QCOMPARE(prompt.fileQuestions[0].directory, QString("InfoDateSave"));
    QCOMPARE(classes->rowCount(), 3);
    QCOMPARE(Stored(1, 1), QString("new##A;new&&B;old"));
    QVERIFY(prompt.shown.isEmpty());

    // A cancelled file question changes nothing.
    Click(dialog, "btn_import_1");
    QCOMPARE(classes->rowCount(), 3);

    // A sheet with a text the list cannot hold is refused as a whole.
    const QString bad = folder.Path() + "/bad.xls";
    QVERIFY(WriteSheet(bad, {"序号", "商品类目"}, {{"1", "fine"}, {"2", "A;B"}}));
    prompt.AnswerFiles({bad});
    Click(dialog, "btn_import_1");
    QCOMPARE(prompt.shown.size(), 1);
    QCOMPARE(prompt.shown[0].title, QString("导入失败"));
    QVERIFY(prompt.shown[0].text.contains("A;B"));
    QCOMPARE(classes->rowCount(), 3);
    QCOMPARE(classes->item(0, 1)->text(), QString("new-A"));
    QCOMPARE(Stored(1, 1), QString("new##A;new&&B;old"));
}

void TestLists::exportThenImportGivesTheSameEntries()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    QTemporaryDir files;
    const QString path = files.filePath("stores.xls");
    ScriptedPrompt prompt;
    DialogInfoToDb dialog;
    QTableWidget* stores = TableOf(dialog, "tableWidgetStore");
    const QList<QStringList> rows = {{"Main-1", "Road 5.", "7", "3", "12", "Li", "139"},
                                     {"Depot", "", "8", "1", "", "Wu", "1.5"}};
    for (int r = 0; r < rows.size(); ++r) {
        Click(dialog, "btn_add_6");
        for (int c = 0; c < rows[r].size(); ++c)
            Type(stores, r, c + 1, rows[r][c]);
    }
    const QString stored = Stored(1, 8);

    prompt.AnswerFiles({path});
    Click(dialog, "btn_export_6");
    QCOMPARE(prompt.fileQuestions.last().mode, FileQuestion::Save);
    QVERIFY(QFile::exists(path));

    ClearConfirmed(prompt, dialog, "btn_clear_6");
    QCOMPARE(StoredRows("tb_sm_prestore_info", 8), 0);

    prompt.AnswerFiles({path});
    Click(dialog, "btn_import_6");
    QCOMPARE(stores->rowCount(), 2);
    QCOMPARE(Stored(1, 8), stored);
    DialogInfoToDb reopened;
    QTableWidget* shown = TableOf(reopened, "tableWidgetStore");
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < rows[r].size(); ++c)
            QCOMPARE(shown->item(r, c + 1)->text(), rows[r][c]);
    }
}

void TestLists::unreadableImportIsReportedAndChangesNothing()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    const QString broken = folder.Path() + "/broken.xls";
    const QByteArray garbage = "not a workbook at all";
    {
        QFile file(broken);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(garbage);
    }
    const QString missing = folder.Path() + "/missing.xls";
    ScriptedPrompt prompt;
    DialogInfoToDb dialog;
    QTableWidget* classes = TableOf(dialog, "tableWidgetClass");
    Type(classes, 0, 1, "old");

    for (const QString& path : {broken, missing}) {
        prompt.AnswerFiles({path});
        prompt.shown.clear();
        Click(dialog, "btn_import_1");
        QCOMPARE(prompt.shown.size(), 1);
        QCOMPARE(prompt.shown[0].title, QString("导入失败"));
        QVERIFY(prompt.shown[0].text.contains(path));
        QCOMPARE(classes->rowCount(), 1);
        QCOMPARE(Stored(1, 1), QString("old"));
    }
    QFile file(broken);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), garbage);
    QVERIFY(!QFile::exists(missing));
}

void TestLists::typedAccountSignsInWithItsRole()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    QVERIFY(AddOtherStoreAccount("boss"));
    ScriptedPrompt prompt;
    {
        DialogUserMge dialog;
        QTableWidget* users = TableOf(dialog, "tableWidget");
        // A list of several columns that was never stored shows no row.
        QCOMPARE(users->rowCount(), 0);
        Click(dialog, "btn_add");
        Type(users, 0, 1, "wang");
        Type(users, 0, 2, "13900000009");
        Type(users, 0, 3, "pw");
        Type(users, 0, 4, "浏览用户");
        QCOMPARE(Stored(2, 0), QString("wang-13900000009-pw-浏览用户-"));
        QVERIFY(prompt.shown.isEmpty());
    }
    UserRecord user;
    QVERIFY(SignsIn(prompt, "13900000009", "pw", &user));
    QCOMPARE(user.user_name, QString("wang"));
    QCOMPARE(user.user_type, 4);
    QCOMPARE(user.user_ip, LocalAddress::FirstIPv4());
    QCOMPARE(UserRoles::ViewFor(user.user_type).goodsStartPage, std::optional<int>(5));
    QCOMPARE(Accounts(DatabaseEngine::Instance()->StoreNo()), 1);
    QCOMPARE(Accounts(OtherStore), 1);
}

void TestLists::editedPasswordTakesEffect()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    QVERIFY(AddOtherStoreAccount("boss"));
    ScriptedPrompt prompt;
    DialogUserMge dialog;
    QTableWidget* users = TableOf(dialog, "tableWidget");
    AddAccountRow(dialog, users, 0, "wang", "old");
    AddAccountRow(dialog, users, 1, "li", "lipw");
    Type(users, 0, 3, "new");
    QVERIFY(!SignsIn(prompt, "wang", "old"));
    QVERIFY(SignsIn(prompt, "wang", "new"));
    QVERIFY(SignsIn(prompt, "li", "lipw"));
    QCOMPARE(Accounts(DatabaseEngine::Instance()->StoreNo()), 2);
    QCOMPARE(Accounts(OtherStore), 1);
}

void TestLists::deletedAccountCanNoLongerSignIn()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    QVERIFY(AddOtherStoreAccount("wang"));
    ScriptedPrompt prompt;
    DialogUserMge dialog;
    QTableWidget* users = TableOf(dialog, "tableWidget");
    AddAccountRow(dialog, users, 0, "wang", "pw");
    AddAccountRow(dialog, users, 1, "li", "lipw");

    prompt.AnswerBoxes({1});
    DeleteRow(dialog, users, 0, "btn_del");
    QVERIFY(SignsIn(prompt, "wang", "pw"));

    DeleteRow(dialog, users, 0, "btn_del");
    QVERIFY(!SignsIn(prompt, "wang", "pw"));
    QVERIFY(SignsIn(prompt, "li", "lipw"));
    QCOMPARE(Stored(2, 0), QString("li--lipw--"));
    QCOMPARE(Accounts(OtherStore), 1);
}

void TestLists::builtInAccountReturnsAfterTheUserListIsCleared()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    QVERIFY(AddOtherStoreAccount("boss"));
    ScriptedPrompt prompt;
    DialogUserMge dialog;
    QTableWidget* users = TableOf(dialog, "tableWidget");
    AddAccountRow(dialog, users, 0, "wang", "pw");
    Type(users, 0, DialogUserMge::RoleColumn, "超级用户");
    QVERIFY(!SignsIn(prompt, DialogLogin::BuiltInName, DialogLogin::BuiltInPassword));

    prompt.AnswerBoxes({0});
    prompt.SignInWith({{DialogLogin::BuiltInName, DialogLogin::BuiltInPassword}, {"wang", "pw"}});
    Click(dialog, "btn_clear");
    QCOMPARE(users->rowCount(), 0);
    QCOMPARE(StoredRows("tb_sm_person_info", 0), 0);
    QCOMPARE(Accounts(DatabaseEngine::Instance()->StoreNo()), 0);
    QCOMPARE(Accounts(OtherStore), 1);
    QVERIFY(!SignsIn(prompt, "wang", "pw"));
    QVERIFY(SignsIn(prompt, DialogLogin::BuiltInName, DialogLogin::BuiltInPassword));
}

void TestLists::roleChooserWritesTheRoleCell()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    ScriptedPrompt prompt;
    DialogUserMge dialog;
    QTableWidget* users = TableOf(dialog, "tableWidget");
    AddAccountRow(dialog, users, 0, "wang", "pw");

    QString title;
    QStringList offered;
    QTimer::singleShot(0, [&] {
        auto* chooser = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!chooser)
            return;
        title = chooser->windowTitle();
        if (auto* box = chooser->findChild<QComboBox*>("0-4")) {
            for (int i = 0; i < box->count(); ++i)
                offered << box->itemText(i);
            emit box->textActivated(box->itemText(1));
        }
        ButtonOf(chooser, "退出")->click();
    });
    emit users->cellClicked(0, 4);
    QCOMPARE(title, QString("设置用户权限"));
    QCOMPARE(offered, UserRoles::Labels());
    QCOMPARE(users->item(0, 4)->text(), QString("授权用户"));
    UserRecord user;
    QVERIFY(SignsIn(prompt, "wang", "pw", &user));
    QCOMPARE(user.user_type, 2);

    // Opened again it shows the cell's role, beside the cell and not over it; "确定" takes the
    // entry shown.
    QString shownRole;
    bool besideTheCell = false;
    QTimer::singleShot(0, [&] {
        auto* chooser = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!chooser)
            return;
        auto* box = chooser->findChild<QComboBox*>("0-4");
        shownRole = box->currentText();
        const QRect cell = users->visualRect(users->model()->index(0, 4));
        const QPoint cellRight = users->viewport()->mapToGlobal(cell.topRight());
        besideTheCell = chooser->geometry().left() >= cellRight.x();
        box->setCurrentIndex(3);
        ButtonOf(chooser, "确定")->click();
    });
    emit users->cellClicked(0, 4);
    QCOMPARE(shownRole, QString("授权用户"));
    QVERIFY(besideTheCell);
    QCOMPARE(users->item(0, 4)->text(), QString("浏览用户"));
    QVERIFY(SignsIn(prompt, "wang", "pw", &user));
    QCOMPARE(user.user_type, 4);

    // Other columns open nothing: a chooser would block here.
    emit users->cellClicked(0, 1);
    QVERIFY(!QApplication::activeModalWidget());
}

void TestLists::ledgerCellsOfferANewCategoryAtOnce()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    ScriptedPrompt prompt;
    ListsWindow shown;
    MainWindow& window = shown.window;
    ProductModel* sales = window.GoodsModel(2);
    int categoryColumn = -1;
    for (int c = 0; c < sales->columnCount(); ++c) {
        if (sales->Definition().SourceOf(c) == ListSource::Categories)
            categoryColumn = c;
    }
    QVERIFY(categoryColumn >= 0);
    QVERIFY(!sales->Entries(categoryColumn).contains("鞋类"));

    window.findChild<QAction*>("action_infotodb")->trigger();
    auto* dialog = window.findChild<DialogInfoToDb*>();
    QVERIFY(dialog && dialog->isVisible());
    QCOMPARE(dialog->parent(), &window);
    Type(TableOf(*dialog, "tableWidgetClass"), 0, 1, "鞋类");
    QCOMPARE(sales->Entries(categoryColumn), QStringList{"鞋类"});

    window.findChild<QAction*>("action_employee")->trigger();
    auto* people = window.findChild<DialogUserMge*>();
    QVERIFY(people);
    Click(*people, "btn_add_2");
    Type(TableOf(*people, "tableWidget_2"), 0, 1, "小张");
    bool offered = false;
    for (int c = 0; c < sales->columnCount(); ++c)
        offered = offered || sales->Entries(c).contains("小张");
    QVERIFY(offered);
}

void TestLists::actionsShowTheirTabs()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    ScriptedPrompt prompt;
    ListsWindow shown;
    MainWindow& window = shown.window;
    window.findChild<QAction*>("action_editstore")->trigger();
    auto* lists = window.findChild<DialogInfoToDb*>();
    QCOMPARE(lists->findChild<QTabWidget*>()->currentIndex(), 5);
    Click(*lists, "btn_ok_6");
    QVERIFY(!lists->isVisible());
    const QList<QPair<QString, int>> tabs = {{"action_users", 0},    {"action_employee", 1},
                                             {"action_client", 2},   {"action_distri", 3},
                                             {"action_supplier", 4}, {"action_ref", 5}};
    for (const auto& [action, tab] : tabs) {
        window.findChild<QAction*>(action)->trigger();
        auto* people = window.findChild<DialogUserMge*>();
        QVERIFY(people->isVisible());
        QVERIFY(!people->isModal());
        QCOMPARE(people->findChild<QTabWidget*>()->currentIndex(), tab);
    }
    QCOMPARE(window.findChildren<DialogUserMge*>().size(), 1);
}

QTEST_MAIN(TestLists)
#include "tst_lists.moc"
