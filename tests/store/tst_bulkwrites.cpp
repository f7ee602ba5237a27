// Bulk writes of stored records: the batched update and a batch save that updates, on every back
// end, across statement and transaction borders, with values a statement text could not hold.
#include "BulkInserter.h"
#include "BulkLimits.h"
#include "BulkUpdater.h"
#include "DatabaseEngine.h"
#include "DatabaseFixture.h"
#include "DbManager.h"
#include "LedgerColumns.h"
#include "Schema.h"
#include "StoreTables.h"
#include "TestDatabase.h"

#include <QSqlQuery>
#include <QTest>
#include <algorithm>

namespace
{

const QString RefusedDate = QStringLiteral("2024-02-30");

ProductRecord Goods(int i)
{
    ProductRecord r;
    for (int c = 0; c < ProductRecord::TextCount; ++c)
        r.Text(c) = QStringLiteral("v%1-%2").arg(c).arg(i);
    r.product_serial = QStringLiteral("2024-03-15 10:00:%1:000").arg(i, 5, 10, QChar('0'));
    r.product_time = QStringLiteral("2024-03-15");
    return r;
}

// The record as a second import brings it: texts with quotes, backslashes and Chinese, and every
// tenth without a date.
ProductRecord Changed(const ProductRecord& stored, int i)
{
    ProductRecord r = stored;
    r.product_name = QStringLiteral("李'四 \"双面呢\" 大衣 %1").arg(i);
    r.product_color = QStringLiteral("C:\\路径\\'); drop table x; --");
    r.product_num = QString::number(i % 7);
    r.prodcut_remark = QStringLiteral("备注\n第二行 %1").arg(i);
    r.product_time =
        i % 10 == 0 ? QString() : QStringLiteral("2024-04-%1").arg(1 + i % 28, 2, 10, QChar('0'));
    return r;
}

const TableSchema& GoodsTable()
{
    const QList<TableSchema>& tables = Schema::Tables();
    return *std::find_if(tables.cbegin(), tables.cend(),
                         [](const TableSchema& t) { return t.name == StoreTables::Product; });
}

// Kind, serial and store number identify a goods row.
QList<int> GoodsKey()
{
    return {0, 1, int(GoodsTable().columns.size()) - 1};
}

QVariantList Values(const ProductRecord& r)
{
    return LedgerColumns::ProductRow(r, DatabaseEngine::Instance()->StoreNo()).values;
}

QList<ProductRecord> Stored()
{
    QList<ProductRecord> out;
    DatabaseEngine::Instance()->SelectProductRecords(5, -1, "", "", out);
    std::sort(out.begin(), out.end(), [](const ProductRecord& a, const ProductRecord& b) {
        return a.product_serial < b.product_serial;
    });
    return out;
}

QList<ProductRecord> StoreGoods(int count)
{
    QList<ProductRecord> records;
    for (int i = 0; i < count; ++i)
        records << Goods(i);
    const auto results = DatabaseEngine::Instance()->SaveProductBatch(records);
    for (const auto& r : results) {
        if (r.outcome != DatabaseEngine::BatchResult::Inserted)
            qWarning() << "not inserted:" << r.error;
    }
    return records;
}

} // namespace

class BulkWritesTest : public DatabaseFixture
{
    Q_OBJECT
    DatabaseEngine* engine = DatabaseEngine::Instance();

private slots:
    void updaterSetsEveryRowAcrossStatementBorders()
    {
        QList<ProductRecord> records = StoreGoods(25);
        for (int i = 0; i < records.size(); ++i)
            records[i] = Changed(records[i], i);
        QSqlDatabase connection = DbManager::Instance()->Database();
        QVERIFY(connection.transaction());
        {
            // Six full statements of four rows and a last one of one.
            BulkUpdater updater(connection, GoodsTable(), GoodsKey(), 4);
            for (int i = 0; i < records.size(); ++i)
                QVERIFY2(updater.Add(Values(records[i]), i), qPrintable(updater.Error()));
            QVERIFY2(updater.Flush(), qPrintable(updater.Error()));
            QVERIFY(updater.TakeMissing().isEmpty());
            QCOMPARE(updater.Updated(), 25);
        }
        QVERIFY(connection.commit());
        QCOMPARE(Stored(), records);
    }

    void updaterNamesTheRowsNoLongerStored()
    {
        QList<ProductRecord> records = StoreGoods(10);
        QVERIFY(engine->DeleteProductInfo(records[3]));
        QVERIFY(engine->DeleteProductInfo(records[7]));
        QSqlDatabase connection = DbManager::Instance()->Database();
        QVERIFY(connection.transaction());
        {
            BulkUpdater updater(connection, GoodsTable(), GoodsKey(), 5);
            for (int i = 0; i < records.size(); ++i) {
                records[i] = Changed(records[i], i);
                QVERIFY(updater.Add(Values(records[i]), 100 + i));
            }
            QVERIFY(updater.Flush());
            QCOMPARE(updater.TakeMissing(), QList<int>({103, 107}));
            QCOMPARE(updater.Updated(), 8);
        }
        QVERIFY(connection.commit());
        records.removeAt(7);
        records.removeAt(3);
        QCOMPARE(Stored(), records);
    }

