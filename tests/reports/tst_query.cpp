// A query run against a real database on every back end: periods at their edges, the current
// store only, content filters, the computed pages and a select that fails.
#include "DatabaseEngine.h"
#include "DatabaseFixture.h"
#include "DbManager.h"
#include "QueryRun.h"
#include "SampleGoods.h"

#include <QSqlQuery>
#include <QTest>

namespace
{

ProductRecord Goods(int kind, const QString& serial, const QString& date, const QString& model,
                    const QString& num = "1")
{
    return SampleGoods(kind, serial, date, model, num);
}

FinanceRecord Money(int kind, const QString& serial, const QString& date, const QString& sum)
{
    FinanceRecord r;
    r.tab_type = kind;
    r.ie_serial = serial;
    r.ie_time = date;
    r.ie_sum = sum;
    r.ie_item = kind == 0 ? "销售收款" : "其它款项";
    return r;
}

QueryRequest Request(int group, int page, int mode, const QString& date,
                     const QString& start = QString())
{
    QueryRequest request;
    request.criteria.group = group;
    request.criteria.page = page;
    request.criteria.timeMode = mode;
    request.criteria.queryDate = date;
    request.criteria.startDate = start;
    request.seesPrices = true;
    return request;
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

class QueryTest : public DatabaseFixture
{
    Q_OBJECT
    DatabaseEngine* engine = DatabaseEngine::Instance();

private slots:
    void periodsAtTheirEdges()
    {
        const QStringList dates = {"2023-12-31", "2024-01-01", "2024-02-01", "2024-02-28",
                                   "2024-02-29", "2024-03-01", "2024-12-31", "2025-01-01"};
        for (const QString& d : dates)
            QVERIFY(engine->SaveProductInfo(Goods(2, d, d, "A1")));
        engine->SetStoreNo("STORE-B");
        for (const QString& d : dates)
            QVERIFY(engine->SaveProductInfo(Goods(2, "B " + d, d, "A1")));
        engine->SetStoreNo("STORE-A");

        auto sales = [&](int mode, const QString& date, const QString& start = QString()) {
            const QueryResult r = QueryRun::Run(*engine, Request(1, 2, mode, date, start));
            return Serials(r.goods);
        };
        QCOMPARE(sales(1, "2024-02-29"), QStringList{"2024-02-29"});
        QCOMPARE(sales(2, "2024-02-15"), QStringList({"2024-02-01", "2024-02-28", "2024-02-29"}));
        QCOMPARE(sales(3, "2024-07-01"), dates.mid(1, 6));
        QCOMPARE(sales(3, "2023-07-01"), QStringList{"2023-12-31"});
        QCOMPARE(sales(4, "2024-01-01", "2023-12-31"), QStringList({"2023-12-31", "2024-01-01"}));
        QCOMPARE(sales(4, "2025-01-01", "2024-12-31"), QStringList({"2024-12-31", "2025-01-01"}));
        QCOMPARE(sales(5, ""), dates); // never a record of STORE-B
    }

    void goodsFiltersAndAllRecords()
    {
        for (const QString model : {"A1", "XA1", "A10", "a1"})
            QVERIFY(engine->SaveProductInfo(Goods(0, model, "2024-05-05", model)));
        QueryRequest request = Request(1, 0, 5, "");
        request.criteria.goods.model = "A1";
        QueryResult r = QueryRun::Run(*engine, request);
        QVERIFY(r.ok);
        QCOMPARE(r.code, 2);
        QCOMPARE(Serials(r.goods), QStringList({"A1", "A10", "XA1"}));

        request.criteria.allRecords = true;
        r = QueryRun::Run(*engine, request);
        QCOMPARE(r.code, 4);
        QCOMPARE(r.goods.size(), 4);

        request.criteria.page = QueryRun::InventoryPage;
        r = QueryRun::Run(*engine, request);
        QCOMPARE(r.code, 3);
        QCOMPARE(r.goods.size(), 4);
        request.criteria.allRecords = false;
        request.criteria.goods.model = "XA";
        r = QueryRun::Run(*engine, request);
        QCOMPARE(r.code, 1);
        QCOMPARE(Serials(r.goods), QStringList{"XA1"});
    }

    void stockAndSalesStatisticsFromStoredRecords()
    {
        QVERIFY(engine->SaveProductInfo(Goods(0, "p1", "2024-01-02", "A", "3")));
        QVERIFY(engine->SaveProductInfo(Goods(0, "p2", "2024-01-03", "A", "4")));
        QVERIFY(engine->SaveProductInfo(Goods(2, "s1", "2024-06-01", "A", "10")));
        QVERIFY(engine->SaveProductInfo(Goods(2, "s2", "2024-06-02", "A", "2")));
        QVERIFY(engine->SaveProductInfo(Goods(3, "r1", "2023-01-01", "A", "1")));

        QueryRequest stock = Request(1, QueryRun::InventoryPage, 3, "2024-01-01");
        stock.seesPrices = false;
        QueryResult r = QueryRun::Run(*engine, stock);
        QCOMPARE(r.code, 1);
        QCOMPARE(r.goods.size(), 2); // one entry of 7, and the sale of 10 it cannot cover
        QCOMPARE(r.goods[0].product_num, QString("5"));
        QVERIFY(r.goods[0].product_price.isEmpty());

        // The sales of one day, less a return of any date, deducted from the first sale only.
        r = QueryRun::Run(*engine, Request(2, 0, 1, "2024-06-01"));
        QCOMPARE(r.code, 5);
        QCOMPARE(r.goods.size(), 1);
        QCOMPARE(r.goods[0].product_num, QString("9"));
        QCOMPARE(r.goods[0].product_total, QString("90"));
        QueryRequest seller = Request(2, 0, 5, "");
        seller.criteria.sales.person = "赵";
        QVERIFY(QueryRun::Run(*engine, seller).goods.isEmpty());
        seller.criteria.allRecords = true;
        r = QueryRun::Run(*engine, seller);
        QCOMPARE(r.code, 6);
        QCOMPARE(r.goods.size(), 2);
    }

    void profitOfAPeriod()
    {
        QVERIFY(engine->SaveFinanceInfo(Money(0, "m1", "2024-03-01", "100")));
        QVERIFY(engine->SaveFinanceInfo(Money(0, "m2", "2024-03-09", "50")));
        QVERIFY(engine->SaveFinanceInfo(Money(1, "m3", "2024-03-10", "30")));
        QVERIFY(engine->SaveFinanceInfo(Money(3, "m4", "2024-03-11", "60")));
        QVERIFY(engine->SaveFinanceInfo(Money(4, "m5", "2024-03-31", "20")));
        QVERIFY(engine->SaveFinanceInfo(Money(6, "m6", "2024-04-01", "999")));
        QueryResult r = QueryRun::Run(*engine, Request(3, QueryRun::ProfitPage, 2, "2024-03-20"));
        QCOMPARE(r.code, 7);
        QCOMPARE(r.money.size(), 8);
        QCOMPARE(r.money[7].ie_sum, QString("100"));
        QCOMPARE(r.money[6].ie_sum, QString());

        QueryRequest receipts = Request(3, 0, 5, "");
        receipts.criteria.money.item = "收款";
        r = QueryRun::Run(*engine, receipts);
        QCOMPARE(r.code, 8);
        QCOMPARE(r.money.size(), 2);
        r = QueryRun::Run(*engine, Request(3, QueryRun::ProfitPage, 1, "2000-01-01"));
        QCOMPARE(r.money.size(), 8);
        QCOMPARE(r.money[7].ie_sum, QString("0"));
    }

    void failingSelectIsReported()
    {
        QVERIFY(engine->SaveProductInfo(Goods(0, "p1", "2024-01-02", "A")));
        QSqlQuery drop(DbManager::Instance()->Database());
        QVERIFY(drop.exec("drop table tb_sm_product_info"));
        for (int page : {0, QueryRun::InventoryPage}) {
            const QueryResult r = QueryRun::Run(*engine, Request(1, page, 5, ""));
            QVERIFY(!r.ok);
            QVERIFY(!r.error.isEmpty());
            QVERIFY(r.goods.isEmpty());
        }
        QVERIFY(!QueryRun::Run(*engine, Request(2, 0, 5, "")).ok);
        QVERIFY(QueryRun::Run(*engine, Request(3, 0, 5, "")).ok);
        QVERIFY(!QueryRun::Run(*engine, Request(1, 0, 2, "not a date")).ok);
    }
};

QTEST_GUILESS_MAIN(QueryTest)
#include "tst_query.moc"
