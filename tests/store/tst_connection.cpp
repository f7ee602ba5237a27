// The configuration file, what counts as connected, and lost connections.
#include "DatabaseEngine.h"
#include "DatabaseFixture.h"
#include "DbManager.h"
#include "FakeTdsServer.h"
#include "IniFile.h"
#include "OdbcDriver.h"
#include "TestDatabase.h"
#include "WriteTransaction.h"

#include <QDir>
#include <QFile>
#include <QSemaphore>
#include <QSettings>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

namespace
{

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

ProductRecord Goods(const QString& serial)
{
    ProductRecord r;
    r.tab_type = 0;
    r.product_serial = serial;
    r.product_time = "2024-05-01";
    return r;
}

} // namespace

// Values are read as written on their line; the store number is written without touching the
// rest of the file.
class ConfigFileTest : public QObject
{
    Q_OBJECT
private slots:
    void valuesAreReadAsWrittenOnTheirLine()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("dBConfig.ini");
        WriteFile(path, "\xef\xbb\xbf; hand-written\r\n"
                        "[Driver]\r\nTYPE = QPSQL\r\n"
                        "[HostName]\r\nIP=db.local ; not a comment\r\n"
                        "[DatabaseName]\r\nDATABASE=C:\\data\\ledger.db\r\n"
                        "[UserName]\r\nUID=\" edge \"  ; a comment after quotes\r\n"
                        "[Password]\r\nPWD=a,b;c\\d\"e\r\n"
                        "[Port]\r\nPORT= 5433 \r\n");
        const DbConfig c = DbConfig::Read(path);
        QCOMPARE(c.error, QString());
        QCOMPARE(c.driverType, QString("QPSQL"));
        QCOMPARE(c.host, QString("db.local ; not a comment"));
        QCOMPARE(c.database, QString("C:\\data\\ledger.db"));
        QCOMPARE(c.user, QString(" edge "));
        QCOMPARE(c.password, QString("a,b;c\\d\"e"));
        QCOMPARE(c.port, 5433);
    }

    // QSettings quotes a text holding ";", ",", "=" or edge blanks, and escapes inside the quotes:
    // such values in files it wrote still read the same.
    void quotedValuesOfQSettingsStillRead()
    {
        const QStringList texts = {"a;b",
                                   " lead",
                                   "trail ",
                                   "q\"uo;te\\back",
                                   "tab\t,here",
                                   "密码;中文",
                                   "x=y",
                                   "\x01"
                                   "1f;",
                                   "a,b",
                                   "{a}b;",
                                   "nl\nx;"};
        QTemporaryDir dir;
        const QString path = dir.filePath("dBConfig.ini");
        {
            QSettings ini(path, QSettings::IniFormat);
            for (qsizetype i = 0; i < texts.size(); ++i)
                ini.setValue(QStringLiteral("S/k%1").arg(i), texts[i]);
        }
        IniFile file;
        QVERIFY(file.Load(path));
        QCOMPARE(file.Error(), QString());
        for (qsizetype i = 0; i < texts.size(); ++i)
            QCOMPARE(file.Value(QStringLiteral("S/k%1").arg(i)), texts[i]);
    }

    void unreadableLinesAreReported_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("no equals sign") << QByteArray("PWD secret");
        QTest::newRow("open quote") << QByteArray("PWD=\"secret");
        QTest::newRow("text after the quote") << QByteArray("PWD=\"a\", \"b\"");
        QTest::newRow("unknown escape") << QByteArray("PWD=\"C:\\data\"");
        QTest::newRow("open section") << QByteArray("[Password");
        QTest::newRow("not UTF-8") << QByteArray("PWD=\xc3\x28");
    }

    void unreadableLinesAreReported()
    {
        QFETCH(QByteArray, line);
        QTemporaryDir dir;
        const QString path = dir.filePath("InitParam/dBConfig.ini");
        WriteFile(path, "[Driver]\nTYPE=QSQLITE\n[DatabaseName]\nDATABASE=" +
                            dir.filePath("ledger.db").toUtf8() + "\n[Password]\n" + line + "\n");
        QVERIFY(!DbManager::Instance()->ConnectFromConfig(path));
        QVERIFY2(DbManager::Instance()->ConnectError().contains("第 6 行无法读取"),
                 qPrintable(DbManager::Instance()->ConnectError()));
        // Nor is a store number made into a file that was not understood.
        QString why;
        QCOMPARE(StoreNumber::LoadOrCreate(path, &why), QString());
        QVERIFY(why.contains("第 6 行"));
        DbManager::Instance()->Disconnect();
    }

    void storeNumberLeavesEveryOtherLineAsItWas()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("InitParam/dBConfig.ini");
        const QByteArray before = "; settings of the shop\r\n[Password]\r\nPWD=a;b,c\r\n"
                                  "[StoreNo]\r\nNo = \r\n[Port]\r\nPORT=1\r\n";
        WriteFile(path, before);
        const QString made = StoreNumber::LoadOrCreate(path);
        QVERIFY(QRegularExpression("^\\d{17}LINK$").match(made).hasMatch());
        QByteArray expected = before;
        expected.replace("No = \r\n", "No = " + made.toUtf8() + "\r\n");
        QCOMPARE(ReadFile(path), expected);
        QCOMPARE(StoreNumber::LoadOrCreate(path), made);

        // A file without the key gets its section added at the end.
        const QString other = dir.filePath("other.ini");
        WriteFile(other, "[Password]\nPWD=x\n");
        const QString second = StoreNumber::LoadOrCreate(other);
        QCOMPARE(ReadFile(other), "[Password]\nPWD=x\n\n[StoreNo]\nNo=" + second.toUtf8() + "\n");
    }

    void storeNumberThatCannotBeKeptIsRefused()
    {
        // "InitParam" is a file here: the configuration can be neither made nor written.
        QTemporaryDir dir;
        WriteFile(dir.filePath("InitParam"), "not a folder");
        const QString path = dir.filePath("InitParam/dBConfig.ini");
        QString why;
        QCOMPARE(StoreNumber::LoadOrCreate(path, &why), QString());
        QVERIFY2(why.contains("无法写入配置文件"), qPrintable(why));
    }
};

