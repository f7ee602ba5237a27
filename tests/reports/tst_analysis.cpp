// The shop analyses: low stock, the ageing of unpaid amounts and the gross margin, on worked
// examples and against their plain definitions on random ledgers.
#include "AnalysisTables.h"
#include "GrossMargin.h"
#include "LedgerDay.h"
#include "LowStock.h"
#include "NumberText.h"
#include "PlainAnalysis.h"
#include "StockComputation.h"
#include "UnpaidAgeing.h"

#include <QRandomGenerator>
#include <QTest>

#include <cmath>
#include <numeric>

namespace
{

ProductRecord Goods(int kind, const QString& date, const QString& model, const QString& num,
                    const QString& total, const QString& colour = "红")
{
    static int serial = 0;
    ProductRecord r;
    r.tab_type = kind;
    r.product_serial = QStringLiteral("2024-01-01 00:00:00:%1").arg(++serial, 3, 10, QChar('0'));
    r.product_time = date;
    r.product_model = model;
    r.product_color = colour;
    r.product_store = "一号库";
    r.product_num = num;
    r.product_total = total;
    return r;
}

ProductRecord Sold(const QString& date, const QString& model, const QString& num,
                   const QString& total, const QString& seller, const QString& client,
                   const QString& colour = "红")
{
    ProductRecord r = Goods(2, date, model, num, total, colour);
    r.product_purchase = seller;
    r.product_supply = client;
    return r;
}

ProductRecord Unpaid(int kind, const QString& date, const QString& party, const QString& debt)
{
    ProductRecord r = Goods(kind, date, "A", "1", "1");
    r.product_supply = party;
    r.product_debt = debt;
    return r;
}

QStringList Texts(const UnpaidAgeing::Line& line)
{
    QStringList texts{line.party};
    for (double amount : line.amounts)
        texts << NumberText::Write(amount);
    return texts << NumberText::Write(line.total);
}

QList<QStringList> Texts(const UnpaidAgeing::Ageing& ageing)
{
    QList<QStringList> rows;
    for (const UnpaidAgeing::Line& line : ageing.parties)
        rows << Texts(line);
    return rows << Texts(ageing.total);
}

QStringList Texts(const GrossMargin::Line& line)
{
    return {line.key,
            NumberText::Write(line.quantity),
            NumberText::Write(line.amount),
            NumberText::Write(line.cost),
            NumberText::Write(line.margin),
            line.rate ? NumberText::Write(*line.rate) : QStringLiteral("-")};
}

// Random ledgers over small pools, so that articles and parties repeat, dates collide, fall
// outside the period or cannot be read, and amounts are missing, negative or not numbers.
class RandomLedger
{
public:
    explicit RandomLedger(quint32 seed) : dice(seed) {}

    QList<ProductRecord> Goods(int count)
    {
        static const QStringList models = {"A", "B", "a", ""};
        static const QStringList colours = {"红", "蓝", ""};
        static const QStringList places = {"一号库", "二号库"};
        static const QStringList people = {"王", "赵", "", " 王"};
        static const QStringList quantities = {"1", "2", "3", "10", "0", "-1", "2.5", "", "x"};
        static const QStringList money = {"",     "0",   "10",   "12.34", "100",
                                          "-5.5", "abc", "0.01", "0.1",   "1234567.89"};
        static const QStringList badDates = {"", "2024-02-30", "2024-1-05", " 2024-01-05", "x"};
        QList<ProductRecord> records;
        for (int i = 0; i < count; ++i) {
            ProductRecord r;
            r.tab_type = dice.bounded(20) == 0 ? 5 : dice.bounded(5);
            if (dice.bounded(3) == 0)
                r.tab_type = 0; // enough purchases for most articles to have a price
            r.product_serial = QStringLiteral("s%1").arg(dice.bounded(8));
            r.product_name = QStringLiteral("品名%1").arg(i);
            r.product_model = Pick(models);
            r.product_color = Pick(colours);
            r.product_store = Pick(places);
            r.product_time = dice.bounded(12) == 0 ? Pick(badDates)
                                                   : QDate(2024, 1, 1)
                                                         .addDays(dice.bounded(120))
                                                         .toString(QStringLiteral("yyyy-MM-dd"));
            r.product_num = Pick(quantities);
            r.product_price = Pick(money);
            r.product_total = Pick(money);
            r.product_debt = Pick(money);
            r.product_supply = Pick(people);
            r.product_purchase = Pick(people);
            r.prodcut_remark = dice.bounded(2) ? QString() : QStringLiteral("备注%1").arg(i);
            records << r;
        }
        return records;
    }

