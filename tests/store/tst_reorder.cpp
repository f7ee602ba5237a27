// The reorder levels: their table made when first needed, saves by key, one store's levels apart
// from another's, and their place outside backups.
#include "DatabaseEngine.h"
#include "DatabaseFixture.h"
#include "DbManager.h"
#include "ReorderLevels.h"
#include "TestDatabase.h"

#include <QFile>
#include <QSqlQuery>
#include <QTest>

namespace
{

bool HasReorderTable()
{
    return DbManager::Instance()->Database().tables(QSql::Tables).contains(ReorderLevels::Table);
}

ReorderLevels Levels(const QString& store = QString())
{
    return ReorderLevels(*DbManager::Instance(),
                         store.isEmpty() ? DatabaseEngine::Instance()->StoreNo() : store);
}

QList<ReorderLevel> Loaded(ReorderLevels levels)
{
    QList<ReorderLevel> out;
    if (!levels.Load(out))
        qWarning() << "levels not loaded:" << levels.LastError();
    return out;
}

ProductRecord Sale(const QString& serial)
{
    ProductRecord r;
    r.tab_type = 2;
    r.product_serial = serial;
    r.product_time = "2026-05-01";
    r.product_model = "M-1";
    r.product_num = "3";
    return r;
}

} // namespace

class ReorderTest : public DatabaseFixture
{
    Q_OBJECT
private slots:
    void anInstallationWithoutTheTableWorksAndGetsItWhenFirstNeeded()
    {
        // Connecting neither needs nor makes it: older installations share this database.
        QVERIFY(!HasReorderTable());
        QVERIFY(DatabaseEngine::Instance()->SaveProductInfo(Sale("before")));
        QCOMPARE(Loaded(Levels()), QList<ReorderLevel>());
        QVERIFY(HasReorderTable());
        QCOMPARE(TestDatabase::Scalar("select count(*) from tb_sm_product_info"), 1);
        // A second installation finds it made; nothing is made twice.
        QVERIFY(Levels().EnsureTable());
        QVERIFY(DbManager::Instance()->ConnectFromConfig(db->ConfigPath()));
        QVERIFY(DatabaseEngine::Instance()->SaveProductInfo(Sale("after")));
        QCOMPARE(TestDatabase::Scalar("select count(*) from tb_sm_product_info"), 2);
        // The key is unique in the table itself, whoever writes to it.
        const QString insert = "insert into tb_sm_reorder_info(reorder_model,reorder_color,"
                               "reorder_store,reorder_num,store_no) values('M','','P','1','S')";
        QVERIFY(QSqlQuery(DbManager::Instance()->Database()).exec(insert));
        QVERIFY(!QSqlQuery(DbManager::Instance()->Database()).exec(insert));
    }

    void aSaveReplacesByKeyAndALevelOfNothingRemoves()
    {
        ReorderLevels levels = Levels();
        QVERIFY(levels.Save(
            {{"M-1", "红", "1-A-1", 5}, {"M-1", "", "1-A-1", 2.5}, {"O'Neil;--", "蓝", "", 3}}));
        QVERIFY(levels.Save(
            {{"M-1", "红", "1-A-1", 7}, {"M-1", "", "1-A-1", 0}, {"never stored", "", "", 0}}));
        QCOMPARE(Loaded(levels),
                 QList<ReorderLevel>({{"M-1", "红", "1-A-1", 7}, {"O'Neil;--", "蓝", "", 3}}));
        QCOMPARE(TestDatabase::Scalar("select count(*) from tb_sm_reorder_info"), 2);
        // Blanks are stored as empty texts, so the key finds them again.
        QCOMPARE(TestDatabase::Scalar("select count(*) from tb_sm_reorder_info where "
                                      "reorder_store='' and reorder_num='3'"),
                 1);
        QCOMPARE(TestDatabase::Scalar(
                     "select count(*) from tb_sm_reorder_info where reorder_color is null"),
                 0);
    }

    void eachStoreNumberKeepsItsOwnLevels()
    {
        QVERIFY(Levels().Save({{"M-1", "红", "1-A-1", 5}}));
        QVERIFY(Levels("STORE-B").Save({{"M-1", "红", "1-A-1", 9}, {"M-2", "", "", 1}}));
        QCOMPARE(Loaded(Levels()), QList<ReorderLevel>({{"M-1", "红", "1-A-1", 5}}));
        QVERIFY(Levels().Save({{"M-1", "红", "1-A-1", 0}}));
        QCOMPARE(Loaded(Levels()), QList<ReorderLevel>());
        QCOMPARE(Loaded(Levels("STORE-B")),
                 QList<ReorderLevel>({{"M-1", "红", "1-A-1", 9}, {"M-2", "", "", 1}}));
    }

    void aRefusedLevelLeavesEveryLevelAsItWas()
    {
        if (db->Kind() == TestDatabase::Sqlite)
            QSKIP("SQLite stores texts of any length");
        QVERIFY(Levels().Save({{"M-1", "红", "", 5}}));
        ReorderLevels levels = Levels();
        QVERIFY(!levels.Save({{"M-1", "红", "", 8}, {QString(60, 'x'), "", "", 1}}));
        QVERIFY(!levels.LastError().isEmpty());
        QCOMPARE(Loaded(Levels()), QList<ReorderLevel>({{"M-1", "红", "", 5}}));
    }

    void backupsLeaveTheLevelsOutAndRestoresLeaveThemAlone()
    {
        QVERIFY(DatabaseEngine::Instance()->SaveProductInfo(Sale("kept")));
        QVERIFY(Levels().Save({{"M-1", "红", "1-A-1", 5}}));
        const QString path = db->WorkDir() + "/backup.sql";
        QVERIFY(DatabaseEngine::Instance()->BackupToScript(path).ok);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(!file.readAll().contains("reorder"));
        QVERIFY(DatabaseEngine::Instance()->RestoreFromScript(path).ok);
        QCOMPARE(Loaded(Levels()), QList<ReorderLevel>({{"M-1", "红", "1-A-1", 5}}));
    }
};

QObject* NewReorderTest()
{
    return new ReorderTest;
}

#include "tst_reorder.moc"
