// The change history: one entry per change in the change's own transaction, no entry for a
// change not made, the hash chain that shows rows changed behind the program's back, putting
// deleted records back, and one store's history apart from another's.
#include "ChangeEntry.h"
#include "ChangeHistory.h"
#include "DatabaseEngine.h"
#include "DatabaseFixture.h"
#include "DbManager.h"
#include "StoreTables.h"
#include "TestDatabase.h"

#include <QAtomicInt>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QThread>

namespace
{

DatabaseEngine* Engine()
{
    return DatabaseEngine::Instance();
}

QList<ChangeEntry> History()
{
    QList<ChangeEntry> entries;
    if (!Engine()->LoadChangeHistory(entries))
        qWarning() << "history not loaded:" << Engine()->LastError();
    return entries;
}

QStringList Actions(const QList<ChangeEntry>& entries)
{
    QStringList actions;
    for (const ChangeEntry& e : entries)
        actions << e.action;
    return actions;
}

bool Exec(const QString& statement)
{
    QSqlQuery query(DbManager::Instance()->Database());
    if (query.exec(statement))
        return true;
    qWarning() << statement << query.lastError().text();
    return false;
}

ProductRecord Sale(const QString& serial, const QString& model, const QString& date = "2026-05-01")
{
    ProductRecord r;
    r.tab_type = 2;
    r.product_serial = serial;
    r.product_time = date;
    r.product_model = model;
    r.product_num = "3";
    r.product_price = "12.5";
    r.prodcut_remark = "O'Neil; -- 备注";
    return r;
}

QList<ProductRecord> StoredSales()
{
    QList<ProductRecord> out;
    Engine()->SelectProductRecords(5, 2, "", "", out);
    std::sort(out.begin(), out.end(), [](const ProductRecord& a, const ProductRecord& b) {
        return a.product_serial < b.product_serial;
    });
    return out;
}

// Makes every further history insert fail, as a database that refuses the entry would.
// Makes every history insert from entry `from` on fail, as a database that refuses the entry
// would.
bool RefuseHistoryWrites(TestDatabase::Backend backend, int from = 2)
{
    if (backend == TestDatabase::Sqlite)
        return Exec("create trigger refuse_log before insert on tb_sm_change_log "
                    "begin select raise(abort, 'refused'); end");
    return Exec(QString("alter table tb_sm_change_log add constraint refuse_log check "
                        "(log_seq < %1)")
                    .arg(from));
}

// The value an entry's text keeps of `column` in its row `row`; "<none>" when it keeps no such
// row.
QString Kept(const QString& text, const QString& column, int row = 0)
{
    QList<QVariantList> rows;
    if (!ChangeRows::Decode(text, {column}, rows) || row >= rows.size())
        return "<none>";
    return rows.at(row).first().toString();
}

QList<ChangeChain::Mark> Marks()
{
    return ChangeChain::Check(History());
}

} // namespace

class HistoryTest : public DatabaseFixture
{
    Q_OBJECT
private slots:
    void initTestCase() { Engine()->SetActor({"石琳", 2}); }

    void eachChangeLeavesExactlyItsEntry()
    {
        ProductRecord sale = Sale("2026-05-01 10:00:00:001", "M-1");
        QVERIFY(Engine()->SaveProductInfo(sale));
        sale.product_price = "13";
        QVERIFY(Engine()->SaveProductInfo(sale));
        QVERIFY(Engine()->SaveProductInfo(sale)); // nothing changed: no entry
        FinanceRecord rent{
            5, "2026-05-02 09:00:00:000", "房租", "1200", "2026-05-02", "", "", "", "", ""};
        QVERIFY(Engine()->SaveFinanceInfo(rent));
        QVERIFY(Engine()->DeleteFinanceInfo(rent));
        QVERIFY(Engine()->DeleteFinanceInfo(rent)); // gone already: no entry
        QVERIFY(Engine()->SaveProductInfo(Sale("2026-05-01 10:00:00:002", "M-2")));
        QVERIFY(Engine()->ClearProductInfo(2));
        QVERIFY(Engine()->ClearProductInfo(2)); // empty: no entry
        QVERIFY(Engine()->SaveListInfo(1, {3, "红;蓝"}));
        QVERIFY(Engine()->DeleteListInfo(1, 3));

        const QList<ChangeEntry> entries = History();
        QCOMPARE(Actions(entries),
                 QStringList({"add", "edit", "add", "delete", "add", "clear", "list", "list"}));
        for (qsizetype i = 0; i < entries.size(); ++i) {
            QCOMPARE(entries.at(i).seq, i + 1);
            QCOMPARE(entries.at(i).user, QString("石琳"));
            QCOMPARE(entries.at(i).role, 2);
            QCOMPARE(entries.at(i).storeNo, QString("STORE-A"));
        }
        const ChangeEntry& edit = entries.at(1);
        QCOMPARE(edit.page, StoreTables::Product);
        QCOMPARE(edit.kind, 2);
        QCOMPARE(edit.serial, sale.product_serial);
        QCOMPARE(Kept(edit.before, "product_price"), QString("12.5"));
        QCOMPARE(Kept(edit.after, "product_price"), QString("13"));
        QCOMPARE(Kept(edit.before, "product_time"), QString("2026-05-01"));
        QCOMPARE(Kept(entries.at(3).before, "ie_item"), QString("房租"));
        QVERIFY(entries.at(3).after.isEmpty());
        // The clear keeps every deleted row's values, the edited sale and the second one.
        QList<QVariantList> cleared;
        QVERIFY(
            ChangeRows::Decode(entries.at(5).before, {"product_serial", "product_price"}, cleared));
        QCOMPARE(cleared, QList<QVariantList>(
                              {{sale.product_serial, "13"}, {"2026-05-01 10:00:00:002", "12.5"}}));
        QCOMPARE(entries.at(5).kind, 2);
    }