    QList<LowStock::Level> Levels(int count)
    {
        static const QStringList models = {"A", "B", "a", "", "Z"};
        static const QStringList colours = {"红", "蓝", ""};
        static const QStringList places = {"一号库", "二号库"};
        static const QList<double> levels = {0, 1, 2, 2.5, 5, 20, -1};
        QList<LowStock::Level> result;
        for (int i = 0; i < count; ++i)
            result << LowStock::Level{Pick(models), Pick(colours), Pick(places),
                                      levels[dice.bounded(int(levels.size()))]};
        return result;
    }

    QDate Day() { return QDate(2024, 1, 1).addDays(dice.bounded(130) - 5); }
    int Bounded(int n) { return int(dice.bounded(n)); }

private:
    QString Pick(const QStringList& pool) { return pool[dice.bounded(int(pool.size()))]; }

    QRandomGenerator dice;
};

} // namespace

class AnalysisTest : public QObject
{
    Q_OBJECT
private slots:
    void ledgerDaysAreReadAsQDateReadsThem()
    {
        for (const QString text :
             {"2024-02-29", "2023-02-29", "2024-1-05", " 2024-01-05", "2024-01-05 ", "",
              "0000-01-01", "2024/01/05", "2024-13-01", "２０２４-01-05", "9999-12-31"}) {
            const QDate date = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
            const std::optional<qint64> day = LedgerDay::Read(text);
            QCOMPARE(day.has_value(), date.isValid());
            if (day)
                QCOMPARE(*day, date.toJulianDay());
        }
    }

    void lowStockListsWhatIsAtOrBelowItsLevel()
    {
        auto entry = [](const QString& model, const QString& colour, const QString& place,
                        const QString& num) {
            ProductRecord r = Goods(0, "2024-01-01", model, num, "", colour);
            r.product_store = place;
            r.product_name = "衬衫" + model;
            return r;
        };
        ProductRecord unmatched = entry("Q", "红", "一号库", "3");
        unmatched.tab_type = 2;
        const QList<ProductRecord> stock = {
            entry("A", "红", "一号库", "5"), entry("A", "红", "二号库", "1"),
            entry("B", "蓝", "一号库", "7"), entry("C", "", "一号库", "2.5"),
            entry("a", "红", "一号库", "0"), entry("D", "红", "一号库", "0"),
            entry("E", "红", "一号库", "3"), unmatched};
        const QList<LowStock::Level> levels = {{"A", "红", "一号库", 5}, {"B", "蓝", "一号库", 5},
                                               {"C", "", "一号库", 10},  {"A", "红", "一号库 ", 9},
                                               {"D", "红", "一号库", 0}, {"E", "红", "一号库", 9},
                                               {"E", "红", "一号库", 2}, {"Q", "红", "一号库", 4},
                                               {"R", "蓝", "二号库", 6}, {"S", "蓝", "二号库", -1}};
        const QList<LowStock::Alert> alerts = LowStock::Alerts(stock, levels);
        const QList<LowStock::Alert> expected = {
            // Exactly at the level is listed; the second place and lower-case "a" have none.
            {"A", "红", "一号库", "衬衫A", 5, 5, 0, true},
            {"C", "", "一号库", "衬衫C", 2.5, 10, 7.5, true},
            // A level of 0 warns when the article has run out.
            {"D", "红", "一号库", "衬衫D", 0, 0, 0, true},
            // The last level of an article counts: 3 on hand is above 2. Levels without stock
            // follow: "Q" was only sold, "R" never seen; a place with a trailing blank is
            // another place; a level below 0 never warns.
            {"A", "红", "一号库 ", "", 0, 9, 9, false},
            {"Q", "红", "一号库", "", 0, 4, 4, false},
            {"R", "蓝", "二号库", "", 0, 6, 6, false}};
        QCOMPARE(alerts, expected);
        QVERIFY(LowStock::Alerts(stock, {}).isEmpty());
    }

