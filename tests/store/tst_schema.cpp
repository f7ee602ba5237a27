// Connection, table creation and connections per thread.
#include "DatabaseEngine.h"
#include "DatabaseFixture.h"
#include "DbManager.h"
#include "StoreTables.h"
#include "TestDatabase.h"

#include <QElapsedTimer>
#include <QSettings>
#include <QSqlQuery>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

namespace
{

// The five tables of the ledger (the additive ones, such as the change history, left out).
QStringList OwnTables()
{
    QStringList tables = DbManager::Instance()->Database().tables(QSql::Tables);
    tables.removeIf([](const QString& t) { return !StoreTables::IsKnown(t); });
    tables.sort();
    return tables;
}

// Whether a key constraint of that name exists (SQLite keeps it in the table's text).
bool HasConstraint(TestDatabase::Backend backend, const QString& table, const QString& name)
{
    if (backend == TestDatabase::Sqlite) {
        QSqlQuery q(DbManager::Instance()->Database());
        q.exec(QStringLiteral("select sql from sqlite_master where name='%1'").arg(table));
        return q.next() && q.value(0).toString().contains(" " + name + " ");
    }
    return TestDatabase::Scalar(QStringLiteral("select count(*) from pg_constraint c join "
                                               "pg_class t on t.oid=c.conrelid where "
                                               "c.conname='%1' and t.relname='%2'")
                                    .arg(name, table)) == 1;
}

ProductRecord Goods(const QString& serial)
{
    ProductRecord r;
    r.tab_type = 2;
    r.product_serial = serial;
    r.product_time = "2024-05-01";
    r.product_model = "M-1";
    return r;
}

} // namespace

class SchemaTest : public DatabaseFixture
{
    Q_OBJECT
private slots:
    void firstStartCreatesTheFiveTables()
    {
        QCOMPARE(OwnTables(),
                 QStringList({"tb_sm_finance_info", "tb_sm_person_info", "tb_sm_prestore_info",
                              "tb_sm_product_info", "tb_sm_user"}));
        QVERIFY(HasConstraint(db->Kind(), "tb_sm_product_info", "pkid"));
        QVERIFY(HasConstraint(db->Kind(), "tb_sm_user", "pk_tb_sm_user"));
        QVERIFY(HasConstraint(db->Kind(), "tb_sm_prestore_info", "pk_tb_sm_prestore_info"));
    }

    void laterStartsCreateNothingAndKeepRows()
    {
        QVERIFY(DatabaseEngine::Instance()->SaveProductInfo(Goods("kept")));
        QVERIFY(DbManager::Instance()->ConnectFromConfig(db->ConfigPath()));
        QCOMPARE(DbManager::Instance()->ErrorText(),
                 QString("CteateTable (tb_sm_user) Failed2!\nReason: Table is exist!"));
        QCOMPARE(TestDatabase::Scalar("select count(*) from tb_sm_product_info"), 1);
        QVERIFY(!DbManager::Instance()->CreateTable("tb_sm_x", {"a", "b"}, {"int"}));
    }

    void aDroppedTableIsRecreatedAlone()
    {
        QVERIFY(DatabaseEngine::Instance()->SaveProductInfo(Goods("kept")));
        QSqlQuery(DbManager::Instance()->Database()).exec("drop table tb_sm_finance_info");
        QCOMPARE(OwnTables().size(), 4);
        QVERIFY(DbManager::Instance()->ConnectFromConfig(db->ConfigPath()));
        QCOMPARE(OwnTables().size(), 5);
        QVERIFY(HasConstraint(db->Kind(), "tb_sm_finance_info", "pk_tb_sm_finance_info"));
        QCOMPARE(TestDatabase::Scalar("select count(*) from tb_sm_product_info"), 1);
    }

    void threadsSaveThroughTheirOwnConnections()
    {
        constexpr int PerThread = 150;
        QList<QThread*> threads;
        for (int t = 0; t < 3; ++t) {
            threads << QThread::create([t] {
                for (int i = 0; i < PerThread; ++i)
                    DatabaseEngine::Instance()->SaveProductInfo(
                        Goods(QStringLiteral("t%1-%2").arg(t).arg(i)));
            });
        }
        for (QThread* thread : threads)
            thread->start();
        for (int i = 0; i < PerThread; ++i)
            QVERIFY(DatabaseEngine::Instance()->SaveProductInfo(Goods(QString("main-%1").arg(i))));
        for (QThread* thread : threads) {
            QVERIFY(thread->wait(120000));
            delete thread;
        }
        QCOMPARE(TestDatabase::Scalar("select count(*) from tb_sm_product_info"), 4 * PerThread);
    }
};

// Connections that cannot be made: no crash, a bounded wait, and every statement failing.
class ConnectionFailureTest : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { DbManager::Instance()->Disconnect(); }

    void missingConfigurationFails()
    {
        QTemporaryDir dir;
        QVERIFY(!DbManager::Instance()->ConnectFromConfig(dir.filePath("InitParam/dBConfig.ini")));
        DatabaseEngine* engine = DatabaseEngine::Instance();
        engine->SetDbManager(DbManager::Instance());
        QVERIFY(!engine->SaveProductInfo(Goods("x")));
        QVERIFY(!engine->LastError().isEmpty());
        QList<ProductRecord> out;
        QVERIFY(!engine->SelectProductRecords(5, -1, "", "", out));
        QCOMPARE(engine->CheckUserPassword("admin", "407152"), DatabaseEngine::Answer::Failed);
        QCOMPARE(engine->HasUserAccounts(), DatabaseEngine::Answer::Failed);
    }

    void silentServerFailsWithinSeconds()
    {
        // A port that takes the connection and then never answers.
        QTcpServer silent;
        QVERIFY(silent.listen(QHostAddress::LocalHost));
        QTemporaryDir dir;
        const QString path = dir.filePath("dBConfig.ini");
        {
            QSettings ini(path, QSettings::IniFormat);
            ini.setValue("Driver/TYPE", "QPSQL");
            ini.setValue("HostName/IP", "127.0.0.1");
            ini.setValue("Port/PORT", silent.serverPort());
            ini.setValue("DatabaseName/DATABASE", "ledger");
        }
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!DbManager::Instance()->ConnectFromConfig(path));
        QVERIFY(timer.elapsed() < 60000); // not the minutes of an unbounded wait
        QVERIFY(!DbManager::Instance()->IsConnected());
    }
};

QObject* NewSchemaTest()
{
    return new SchemaTest;
}

QObject* NewConnectionFailureTest()
{
    return new ConnectionFailureTest;
}

#include "tst_schema.moc"
