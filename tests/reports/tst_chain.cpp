// The figures of the shops of a chain: worked examples, and every figure of every shop against
// what that shop's own pages show when the query flow runs them on a real database.
#include "ChainRun.h"
#include "ChainSummary.h"
#include "DatabaseEngine.h"
#include "DatabaseFixture.h"
#include "DbManager.h"
#include "NumberText.h"
#include "PageTotals.h"
#include "ProfitSummary.h"
#include "QueryRun.h"
#include "SampleGoods.h"
#include "ShopReader.h"

#include <QCoreApplication>
#include <QDate>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTest>
#include <QThread>
#include <atomic>

using namespace ChainSummary;

namespace
{

const char* const ColumnNames[ColumnCount] = {
    "sales", "purchases",   "losses",        "received",          "paid",    "profit",
    "stock", "stock value", "customers owe", "owed to suppliers", "unplaced"};

// A goods row of SampleGoods with its own amounts.
ProductRecord Goods(int kind, const QString& serial, const QString& model, const QString& num,
                    const QString& price, const QString& total, const QString& pay = "0",
                    const QString& debt = "0")
{
    ProductRecord r = SampleGoods(kind, serial, "2024-03-05", model, num);
    r.product_price = price;
    r.product_total = total;
    r.product_pay = pay;
    r.product_debt = debt;
    return r;
}

FinanceRecord Money(int kind, const QString& sum)
{
    FinanceRecord r;
    r.tab_type = kind;
    r.ie_serial = QStringLiteral("m%1-%2").arg(kind).arg(sum);
    r.ie_sum = sum;
    return r;
}

// The decimal sum of amounts read off several pages, as an owner adds them up.
double Decimal(std::initializer_list<double> amounts)
{
    PageTotals::Sum sum;
    for (double amount : amounts)
        sum.Add(amount);
    return sum.Value();
}

// The figures as the table shows them.
QStringList Texts(const Figures& figures)
{
    QStringList texts;
    for (double value : figures)
        texts << NumberText::Write(value);
    return texts;
}

} // namespace

class WorkedExamplesTest : public QObject
{
    Q_OBJECT

private slots:
    void oneShop()
    {
        ShopRecords shop;
        shop.goods = {
            Goods(0, "p1", "A", "10", "5", "50", "30", "20"),
            Goods(0, "p2", "A", "4", "6", "24", "24", "0"), // merged into p1: 14 pieces, 74
            Goods(0, "p3", "B", "5", "2", "", "0", "10"),   // a blank total counts 5 x 2
            Goods(1, "b1", "A", "2", "5", "10"),            // A: 12 left, at p1's price 60
            Goods(2, "s1", "A", "3", "9", "27", "20", "7"), // A: 9 left, 45
            Goods(2, "s2", "C", "1", "8", "8", "8", "0"),   // no stock of C: not placed
            Goods(4, "l1", "B", "1", "2", "2"),             // B: 4 left, 8
        };
        shop.sales = {shop.goods[4], shop.goods[5]};
        // Returned before the period: deducted from the first sale of A by 王 to 李 only, and
        // no part of the period's stock.
        shop.salesReturns = {Goods(3, "r1", "A", "1", "9", "9")};
        shop.money = {Money(0, "100"), Money(0, "50.5"), Money(1, "30"),    Money(2, "19.5"),
                      Money(3, "60"),  Money(4, "20"),   Money(5, "10.25"), Money(6, "0.25")};

        const Figures f = ForShop(shop);
        QCOMPARE(f[Sales], 18.0 + 8.0);
        QCOMPARE(f[CustomersUnpaid], 7.0);
        QCOMPARE(f[Purchases], 50.0 + 24.0 + 10.0 - 10.0);
        QCOMPARE(f[SuppliersUnpaid], 30.0);
        QCOMPARE(f[Losses], 2.0);
        QCOMPARE(f[Received], 170.0); // receipts and other income; receivables are not received
        QCOMPARE(f[Paid], 90.5);
        QCOMPARE(f[Profit], 170.0 + 30.0 - 90.5);
        QCOMPARE(f[StockQuantity], 9.0 + 4.0);
        QCOMPARE(f[StockValue], 45.0 + 8.0);
        QCOMPARE(f[UnplacedRecords], 1.0);

        // A shop without records of the period has a row of zeros.
        QCOMPARE(Texts(ForShop({})), QStringList(ColumnCount, "0"));
    }

