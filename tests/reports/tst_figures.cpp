// Stock, sales returns, profit and content filters: the computations behind the query pages.
#include "ContentFilter.h"
#include "NumberText.h"
#include "ProfitSummary.h"
#include "QuadraticStock.h"
#include "SalesReturns.h"
#include "StockComputation.h"

#include <QRandomGenerator>
#include <QTest>

namespace
{

ProductRecord Goods(int kind, const QString& serial, const QString& model, const QString& num,
                    const QString& store = "S1", const QString& colour = "红")
{
    ProductRecord r;
    r.tab_type = kind;
    r.product_serial = serial;
    r.product_model = model;
    r.product_color = colour;
    r.product_store = store;
    r.product_num = num;
    r.product_price = "2.5";
    r.product_total = NumberText::Write(NumberText::Read(num) * 2.5);
    r.product_pay = "1";
    r.product_debt = "2";
    r.product_time = "2024-03-0" + QString::number(kind + 1);
    r.prodcut_remark = "备注";
    return r;
}

// Small pools, so that articles repeat, serials collide, models may be empty and quantities may
// be missing, fractional or larger than the stock.
QList<ProductRecord> RandomGoods(QRandomGenerator& dice, int count)
{
    static const QStringList models = {"A1", "A10", "", "B"};
    static const QStringList colours = {"红", ""};
    static const QStringList stores = {"S1", "S2"};
    static const QStringList serials = {"t1", "t2", "t3", "t4", "t5", "t6"};
    static const QStringList quantities = {"1", "2", "3", "5", "10", "", "x", "2.5", "-1"};
    static const QStringList prices = {"", "1.5", "10", "0.1"};
    auto pick = [&](const QStringList& pool) { return pool[dice.bounded(int(pool.size()))]; };
    QList<ProductRecord> records;
    for (int i = 0; i < count; ++i) {
        ProductRecord r;
        // Purchases somewhat more often, so that most records find stock.
        r.tab_type = dice.bounded(3) == 0 ? 0 : dice.bounded(5);
        r.product_serial = pick(serials);
        r.product_model = pick(models);
        r.product_color = pick(colours);
        r.product_store = pick(stores);
        r.product_num = pick(quantities);
        r.product_price = pick(prices);
        r.product_total = pick(prices);
        r.product_pay = pick(prices);
        r.product_debt = pick(prices);
        r.product_time = QStringLiteral("2024-01-%1").arg(1 + dice.bounded(28), 2, 10, QChar('0'));
        r.prodcut_remark = dice.bounded(2) ? QString() : QStringLiteral("r%1").arg(i);
        records << r;
    }
    return records;
}

ProductRecord Sale(const QString& serial, const QString& model, const QString& seller,
                   const QString& client, const QString& num, const QString& total)
{
    ProductRecord r;
    r.tab_type = 2;
    r.product_serial = serial;
    r.product_model = model;
    r.product_purchase = seller;
    r.product_supply = client;
    r.product_num = num;
    r.product_total = total;
    r.product_time = "2024-05-0" + serial.right(1);
    r.product_pay = "7";
    return r;
}

FinanceRecord Money(int kind, const QString& sum)
{
    FinanceRecord r;
    r.tab_type = kind;
    r.ie_sum = sum;
    return r;
}

QStringList Column(const QList<FinanceRecord>& rows, QString FinanceRecord::*field)
{
    QStringList texts;
    for (const FinanceRecord& r : rows)
        texts << r.*field;
    return texts;
}

} // namespace

class FiguresTest : public QObject
{
    Q_OBJECT
private slots:
    void stockMatchesThePlainAlgorithmForAnyOrder()
    {
        QRandomGenerator dice(20240229);
        for (int round = 0; round < 3000; ++round) {
            const QList<ProductRecord> in = RandomGoods(dice, int(dice.bounded(40)));
            for (bool admin : {true, false}) {
                const QList<ProductRecord> expected = QuadraticStock(in, admin);
                const QList<ProductRecord> actual = StockComputation::ComputeStock(in, admin);
                if (actual != expected) {
                    qWarning() << "round" << round << "admin" << admin << "rows" << actual.size()
                               << "expected" << expected.size();
                    for (qsizetype i = 0; i < qMin(actual.size(), expected.size()); ++i) {
                        if (!(actual[i] == expected[i]))
                            qWarning() << "first difference at row" << i << actual[i].product_num
                                       << expected[i].product_num << actual[i].prodcut_remark
                                       << expected[i].prodcut_remark;
                    }
                    QFAIL("stock differs from the plain algorithm");
                }
            }
        }
    }