// What counts as connected: opened, in WAL mode for SQLite, every table present or created.
class ConnectedTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    QString Config(const QByteArray& lines)
    {
        const QString path = dir.filePath("InitParam/dBConfig.ini");
        WriteFile(path, lines);
        return path;
    }

private slots:
    void cleanup() { DbManager::Instance()->Disconnect(); }

    void sqliteWithoutDatabaseNameIsRefused_data()
    {
        QTest::addColumn<QByteArray>("lines");
        QTest::newRow("missing") << QByteArray("[Driver]\nTYPE=QSQLITE\n");
        QTest::newRow("empty") << QByteArray("[Driver]\nTYPE=QSQLITE\n[DatabaseName]\nDATABASE=\n");
    }

    void sqliteWithoutDatabaseNameIsRefused()
    {
        QFETCH(QByteArray, lines);
        DbManager* manager = DbManager::Instance();
        QVERIFY(!manager->ConnectFromConfig(Config(lines)));
        QVERIFY(manager->ConnectError().contains("DatabaseName/DATABASE"));
        DatabaseEngine::Instance()->SetDbManager(manager);
        QVERIFY(!DatabaseEngine::Instance()->SaveProductInfo(Goods("lost")));
    }

    void fileThatIsNoDatabaseIsRefusedAndKept()
    {
        const QByteArray text = QByteArray("shop notes, not a database\n").repeated(200);
        WriteFile(dir.filePath("notes.db"), text);
        DbManager* manager = DbManager::Instance();
        QVERIFY(
            !manager->ConnectFromConfig(Config("[Driver]\nTYPE=QSQLITE\n[DatabaseName]\nDATABASE=" +
                                               dir.filePath("notes.db").toUtf8() + "\n")));
        QVERIFY2(manager->ConnectError().contains("不是 SQLite 数据库"),
                 qPrintable(manager->ConnectError()));
        QCOMPARE(ReadFile(dir.filePath("notes.db")), text);
    }

    void tablesThatCannotBeCreatedAreRefused()
    {
        const QString file = dir.filePath("taken.db");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "arrange");
            db.setDatabaseName(file);
            QVERIFY(db.open());
            QVERIFY(QSqlQuery(db).exec("create view tb_sm_user as select 1 as x"));
            db.close();
        }
        QSqlDatabase::removeDatabase("arrange");
        DbManager* manager = DbManager::Instance();
        QVERIFY(!manager->ConnectFromConfig(
            Config("[Driver]\nTYPE=QSQLITE\n[DatabaseName]\nDATABASE=" + file.toUtf8() + "\n")));
        QVERIFY2(manager->ConnectError().contains("无法建立数据表 tb_sm_user"),
                 qPrintable(manager->ConnectError()));
        QVERIFY(!manager->IsConnected());
    }
};

