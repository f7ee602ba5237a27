// Goods and money records: save, delete, clear and the period selects, on every back end.
#include "DatabaseEngine.h"
#include "DatabaseFixture.h"
#include "TestDatabase.h"

#include <QTest>
#include <algorithm>

namespace
{

ProductRecord Goods(int kind, const QString& serial, const QString& date = "2024-03-15")
{
    ProductRecord r;
    r.tab_type = kind;
    for (int c = 0; c < ProductRecord::TextCount; ++c)
        r.Text(c) = QStringLiteral("v%1").arg(c);
    r.product_serial = serial;
    r.product_time = date;
    r.product_num = "4";
    r.product_price = "2.5";
    return r;
}

FinanceRecord Money(int kind, const QString& serial, const QString& date = "2024-03-15")
{
    FinanceRecord r;
    r.tab_type = kind;
    for (int c = 0; c < FinanceRecord::TextCount; ++c)
        r.Text(c) = QStringLiteral("m%1").arg(c);
    r.ie_serial = serial;
    r.ie_time = date;
    r.ie_sum = "99.5";
    return r;
}

QList<ProductRecord> AllGoods(int kind = -1)
{
    QList<ProductRecord> out;
    DatabaseEngine::Instance()->SelectProductRecords(5, kind, "", "", out);
    return out;
}

QList<FinanceRecord> AllMoney(int kind = -1)
{
    QList<FinanceRecord> out;
    DatabaseEngine::Instance()->SelectFinanceRecords(5, kind, "", "", out);
    return out;
}

QStringList Serials(const QList<ProductRecord>& records)
{
    QStringList serials;
    for (const ProductRecord& r : records)
        serials << r.product_serial;
    serials.sort();
    return serials;
}

} // namespace

class LedgerTest : public DatabaseFixture
{
    Q_OBJECT
    DatabaseEngine* engine = DatabaseEngine::Instance();

private slots:
    void saveTwiceKeepsOneRowWithTheSecondValues()
    {
        ProductRecord r = Goods(2, "2024-03-15 10:00:00:001");
        QVERIFY(engine->SaveProductInfo(r));
        r.product_num = "7";
        r.prodcut_remark = "第二次";
        QVERIFY(engine->SaveProductInfo(r));
        QCOMPARE(AllGoods(), QList<ProductRecord>{r});

        FinanceRecord m = Money(4, "2024-03-15 10:00:00:001");
        QVERIFY(engine->SaveFinanceInfo(m));
        m.ie_sum = "1200";
        QVERIFY(engine->SaveFinanceInfo(m));
        QCOMPARE(AllMoney(), QList<FinanceRecord>{m});

        // The same serial of another kind is another record.
        QVERIFY(engine->SaveProductInfo(Goods(3, r.product_serial)));
        QCOMPARE(AllGoods().size(), 2);
    }

    void anotherStoreSavesItsOwnRow()
    {
        const ProductRecord r = Goods(0, "2024-03-15 10:00:00:002");
        QVERIFY(engine->SaveProductInfo(r));
        engine->SetStoreNo("STORE-B");
        QVERIFY(AllGoods().isEmpty());
        ProductRecord other = r;
        other.product_num = "1";
        QVERIFY(engine->SaveProductInfo(other));
        QCOMPARE(AllGoods(), QList<ProductRecord>{other});
        engine->SetStoreNo("STORE-A");
        QCOMPARE(AllGoods(), QList<ProductRecord>{r});
        QCOMPARE(TestDatabase::Scalar("select count(*) from tb_sm_product_info"), 2);
    }