    void purchasesOfOneArticleMerge()
    {
        const QList<ProductRecord> in = {Goods(0, "p1", "A", "3"), Goods(0, "p2", "A", "4")};
        const QList<ProductRecord> admin = StockComputation::ComputeStock(in, true);
        QCOMPARE(admin.size(), 1);
        QCOMPARE(admin[0].product_num, QString("7"));
        QCOMPARE(admin[0].product_total, QString("17.5"));
        QCOMPARE(admin[0].product_price, QString("2.5"));
        QVERIFY(admin[0].prodcut_remark.endsWith(
            "合并采购进货表--时间：2024-03-01,型号:A,数目:4的项\n"));
        QVERIFY(admin[0].product_pay.isEmpty() && admin[0].product_debt.isEmpty());

        // Below the super user nobody sees a price or an amount, merged or not, matched or not.
        const QList<ProductRecord> clerk = StockComputation::ComputeStock(
            in + QList<ProductRecord>{Goods(0, "p3", "B", "1"), Goods(1, "b1", "Z", "1")}, false);
        QCOMPARE(clerk.size(), 3);
        QCOMPARE(clerk[0].product_num, QString("7"));
        for (const ProductRecord& r : clerk) {
            QVERIFY(r.product_price.isEmpty() && r.product_total.isEmpty());
            QVERIFY(r.product_pay.isEmpty() && r.product_debt.isEmpty());
        }
    }

    void otherStoreOrColourStaysApart()
    {
        const QList<ProductRecord> out = StockComputation::ComputeStock(
            {Goods(0, "p1", "A", "3", "S1"), Goods(0, "p2", "A", "4", "S2"),
             Goods(0, "p3", "A", "5", "S1", "蓝"), Goods(2, "s1", "A", "1", "S2")},
            true);
        QCOMPARE(out.size(), 3);
        QCOMPARE(out[0].product_num, QString("3"));
        QCOMPARE(out[1].product_num, QString("3"));
        QCOMPARE(out[1].prodcut_remark,
                 QString("备注合并销售管理表--时间：2024-03-03,型号：A,数目:1的项\n"));
        QCOMPARE(out[2].product_num, QString("5"));
    }

    void figuresGoOnFromTheTextsTheyShow()
    {
        // Fractions whose sums and products are not short decimals: every step is rounded to the
        // fifteen digits its text shows before the next record is applied.
        QRandomGenerator dice(7);
        const QStringList quantities = {"0.1", "0.7", "1e-05", "3.3333333", "123456789.123456"};
        const QStringList prices = {"0.3", "1.1", "7.77", "0.000123"};
        for (int round = 0; round < 200; ++round) {
            QList<ProductRecord> in;
            for (int i = 0; i < 60; ++i) {
                ProductRecord r = Goods(i < 20 ? 0 : 1 + dice.bounded(4), QString::number(i), "A",
                                        quantities[dice.bounded(int(quantities.size()))]);
                r.product_price = prices[dice.bounded(int(prices.size()))];
                r.product_total = NumberText::Write(NumberText::Read(r.product_num) * 1.1);
                in << r;
            }
            QCOMPARE(StockComputation::ComputeStock(in, true), QuadraticStock(in, true));
        }
    }

    void articlesWhoseTextsRunTogetherStayApart()
    {
        // Model, colour and store that read alike when joined, or where one is empty.
        const QList<ProductRecord> in = {
            Goods(0, "p1", "A", "1", "S1", "1红"),  Goods(0, "p2", "A1", "2", "S1", "红"),
            Goods(0, "p3", "A1", "4", "", "红S1"),  Goods(0, "p4", "", "8", "S1", "A1红"),
            Goods(0, "p5", "A1红", "16", "S1", ""), Goods(2, "s1", "A1", "1", "S1", "红"),
            Goods(3, "r1", "A1", "1", "", "红S1"),  Goods(4, "l1", "A1", "1", "1", "红S")};
        const QList<ProductRecord> out = StockComputation::ComputeStock(in, true);
        QCOMPARE(out, QuadraticStock(in, true));
        QStringList quantities;
        for (const ProductRecord& r : out)
            quantities << r.product_num;
        QCOMPARE(quantities, QStringList({"1", "1", "5", "8", "16", "1"}));
    }

