// Backup and restore from the window's data menu, and the backup made when the program ends.
#include "CancelAtOnce.h"
#include "DatabaseEngine.h"
#include "DbManager.h"
#include "MainWindow.h"
#include "ScriptedPrompt.h"
#include "Startup.h"
#include "TestFolder.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

namespace
{

const QString Store = QStringLiteral("20240101000000000LINK");
const QString OtherStore = QStringLiteral("20230101000000000LINK");

// Answers every box and file question from inside a nested event loop, as a real modal box
// does: whatever the program has queued runs while the question is open.
class LoopPrompt : public ScriptedPrompt
{
public:
    int Ask(QWidget* parent, const PromptBox& box) override
    {
        int answer = -1;
        InLoop([&] { answer = ScriptedPrompt::Ask(parent, box); });
        return answer;
    }
    QString AskFile(QWidget* parent, const FileQuestion& question) override
    {
        QString answer;
        InLoop([&] { answer = ScriptedPrompt::AskFile(parent, question); });
        return answer;
    }

private:
    template <class Answer> static void InLoop(Answer answer)
    {
        QEventLoop loop;
        QTimer::singleShot(0, &loop, [&] {
            answer();
            loop.quit();
        });
        loop.exec();
    }
};

ProductRecord Sale(const QString& serial)
{
    ProductRecord r;
    r.tab_type = 2;
    r.product_serial = serial;
    r.product_time = QDate::currentDate().toString("yyyy-MM-dd");
    r.product_name = "衬衫";
    r.prodcut_remark = "O'Brien; --\n第二行";
    return r;
}

QString StatusText(MainWindow* window)
{
    QStringList texts;
    for (QLabel* label : window->statusBar()->findChildren<QLabel*>())
        texts << label->text();
    return texts.join('\n');
}

QStringList Backups()
{
    return QDir("DbDateSave").entryList(QDir::Files | QDir::Hidden);
}

QString Contents(const QString& name)
{
    QFile file("DbDateSave/" + name);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QStringList Serials()
{
    QStringList serials;
    QSqlQuery query(DbManager::Instance()->Database());
    query.exec("select product_serial from tb_sm_product_info where store_no='" + Store +
               "' order by id");
    while (query.next())
        serials << query.value(0).toString();
    return serials;
}

// Doubles the store's goods rows `times` times, for a store large enough to take a while.
void Grow(int times)
{
    for (int i = 0; i < times; ++i) {
        QSqlQuery query(DbManager::Instance()->Database());
        QVERIFY(query.exec("insert into tb_sm_product_info(tab_type,product_serial,product_name,"
                           "product_time,prodcut_remark,store_no) select tab_type,product_serial||"
                           "'x',product_name,product_time,prodcut_remark,store_no from "
                           "tb_sm_product_info"));
    }
}

} // namespace

class TestBackup : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestFolder> folder;
    std::unique_ptr<LoopPrompt> prompt;
    std::unique_ptr<Startup> startup;

    // Signs in as `login` to a folder whose store has sales "a" and "b", and another store "z".
    MainWindow* Open(const QPair<QString, QString>& login = {"admin", "407152"})
    {
        folder = std::make_unique<TestFolder>(TestFolder::Sqlite, Store);
        if (!folder->Connect() || !TestFolder::AddProduct(Sale("a")) ||
            !TestFolder::AddProduct(Sale("b")) || !TestFolder::AddProduct(Sale("z"), OtherStore))
            return nullptr;
        UserRecord clerk;
        clerk.user_type = 3;
        clerk.user_name = "clerk";
        clerk.user_password = "pw";
        if (login.first == clerk.user_name && !TestFolder::AddUser(clerk))
            return nullptr;
        prompt = std::make_unique<LoopPrompt>();
        prompt->SignInWith({login});
        startup = std::make_unique<Startup>(folder->ConfigPath());
        if (!startup->Start())
            return nullptr;
        prompt->shown.clear(); // the sign-in's own note
        return startup->Window();
    }

    // Restores `path` from the data menu, confirming the warning and the report.
    void RestoreFrom(MainWindow* window, const QString& path)
    {
        prompt->AnswerBoxes({0, 0});
        prompt->AnswerFiles({path});
        window->findChild<QAction*>("action_datarestore")->trigger();
    }

private slots:
    void init() { qApp->setStyleSheet(QString()); }

    void cleanup()
    {
        startup.reset();
        prompt.reset();
        folder.reset();
    }