    void lowStockOfTheComputedStock()
    {
        // Stock of all time as the inventory page computes it: 10 in, 8 sold, 1 returned.
        ProductRecord sale = Goods(2, "2024-01-02", "A", "8", "");
        ProductRecord back = Goods(3, "2024-01-03", "A", "1", "");
        const QList<ProductRecord> stock = StockComputation::ComputeStock(
            {Goods(0, "2024-01-01", "A", "10", ""), sale, back}, false);
        const QList<LowStock::Alert> alerts = LowStock::Alerts(stock, {{"A", "红", "一号库", 3}});
        QCOMPARE(alerts.size(), 1);
        QCOMPARE(alerts[0].onHand, 3.0);
        QCOMPARE(alerts[0].shortfall, 0.0);
        QVERIFY(LowStock::Alerts(stock, {{"A", "红", "一号库", 2.5}}).isEmpty());
    }

    void lowStockMatchesThePlainScan()
    {
        RandomLedger ledger(20240701);
        for (int round = 0; round < 2000; ++round) {
            const QList<ProductRecord> stock =
                StockComputation::ComputeStock(ledger.Goods(ledger.Bounded(30)), true);
            const QList<LowStock::Level> levels = ledger.Levels(ledger.Bounded(12));
            QCOMPARE(LowStock::Alerts(stock, levels), PlainAnalysis::Alerts(stock, levels));
        }
    }

    void ageingOfCustomers()
    {
        const QList<ProductRecord> goods = {
            Unpaid(2, "2024-06-30", "张三", "100"), // the chosen day itself: 0 days
            Unpaid(2, "2024-05-31", "张三", "50"),  // 30 days
            Unpaid(2, "2024-05-30", "张三", "20"),  // 31 days
            Unpaid(2, "2024-04-01", "张三", "10"),  // 90 days
            Unpaid(2, "2024-03-31", "张三", "5"),   // 91 days
            Unpaid(3, "2024-06-01", "张三", "30"),  // a refund still due: a credit
            Unpaid(2, "2024-06-15", "张三", "0"),   // nothing unpaid
            Unpaid(2, "2024-07-01", "李四", "99"),  // after the chosen day
            Unpaid(2, "2024-13-01", "李四", "7"),   // no such date
            Unpaid(2, "", "李四", "3"),
            Unpaid(2, "2024-06-29", "", "0.1"), // no customer named
            Unpaid(2, "2024-06-29", "", "0.2"),
            Unpaid(2, "2024-06-20", "王五", "-40"),  // paid more than the sale
            Unpaid(0, "2024-06-20", "张三", "1000"), // purchases, losses: not customers' debts
            Unpaid(4, "2024-06-20", "张三", "1000")};
        const UnpaidAgeing::Ageing ageing = UnpaidAgeing::Customers(goods, QDate(2024, 6, 30));
        const QList<QStringList> expected = {{"张三", "120", "20", "10", "5", "0", "155"},
                                             {"李四", "0", "0", "0", "0", "10", "10"},
                                             {"", "0.3", "0", "0", "0", "0", "0.3"},
                                             {"王五", "-40", "0", "0", "0", "0", "-40"},
                                             {"", "80.3", "20", "10", "5", "10", "125.3"}};
        QCOMPARE(Texts(ageing), expected);
        QCOMPARE(ageing.laterRows, 1);
    }