    void saleEqualToOrAboveTheStock()
    {
        const QList<ProductRecord> equal = StockComputation::ComputeStock(
            {Goods(0, "p1", "A", "5"), Goods(2, "s1", "A", "5")}, true);
        QCOMPARE(equal.size(), 1);
        QCOMPARE(equal[0].product_num, QString("0"));
        QCOMPARE(equal[0].product_total, QString("0"));

        const ProductRecord tooMany = Goods(2, "s1", "A", "6");
        const QList<ProductRecord> over =
            StockComputation::ComputeStock({Goods(0, "p1", "A", "5"), tooMany}, true);
        QCOMPARE(over.size(), 2);
        QCOMPARE(over[0].product_num, QString("5"));
        QCOMPARE(
            over[0].prodcut_remark,
            QString(
                "备注异常！请注意核查销售管理表,时间：2024-03-03，型号：A，数目：6比库存数据大\n"));
        QCOMPARE(over[1].product_serial, QString("s1"));
        QCOMPARE(over[1].product_num, QString("6"));
        QCOMPARE(over[1].prodcut_remark,
                 QString("请仔细核查销售售货表该行的各列信息，此记录在采购进货表或销售表不存在"));
    }

    void returnsAddAndLossWithoutPurchaseIsListed()
    {
        const QList<ProductRecord> out =
            StockComputation::ComputeStock({Goods(2, "s1", "A", "2"), Goods(0, "p1", "A", "5"),
                                            Goods(3, "r1", "A", "1"), Goods(4, "l1", "Q", "1")},
                                           true);
        QCOMPARE(out.size(), 2);
        // The sale comes before the return in the input and is taken from the full stock.
        QCOMPARE(out[0].product_num, QString("4"));
        QCOMPARE(out[0].product_total, QString("10"));
        QVERIFY(out[0].prodcut_remark.endsWith(
            "合并销售退货表--时间：2024-03-04,型号：A,数目:1的项\n"));
        QCOMPARE(out[1].product_serial, QString("l1"));
        QCOMPARE(out[1].prodcut_remark,
                 QString("请仔细核查损耗表表该行的各列信息，此记录在采购进货表或销售表不存在"));
        QVERIFY(StockComputation::ComputeStock({}, true).isEmpty());
    }

    void oneReturnReducesTheFirstMatchingSaleOnly()
    {
        QList<ProductRecord> sales = {
            Sale("s1", "A", "王", "李", "10", "100"), Sale("s2", "A", "王", "李", "10", "100"),
            Sale("s3", "A", "赵", "李", "10", "100"), Sale("s4", "A", "王", "周", "10", "100")};
        const QList<ProductRecord> untouched = sales;
        ProductRecord back = Sale("r1", "A", "王", "李", "2", "20");
        back.tab_type = 3;
        SalesReturns::DeductSalesReturns(sales, {back});
        QCOMPARE(sales[0].product_num, QString("8"));
        QCOMPARE(sales[0].product_total, QString("80"));
        QCOMPARE(sales[0].prodcut_remark,
                 QString("注意，该型号A有退货金额20元，从2024-05-01销售中扣除100元"));
        QCOMPARE(sales[0].product_pay, QString("7"));
        for (int i = 1; i < 4; ++i)
            QCOMPARE(sales[i], untouched[i]);

        // A return above the sale leaves it negative; one matching nothing changes nothing.
        ProductRecord big = Sale("r2", "A", "赵", "李", "15", "150.5");
        ProductRecord stray = Sale("r3", "Z", "王", "李", "1", "1");
        SalesReturns::DeductSalesReturns(sales, {big, stray});
        QCOMPARE(sales[2].product_num, QString("-5"));
        QCOMPARE(sales[2].product_total, QString("-50.5"));
        QCOMPARE(sales[1], untouched[1]);
        QCOMPARE(sales[3], untouched[3]);
    }