// Against the test PostgreSQL (also through psqlODBC, whose tables the program now makes in
// PostgreSQL's words): a login without the right to create tables, and dropped connections.
class ServerConnectionTest : public DatabaseFixture
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (TestDatabase::Available().size() < 2)
            QSKIP("no test PostgreSQL (LEDGER_TEST_PG)");
    }

    void loginThatCannotCreateTablesIsRefused()
    {
        if (db->Kind() == TestDatabase::Sqlite)
            QSKIP("server only");
        // A fresh database: only its owner may create tables in its public schema.
        TestDatabase::OnPgServer("drop role if exists ledger_reader");
        QVERIFY(TestDatabase::OnPgServer("create role ledger_reader login"));
        const QString fresh = db->ServerDatabase() + "_ro";
        QVERIFY(TestDatabase::OnPgServer("create database " + fresh));
        QSettings ini(db->ConfigPath(), QSettings::IniFormat);
        ini.setValue("DatabaseName/DATABASE", fresh);
        ini.setValue("UserName/UID", "ledger_reader");
        ini.sync();
        DbManager* manager = DbManager::Instance();
        const bool connected = manager->ConnectFromConfig(db->ConfigPath());
        const QString why = manager->ConnectError();
        manager->Disconnect();
        TestDatabase::OnPgServer("drop database " + fresh);
        TestDatabase::OnPgServer("drop role ledger_reader");
        QVERIFY(!connected);
        QVERIFY2(why.contains("无法建立数据表 tb_sm_product_info"), qPrintable(why));
    }

    void lostMainConnectionIsReopened()
    {
        if (db->Kind() == TestDatabase::Sqlite)
            QSKIP("server only");
        DatabaseEngine* engine = DatabaseEngine::Instance();
        QVERIFY(engine->SaveProductInfo(Goods("before")));
        QVERIFY(db->DropConnections());
        QVERIFY2(engine->SaveProductInfo(Goods("after")), qPrintable(engine->LastError()));
        QVERIFY(db->DropConnections());
        QVERIFY(engine->DeleteProductInfo(Goods("before")));
        QVERIFY(db->DropConnections());
        QList<ProductRecord> out;
        QVERIFY(engine->SelectProductRecords(5, -1, "", "", out));
        QCOMPARE(out.size(), 1);
        QCOMPARE(out[0].product_serial, QString("after"));
    }

    void lostWorkerConnectionIsReopened()
    {
        if (db->Kind() == TestDatabase::Sqlite)
            QSKIP("server only");
        QSemaphore saved;
        QSemaphore dropped;
        bool first = false;
        bool second = false;
        QString why;
        QThread* worker = QThread::create([&] {
            DatabaseEngine* engine = DatabaseEngine::Instance();
            first = engine->SaveProductInfo(Goods("worker-1"));
            saved.release();
            dropped.acquire();
            second = engine->SaveProductInfo(Goods("worker-2"));
            why = engine->LastError();
        });
        worker->start();
        saved.acquire();
        QVERIFY(db->DropConnections());
        dropped.release();
        QVERIFY(worker->wait(60000));
        delete worker;
        QVERIFY(first);
        QVERIFY2(second, qPrintable(why));
        QList<ProductRecord> out; // the main connection was dropped too
        QVERIFY(DatabaseEngine::Instance()->SelectProductRecords(5, -1, "", "", out));
        QCOMPARE(out.size(), 2);
    }

    void nothingIsRepeatedInsideATransaction()
    {
        if (db->Kind() == TestDatabase::Sqlite)
            QSKIP("server only");
        DatabaseEngine* engine = DatabaseEngine::Instance();
        {
            WriteTransaction outer(DbManager::Instance()->Database());
            QVERIFY(outer.IsOpen());
            QVERIFY(engine->SaveProductInfo(Goods("in-transaction")));
            QVERIFY(db->DropConnections());
            // Repeating this on a new connection would keep half a transaction.
            QVERIFY(!engine->SaveProductInfo(Goods("half")));
            QVERIFY(!engine->LastError().isEmpty());
        }
        // A save whose own transaction meets the dropped connection starts again on a new one.
        QVERIFY2(engine->SaveProductInfo(Goods("next")), qPrintable(engine->LastError()));
        QCOMPARE(TestDatabase::Scalar("select count(*) from tb_sm_product_info"), 1);

        // A transaction begun on a dropped connection starts on a reopened one.
        QVERIFY(db->DropConnections());
        QVERIFY(engine->ReplaceUserAccounts({}));
    }

    void connectionThatCannotBeReopenedIsReported()
    {
        if (db->Kind() == TestDatabase::Sqlite)
            QSKIP("server only");
        const QString name = db->ServerDatabase();
        QVERIFY(TestDatabase::OnPgServer("alter database " + name + " allow_connections false"));
        QVERIFY(db->DropConnections());
        DatabaseEngine* engine = DatabaseEngine::Instance();
        const bool saved = engine->SaveProductInfo(Goods("nowhere"));
        const QString why = engine->LastError();
        TestDatabase::OnPgServer("alter database " + name + " allow_connections true");
        QVERIFY(!saved);
        QVERIFY(!why.isEmpty());
        QVERIFY(engine->SaveProductInfo(Goods("back")));
    }
};