    void totalOfEachColumn()
    {
        Figures a{}, b{}, c{};
        a.fill(0.1);
        b.fill(0.2);
        c.fill(1e15);
        QCOMPARE(Texts(Total({a, b})), QStringList(ColumnCount, "0.3"));
        // Large and small amounts together lose no cent.
        Figures minus{};
        minus.fill(-1e15);
        QCOMPARE(Texts(Total({c, a, minus, b})), QStringList(ColumnCount, "0.3"));
        QCOMPARE(Texts(Total({})), QStringList(ColumnCount, "0"));
    }
};

// Several shops in one database, each with random records of every kind; the figures of each
// shop against the totals of its pages, queried for each time mode through the query flow.
class ShopPagesTest : public DatabaseFixture
{
    Q_OBJECT
    DatabaseEngine* engine = DatabaseEngine::Instance();

    struct Query {
        int mode;
        QString start;
        QString date;
    };

    static QString Pick(QRandomGenerator& dice, const QStringList& pool)
    {
        return pool[dice.bounded(int(pool.size()))];
    }

    // Small pools, so that articles repeat, returns find sales, stock runs short, totals are
    // blank or not numbers; dates around the turn of a year, a fifth of them on one day.
    void StoreRandomRecords(QRandomGenerator& dice)
    {
        static const QStringList models = {"A", "B", "C", "D"};
        static const QStringList colours = {"红", "蓝"};
        static const QStringList stores = {"一号库", "二号库"};
        static const QStringList people = {"王", "赵"};
        static const QStringList customers = {"李", "周"};
        static const QStringList quantities = {"1", "2", "3", "5", "10", "2.5", ""};
        static const QStringList prices = {"1.5", "10", "0.1", "12.34", ""};
        static const QStringList amounts = {"", "0", "7.5", "100", "x", "0.2", "19.99"};
        static const int kindWeights[] = {0, 0, 0, 1, 2, 2, 2, 3, 4};
        const QDate first(2023, 12, 1);
        auto date = [&] {
            return dice.bounded(5) == 0 ? QStringLiteral("2024-02-10")
                                        : first.addDays(dice.bounded(122)).toString(Qt::ISODate);
        };

        QList<ProductRecord> goods;
        for (int i = 0; i < 160; ++i) {
            ProductRecord r;
            r.tab_type = kindWeights[dice.bounded(int(std::size(kindWeights)))];
            r.product_serial = QStringLiteral("g%1").arg(i);
            r.product_time = date();
            r.product_model = Pick(dice, models);
            r.product_color = Pick(dice, colours);
            r.product_store = Pick(dice, stores);
            r.product_num = Pick(dice, quantities);
            r.product_price = Pick(dice, prices);
            r.product_total = dice.bounded(4) == 0
                                  ? Pick(dice, amounts)
                                  : NumberText::Write(NumberText::Read(r.product_num) *
                                                      NumberText::Read(r.product_price));
            r.product_pay = Pick(dice, amounts);
            r.product_debt = Pick(dice, amounts);
            r.product_purchase = Pick(dice, people);
            r.product_supply = Pick(dice, customers);
            goods << r;
        }
        QList<FinanceRecord> money;
        for (int i = 0; i < 60; ++i) {
            FinanceRecord r;
            r.tab_type = dice.bounded(7);
            r.ie_serial = QStringLiteral("f%1").arg(i);
            r.ie_time = date();
            r.ie_sum = Pick(dice, amounts);
            money << r;
        }
        for (const auto& result : engine->SaveProductBatch(goods))
            QCOMPARE(result.outcome, DatabaseEngine::BatchResult::Inserted);
        for (const auto& result : engine->SaveFinanceBatch(money))
            QCOMPARE(result.outcome, DatabaseEngine::BatchResult::Inserted);
    }

    // The shop's records as its pages select them, read for the current store number.
    ShopRecords Select(const Query& q)
    {
        ShopRecords shop;
        if (!engine->SelectProductRecords(q.mode, -1, q.start, q.date, shop.goods) ||
            !engine->SelectProductRecords(q.mode, 2, q.start, q.date, shop.sales) ||
            !engine->SelectProductRecords(5, 3, QString(), QString(), shop.salesReturns) ||
            !engine->SelectFinanceRecords(q.mode, -1, q.start, q.date, shop.money))
            qFatal("select failed: %s", qPrintable(engine->LastError()));
        return shop;
    }

    // One page queried with no content criteria, as the query button and "查询" run it.
    QueryResult Page(int group, int page, const Query& q)
    {
        QueryRequest request;
        request.criteria.group = group;
        request.criteria.page = page;
        request.criteria.timeMode = q.mode;
        request.criteria.startDate = q.start;
        request.criteria.queryDate = q.date;
        request.seesPrices = true; // the super user
        const QueryResult result = QueryRun::Run(*engine, request);
        if (!result.ok)
            qFatal("query failed: %s", qPrintable(result.error));
        return result;
    }

