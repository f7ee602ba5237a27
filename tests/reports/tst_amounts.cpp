// Computed amount columns of a goods row and the page totals.
#include "NumberText.h"
#include "PageTotals.h"
#include "ProfitSummary.h"
#include "RowAmounts.h"

#include <QRandomGenerator>
#include <QTest>

namespace
{

ProductRecord Row(const QString& num, const QString& price, const QString& total,
                  const QString& pay = "", const QString& debt = "")
{
    ProductRecord r;
    r.product_num = num;
    r.product_price = price;
    r.product_total = total;
    r.product_pay = pay;
    r.product_debt = debt;
    return r;
}

QStringList Amounts(const ProductRecord& r)
{
    return {r.product_num, r.product_price, r.product_total, r.product_pay, r.product_debt};
}

} // namespace

class AmountsTest : public QObject
{
    Q_OBJECT
private slots:
    void computedColumns_data()
    {
        QTest::addColumn<ProductRecord>("row");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("quantity and price")
            << Row("4", "2.5", "") << QStringList{"4", "2.5", "10", "0", "10"};
        QTest::newRow("quantity and total give the price")
            << Row("4", "", "10") << QStringList{"4", "2.5", "10", "0", "10"};
        QTest::newRow("no division by a zero quantity")
            << Row("0", "", "10") << QStringList{"0", "", "10", "0", "10"};
        QTest::newRow("a total that is not blank stays")
            << Row("5", "2.5", "10", "0", "10") << QStringList{"5", "2.5", "10", "0", "10"};
        QTest::newRow("a zero total is blank")
            << Row("5", "2.5", "0", "0", "10") << QStringList{"5", "2.5", "12.5", "2.5", "10"};
        QTest::newRow("paid typed after unpaid leaves unpaid")
            << Row("4", "2.5", "10", "3", "10") << QStringList{"4", "2.5", "10", "3", "10"};
        QTest::newRow("unpaid emptied becomes total less paid")
            << Row("4", "2.5", "10", "3", "") << QStringList{"4", "2.5", "10", "3", "7"};
        QTest::newRow("unpaid typed gives paid")
            << Row("4", "2.5", "10", "", "4") << QStringList{"4", "2.5", "10", "6", "4"};
        QTest::newRow("empty row") << Row("", "", "") << QStringList{"", "", "0", "0", "0"};
        QTest::newRow("millions stay exact")
            << Row("1", "2500000", "") << QStringList{"1", "2500000", "2500000", "0", "2500000"};
        QTest::newRow("cents") << Row("3", "0.1", "") << QStringList{"3", "0.1", "0.3", "0", "0.3"};
        QTest::newRow("a third") << Row("3", "", "10")
                                 << QStringList{"3", "3.33333333333333", "10", "0", "10"};
    }

    void computedColumns()
    {
        QFETCH(ProductRecord, row);
        QFETCH(QStringList, expected);
        const RowAmounts::Outcome outcome = RowAmounts::Complete(row);
        QCOMPARE(Amounts(row), expected);
        QVERIFY(outcome.rejected.isEmpty());
        // Completing again changes nothing: the row is what is stored.
        ProductRecord again = row;
        QVERIFY(RowAmounts::Complete(again).computed.isEmpty());
        QCOMPARE(again, row);
    }

    void lettersInANumberColumnAreRejected()
    {
        ProductRecord row = Row("4", "abc", "", "x1", "");
        const RowAmounts::Outcome outcome = RowAmounts::Complete(row);
        QCOMPARE(outcome.rejected, QList<int>({RowAmounts::Price, RowAmounts::Paid}));
        QCOMPARE(Amounts(row), QStringList({"4", "0", "0", "0", "0"}));

        FinanceRecord money;
        money.ie_sum = "12元";
        QVERIFY(RowAmounts::CheckMoneyAmount(money));
        QCOMPARE(money.ie_sum, QString());
        money.ie_sum = "-12.5";
        QVERIFY(!RowAmounts::CheckMoneyAmount(money));
    }