    void userChangesAndSignInsNeverHoldAPassword()
    {
        UserRecord clerk{3, 0, "13800000000", "崔桂峰", "secret-777", "", ""};
        QVERIFY(Engine()->SaveUserInfo(clerk));
        clerk.user_password = "secret-888";
        QVERIFY(Engine()->SaveUserInfo(clerk));
        UserRecord other{4, 0, "139", "曾英", "secret-999", "", ""};
        clerk.user_password = "secret-000";
        QVERIFY(Engine()->ReplaceUserAccounts({clerk, other}));
        QVERIFY(Engine()->DeleteUserInfo(other));
        QVERIFY(Engine()->RecordSignIn("崔桂峰", 3, true));
        QVERIFY(Engine()->RecordSignIn("nobody", 0, false));

        const QList<ChangeEntry> entries = History();
        QCOMPARE(Actions(entries),
                 QStringList({"user", "user", "user", "user", "sign-in", "failed-sign-in"}));
        QVERIFY(entries.at(0).before.isEmpty());
        QVERIFY(entries.at(0).after.contains("崔桂峰"));
        QCOMPARE(entries.at(1).note, QString("密码已修改"));
        QVERIFY(entries.at(2).note.contains("崔桂峰"));
        QVERIFY(entries.at(2).after.contains("曾英"));
        QCOMPARE(entries.at(4).user, QString("崔桂峰"));
        QCOMPARE(entries.at(4).role, 3);
        QCOMPARE(entries.at(5).user, QString("nobody"));
        for (const ChangeEntry& e : entries) {
            const QString all = e.before + e.after + e.note;
            QVERIFY2(!all.contains("secret") && !all.contains("user_password"), qPrintable(all));
        }
    }

    void aRefusedChangeLeavesNoEntryAndARefusedEntryNoChange()
    {
        QVERIFY(Engine()->SaveProductInfo(Sale("2026-05-01 10:00:00:001", "M-1")));
        ProductRecord refused = Sale("2026-05-01 10:00:00:002", "M-2");
        if (db->Kind() == TestDatabase::Sqlite) {
            QVERIFY(Exec("create trigger refuse_sale before insert on tb_sm_product_info when "
                         "new.product_model='M-2' begin select raise(abort, 'refused'); end"));
        } else {
            refused.product_model = QString(60, 'x'); // longer than its column
        }
        QVERIFY(!Engine()->SaveProductInfo(refused));
        QCOMPARE(History().size(), 1);

        QVERIFY(RefuseHistoryWrites(db->Kind()));
        ProductRecord edited = Sale("2026-05-01 10:00:00:001", "M-9");
        QVERIFY(!Engine()->SaveProductInfo(edited));
        QVERIFY(!Engine()->DeleteProductInfo(edited));
        QVERIFY(!Engine()->ClearProductInfo(2));
        QVERIFY(!Engine()->SaveUserInfo({3, 0, "1", "x", "p", "", ""}));
        QCOMPARE(StoredSales(), QList<ProductRecord>({Sale("2026-05-01 10:00:00:001", "M-1")}));
        QCOMPARE(TestDatabase::Scalar("select count(*) from tb_sm_user"), 0);
        QCOMPARE(History().size(), 1);
    }