    // What the "统计" button shows under a goods page, and the "总额:" of a money page.
    PageTotals::GoodsTotals GoodsPage(int group, int page, const Query& q)
    {
        QList<ProductRecord> rows = Page(group, page, q).goods;
        return PageTotals::SumGoods(rows);
    }
    double MoneyPage(int page, const Query& q)
    {
        return PageTotals::SumMoney(Page(QueryRun::MoneyGroup, page, q).money);
    }

    // Every figure read off the shop's own pages.
    Figures FromPages(const Query& q)
    {
        Figures f{};
        const PageTotals::GoodsTotals sales = GoodsPage(QueryRun::SalesGroup, 0, q);
        f[Sales] = sales.amount;
        f[CustomersUnpaid] = sales.unpaid;
        const PageTotals::GoodsTotals purchases = GoodsPage(QueryRun::GoodsGroup, 0, q);
        f[Purchases] = Decimal({purchases.amount, -GoodsPage(QueryRun::GoodsGroup, 1, q).amount});
        f[SuppliersUnpaid] = purchases.unpaid;
        f[Losses] = GoodsPage(QueryRun::GoodsGroup, 4, q).amount;
        f[Received] = Decimal({MoneyPage(0, q), MoneyPage(2, q)});
        f[Paid] = Decimal({MoneyPage(3, q), MoneyPage(4, q), MoneyPage(5, q), MoneyPage(6, q)});
        const QList<FinanceRecord> profit =
            Page(QueryRun::MoneyGroup, QueryRun::ProfitPage, q).money;
        f[Profit] = NumberText::Read(profit.at(ProfitSummary::Rows - 1).ie_sum);

        // The inventory's "库存数目" and "商品金额" of its stock entries; the other rows are
        // the records it could not place.
        QList<ProductRecord> entries;
        int unplaced = 0;
        for (const ProductRecord& row :
             Page(QueryRun::GoodsGroup, QueryRun::InventoryPage, q).goods) {
            if (row.tab_type == 0) {
                f[StockQuantity] += NumberText::Read(row.product_num);
                entries << row;
            } else {
                ++unplaced;
            }
        }
        f[StockValue] = PageTotals::SumGoods(entries).amount;
        f[UnplacedRecords] = unplaced;
        return f;
    }

private slots:
    void everyFigureAsTheShopsOwnPagesShowIt()
    {
        const QStringList chain = {"20230101120000000LINK", "20230301120000000LINK", "S3"};
        QRandomGenerator dice(22);
        for (const QString& shop : chain + QStringList{"OUTSIDE"}) {
            engine->SetStoreNo(shop);
            StoreRandomRecords(dice);
        }

        const QList<Query> queries = {{1, "", "2024-02-10"},
                                      {2, "", "2024-02-10"},
                                      {3, "", "2024-05-01"},
                                      {4, "2023-12-20", "2024-02-10"},
                                      {5, "", ""}};
        for (const Query& q : queries) {
            QList<Figures> shops;
            std::array<PageTotals::Sum, ColumnCount> pageTotals;
            for (const QString& shop : chain) {
                engine->SetStoreNo(shop);
                const Figures figures = ForShop(Select(q));
                const Figures pages = FromPages(q);
                for (int c = 0; c < ColumnCount; ++c) {
                    QVERIFY2(NumberText::Write(figures[c]) == NumberText::Write(pages[c]),
                             qPrintable(QStringLiteral("%1, mode %2: %3 %4, pages %5")
                                            .arg(shop)
                                            .arg(q.mode)
                                            .arg(ColumnNames[c], NumberText::Write(figures[c]),
                                                 NumberText::Write(pages[c]))));
                    pageTotals[c].Add(pages[c]);
                }
                shops << figures;
            }
            Figures expected{};
            for (int c = 0; c < ColumnCount; ++c)
                expected[c] = pageTotals[c].Value();
            QCOMPARE(Texts(Total(shops)), Texts(expected));
            if (q.mode == 5)
                QVERIFY(Total(shops)[Sales] != 0 && Total(shops)[UnplacedRecords] > 0);
        }
    }