// ODBC connection strings as the drivers read them: psqlODBC keeps braces in names, FreeTDS keeps
// doubled "}".
class OdbcStringTest : public QObject
{
    Q_OBJECT
private slots:
    void cleanup()
    {
        DbManager::Instance()->Disconnect();
        qunsetenv("TDSVER");
    }

    void onlyValuesThatNeedItAreBraced()
    {
        DbConfig c;
        c.host = "db.local";
        c.port = 1433;
        c.database = "le}d=g{er";
        c.user = " u";
        c.password = "a;b}c";
        QCOMPARE(c.OdbcConnectionString(),
                 QString("DRIVER={SQL SERVER};SERVER=db.local;PORT=1433;DATABASE=le}d=g{er;"
                         "UID={ u};PWD={a;b}}c};"));
        QCOMPARE(c.OdbcConnectionString(true),
                 QString("DRIVER={SQL SERVER};SERVER=db.local;PORT=1433;DATABASE=le}d=g{er;"
                         "UID={ u};PWD={a;b}c};"));
        c.password = "{x";
        QVERIFY(c.OdbcConnectionString().endsWith("PWD={{x};"));
        c.password = "a};b";
        QString why;
        QCOMPARE(c.OdbcConnectionString(true, &why), QString());
        QVERIFY(why.startsWith("PWD"));
        QVERIFY(c.OdbcConnectionString().endsWith("PWD={a}};b};"));
    }

    void psqlOdbcGetsPlainNamesUnbraced()
    {
        if (!TestDatabase::Available().contains(TestDatabase::OdbcPostgres))
            QSKIP("no test PostgreSQL with psqlODBC");
        TestDatabase server(TestDatabase::Postgres);
        QVERIFY(server.Connect());
        DbManager::Instance()->Disconnect();
        const QString name = "le}d=g{er";
        TestDatabase::OnPgServer(QStringLiteral("drop database if exists \"%1\"").arg(name));
        TestDatabase::OnPgServer("drop role if exists \"u}s=er\"");
        QVERIFY(TestDatabase::OnPgServer(QStringLiteral("create database \"%1\"").arg(name)));
        QVERIFY(TestDatabase::OnPgServer("create role \"u}s=er\" login"));
        QVERIFY(TestDatabase::OnPgServer(
            QStringLiteral("alter database \"%1\" owner to \"u}s=er\"").arg(name)));
        {
            QSettings ini(server.ConfigPath(), QSettings::IniFormat);
            ini.setValue("Driver/TYPE", "QODBC");
            ini.setValue("Driver/ODBC", "PostgreSQL Unicode");
            ini.setValue("DatabaseName/DATABASE", name);
            ini.setValue("UserName/UID", "u}s=er");
        }
        DbManager* manager = DbManager::Instance();
        const bool connected = manager->ConnectFromConfig(server.ConfigPath());
        QString reached;
        if (connected) {
            QSqlQuery q(manager->Database());
            if (q.exec("select current_database() || '|' || current_user") && q.next())
                reached = q.value(0).toString();
        }
        const QString why = manager->ConnectError();
        manager->Disconnect();
        TestDatabase::OnPgServer(QStringLiteral("drop database \"%1\"").arg(name));
        TestDatabase::OnPgServer("drop role \"u}s=er\"");
        QVERIFY2(connected, qPrintable(why));
        QCOMPARE(reached, QString("le}d=g{er|u}s=er"));
    }

    void freeTdsLoginCarriesTheValues()
    {
        if (!OdbcDriver::IsFreeTds("FreeTDS") || OdbcDriver::IsFreeTds("PostgreSQL Unicode"))
            QSKIP("FreeTDS not installed");
        FakeTdsServer server(FakeTdsServer::HangUpAfterLogin);
        QTemporaryDir dir;
        const QString path = dir.filePath("dBConfig.ini");
        WriteFile(path, "[Driver]\nTYPE=QODBC\nODBC=FreeTDS\n[HostName]\nIP=127.0.0.1\n"
                        "[Port]\nPORT=" +
                            QByteArray::number(server.Port()) +
                            "\n[DatabaseName]\nDATABASE=le}dg=er\n[UserName]\nUID=u;s}er\n"
                            "[Password]\nPWD=p;w}d{x\n");
        qputenv("TDSVER", "7.0"); // a login packet without encryption: names and password
        QVERIFY(!DbManager::Instance()->ConnectFromConfig(path));
        const QStringList login = server.Login();
        QCOMPARE(login, QStringList({"u;s}er", "p;w}d{x", "le}dg=er"}));
    }
};

QObject* NewConfigFileTest()
{
    return new ConfigFileTest;
}

QObject* NewConnectedTest()
{
    return new ConnectedTest;
}

QObject* NewServerConnectionTest()
{
    return new ServerConnectionTest;
}

QObject* NewOdbcStringTest()
{
    return new OdbcStringTest;
}

#include "tst_connection.moc"
