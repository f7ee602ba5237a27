#include "DatabaseEngine.h"
#include "DbConfig.h"
#include "DbManager.h"
#include "InstalledData.h"
#include "MainWindow.h"
#include "ReadDatabaseThread.h"
#include "ScriptedPrompt.h"
#include "Startup.h"
#include "TestFolder.h"
#include "UserDataFolder.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>

namespace
{

ProductRecord Sale(const QString& serial, const QString& date)
{
    ProductRecord r;
    r.tab_type = 2;
    r.product_serial = serial;
    r.product_time = date;
    r.product_name = "衬衫";
    return r;
}

// A program folder with an installation's data beside it, laid out as `cmake --install` lays
// it out below a prefix: the program in bin/, its data under share/.
class Installation
{
public:
    explicit Installation(const QString& prefix, bool withConfiguration = true)
        : programFolder(prefix + "/bin"), data(programFolder)
    {
        QDir().mkpath(programFolder);
        QDir().mkpath(data.Folder());
        if (withConfiguration)
            QFile::copy(LEDGER_PACKAGING_DIR "/dBConfig.ini", data.Folder() + "/dBConfig.ini");
    }

    QString programFolder;
    InstalledData data;
};

// Makes `folder` current for one test, and disconnects what a start there connected.
class CurrentFolder
{
public:
    explicit CurrentFolder(const QString& folder) : previous(QDir::currentPath())
    {
        QDir().mkpath(folder);
        QDir::setCurrent(folder);
    }
    ~CurrentFolder()
    {
        DbManager::Instance()->Disconnect();
        QDir::setCurrent(previous);
    }

private:
    QString previous;
};

QStringList Entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
}

QByteArray Contents(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool AnyMainWindow()
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (qobject_cast<MainWindow*>(w))
            return true;
    }
    return false;
}

} // namespace

class TestApp : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void databaseDownKeepsEveryoneOut();
    void connectionWarningSaysWhy();
    void storeNumberThatCannotBeKeptStopsBeforeSignIn();
    void startInAFolderWithoutConfigurationWritesNothing();
    void installedProgramStartedElsewhereWorksInThePersonsFolder();
    void folderWithConfigurationStaysTheWorkingFolder();
    void personsFolderThatCannotBePreparedIsReported();
    void freshFolderGetsWorkingFoldersAndAStoreNumber();
    void cancelledSignInEndsWithExitCodeZero();
    void signedInUserReachesTheWindow();
    void firstLoadShowsTodaysRecordsFromTheWorker();
    void workerWithoutOwnerOrJobDoesNothing();
};

void TestApp::init()
{
    qApp->setStyleSheet(QString());
}

void TestApp::databaseDownKeepsEveryoneOut()
{
    TestFolder folder(TestFolder::Unreachable);
    ScriptedPrompt prompt;
    prompt.SignInWith({{"admin", "407152"}});
    Startup startup(folder.ConfigPath());
    QVERIFY(!startup.Start());
    QVERIFY(!startup.Window());
    QCOMPARE(prompt.shown.size(), 2);
    QCOMPARE(prompt.shown[0].title, QString("数据库连接"));
    QVERIFY(prompt.shown[0].text.startsWith("警告：数据库连接失败\n原因："));
    QVERIFY(prompt.shown[1].text.startsWith("警告:无法读取账户,暂时不能登录!"));
}

void TestApp::connectionWarningSaysWhy()
{
    TestFolder folder;
    {
        QFile notes(folder.Path() + "/ledger.db");
        QVERIFY(notes.open(QIODevice::WriteOnly));
        notes.write(QByteArray("not a database\n").repeated(100));
    }
    ScriptedPrompt prompt;
    prompt.SignInWith({});
    Startup startup(folder.ConfigPath());
    QVERIFY(!startup.Start());
    QVERIFY(!startup.Stopped());
    QCOMPARE(prompt.shown.size(), 1);
    QCOMPARE(prompt.shown[0].title, QString("数据库连接"));
    QVERIFY(prompt.shown[0].text.startsWith("警告：数据库连接失败\n原因："));
    QVERIFY(prompt.shown[0].text.contains("不是 SQLite 数据库"));
}