    // An account the server lets make no temporary tables still has its rows updated.
    void updaterWorksForAnAccountWithoutTemporaryTables()
    {
        if (db->Kind() != TestDatabase::Postgres)
            QSKIP("only PostgreSQL stages updated rows in a temporary table");
        QList<ProductRecord> records = StoreGoods(6);
        QSqlQuery setup(DbManager::Instance()->Database());
        TestDatabase::OnPgServer(QStringLiteral("drop role if exists ledger_no_temp"));
        QVERIFY(setup.exec(QStringLiteral("create role ledger_no_temp")));
        QVERIFY(setup.exec(
            QStringLiteral("grant select,update on tb_sm_product_info to ledger_no_temp")));
        QVERIFY(setup.exec(QStringLiteral("revoke temporary on database %1 from public")
                               .arg(db->ServerDatabase())));
        QSqlDatabase connection = DbManager::Instance()->Database();
        QVERIFY(connection.transaction());
        QVERIFY(setup.exec(QStringLiteral("set local role ledger_no_temp")));
        {
            BulkUpdater updater(connection, GoodsTable(), GoodsKey());
            for (int i = 0; i < records.size(); ++i) {
                records[i] = Changed(records[i], i);
                QVERIFY2(updater.Add(Values(records[i]), i), qPrintable(updater.Error()));
            }
            QVERIFY2(updater.Flush(), qPrintable(updater.Error()));
            QCOMPARE(updater.Updated(), 6);
        }
        QVERIFY(connection.commit());
        QVERIFY(setup.exec(QStringLiteral("drop owned by ledger_no_temp")));
        QVERIFY(setup.exec(QStringLiteral("drop role ledger_no_temp")));
        QCOMPARE(Stored(), records);
    }

    // More rows than a transaction holds, so that the updates cross the borders of statements
    // (a hundred rows, 95 through ODBC) and of transactions; one of them refused.
    void batchSaveUpdatesStoredRecordsAndLeavesOutTheRefusedOne()
    {
        const int count = DatabaseEngine::BatchRows + 100;
        const QList<ProductRecord> before = StoreGoods(count);
        QCOMPARE(Stored().size(), count);
        if (db->Kind() == TestDatabase::Sqlite) {
            QSqlQuery query(DbManager::Instance()->Database());
            QVERIFY(query.exec(QStringLiteral("create trigger refuse_date before update on "
                                              "tb_sm_product_info when new.product_time='%1' "
                                              "begin select raise(abort, 'date/time field value "
                                              "out of range'); end")
                                   .arg(RefusedDate)));
        }
        QList<ProductRecord> batch;
        for (int i = 0; i < count; ++i)
            batch << Changed(before[i], i);
        const int refused = 1500;
        batch[refused].product_time = RefusedDate;
        // A new record among the stored ones is inserted.
        batch << Goods(count);

        const auto results = engine->SaveProductBatch(batch);
        QCOMPARE(results.size(), batch.size());
        for (int i = 0; i < count; ++i) {
            QCOMPARE(results[i].outcome, i == refused ? DatabaseEngine::BatchResult::Refused
                                                      : DatabaseEngine::BatchResult::Updated);
        }
        QVERIFY(results[refused].error.contains(QStringLiteral("out of range")));
        QCOMPARE(results.last().outcome, DatabaseEngine::BatchResult::Inserted);
        batch[refused] = before[refused];
        QCOMPARE(Stored(), batch);
    }

    void bulkInsertBringsThePostgresStatisticsUpToDate()
    {
        if (db->Kind() == TestDatabase::Sqlite)
            QSKIP("SQLite plans without statistics");
        const QString rows = QStringLiteral(
            "select cast(reltuples as integer) from pg_class where relname='tb_sm_product_info'");
        QVERIFY(TestDatabase::Scalar(rows) <= 0);
        StoreGoods(1500);
        QCOMPARE(TestDatabase::Scalar(rows), 1500);
        // Every bulk path counts what it inserted into each table, so that a restore or the
        // generator also has the statistics brought up to date (PostgreSQL's rows go by COPY).
        QSqlDatabase connection = DbManager::Instance()->Database();
        QVERIFY(connection.transaction());
        BulkInserter inserter(connection);
        const TableSchema& users = Schema::Tables().at(4);
        for (int i = 0; i < 1200; ++i)
            QVERIFY(inserter.Add(users, {1, 7}, {QString("u%1").arg(i), "STORE-A"}));
        QVERIFY(inserter.Flush());
        QVERIFY(connection.commit());
        QCOMPARE(inserter.InsertedInto().value(users.name), qint64(1200));
    }

    // SQL Server takes at most 2100 values to a statement and 1000 rows to a VALUES list; an
    // ODBC connection may reach it.
    void everyMultiRowStatementKeepsSqlServersLimits()
    {
        const QString name = QStringLiteral("limits-odbc");
        {
            const BulkLimits limits = BulkLimits::For(QSqlDatabase::addDatabase("QODBC", name));
            for (const TableSchema& table : Schema::Tables()) {
                const int columns = int(table.columns.size());
                QVERIFY(limits.RowsFor(columns) * columns <= 2100);
                QVERIFY(limits.RowsFor(columns) <= 1000);
            }
            QCOMPARE(limits.RowsFor(1), 1000);
            QCOMPARE(limits.RowsFor(5000), 1);
        }
        QSqlDatabase::removeDatabase(name);
    }
};

QObject* NewBulkWritesTest()
{
    return new BulkWritesTest;
}

#include "tst_bulkwrites.moc"