    void backupFromTheMenuWritesThisStoreOnly()
    {
        MainWindow* window = Open();
        QVERIFY(window);
        auto* save = window->findChild<QAction*>("action_datasave");
        save->trigger();
        QVERIFY(!save->isEnabled());
        QVERIFY(StatusText(window).contains("数据库备份开始..."));
        QTRY_VERIFY(save->isEnabled());
        QVERIFY(StatusText(window).contains("数据库备份完成..."));
        QVERIFY(window->findChild<QProgressBar*>("progress_job")->isHidden());

        const QStringList files = Backups();
        QCOMPARE(files.size(), 1); // no temporary file left beside it
        QVERIFY2(QRegularExpression(R"(^record_\d{8}_\d{6}\.sql$)").match(files[0]).hasMatch(),
                 qPrintable(files[0]));
        const QString text = Contents(files[0]);
        QCOMPARE(text.count("insert into tb_sm_product_info("), 2);
        QVERIFY(text.contains("'O''Brien; --\n第二行'"));
        QVERIFY(!text.contains(OtherStore));
        QVERIFY(prompt->shown.isEmpty());
    }

    void backupThatCannotBeWrittenIsReported()
    {
        MainWindow* window = Open();
        QVERIFY(window);
        QVERIFY(QDir("DbDateSave").removeRecursively());
        QFile blocker("DbDateSave");
        QVERIFY(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
        blocker.close();
        auto* save = window->findChild<QAction*>("action_datasave");
        save->trigger();
        QTRY_VERIFY(save->isEnabled());
        QCOMPARE(prompt->shown.size(), 1);
        QCOMPARE(prompt->shown[0].title, QString("数据库备份"));
        QVERIFY(prompt->shown[0].text.startsWith("数据库备份失败："));
        QVERIFY(StatusText(window).contains("数据库备份失败"));
        QVERIFY(!StatusText(window).contains("数据库备份完成..."));
    }

    void cancelledOrUnreadableRestoreChangesNothing()
    {
        MainWindow* window = Open();
        QVERIFY(window);
        auto* restore = window->findChild<QAction*>("action_datarestore");

        prompt->AnswerBoxes({1}); // "取消"
        restore->trigger();
        QCOMPARE(prompt->shown.size(), 1);
        QCOMPARE(prompt->shown[0].text, QString("删除或还原数据请慎重,确认?"));
        QVERIFY(prompt->fileQuestions.isEmpty());

        prompt->AnswerBoxes({0});
        restore->trigger(); // the file dialog is cancelled
        QCOMPARE(prompt->fileQuestions.size(), 1);
        const FileQuestion& question = prompt->fileQuestions[0];
        QCOMPARE(question.caption, QString("标题"));
        QCOMPARE(question.directory, QDir::currentPath() + "/DbDateSave");
        QCOMPARE(question.filter, QString("*.sql;;*.sql"));
        QCOMPARE(prompt->shown.size(), 2);

        prompt->AnswerBoxes({0});
        prompt->AnswerFiles({QDir::currentPath() + "/DbDateSave/none.sql"});
        restore->trigger();
        QCOMPARE(prompt->shown.size(), 4);
        QCOMPARE(prompt->shown[3].title, QString("数据还原"));
        QVERIFY2(prompt->shown[3].text.startsWith(
                     "数据还原失败，原有数据未作改动。\n原因：无法打开文件"),
                 qPrintable(prompt->shown[3].text));
        QCOMPARE(Serials(), QStringList({"a", "b"}));
        QVERIFY(StatusText(window).contains("数据库还原失败"));
    }

    void restoreReplacesTheStoreReportsSkippedLinesAndReloads()
    {
        MainWindow* window = Open();
        QVERIFY(window);
        QTRY_COMPARE(window->GoodsModel(2)->rowCount(), 2);
        const QString path = QDir::currentPath() + "/DbDateSave/mine.sql";
        QVERIFY(DatabaseEngine::Instance()->BackupToScript(path).ok);
        QVERIFY(TestFolder::AddProduct(Sale("c")));
        QVERIFY(DatabaseEngine::Instance()->DeleteProductInfo(Sale("a")));
        window->GoodsModel(2)->ShowRecords({Sale("b"), Sale("c")});

        RestoreFrom(window, path);
        QCOMPARE(prompt->shown.size(), 2);
        QCOMPARE(prompt->shown[1].title, QString("数据还原"));
        QCOMPARE(prompt->shown[1].text, QString("已还原 2 行数据。"));
        QVERIFY(StatusText(window).contains("数据库还原完成..."));
        QCOMPARE(Serials(), QStringList({"a", "b"}));
        QCOMPARE(TestFolder::Count("select count(*) from tb_sm_product_info where store_no='" +
                                   OtherStore + "'"),
                 1);
        QTRY_COMPARE(window->GoodsModel(2)->rowCount(), 2);
        QCOMPARE(window->GoodsModel(2)->Records()[0].product_serial, QString("a"));
        QCOMPARE(window->GoodsModel(2)->Records()[1].product_serial, QString("b"));

        // Rows added by hand after the completeness line (line 5: each sale takes two lines, its
        // remark has a line break): another store's row is skipped, and the rows past the line
        // could not be checked.
        QFile file(path);
        QVERIFY(file.open(QIODevice::Append));
        file.write("insert into tb_sm_user(user_name,store_no) values('x','" + OtherStore.toUtf8() +
                   "');\n");
        file.close();
        RestoreFrom(window, path);
        QCOMPARE(prompt->shown.size(), 4);
        QCOMPARE(prompt->shown[3].text,
                 QString("已还原 2 行数据。\n跳过 1 行：\n不是本门店的数据：1 行（第 6 行）\n"
                         "文件没有完整性记录（较早的备份或其他安装的文件），无法检查它是否完整。"));
        QCOMPARE(Serials(), QStringList({"a", "b"}));
    }

    void damagedBackupIsRefusedNamingItsLine()
    {
        MainWindow* window = Open();
        QVERIFY(window);
        const QString path = QDir::currentPath() + "/DbDateSave/cut.sql";
        QVERIFY(DatabaseEngine::Instance()->BackupToScript(path).ok);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        const QByteArray whole = file.readAll();
        // An interrupted copy, cut inside the second sale (from line 3).
        QVERIFY(file.resize(whole.indexOf("\ninsert") + 30));
        file.close();

        RestoreFrom(window, path);
        QCOMPARE(prompt->shown.size(), 2);
        QCOMPARE(prompt->shown[1].text,
                 QString("数据还原失败，原有数据未作改动。\n原因：文件已损坏或不完整：第 3 行的语句"
                         "到文件末尾也没有结束"));
        QCOMPARE(Serials(), QStringList({"a", "b"}));
        QVERIFY(StatusText(window).contains("数据库还原失败"));
    }

    // The cancel button beside the restore's progress rolls the restore back.
    void cancelledRestoreChangesNothing()
    {
        MainWindow* window = Open();
        QVERIFY(window);
        const QString path = QDir::currentPath() + "/DbDateSave/mine.sql";
        QVERIFY(DatabaseEngine::Instance()->BackupToScript(path).ok);
        QVERIFY(TestFolder::AddProduct(Sale("c")));

        const CancelAtOnce cancel(window->findChild<QPushButton*>("btn_jobcancel"));
        prompt->AnswerBoxes({0, 0});
        prompt->AnswerFiles({path});
        window->findChild<QAction*>("action_datarestore")->trigger();
        QCOMPARE(prompt->shown.size(), 2);
        QCOMPARE(prompt->shown[1].title, QString("数据还原"));
        QCOMPARE(prompt->shown[1].text, QString("数据还原已取消，原有数据未作改动。"));
        QVERIFY(StatusText(window).contains("数据库还原已取消"));
        QCOMPARE(Serials(), QStringList({"a", "b", "c"}));
        QCOMPARE(TestFolder::Count("select count(*) from tb_sm_product_info where store_no='" +
                                   OtherStore + "'"),
                 1);
    }

    void exitBackupIsCompleteWhenTheProgramHasEnded()
    {
        MainWindow* window = Open();
        QVERIFY(window);
        Grow(13); // 16 384 rows: long enough that an unwaited backup would still be running
        QTimer::singleShot(0, window, &QWidget::close);
        QTimer::singleShot(60000, qApp, &QCoreApplication::quit);
        QApplication::exec();
        QVERIFY(!window->isVisible());
        QCOMPARE(prompt->shown.size(), 1);
        QCOMPARE(prompt->shown[0].title, QString("退出"));
        const QStringList files = Backups();
        QCOMPARE(files.size(), 1);
        const QString text = Contents(files[0]);
        QCOMPARE(text.count("insert into tb_sm_product_info("), 2 << 13);
        QVERIFY2(
            text.section('\n', -2, -2).startsWith("-- backup complete: tb_sm_product_info=16384, "),
            qPrintable(text.right(200)));
        QVERIFY(StatusText(window).contains("数据库备份完成..."));
    }

    void generalUserQuitsWithoutBackup()
    {
        MainWindow* window = Open({"clerk", "pw"});
        QVERIFY(window);
        QCOMPARE(window->User().user_type, 3);
        QVERIFY(window->close());
        QVERIFY(Backups().isEmpty());
    }
};

QTEST_MAIN(TestBackup)
#include "tst_backup.moc"