    void ageingOfSuppliers()
    {
        const QList<ProductRecord> goods = {
            Unpaid(0, "2024-06-30", "甲供应", "1000"), Unpaid(1, "2024-01-01", "甲供应", "200"),
            Unpaid(0, "2024-05-10", "乙供应", "300.5"), Unpaid(2, "2024-06-30", "甲供应", "99"),
            Unpaid(3, "2024-06-30", "乙供应", "99")};
        const UnpaidAgeing::Ageing ageing = UnpaidAgeing::Suppliers(goods, QDate(2024, 6, 30));
        const QList<QStringList> expected = {{"甲供应", "1000", "0", "0", "-200", "0", "800"},
                                             {"乙供应", "0", "300.5", "0", "0", "0", "300.5"},
                                             {"", "1000", "300.5", "0", "-200", "0", "1100.5"}};
        QCOMPARE(Texts(ageing), expected);
        QCOMPARE(ageing.laterRows, 0);
        QVERIFY(UnpaidAgeing::Suppliers({}, QDate(2024, 6, 30)).parties.isEmpty());
    }

    void ageingKeepsEveryCent()
    {
        QList<ProductRecord> goods;
        for (int i = 0; i < 100000; ++i) {
            goods << Unpaid(2, "2024-06-01", "张三", "1234567.89")
                  << Unpaid(2, "2024-01-01", "李四", i % 2 ? "0.1" : "0.2");
        }
        const UnpaidAgeing::Ageing ageing = UnpaidAgeing::Customers(goods, QDate(2024, 6, 30));
        QCOMPARE(Texts(ageing.parties[0]),
                 QStringList({"张三", "123456789000", "0", "0", "0", "0", "123456789000"}));
        QCOMPARE(Texts(ageing.parties[1]),
                 QStringList({"李四", "0", "0", "0", "15000", "0", "15000"}));
        QCOMPARE(NumberText::Write(ageing.total.total), QString("123456804000"));
    }

    void ageingMatchesThePlainSumInCents()
    {
        RandomLedger ledger(20240702);
        for (int round = 0; round < 2000; ++round) {
            const QList<ProductRecord> goods = ledger.Goods(ledger.Bounded(40));
            const QDate day = ledger.Day();
            for (const auto& [owed, credit] : {std::pair{2, 3}, std::pair{0, 1}}) {
                const UnpaidAgeing::Ageing actual = owed == 2 ? UnpaidAgeing::Customers(goods, day)
                                                              : UnpaidAgeing::Suppliers(goods, day);
                const UnpaidAgeing::Ageing plain = PlainAnalysis::Ageing(goods, day, owed, credit);
                QCOMPARE(Texts(actual), Texts(plain));
                QCOMPARE(actual.laterRows, plain.laterRows);
            }
        }
    }