    void profitHasEightRows()
    {
        const QList<FinanceRecord> rows =
            ProfitSummary::ComputeProfit({Money(0, "100"), Money(1, "30"), Money(0, "50"),
                                          Money(3, "60"), Money(4, "20"), Money(9, "1000")});
        QCOMPARE(Column(rows, &FinanceRecord::ie_item),
                 QStringList({"收款总额", "未收欠款总额", "", "采购支付总额", "员工薪酬", "", "",
                              "经营利润"}));
        QCOMPARE(Column(rows, &FinanceRecord::ie_sum),
                 QStringList({"150", "30", "", "60", "20", "", "", "100"}));
        // The profit of the rows leaves the profit row itself out.
        QCOMPARE(ProfitSummary::OperatingProfit(rows), 100.0);

        const QList<FinanceRecord> none = ProfitSummary::ComputeProfit({});
        QCOMPARE(Column(none, &FinanceRecord::ie_sum),
                 QStringList({"", "", "", "", "", "", "", "0"}));
        QCOMPARE(none[7].ie_item, QString("经营利润"));
    }

    void profitKeepsEveryDigit()
    {
        // Sums above a million keep their cents; cents sum without drift.
        QList<FinanceRecord> records;
        for (int i = 0; i < 1000; ++i)
            records << Money(0, "1234.56") << Money(6, "0.1");
        const QList<FinanceRecord> rows = ProfitSummary::ComputeProfit(records);
        QCOMPARE(rows[0].ie_sum, QString("1234560"));
        QCOMPARE(rows[6].ie_sum, QString("100"));
        QCOMPARE(rows[7].ie_sum, QString("1234460"));
        QCOMPARE(ProfitSummary::ComputeProfit({Money(2, "1234567.89")})[7].ie_sum,
                 QString("1234567.89"));
    }

    void contentFiltersContainCaseSensitively()
    {
        QList<ProductRecord> goods;
        for (const QString model : {"A1", "XA1", "a1", "A10", "B"})
            goods << Goods(0, model, model, "1");
        GoodsCriteria byModel;
        byModel.model = "A1";
        auto models = [](const QList<ProductRecord>& rows) {
            QStringList m;
            for (const ProductRecord& r : rows)
                m << r.product_model;
            return m;
        };
        QCOMPARE(models(ContentFilter::Goods(goods, byModel)), QStringList({"A1", "XA1", "A10"}));
        QCOMPARE(models(ContentFilter::Goods(goods, GoodsCriteria())).size(), 5);
        byModel.store = "S2";
        QVERIFY(ContentFilter::Goods(goods, byModel).isEmpty());

        // Every goods criterion reads its own field.
        const ProductRecord one = Goods(0, "x", "M", "1");
        ProductRecord full = one;
        const QStringList texts = {"cat", "nam", "col", "siz", "par", "per", "ent", "cod", "doc"};
        full.product_class = "cat";
        full.product_name = "nam";
        full.product_color = "col";
        full.product_size = "siz";
        full.product_supply = "par";
        full.product_purchase = "per";
        full.product_record = "ent";
        full.product_code = "cod";
        full.product_oddNum = "doc";
        QString GoodsCriteria::*fields[] = {
            &GoodsCriteria::category,  &GoodsCriteria::name,  &GoodsCriteria::colour,
            &GoodsCriteria::size,      &GoodsCriteria::party, &GoodsCriteria::person,
            &GoodsCriteria::enteredBy, &GoodsCriteria::code,  &GoodsCriteria::document};
        for (int i = 0; i < texts.size(); ++i) {
            GoodsCriteria c;
            c.*fields[i] = texts[i];
            QCOMPARE(ContentFilter::Goods({one, full}, c).size(), 1);
        }

        SalesCriteria sales;
        sales.person = "王";
        QCOMPARE(ContentFilter::Sales({Sale("s1", "A", "小王", "李", "1", "1"),
                                       Sale("s2", "A", "赵", "李", "1", "1")},
                                      sales)
                     .size(),
                 1);

        FinanceRecord m1 = Money(0, "1"), m2 = Money(0, "2");
        m1.ie_item = "销售收款";
        m1.ie_client = "李";
        m2.ie_item = "工资款";
        MoneyCriteria money;
        money.item = "收款";
        QCOMPARE(ContentFilter::Money({m2, m1}, money), QList<FinanceRecord>{m1});
        money.party = "周";
        QVERIFY(ContentFilter::Money({m2, m1}, money).isEmpty());
    }
};

QTEST_GUILESS_MAIN(FiguresTest)
#include "tst_figures.moc"
