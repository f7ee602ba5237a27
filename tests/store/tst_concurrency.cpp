// Several writers saving the same keys at once, and updates whose affected-row count cannot be
// trusted: a save never leaves a second row for one key.
#include "DatabaseEngine.h"
#include "DatabaseFixture.h"
#include "DbManager.h"
#include "SharedKeys.h"
#include "TestDatabase.h"
#include "WriteTransaction.h"

#include <QProcess>
#include <QSemaphore>
#include <QSqlQuery>
#include <QTest>
#include <QThread>
#include <memory>

class ConcurrencyTest : public DatabaseFixture
{
    Q_OBJECT
    DatabaseEngine* engine = DatabaseEngine::Instance();

private slots:
    void twoThreadsSavingTheSameKeysKeepOneRowEach()
    {
        QSemaphore mainAtKey;
        QSemaphore threadAtKey;
        int failedThere = -1;
        std::unique_ptr<QThread> other(QThread::create([&] {
            failedThere = SharedKeys::SaveAll(QStringLiteral("thread"), [&] {
                threadAtKey.release();
                mainAtKey.acquire();
            });
        }));
        other->start();
        const int failedHere = SharedKeys::SaveAll(QStringLiteral("main"), [&] {
            mainAtKey.release();
            threadAtKey.acquire();
        });
        QVERIFY(other->wait(300000));
        QCOMPARE(failedHere, 0);
        QCOMPARE(failedThere, 0);
        QCOMPARE(SharedKeys::RepeatedKeys(), 0);
    }

    void twoProcessesSavingTheSameKeysKeepOneRowEach()
    {
        QProcess writer;
        writer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        writer.start(QStringLiteral(STORE_WRITER),
                     {db->ConfigPath(), engine->StoreNo(), QStringLiteral("process")});
        QVERIFY(writer.waitForReadyRead(60000));
        QCOMPARE(writer.readLine().trimmed(), QByteArray("ready"));
        writer.write("go\n");
        QVERIFY(writer.waitForBytesWritten(10000)); // before this process is busy saving
        QCOMPARE(SharedKeys::SaveAll(QStringLiteral("test")), 0);
        QVERIFY(writer.waitForFinished(300000));
        QCOMPARE(writer.exitStatus(), QProcess::NormalExit);
        QCOMPARE(writer.exitCode(), 0);
        QCOMPARE(SharedKeys::RepeatedKeys(), 0);
    }

    void aSaveWaitsItsTurnBeyondOneBusyTimeout()
    {
        if (db->Kind() != TestDatabase::Sqlite)
            QSKIP("servers queue their writers themselves");
        // Another connection keeps the write lock a little longer than the busy timeout.
        QSemaphore locked;
        std::unique_ptr<QThread> other(QThread::create([&] {
            QSqlQuery hold(DbManager::Instance()->Database());
            hold.exec("BEGIN IMMEDIATE");
            locked.release();
            QThread::msleep(6500);
            hold.exec("COMMIT");
        }));
        other->start();
        locked.acquire();
        ProductRecord r;
        r.product_serial = "2024-06-01 12:00:00:000";
        QVERIFY2(engine->SaveProductInfo(r), qPrintable(engine->LastError()));
        QVERIFY(other->wait(60000));
        QCOMPARE(TestDatabase::Scalar("select count(*) from tb_sm_product_info"), 1);
    }

    void anUpdateReportingNoRowsAddsNoRow()
    {
        // The database skips every update and so reports no affected row, as a driver that
        // reports no count at all (SQL Server with NOCOUNT on) would.
        QSqlQuery skip(DbManager::Instance()->Database());
        if (db->Kind() == TestDatabase::Sqlite) {
            QVERIFY(skip.exec("create trigger skip before update on tb_sm_product_info "
                              "begin select raise(ignore); end"));
        } else {
            QVERIFY(skip.exec("create function skip() returns trigger as $$ begin return null; "
                              "end $$ language plpgsql"));
            QVERIFY(skip.exec("create trigger skip before update on tb_sm_product_info for each "
                              "row execute function skip()"));
        }
        ProductRecord r;
        r.tab_type = 1;
        r.product_serial = "2024-06-01 11:00:00:000";
        for (int save = 0; save < 3; ++save)
            QVERIFY2(engine->SaveProductInfo(r), qPrintable(engine->LastError()));
        QCOMPARE(TestDatabase::Scalar("select count(*) from tb_sm_product_info"), 1);
    }

    // Many keys are locked in one statement, each exactly as a single save locks it, so a batch
    // and a single save of the same key still wait for each other, whatever the key holds.
    void keysLockedTogetherAreTheKeysLockedOneByOne()
    {
        if (db->Kind() == TestDatabase::Sqlite)
            QSKIP("SQLite locks the whole database for a write");
        const QStringList keys = {"quote\"d", "comma,brace{}", "NULL", "back\\slash", "", "店 1"};
        WriteTransaction batch(DbManager::Instance()->Database());
        QVERIFY(batch.IsOpen());
        QVERIFY2(batch.LockKeys(keys), qPrintable(batch.ErrorText()));
        QSqlDatabase other =
            QSqlDatabase::cloneDatabase(DbManager::Instance()->Database(), "other-locker");
        {
            QVERIFY(other.open());
            QSqlQuery tryLock(other);
            QVERIFY(tryLock.prepare("select pg_try_advisory_lock(hashtext(cast(? as text)))"));
            for (const QString& key : keys) {
                tryLock.addBindValue(key);
                QVERIFY(tryLock.exec() && tryLock.next());
                QVERIFY2(!tryLock.value(0).toBool(), qPrintable(key));
            }
            tryLock.addBindValue(QStringLiteral("not locked"));
            QVERIFY(tryLock.exec() && tryLock.next() && tryLock.value(0).toBool());
        }
        other.close();
        other = QSqlDatabase();
        QSqlDatabase::removeDatabase("other-locker");
    }
};

QObject* NewConcurrencyTest()
{
    return new ConcurrencyTest;
}

#include "tst_concurrency.moc"