    void tablesShowTheFiguresAsAClerkReadsThem()
    {
        const auto shown = [](const AnalysisTables::View& view) {
            QList<int> order(view.table.rows.size());
            std::iota(order.begin(), order.end(), 0);
            const ReportTable report = FigureTables::Report(view.table, order);
            return QList<QStringList>{report.headers} + report.rows;
        };
        const QDate day(2024, 6, 30);
        // The column of undated amounts only appears when some amount has no date.
        const AnalysisTables::View dated =
            AnalysisTables::Ageing(UnpaidAgeing::Customers({Unpaid(2, "2024-06-30", "张三", "1200"),
                                                            Unpaid(2, "2024-07-01", "张三", "9")},
                                                           day),
                                   AnalysisTables::Parties::Customers, day);
        QCOMPARE(
            shown(dated),
            QList<QStringList>({{"客户信息", "0-30天", "31-60天", "61-90天", "90天以上", "合计"},
                                {"张三", "1,200.00", "0.00", "0.00", "0.00", "1,200.00"},
                                {"合计", "1,200.00", "0.00", "0.00", "0.00", "1,200.00"}}));
        QVERIFY(dated.notes.last().contains("1 行记录日期在所选日期之后"));
        const AnalysisTables::View undated =
            AnalysisTables::Ageing(UnpaidAgeing::Customers({Unpaid(2, "", "", "3")}, day),
                                   AnalysisTables::Parties::Customers, day);
        QCOMPARE(shown(undated).at(1),
                 QStringList({"（未填写）", "0.00", "0.00", "0.00", "0.00", "3.00", "3.00"}));

        // The margin rate in percent with one decimal, empty without a sales amount.
        GrossMargin::Margins margins;
        margins.bySalesperson = {{"王", 3, 30, 20, 10, 1.0 / 3}, {"赵", 1, 0, 5, -5, {}}};
        margins.total = {"", 4, 30, 25, 5, 1.0 / 6};
        const QList<QStringList> people = shown(
            AnalysisTables::Margins(margins, AnalysisTables::MarginKey::Salesperson, day, day));
        QCOMPARE(people.at(1), QStringList({"王", "30.00", "20.00", "10.00", "3", "33.3"}));
        QCOMPARE(people.at(2), QStringList({"赵", "0.00", "5.00", "-5.00", "1", ""}));
        QCOMPARE(people.at(3), QStringList({"合计", "30.00", "25.00", "5.00", "4", "16.7"}));

        // A level of an article with no stock at all says so.
        const AnalysisTables::View low =
            AnalysisTables::LowStockList(LowStock::Alerts({}, {{"B", "蓝", "二号库", 2}}));
        QCOMPARE(shown(low).at(1),
                 QStringList({"B", "蓝", "二号库", "", "0", "2", "2", "没有库存记录"}));
    }

    void marginOfAWorkedExample()
    {
        const QList<ProductRecord> goods = {
            // Before the period: one sold ahead of the first delivery, then 10 bought at 100.
            Sold("2023-12-31", "A", "1", "150", "王", "钱"),
            Goods(0, "2024-01-01", "A", "10", "1000"),
            // Entered before the day's delivery, yet sold from it: 9 at 100 and 11 for 1300
            // make an average of 110.
            Sold("2024-01-05", "A", "5", "800", "王", "李"),
            Goods(0, "2024-01-05", "A", "11", "1300"),
            Goods(1, "2024-01-10", "A", "5", "550"),           // back to the supplier: 10 left
            Sold("2024-01-12", "A", "12", "1800", "王", "周"), // 2 more than on hand
            // Bought with nothing on hand: its own price, 120 (the total blank: 4 x 120).
            Goods(0, "2024-01-15", "A", "4", ""), Goods(4, "2024-01-16", "A", "1", ""),
            Sold("2024-01-20", "A", "2", "300", "赵", "李"),
            Sold("2024-01-06", "B", "1", "50", "赵", "李"),       // never bought
            Sold("2024-01-07", "A", "1", "90", "王", "李", "蓝"), // this colour never bought
            // Returned after the period, deducted from the first matching sale of the period.
            Sold("2024-02-02", "A", "1", "160", "王", "李"),
            Sold("2024-02-10", "A", "1", "200", "王", "李"), // after the period
            Goods(0, "", "A", "100", "1")};                  // no date: no place in the history
        QList<ProductRecord> input = goods;
        input[11].tab_type = 3;
        input[6].product_price = "120";
        const GrossMargin::Margins m =
            GrossMargin::Compute(input, QDate(2024, 1, 5), QDate(2024, 1, 31));

        QCOMPARE(m.sales, QList<qsizetype>({2, 5, 8}));
        // Quantity, unit cost, amount, cost and margin of each: the first less its return.
        const QList<GrossMargin::SaleMargin> figures = {
            {4, 110, 640, 440, 200}, {12, 110, 1800, 1320, 480}, {2, 120, 300, 240, 60}};
        QCOMPARE(m.margins, figures);
        QCOMPARE(m.unpriced.size(), 2);
        QCOMPARE(m.unpriced[0].product_model, QString("B"));
        QCOMPARE(m.unpriced[1].product_color, QString("蓝"));
        QCOMPARE(m.unpriced[1].prodcut_remark, GrossMargin::UnpricedNote);

        QCOMPARE(m.bySalesperson.size(), 2);
        QCOMPARE(Texts(m.bySalesperson[0]),
                 QStringList({"王", "16", "2440", "1760", "680", NumberText::Write(680.0 / 2440)}));
        QCOMPARE(Texts(m.bySalesperson[1]), QStringList({"赵", "2", "300", "240", "60", "0.2"}));
        QCOMPARE(m.byModel.size(), 1);
        QCOMPARE(Texts(m.byModel[0]),
                 QStringList({"A", "18", "2740", "2000", "740", NumberText::Write(740.0 / 2740)}));
        QCOMPARE(Texts(m.total).mid(1), Texts(m.byModel[0]).mid(1));
        QCOMPARE(m.undated, 1);

        // Nothing sold in a period: no lines and no rate.
        const GrossMargin::Margins none =
            GrossMargin::Compute(input, QDate(2024, 3, 1), QDate(2024, 3, 31));
        QVERIFY(none.sales.isEmpty() && none.bySalesperson.isEmpty() && !none.total.rate);
    }

