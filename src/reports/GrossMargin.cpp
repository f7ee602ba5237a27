#include "GrossMargin.h"

#include "LedgerDay.h"
#include "NumberText.h"
#include "PageTotals.h"
#include "SalesReturns.h"

#include <QHash>

#include <algorithm>
#include <limits>
#include <vector>

namespace
{

constexpr int PurchaseIn = 0;
constexpr int Sale = 2;
constexpr int SalesReturn = 3;
constexpr int Loss = 4;

// Model and colour of a record that outlives the look-ups.
struct Article {
    const ProductRecord* record;

    bool operator==(const Article& other) const
    {
        return record->product_model == other.record->product_model &&
               record->product_color == other.record->product_color;
    }
};

size_t qHash(const Article& a, size_t seed = 0)
{
    return qHashMulti(seed, a.record->product_model, a.record->product_color);
}

// The moving average of one article.
struct Average {
    double quantity = 0;
    double price = 0;
    bool priced = false;

    void Apply(const ProductRecord& r)
    {
        const double q = NumberText::Read(r.product_num);
        if (r.tab_type != PurchaseIn) {
            quantity += r.tab_type == SalesReturn ? q : -q;
            return;
        }
        if (q <= 0)
            return;
        const double amount = PageTotals::RowGoods(r).amount;
        price = priced && quantity > 0 ? (quantity * price + amount) / (quantity + q) : amount / q;
        quantity += q;
        priced = true;
    }
};

// The dated records of kinds 0-4 in history order: by day, a day's purchases first, then input
// order. Each key holds the day, the rank in the day and the input index, so a plain sort is
// stable; `days` receives the day of every record (or nothing).
std::vector<quint64> HistoryOrder(const QList<ProductRecord>& goods,
                                  std::vector<std::optional<qint64>>& days, int& undated)
{
    days.assign(size_t(goods.size()), std::nullopt);
    qint64 firstDay = std::numeric_limits<qint64>::max();
    for (qsizetype i = 0; i < goods.size(); ++i) {
        const ProductRecord& r = goods[i];
        if (r.tab_type < PurchaseIn || r.tab_type > Loss)
            continue;
        days[size_t(i)] = LedgerDay::Read(r.product_time);
        if (days[size_t(i)])
            firstDay = std::min(firstDay, *days[size_t(i)]);
        else
            ++undated;
    }
    std::vector<quint64> order;
    order.reserve(size_t(goods.size()));
    for (qsizetype i = 0; i < goods.size(); ++i) {
        if (const std::optional<qint64>& day = days[size_t(i)]) {
            const quint64 rank = goods[i].tab_type == PurchaseIn ? 0 : 1;
            order.push_back((quint64(*day - firstDay) << 33) | (rank << 32) | quint64(i));
        }
    }
    std::sort(order.begin(), order.end());
    return order;
}

// The sums of one line.
struct LineSums {
    PageTotals::Sum quantity, amount, cost;

    void Add(const GrossMargin::SaleMargin& s, double q)
    {
        quantity.Add(q);
        amount.Add(s.amount);
        cost.Add(s.cost);
    }

    GrossMargin::Line Line(const QString& key) const
    {
        GrossMargin::Line line;
        line.key = key;
        line.quantity = quantity.Value();
        line.amount = amount.Value();
        line.cost = cost.Value();
        line.margin = line.amount - line.cost;
        if (line.amount != 0)
            line.rate = line.margin / line.amount;
        return line;
    }
};

// Lines keyed by one text of the sale.
class Lines
{
public:
    explicit Lines(QString ProductRecord::*field) : field(field) {}

    void Add(const GrossMargin::SaleMargin& s, double q)
    {
        const QString& key = s.sale.*field;
        auto found = lineOf.constFind(key);
        if (found == lineOf.cend()) {
            found = lineOf.insert(key, keys.size());
            keys << key;
            sums.append(LineSums());
        }
        sums[*found].Add(s, q);
    }

    QList<GrossMargin::Line> Sorted() const
    {
        QList<GrossMargin::Line> lines;
        lines.reserve(keys.size());
        for (qsizetype i = 0; i < keys.size(); ++i)
            lines << sums[i].Line(keys[i]);
        std::sort(lines.begin(), lines.end(),
                  [](const GrossMargin::Line& a, const GrossMargin::Line& b) {
                      return a.amount != b.amount ? a.amount > b.amount : a.key < b.key;
                  });
        return lines;
    }

private:
    QString ProductRecord::*field;
    QHash<QString, qsizetype> lineOf;
    QList<QString> keys;
    QList<LineSums> sums;
};

} // namespace

namespace GrossMargin
{

Margins Compute(const QList<ProductRecord>& goods, const QDate& first, const QDate& last)
{
    Margins result;
    std::vector<std::optional<qint64>> days;
    const std::vector<quint64> order = HistoryOrder(goods, days, result.undated);
    const qint64 from = first.toJulianDay(), to = last.toJulianDay();
    auto inPeriod = [&](qsizetype i) {
        return goods[i].tab_type == Sale && days[size_t(i)] && *days[size_t(i)] >= from &&
               *days[size_t(i)] <= to;
    };

    // The average price of each sale of the period, as the history stands on its date.
    std::vector<std::optional<double>> unitCost(size_t(goods.size()));
    QHash<Article, qsizetype> averageOf;
    std::vector<Average> averages;
    for (const quint64 key : order) {
        const qsizetype i = qsizetype(key & 0xffffffffu);
        const ProductRecord& r = goods[i];
        auto found = averageOf.constFind(Article{&r});
        if (found == averageOf.cend()) {
            found = averageOf.insert(Article{&r}, qsizetype(averages.size()));
            averages.emplace_back();
        }
        Average& average = averages[size_t(*found)];
        if (average.priced && inPeriod(i))
            unitCost[size_t(i)] = average.price;
        average.Apply(r);
    }

    QList<ProductRecord> sales;
    std::vector<qsizetype> saleIndex;
    QList<ProductRecord> returns;
    for (qsizetype i = 0; i < goods.size(); ++i) {
        if (goods[i].tab_type == SalesReturn) {
            returns << goods[i];
        } else if (inPeriod(i)) {
            sales << goods[i];
            ProductRecord& sale = sales.last();
            const double amount = PageTotals::RowGoods(sale).amount;
            if (amount != NumberText::Read(sale.product_total))
                sale.product_total = NumberText::Write(amount);
            saleIndex.push_back(i);
        }
    }
    SalesReturns::DeductSalesReturns(sales, returns);

    Lines bySalesperson(&ProductRecord::product_purchase), byModel(&ProductRecord::product_model);
    LineSums total;
    for (qsizetype j = 0; j < sales.size(); ++j) {
        const std::optional<double>& unit = unitCost[size_t(saleIndex[size_t(j)])];
        if (!unit) {
            result.unpriced << std::move(sales[j]);
            result.unpriced.last().prodcut_remark += UnpricedNote;
            continue;
        }
        const double q = NumberText::Read(sales[j].product_num);
        SaleMargin s;
        s.sale = std::move(sales[j]);
        s.unitCost = *unit;
        s.amount = NumberText::Read(s.sale.product_total);
        s.cost = q * *unit;
        s.margin = s.amount - s.cost;
        bySalesperson.Add(s, q);
        byModel.Add(s, q);
        total.Add(s, q);
        result.sales << std::move(s);
    }
    result.bySalesperson = bySalesperson.Sorted();
    result.byModel = byModel.Sorted();
    result.total = total.Line(QString());
    return result;
}

} // namespace GrossMargin