    void anyTextRoundTripsUnchanged()
    {
        const QStringList texts = {"O'Brien's \"shop\"", "a;b; drop table tb_sm_user; --",
                                   "-- comment",         "红色-大号.2",
                                   "back\\slash %1 %2",  "😀 ünï"};
        int n = 0;
        for (const QString& text : texts) {
            ProductRecord r = Goods(1, QStringLiteral("2024-03-15 11:00:00:%1").arg(++n));
            for (int c = 1; c < ProductRecord::TextCount; ++c) {
                if (c != 7)
                    r.Text(c) = text.left(50);
            }
            r.prodcut_remark = text.repeated(40);
            QVERIFY2(engine->SaveProductInfo(r), qPrintable(engine->LastError()));
            QVERIFY(engine->SaveProductInfo(r)); // the update path too

            FinanceRecord m = Money(6, r.product_serial);
            for (int c = 1; c < FinanceRecord::TextCount; ++c) {
                if (c != 3)
                    m.Text(c) = text;
            }
            QVERIFY2(engine->SaveFinanceInfo(m), qPrintable(engine->LastError()));

            QList<ProductRecord> goods;
            QVERIFY(engine->SelectProductRecords(1, 1, "", "2024-03-15", goods));
            QVERIFY(goods.contains(r));
            QList<FinanceRecord> money;
            QVERIFY(engine->SelectFinanceRecords(1, 6, "", "2024-03-15", money));
            QVERIFY(money.contains(m));
        }
        QCOMPARE(TestDatabase::Scalar("select count(*) from tb_sm_user"), 0);
        QCOMPARE(AllGoods().size(), texts.size());
    }

    void emptyDateIsKeptEmpty()
    {
        ProductRecord r = Goods(0, "2024-03-15 12:00:00:000", "");
        QVERIFY2(engine->SaveProductInfo(r), qPrintable(engine->LastError()));
        QCOMPARE(AllGoods().value(0).product_time, QString());
        r.product_time = "2024-03-16";
        QVERIFY(engine->SaveProductInfo(r));
        QCOMPARE(AllGoods().value(0).product_time, QString("2024-03-16"));
    }

    void deleteFindsTheRecordByKindSerialAndStore()
    {
        ProductRecord r = Goods(2, "2024-03-15 13:00:00:000");
        QVERIFY(engine->SaveProductInfo(r));
        QVERIFY(engine->SaveProductInfo(Goods(3, r.product_serial)));
        engine->SetStoreNo("STORE-B");
        QVERIFY(engine->SaveProductInfo(r));
        engine->SetStoreNo("STORE-A");

        r.product_model = "changed after the last save";
        QVERIFY(engine->DeleteProductInfo(r));
        QCOMPARE(AllGoods().size(), 1);
        QCOMPARE(AllGoods().value(0).tab_type, 3);
        engine->SetStoreNo("STORE-B");
        QCOMPARE(AllGoods().size(), 1);

        const FinanceRecord m = Money(1, "2024-03-15 13:00:00:000");
        QVERIFY(engine->SaveFinanceInfo(m));
        engine->SetStoreNo("STORE-A");
        QVERIFY(engine->SaveFinanceInfo(m));
        QVERIFY(engine->DeleteFinanceInfo(m));
        QVERIFY(AllMoney().isEmpty());
        engine->SetStoreNo("STORE-B");
        QCOMPARE(AllMoney(), QList<FinanceRecord>{m});
    }

    void clearRemovesOnlyThisStoresRowsOfTheKind()
    {
        for (const char* store : {"STORE-A", "STORE-B"}) {
            engine->SetStoreNo(store);
            for (int kind = 0; kind < 2; ++kind) {
                QVERIFY(engine->SaveProductInfo(Goods(kind, "s1")));
                QVERIFY(engine->SaveFinanceInfo(Money(kind, "s1")));
            }
        }
        engine->SetStoreNo("STORE-A");
        QVERIFY(engine->ClearProductInfo(0));
        QVERIFY(engine->ClearFinanceInfo(1));
        QCOMPARE(AllGoods().size(), 1);
        QCOMPARE(AllGoods().value(0).tab_type, 1);
        QCOMPARE(AllMoney().size(), 1);
        QCOMPARE(AllMoney().value(0).tab_type, 0);
        engine->SetStoreNo("STORE-B");
        QCOMPARE(AllGoods().size(), 2);
        QCOMPARE(AllMoney().size(), 2);
    }