    void goodsTotals()
    {
        QList<ProductRecord> rows = {Row("4", "2.5", "10", "3", "7"), Row("2", "1.5", ""),
                                     Row("1", "0.2", "0", "0.2", ""), Row("x", "", "")};
        QList<int> filled;
        QList<ProductRecord> otherKinds = rows;
        for (ProductRecord& r : otherKinds)
            r.tab_type = 2;
        const PageTotals::GoodsTotals unchanged = PageTotals::SumGoodsOfKind(rows + otherKinds, 0);
        const PageTotals::GoodsTotals t = PageTotals::SumGoods(rows, &filled);
        QCOMPARE(std::make_tuple(unchanged.amount, unchanged.paid, unchanged.unpaid),
                 std::make_tuple(t.amount, t.paid, t.unpaid));
        QCOMPARE(filled, QList<int>({1, 2, 3}));
        QCOMPARE(rows.at(1).product_total, QString("3"));
        QCOMPARE(rows.at(2).product_total, QString("0.2"));
        QCOMPARE(rows.at(3).product_total, QString("0"));
        QCOMPARE(NumberText::Write(t.amount), QString("13.2"));
        QCOMPARE(NumberText::Write(t.paid), QString("3.2"));
        QCOMPARE(NumberText::Write(t.unpaid), QString("7"));

        QList<ProductRecord> none;
        QCOMPARE(NumberText::Write(PageTotals::SumGoods(none).amount), QString("0"));
    }

    // Rows taken off again leave the totals a fresh count gives; an amount of more decimal places
    // than a total can stay exact with asks for that fresh count once it leaves.
    void runningTotalsTakeRowsOffToTheCent()
    {
        PageTotals::RunningTotals totals;
        for (int i = 0; i < 1000; ++i)
            totals.Add({i % 2 ? 0.1 : 0.2, 12345.67, 0.01});
        for (int i = 0; i < 999; ++i)
            totals.Remove({i % 2 ? 0.1 : 0.2, 12345.67, 0.01});
        QCOMPARE(NumberText::Write(totals.Value().amount), QString("0.1"));
        QCOMPARE(NumberText::Write(totals.Value().paid), QString("12345.67"));
        QCOMPARE(NumberText::Write(totals.Value().unpaid), QString("0.01"));
        QVERIFY(!totals.Stale());

        totals.Add({1.0 / 3, 0, 0});
        QVERIFY(!totals.Stale());
        totals.Remove({1.0 / 3, 0, 0});
        QVERIFY(totals.Stale());
        totals.Clear();
        QVERIFY(!totals.Stale());
        QCOMPARE(totals.Value().amount, 0.0);
    }

    void moneyTotalsToTheCent()
    {
        QList<FinanceRecord> rows;
        for (int i = 0; i < 100000; ++i) {
            FinanceRecord r;
            r.ie_sum = i % 2 ? "0.1" : "0.2";
            rows << r;
        }
        QCOMPARE(NumberText::Write(PageTotals::SumMoney(rows)), QString("15000"));
        rows.resize(2);
        QCOMPARE(NumberText::Write(PageTotals::SumMoney(rows)), QString("0.3"));
        rows[0].ie_sum = "2500000";
        QCOMPARE(NumberText::Write(PageTotals::SumMoney(rows)), QString("2500000.1"));
        QCOMPARE(NumberText::Write(PageTotals::SumMoney({})), QString("0"));
    }

    // A total far smaller than its amounts shows the decimal sum, not the binary remainder of
    // the amounts (12345.67 - 12280 is 65.67, never 65.6700000000001).
    void totalsThatCancelOut()
    {
        auto money = [](const QStringList& sums) {
            QList<FinanceRecord> rows;
            for (int i = 0; i < sums.size(); ++i) {
                FinanceRecord r;
                r.tab_type = i == 0 ? 0 : 3; // receipts, then purchase payments
                r.ie_sum = sums[i];
                rows << r;
            }
            return rows;
        };
        QCOMPARE(NumberText::Write(PageTotals::SumMoney(money({"12345.67", "-12280"}))),
                 QString("65.67"));
        QCOMPARE(ProfitSummary::ComputeProfit(money({"12345.67", "12280"})).at(7).ie_sum,
                 QString("65.67"));

        QRandomGenerator dice(65);
        for (int round = 0; round < 2000; ++round) {
            QStringList sums;
            qint64 cents = 0;
            for (int i = 0, n = 2 + dice.bounded(30); i < n; ++i) {
                const qint64 c = dice.bounded(-2000000000, 2000000000) / (1 + dice.bounded(1000));
                cents += c;
                sums << NumberText::Write(double(c) / 100);
            }
            QCOMPARE(NumberText::Write(PageTotals::SumMoney(money(sums))),
                     NumberText::Write(double(cents) / 100));
        }
    }
};

QTEST_GUILESS_MAIN(AmountsTest)
#include "tst_amounts.moc"