    void marginMatchesThePlainReplay()
    {
        RandomLedger ledger(20240703);
        auto close = [](double a, double b) {
            return std::fabs(a - b) <= 1e-9 * std::max({1.0, std::fabs(a), std::fabs(b)});
        };
        auto sameLines = [&](const QList<GrossMargin::Line>& a, const QList<GrossMargin::Line>& b) {
            if (a.size() != b.size())
                return false;
            for (const GrossMargin::Line& x : a) {
                const auto y = std::find_if(b.cbegin(), b.cend(), [&](const GrossMargin::Line& l) {
                    return l.key == x.key;
                });
                if (y == b.cend() || !close(x.quantity, y->quantity) ||
                    !close(x.amount, y->amount) || !close(x.cost, y->cost) ||
                    !close(x.margin, y->margin) || x.rate.has_value() != y->rate.has_value() ||
                    (x.rate && !close(*x.rate * x.amount, *y->rate * y->amount)))
                    return false;
            }
            return true;
        };
        for (int round = 0; round < 2000; ++round) {
            const QList<ProductRecord> goods = ledger.Goods(ledger.Bounded(60));
            QDate first = ledger.Day(), last = ledger.Day();
            if (ledger.Bounded(4) > 0 && first > last)
                std::swap(first, last);
            const GrossMargin::Margins actual = GrossMargin::Compute(goods, first, last);
            const GrossMargin::Margins plain = PlainAnalysis::Margins(goods, first, last);
            QCOMPARE(actual.sales, plain.sales);
            QCOMPARE(actual.margins, plain.margins);
            QCOMPARE(actual.unpriced, plain.unpriced);
            QCOMPARE(actual.undated, plain.undated);
            QVERIFY(sameLines(actual.bySalesperson, plain.bySalesperson));
            QVERIFY(sameLines(actual.byModel, plain.byModel));
            QVERIFY(sameLines({actual.total}, {plain.total}));
            for (const QList<GrossMargin::Line>* lines : {&actual.bySalesperson, &actual.byModel})
                QVERIFY(std::is_sorted(lines->cbegin(), lines->cend(), [](auto& a, auto& b) {
                    return a.amount != b.amount ? a.amount > b.amount : a.key < b.key;
                }));
        }
    }
};

QTEST_GUILESS_MAIN(AnalysisTest)
#include "tst_analysis.moc"