    void theChainShowsRowsChangedBehindTheProgramsBack()
    {
        for (int i = 1; i <= 5; ++i)
            QVERIFY(Engine()->SaveProductInfo(
                Sale(QString("2026-05-01 10:00:00:00%1").arg(i), QString("M-%1").arg(i))));
        using M = ChangeChain::Mark;
        QCOMPARE(Marks(), QList<M>(5, M::Sound));

        // An edited row: its own hash no longer fits.
        QVERIFY(Exec("update tb_sm_change_log set log_user='someone' where log_seq=2"));
        QCOMPARE(Marks(), QList<M>({M::Sound, M::Altered, M::Sound, M::Sound, M::Sound}));

        // A deleted row: the next one no longer follows on.
        QVERIFY(Exec("delete from tb_sm_change_log where log_seq=4"));
        QCOMPARE(Marks(), QList<M>({M::Sound, M::Altered, M::Sound, M::Broken}));

        // A row put in its place, even with a hash made the program's way.
        QList<ChangeEntry> entries = History();
        ChangeEntry forged = entries.at(2);
        forged.seq = 4;
        forged.prev = entries.at(2).hash;
        forged.serial = "forged";
        forged.hash = ChangeChain::Hash(forged);
        QSqlQuery insert(DbManager::Instance()->Database());
        QVERIFY(insert.prepare(
            "insert into tb_sm_change_log(log_seq,log_time,store_no,log_user,log_role,log_action,"
            "log_page,log_kind,log_serial,log_before,log_after,log_note,log_prev,log_hash) "
            "values(?,?,?,?,?,?,?,?,?,?,?,?,?,?)"));
        for (const QVariant& v :
             QVariantList{forged.seq, forged.time, forged.storeNo, forged.user, forged.role,
                          forged.action, forged.page, forged.kind, forged.serial, forged.before,
                          forged.after, forged.note, forged.prev, forged.hash})
            insert.addBindValue(v);
        QVERIFY2(insert.exec(), qPrintable(insert.lastError().text()));
        QCOMPARE(Marks(), QList<M>({M::Sound, M::Altered, M::Sound, M::Sound, M::Broken}));

        // Changes go on being recorded after the break, chained to the last entry.
        QVERIFY(Engine()->SaveProductInfo(Sale("2026-05-01 10:00:00:009", "M-9")));
        QCOMPARE(Marks().last(), M::Sound);
    }

    void recoveringPutsBackExactlyTheDeletedRecords()
    {
        QList<ProductRecord> sales = {Sale("2026-05-01 10:00:00:001", "M-1"),
                                      Sale("2026-05-01 10:00:00:002", "型号'2", ""),
                                      Sale("2026-05-01 10:00:00:003", "")};
        sales[2].product_num = "";
        for (const ProductRecord& r : sales)
            QVERIFY(Engine()->SaveProductInfo(r));
        QVERIFY(Engine()->DeleteProductInfo(sales.at(0)));
        QVERIFY(Engine()->ClearProductInfo(2));
        QCOMPARE(StoredSales(), QList<ProductRecord>());

        const QList<ChangeEntry> entries = History();
        QVERIFY(Engine()->RecoverDeleted(entries.at(4)));
        QCOMPARE(StoredSales(), sales.mid(1));
        QVERIFY(Engine()->RecoverDeleted(entries.at(3)));
        QCOMPARE(StoredSales(), sales);
        // Once back, they are not put back a second time.
        QVERIFY(!Engine()->RecoverDeleted(entries.at(4)));
        QVERIFY(Engine()->LastError().contains("已经存在"));
        QCOMPARE(StoredSales(), sales);
        QVERIFY(!Engine()->RecoverDeleted(entries.at(0))); // an addition has nothing to put back

        const QList<ChangeEntry> after = History();
        QCOMPARE(Actions(after).mid(5), QStringList({"recover", "recover"}));
        QVERIFY(after.at(5).note.contains("2 条"));
        QCOMPARE(ChangeChain::Check(after), QList<ChangeChain::Mark>(7, ChangeChain::Mark::Sound));
    }

    void otherStoresHistoryNeverShows()
    {
        QVERIFY(Engine()->SaveProductInfo(Sale("2026-05-01 10:00:00:001", "M-1")));
        Engine()->SetStoreNo("STORE-B");
        QVERIFY(Engine()->SaveProductInfo(Sale("2026-05-01 10:00:00:001", "B-1")));
        QVERIFY(Engine()->SaveProductInfo(Sale("2026-05-01 10:00:00:002", "B-2")));
        const QList<ChangeEntry> b = History();
        QCOMPARE(b.size(), 2);
        QCOMPARE(b.first().seq, 1);
        QCOMPARE(ChangeChain::Check(b), QList<ChangeChain::Mark>(2, ChangeChain::Mark::Sound));
        Engine()->SetStoreNo("STORE-A");
        const QList<ChangeEntry> a = History();
        QCOMPARE(a.size(), 1);
        QVERIFY(a.first().after.contains("M-1"));
        // A deleted entry of one store's chain does not count against another's.
        QVERIFY(Exec("delete from tb_sm_change_log where store_no='STORE-B' and log_seq=1"));
        QCOMPARE(Marks(), QList<ChangeChain::Mark>({ChangeChain::Mark::Sound}));
    }