void TestApp::storeNumberThatCannotBeKeptStopsBeforeSignIn()
{
    // A configuration with a line that cannot be read is never rewritten, so no store number
    // can be kept in it.
    TestFolder folder;
    {
        QFile config(folder.ConfigPath());
        QVERIFY(config.open(QIODevice::Append));
        config.write("[Password]\nPWD=\"open\n");
    }
    ScriptedPrompt prompt;
    prompt.SignInWith({{"admin", "407152"}});
    Startup startup(folder.ConfigPath());
    QCOMPARE(startup.Run(), 1);
    QVERIFY(startup.Stopped());
    QVERIFY(!startup.Window());
    QCOMPARE(prompt.shown.size(), 2); // the connection warning, then why the start stops
    QCOMPARE(prompt.shown[1].title, QString("店号"));
    QVERIFY(prompt.shown[1].text.contains("无法读取"));
}

void TestApp::startInAFolderWithoutConfigurationWritesNothing()
{
    QTemporaryDir empty;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(empty.path());
    DatabaseEngine::Instance()->SetStoreNo("20240101000000000LINK");
    ScriptedPrompt prompt;
    prompt.SignInWith({{"admin", "407152"}});
    Startup startup;
    const bool started = startup.Start();
    const QStringList left = QDir(empty.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    QDir::setCurrent(previous);

    QVERIFY(!started);
    QVERIFY(!startup.Stopped());
    QCOMPARE(left, QStringList());
    QVERIFY(DatabaseEngine::Instance()->StoreNo().isEmpty());
    // The warning says which file was looked for from which folder; sign-in then runs as with
    // any failed connection.
    QCOMPARE(prompt.shown.size(), 2);
    QCOMPARE(prompt.shown[0].title, QString("数据库连接"));
    const QString warning = prompt.shown[0].text;
    QVERIFY2(warning.startsWith("警告：数据库连接失败\n原因：找不到配置文件 " +
                                QDir::toNativeSeparators("InitParam/dBConfig.ini")),
             qPrintable(warning));
    QVERIFY2(warning.contains(QDir::toNativeSeparators(QDir(empty.path()).canonicalPath())),
             qPrintable(warning));
    QVERIFY(prompt.shown[1].text.startsWith("警告:无法读取账户,暂时不能登录!"));
}

void TestApp::installedProgramStartedElsewhereWorksInThePersonsFolder()
{
    QTemporaryDir root;
    const Installation installed(root.filePath("usr"));
    QCOMPARE(installed.data.Folder(), root.filePath("usr/share/shop-ledger"));
    const QString start = root.filePath("start");
    const QString person = root.filePath("home/.local/share/shop-ledger");
    const QString config = person + "/InitParam/dBConfig.ini";
    CurrentFolder here(start);

    QString storeNo;
    {
        QCOMPARE(UserDataFolder::Enter(installed.data, person), UserDataFolder::Choice::UserFolder);
        QCOMPARE(QDir::current().canonicalPath(), QDir(person).canonicalPath());
        QCOMPARE(DbConfig::Read(config).driverType, QString("QSQLITE"));
        ScriptedPrompt prompt;
        prompt.SignInWith({{"admin", "407152"}});
        Startup startup;
        QVERIFY(startup.Start());
        for (const auto& box : prompt.shown)
            QVERIFY2(box.title != "数据库连接", qPrintable(box.text));
        QVERIFY(QFile::exists(person + "/ledger.db"));
        for (const char* dir : {"TabDateSave", "DbDateSave", "InfoDateSave"})
            QVERIFY2(QDir(person).exists(dir), dir);
        storeNo = DatabaseEngine::Instance()->StoreNo();
        QCOMPARE(storeNo.size(), 21);
        QCOMPARE(QSettings(config, QSettings::IniFormat).value("StoreNo/No").toString(), storeNo);
    }
    QCOMPARE(Entries(start), QStringList());

    // The next start from anywhere else finds the same folder, the same settings and the same
    // store; a configuration the person changed is never replaced.
    DbManager::Instance()->Disconnect();
    QDir::setCurrent(start);
    const QByteArray kept = Contents(config);
    QCOMPARE(UserDataFolder::Enter(installed.data, person), UserDataFolder::Choice::UserFolder);
    QCOMPARE(Contents(config), kept);
    ScriptedPrompt prompt;
    prompt.SignInWith({});
    Startup again;
    QVERIFY(!again.Start());
    QCOMPARE(DatabaseEngine::Instance()->StoreNo(), storeNo);
    QCOMPARE(Entries(start), QStringList());
}

void TestApp::folderWithConfigurationStaysTheWorkingFolder()
{
    QTemporaryDir root;
    const QString person = root.filePath("home/.local/share/shop-ledger");
    TestFolder folder;
    QCOMPARE(UserDataFolder::Enter(Installation(root.filePath("usr")).data, person),
             UserDataFolder::Choice::StartFolder);
    QCOMPARE(QDir::currentPath(), folder.Path());
    QVERIFY(!QFileInfo::exists(person));

    // The program in its build folder has no installation beside it: it keeps to the folder it
    // was started from, also without a configuration there, and makes no data folder.
    QVERIFY(!InstalledData::OfProgram().Present());
    CurrentFolder empty(root.filePath("start"));
    QCOMPARE(UserDataFolder::Enter(InstalledData::OfProgram(), person),
             UserDataFolder::Choice::StartFolder);
    QCOMPARE(UserDataFolder::Enter(InstalledData(root.filePath("build/src/app")), person),
             UserDataFolder::Choice::StartFolder);
    QCOMPARE(QDir::current().canonicalPath(), QDir(root.filePath("start")).canonicalPath());
    QVERIFY(!QFileInfo::exists(person));
    QCOMPARE(Entries(root.filePath("start")), QStringList());
}

void TestApp::personsFolderThatCannotBePreparedIsReported()
{
    QTemporaryDir root;
    const Installation installed(root.filePath("usr"));
    const QString start = root.filePath("start");
    CurrentFolder here(start);
    {
        QFile blocker(root.filePath("home"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
    }
    QString why;
    QCOMPARE(UserDataFolder::Enter(installed.data, root.filePath("home/shop-ledger"), &why),
             UserDataFolder::Choice::Failed);
    QVERIFY2(why.startsWith("无法建立文件夹 " +
                            QDir::toNativeSeparators(root.filePath("home/shop-ledger/InitParam"))),
             qPrintable(why));
    QCOMPARE(QDir::current().canonicalPath(), QDir(start).canonicalPath());

    const Installation incomplete(root.filePath("opt"), false);
    QCOMPARE(UserDataFolder::Enter(incomplete.data, root.filePath("data/shop-ledger"), &why),
             UserDataFolder::Choice::Failed);
    QVERIFY2(why.startsWith("安装不完整，找不到默认配置文件"), qPrintable(why));
    QVERIFY(!QFileInfo::exists(root.filePath("data/shop-ledger/InitParam/dBConfig.ini")));
    QCOMPARE(QDir::current().canonicalPath(), QDir(start).canonicalPath());
    QCOMPARE(Entries(start), QStringList());
}

void TestApp::freshFolderGetsWorkingFoldersAndAStoreNumber()
{
    TestFolder folder;
    QString storeNo;
    {
        ScriptedPrompt prompt;
        prompt.SignInWith({{"admin", "407152"}});
        Startup startup(folder.ConfigPath());
        QVERIFY(startup.Start());
        storeNo =
            QSettings(folder.ConfigPath(), QSettings::IniFormat).value("StoreNo/No").toString();
        QCOMPARE(storeNo.size(), 21);
        QVERIFY(QRegularExpression(R"(^\d{17}LINK$)").match(storeNo).hasMatch());
        QCOMPARE(DatabaseEngine::Instance()->StoreNo(), storeNo);
        for (const char* dir : {"TabDateSave", "DbDateSave", "InfoDateSave"})
            QVERIFY2(QDir(folder.Path()).exists(dir), dir);
        QVERIFY(QFile::exists(folder.Path() + "/ledger.db"));
    }
    ScriptedPrompt prompt;
    prompt.SignInWith({});
    Startup again(folder.ConfigPath());
    QVERIFY(!again.Start());
    QCOMPARE(DatabaseEngine::Instance()->StoreNo(), storeNo);
}

void TestApp::cancelledSignInEndsWithExitCodeZero()
{
    TestFolder folder;
    ScriptedPrompt prompt;
    prompt.SignInWith({{"nobody", "wrong"}});
    Startup startup(folder.ConfigPath());
    QCOMPARE(startup.Run(), 0);
    QVERIFY(!startup.Window());
    QVERIFY(!AnyMainWindow());
    QVERIFY(qApp->styleSheet().isEmpty());
}

void TestApp::signedInUserReachesTheWindow()
{
    TestFolder folder(TestFolder::Sqlite, "20240101000000000LINK");
    QVERIFY(folder.Connect());
    UserRecord clerk;
    clerk.user_type = 4;
    clerk.user_name = "仓管";
    clerk.user_phoneno = "13700000000";
    clerk.user_password = "pw";
    QVERIFY(TestFolder::AddUser(clerk));
    ScriptedPrompt prompt;
    prompt.SignInWith({{"admin", "407152"}, {"13700000000", "pw"}});
    Startup startup(folder.ConfigPath());
    QVERIFY(startup.Start());
    QCOMPARE(startup.Window()->User().user_name, QString("仓管"));
    QCOMPARE(startup.Window()->findChild<QStackedWidget*>("stackedWidget")->currentIndex(), 5);
    QCOMPARE(prompt.shown.size(), 1);
    // A browse user may look at the loss page, not change it.
    QVERIFY(startup.Window()->findChild<QAction*>("action_loss")->isVisible());
    QVERIFY(!startup.Window()->findChild<QPushButton*>("btn_puradd_5")->isEnabled());
    QVERIFY(startup.Window()->GoodsModel(4)->IsReadOnly());
}

void TestApp::firstLoadShowsTodaysRecordsFromTheWorker()
{
    TestFolder folder(TestFolder::Sqlite, "20240101000000000LINK");
    QVERIFY(folder.Connect());
    const QString today = QDate::currentDate().toString("yyyy-MM-dd");
    QVERIFY(TestFolder::AddProduct(Sale("a", today)));
    QVERIFY(TestFolder::AddProduct(Sale("b", today)));
    QVERIFY(TestFolder::AddProduct(Sale("c", "2001-01-01")));
    ScriptedPrompt prompt;
    prompt.SignInWith({{"admin", "407152"}});
    Startup startup(folder.ConfigPath());
    QVERIFY(startup.Start());
    ProductModel* sales = startup.Window()->GoodsModel(2);
    QTRY_COMPARE(sales->rowCount(), 2);
    QCOMPARE(sales->Records()[0].product_serial, QString("a"));
    QCOMPARE(sales->Records()[1].product_serial, QString("b"));
    QVERIFY(!startup.Window()->IsFilling());
}

void TestApp::workerWithoutOwnerOrJobDoesNothing()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    ReadDatabaseThread orphan(nullptr, 1);
    QSignalSpy orphanLoaded(&orphan, &ReadDatabaseThread::PagesLoaded);
    QSignalSpy orphanDone(&orphan, &QThread::finished);
    orphan.start();
    QVERIFY(orphan.wait(5000));
    QTRY_COMPARE(orphanDone.size(), 1);
    QCOMPARE(orphanLoaded.size(), 0);

    MainWindow owner;
    ReadDatabaseThread unknown(&owner, 42);
    QSignalSpy unknownLoaded(&unknown, &ReadDatabaseThread::PagesLoaded);
    unknown.start();
    QVERIFY(unknown.wait(5000));
    QCOMPARE(unknownLoaded.size(), 0);

    ReadDatabaseThread load(&owner, 1);
    QSignalSpy loaded(&load, &ReadDatabaseThread::PagesLoaded);
    load.start();
    QVERIFY(load.wait(5000));
    QTRY_COMPARE(loaded.size(), 1);
}

QTEST_MAIN(TestApp)
#include "tst_app.moc"