    // The background job's reading path: each shop read by its own store number on a thread of
    // its own, equal to the shop's own selects; a store the chain does not name is never read,
    // though its rows would change every total.
    void theJobReadsEachNamedShopAsItsOwnPagesDo()
    {
        ChainConfig chain;
        chain.shops = {{"20230101120000000LINK", "总店"}, {"S2", "东店"}, {"S3", "S3"}};
        QRandomGenerator dice(7);
        for (const char* shop : {"20230101120000000LINK", "S2", "S3", "OUTSIDE"}) {
            engine->SetStoreNo(shop);
            StoreRandomRecords(dice);
        }
        engine->SetStoreNo("OUTSIDE"); // the installation's own store is not in its chain
        const ProductRecord big = SampleGoods(2, "big", "2024-02-10", "A", "1000000");
        QVERIFY(engine->SaveProductInfo(big));

        for (const Query& q : {Query{2, "", "2024-02-10"}, Query{5, "", ""}}) {
            ChainRequest request{chain, q.mode, q.start, q.date};
            ChainResult result;
            QList<int> progress;
            QThread* worker = QThread::create([&] {
                result = ChainRun::Run(request, {}, [&](int done, int shops, const QString&) {
                    progress << done * 10 + shops;
                });
            });
            worker->start();
            QVERIFY(worker->wait(60000));
            delete worker;
            QCOMPARE(result.outcome, ChainResult::Done);
            QCOMPARE(progress, QList<int>({13, 23, 33}));
            QCOMPARE(result.shops.size(), 3);
            QCOMPARE(result.shops[0].name, QString("总店"));
            for (int i = 0; i < 3; ++i) {
                engine->SetStoreNo(chain.shops[i].storeNo);
                QCOMPARE(Texts(result.figures[i]), Texts(ForShop(Select(q))));
            }
            QCOMPARE(Texts(result.total), Texts(Total(result.figures)));
        }

        ShopReader outside(chain, "OUTSIDE");
        QList<ProductRecord> rows;
        QVERIFY(!outside.IsChainShop());
        QVERIFY(!outside.SelectProductRecords(5, -1, QString(), QString(), rows));
        QVERIFY(rows.isEmpty());
        QVERIFY(outside.LastError().contains("OUTSIDE"));
    }

    // On PostgreSQL a shop's returns of all time are read from an index of the returns alone,
    // made when missing, also in a database that holds rows already; the figures stay those
    // of the shop's own selects.
    void theReturnsAreReadFromTheirIndexAlone()
    {
        if (TestDatabase::Current() == TestDatabase::Sqlite)
            QSKIP("the index of the returns is PostgreSQL's");
        const QString index =
            "select count(*) from pg_indexes where indexname='ix_product_returns'";
        QCOMPARE(TestDatabase::Scalar(index), 1);
        ChainConfig chain;
        chain.shops = {{"S2", "东店"}};
        engine->SetStoreNo("S2");
        QRandomGenerator dice(5);
        StoreRandomRecords(dice);
        const auto exec = [](const QString& statement) {
            return QSqlQuery(DbManager::Instance()->Database()).exec(statement);
        };
        // Every row visible to all, and the server kept from reading the table whole, as it
        // would not on many rows, on every connection made from now on.
        QVERIFY(exec("drop index ix_product_returns"));
        QVERIFY(exec("vacuum analyze tb_sm_product_info"));
        for (const char* setting : {"enable_seqscan", "enable_bitmapscan"})
            QVERIFY(exec(
                QStringLiteral("alter database %1 set %2=off").arg(db->ServerDatabase(), setting)));
        QVERIFY(db->Connect());
        QCOMPARE(TestDatabase::Scalar(index), 1);
        engine->SetStoreNo("S2");

        const Query month{2, "", "2024-02-10"};
        ChainResult result;
        // On a thread of its own, whose connection ends with it and so hands the server's counts
        // of the index over.
        QThread* worker = QThread::create([&] {
            result = ChainRun::Run({chain, 2, "", month.date});
        });
        worker->start();
        QVERIFY(worker->wait(60000));
        delete worker;
        QCOMPARE(result.outcome, ChainResult::Done);
        const QString used = "select count(*) from pg_stat_user_indexes where "
                             "indexrelname='ix_product_returns' and idx_scan>0 and idx_tup_fetch=0";
        QTRY_COMPARE_WITH_TIMEOUT(TestDatabase::Scalar(used), 1, 15000);
        QCOMPARE(Texts(result.figures[0]), Texts(ForShop(Select(month))));

        // In the order the pages read them, the order they are deducted in, though many share
        // a day.
        const auto listed = [](const QList<ProductRecord>& rows) {
            QStringList texts;
            for (const ProductRecord& r : rows)
                texts << QStringList{r.product_model, r.product_purchase, r.product_supply,
                                     r.product_num, r.product_total}
                             .join('|');
            return texts;
        };
        QList<ProductRecord> returns;
        QVERIFY(ShopReader(chain, "S2")
                    .SelectProductTexts(5, 3, QString(), QString(), ReturnTexts(), returns));
        QVERIFY(returns.size() > 10);
        QCOMPARE(listed(returns), listed(Select({5, "", ""}).salesReturns));
    }