    void aBatchKeepsTheUpdatedRowsAndARestoreIsOneEntry()
    {
        // A text the server takes apart by its tabs, line ends and backslashes comes back whole.
        ProductRecord old = Sale("2026-05-01 10:00:00:001", "old");
        old.prodcut_remark = "第一行\n\t第二行 \\N \\ 'O\"Neil'";
        QVERIFY(Engine()->SaveProductInfo(old));
        QList<QVariantList> before;
        const QList<ProductRecord> batch = {Sale("2026-05-01 10:00:00:001", "new"),
                                            Sale("2026-05-01 10:00:00:002", "added")};
        for (const BatchResult& r : Engine()->SaveProductBatch(batch, &before))
            QCOMPARE(r.error, QString());
        QCOMPARE(before.size(), 1);
        QVERIFY(Engine()->RecordImport("sales.xls", StoreTables::Product, 2, "新增 1 行,更新 1 行",
                                       before));
        QList<ChangeEntry> entries = History();
        QCOMPARE(Actions(entries), QStringList({"add", "import"}));
        QCOMPARE(Kept(entries.last().before, "product_model"), QString("old"));
        QCOMPARE(Kept(entries.last().before, "prodcut_remark"), old.prodcut_remark);
        QCOMPARE(Kept(entries.last().before, "product_time"), QString("2026-05-01"));
        QCOMPARE(Kept(entries.last().before, "product_model", 1), QString("<none>"));
        QVERIFY(entries.last().note.startsWith("sales.xls"));

        const QString path = db->WorkDir() + "/backup.sql";
        QVERIFY(Engine()->BackupToScript(path).ok);
        const RestoreResult restored = Engine()->RestoreFromScript(path);
        QVERIFY2(restored.ok, qPrintable(restored.error));
        entries = History();
        QCOMPARE(Actions(entries), QStringList({"add", "import", "restore"}));
        QVERIFY(entries.last().note.contains("backup.sql"));
        QVERIFY(entries.last().note.contains("还原 2 条"));
        QCOMPARE(ChangeChain::Check(entries),
                 QList<ChangeChain::Mark>(3, ChangeChain::Mark::Sound));

        // A restore whose entry cannot be written restores nothing.
        QVERIFY(Engine()->DeleteProductInfo(batch.at(1)));
        QVERIFY(RefuseHistoryWrites(db->Kind(), 5));
        QVERIFY(!Engine()->RestoreFromScript(path).ok);
        QCOMPARE(StoredSales().size(), 1);
    }

    void writersAtOnceNeverForkTheChain()
    {
        constexpr int Writers = 3;
        constexpr int Saves = 15;
        QList<QThread*> threads;
        QAtomicInt failed = 0;
        for (int w = 0; w < Writers; ++w) {
            threads << QThread::create([w, &failed] {
                for (int i = 0; i < Saves; ++i) {
                    if (!Engine()->SaveProductInfo(
                            Sale(QString("2026-05-01 10:%1:%2").arg(w).arg(i), "M")))
                        failed.fetchAndAddRelaxed(1);
                }
            });
            threads.last()->start();
        }
        for (QThread* t : threads) {
            QVERIFY(t->wait(120000));
            delete t;
        }
        QCOMPARE(failed.loadRelaxed(), 0);
        const QList<ChangeEntry> entries = History();
        QCOMPARE(entries.size(), Writers * Saves);
        QCOMPARE(ChangeChain::Check(entries),
                 QList<ChangeChain::Mark>(Writers * Saves, ChangeChain::Mark::Sound));
    }

    void anInstallationWithoutTheTableGetsItWithTheFirstChange()
    {
        QVERIFY(!DbManager::Instance()->Database().tables().contains(ChangeHistory::Table));
        QVERIFY(Engine()->SaveProductInfo(Sale("2026-05-01 10:00:00:001", "M-1")));
        QVERIFY(DbManager::Instance()->Database().tables().contains(ChangeHistory::Table));
        // The place in the chain is unique in the table itself, whoever writes to it.
        QVERIFY(!Exec("insert into tb_sm_change_log(log_seq,store_no) values(1,'STORE-A')"));
    }
};

QObject* NewHistoryTest()
{
    return new HistoryTest;
}

#include "tst_history.moc"