    // An answer large enough to be read on two threads comes back whole and in order, each row
    // with its own texts, after the records already held.
    void aLargeSelectReadsEveryRowWithItsTexts()
    {
        QList<ProductRecord> records;
        for (int i = 0; i < 25001; ++i) {
            ProductRecord r = Goods(2, QStringLiteral("S%1").arg(i, 6, 10, QChar('0')));
            r.product_name = QStringLiteral("商品%1").arg(i);
            r.product_num = QString::number(i % 7);
            records << r;
        }
        for (const auto& result : engine->SaveProductBatch(records))
            QCOMPARE(result.outcome, DatabaseEngine::BatchResult::Inserted);
        QList<ProductRecord> out = {Goods(0, "kept")};
        QVERIFY(engine->SelectProductRecords(5, 2, "", "", out));
        QCOMPARE(out.size(), records.size() + 1);
        QCOMPARE(out.takeFirst().product_serial, QString("kept"));
        std::sort(out.begin(), out.end(), [](const ProductRecord& a, const ProductRecord& b) {
            return a.product_serial < b.product_serial;
        });
        QCOMPARE(out, records);
    }

    void periodSelects()
    {
        const QStringList dates = {"2023-12-31", "2024-01-01", "2024-02-28", "2024-02-29",
                                   "2024-03-01", "2024-04-30", "2024-12-31", "2025-01-01"};
        for (const QString& d : dates) {
            QVERIFY(engine->SaveProductInfo(Goods(d == "2024-02-29" ? 4 : 2, d, d)));
            QVERIFY(engine->SaveFinanceInfo(Money(3, d, d)));
        }
        engine->SetStoreNo("STORE-B");
        for (const QString& d : dates)
            QVERIFY(engine->SaveProductInfo(Goods(2, "other " + d, d)));
        engine->SetStoreNo("STORE-A");

        auto goods = [&](int mode, int kind, const QString& start, const QString& date) {
            QList<ProductRecord> out;
            engine->SelectProductRecords(mode, kind, start, date, out);
            return Serials(out);
        };
        QCOMPARE(goods(1, -1, "", "2024-02-29"), QStringList{"2024-02-29"});
        QCOMPARE(goods(1, 2, "", "2024-02-29"), QStringList());
        QCOMPARE(goods(2, -1, "", "2024-02-10"), QStringList({"2024-02-28", "2024-02-29"}));
        QCOMPARE(goods(2, 4, "", "2024-02-10"), QStringList{"2024-02-29"});
        QCOMPARE(goods(2, -1, "", "2024-04-02"), QStringList{"2024-04-30"});
        QCOMPARE(goods(3, -1, "", "2024-06-15").size(), 6);
        QCOMPARE(goods(3, 2, "", "2024-06-15").size(), 5);
        QCOMPARE(goods(4, -1, "2024-02-29", "2024-04-30"),
                 QStringList({"2024-02-29", "2024-03-01", "2024-04-30"}));
        QCOMPARE(goods(4, -1, "2024-05-01", "2024-03-01"), QStringList());
        QCOMPARE(goods(5, -1, "", ""), dates);
        QCOMPARE(goods(5, 4, "", ""), QStringList{"2024-02-29"});

        QList<ProductRecord> out = {Goods(0, "kept")};
        QVERIFY(!engine->SelectProductRecords(9, -1, "", "", out));
        QVERIFY(!engine->SelectProductRecords(2, -1, "", "not a date", out));
        QCOMPARE(out.size(), 1); // appended to, never cleared

        auto money = [&](int mode, int kind, const QString& date) {
            QList<FinanceRecord> out;
            engine->SelectFinanceRecords(mode, kind, "", date, out);
            return out.size();
        };
        QCOMPARE(money(1, -1, "2024-02-29"), 1);
        QCOMPARE(money(2, 3, "2024-02-01"), 2);
        QCOMPARE(money(2, 0, "2024-02-01"), 0);
        QCOMPARE(money(3, -1, "2023-01-01"), 1);
        QCOMPARE(money(5, -1, ""), dates.size());
    }
};

QObject* NewLedgerTest()
{
    return new LedgerTest;
}

#include "tst_ledger.moc"