    void aShopsSelectOfSomeTextsReadsThoseOnly()
    {
        ChainConfig chain;
        chain.shops = {{"S2", "东店"}};
        engine->SetStoreNo("S2");
        ProductRecord sale = SampleGoods(2, "s1", "2024-02-10", "型号 A", "2.5");
        for (int c = 0; c < ProductRecord::TextCount; ++c) {
            if (sale.Text(c).isEmpty())
                sale.Text(c) = QStringLiteral("文字%1").arg(c);
        }
        QVERIFY(engine->SaveProductInfo(sale));
        QVERIFY(engine->SaveProductInfo(SampleGoods(3, "r1", "2024-02-11", "B", "1")));

        // In any order asked, each into its own place; the date as the pages show it.
        const QList<int> texts = {15, 3, 7, 9};
        ShopReader reader(chain, "S2");
        QList<ProductRecord> rows;
        QVERIFY(reader.SelectProductTexts(5, 2, QString(), QString(), texts, rows));
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0].tab_type, 2);
        for (int c = 0; c < ProductRecord::TextCount; ++c)
            QCOMPARE(rows[0].Text(c), texts.contains(c) ? sale.Text(c) : QString());

        // Money records alike.
        FinanceRecord paid;
        paid.tab_type = 4;
        for (int c = 0; c < FinanceRecord::TextCount; ++c)
            paid.Text(c) = QStringLiteral("钱%1").arg(c);
        paid.ie_time = "2024-02-12";
        QVERIFY(engine->SaveFinanceInfo(paid));
        const QList<int> moneyTexts = {3, 2};
        QList<FinanceRecord> money;
        QVERIFY(reader.SelectFinanceTexts(2, -1, QString(), "2024-02-01", moneyTexts, money));
        QCOMPARE(money.size(), 1);
        QCOMPARE(money[0].tab_type, 4);
        for (int c = 0; c < FinanceRecord::TextCount; ++c)
            QCOMPARE(money[0].Text(c), moneyTexts.contains(c) ? paid.Text(c) : QString());

        ShopReader outside(chain, "OUTSIDE");
        QVERIFY(!outside.SelectProductTexts(5, -1, QString(), QString(), texts, rows));
        QCOMPARE(rows.size(), 1);
        QVERIFY(!outside.SelectFinanceTexts(5, -1, QString(), QString(), moneyTexts, money));
        QCOMPARE(money.size(), 1);
    }

    void aStoppedOrFailedRunCarriesNoFigures()
    {
        ChainConfig chain;
        chain.shops = {{"S1", "一店"}, {"S2", "二店"}, {"S3", "三店"}};
        engine->SetStoreNo("S1");
        QVERIFY(engine->SaveProductInfo(SampleGoods(2, "s", "2024-02-10", "A", "3")));
        std::atomic_int asked = 0;
        // Stopped inside a shop's read, after some of the selects.
        const ChainResult stopped = ChainRun::Run({chain, 5, "", ""}, [&] { return ++asked > 5; });
        QCOMPARE(stopped.outcome, ChainResult::Stopped);
        QVERIFY(stopped.shops.isEmpty() && stopped.figures.isEmpty());
        QCOMPARE(Texts(stopped.total), QStringList(ColumnCount, "0"));

        chain.error = "门店名称“一店”重复";
        const ChainResult refused = ChainRun::Run({chain, 5, "", ""});
        QCOMPARE(refused.outcome, ChainResult::Failed);
        QVERIFY(refused.figures.isEmpty());
        chain.error.clear();
        const ChainResult unreadable = ChainRun::Run({chain, 2, "", "no date"});
        QCOMPARE(unreadable.outcome, ChainResult::Failed);
        QVERIFY2(unreadable.error.startsWith("读取门店“") &&
                     unreadable.error.contains("的记录失败：无法识别的日期 no date"),
                 qPrintable(unreadable.error));
        QVERIFY(unreadable.figures.isEmpty());
    }
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    WorkedExamplesTest examples;
    ShopPagesTest pages;
    return QTest::qExec(&examples, argc, argv) | QTest::qExec(&pages, argc, argv);
}

#include "tst_chain.moc"
