#include "GrossMargin.h"

#include "LedgerDay.h"
#include "NumberText.h"
#include "PageTotals.h"
#include "SalesReturns.h"
#include "TextNumbers.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace
{

constexpr int PurchaseIn = 0;
constexpr int Sale = 2;
constexpr int SalesReturn = 3;
constexpr int Loss = 4;

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

// The goods history: the day of every record and the dated records of kinds 0-4 in history
// order (by day, a day's purchases first, then input order).
class History
{
public:
    explicit History(const QList<ProductRecord>& goods);

    int Undated() const { return undated; }
    // True for a sale dated from day `from` to day `to` (Julian day numbers).
    bool IsSaleIn(qsizetype i, qint64 from, qint64 to) const
    {
        return goods[i].tab_type == Sale && days[size_t(i)] && *days[size_t(i)] >= from &&
               *days[size_t(i)] <= to;
    }
    // Calls `visit` with the index of every dated record, in history order.
    template <typename Visit> void ForEach(Visit visit) const
    {
        for (const quint64 key : order)
            visit(qsizetype(key & IndexMask));
    }

private:
    static constexpr quint64 IndexMask = 0xffffffffu;

    const QList<ProductRecord>& goods;
    std::vector<std::optional<qint64>> days;
    // Day, rank in the day and input index in one key each, so that a plain sort is stable.
    std::vector<quint64> order;
    int undated = 0;
};

History::History(const QList<ProductRecord>& goods) : goods(goods), days(size_t(goods.size()))
{
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
    order.reserve(size_t(goods.size()));
    for (qsizetype i = 0; i < goods.size(); ++i) {
        if (const std::optional<qint64>& day = days[size_t(i)]) {
            const quint64 rank = goods[i].tab_type == PurchaseIn ? 0 : 1;
            order.push_back((quint64(*day - firstDay) << 33) | (rank << 32) | quint64(i));
        }
    }
    std::sort(order.begin(), order.end());
}

// The moving average price of each sale of the period, by input index, as the history stands on
// the sale's date; nothing for a sale of an article without a purchase before it.
std::vector<std::optional<double>> UnitCosts(const QList<ProductRecord>& goods,
                                             const History& history, qint64 from, qint64 to)
{
    std::vector<std::optional<double>> unitCost(size_t(goods.size()));
    TextNumbers<2> articles; // model and colour
    std::vector<Average> averages;
    history.ForEach([&](qsizetype i) {
        const ProductRecord& r = goods[i];
        const int article = articles.Of({r.product_model, r.product_color});
        if (size_t(article) == averages.size())
            averages.emplace_back();
        Average& average = averages[size_t(article)];
        if (average.priced && history.IsSaleIn(i, from, to))
            unitCost[size_t(i)] = average.price;
        average.Apply(r);
    });
    return unitCost;
}

// The sales of the period, by input index, with their quantity and amount as the sales
// statistics show them (a blank total filled, then the returns of all time deducted), worked out
// on the figures alone: the texts of a sale are only made for those listed apart.
class PeriodSales
{
public:
    PeriodSales(const QList<ProductRecord>& goods, const History& history, qint64 from, qint64 to);

    qsizetype Size() const { return qsizetype(index.size()); }
    qsizetype Index(qsizetype j) const { return index[size_t(j)]; }
    double Quantity(qsizetype j) const { return quantity[size_t(j)]; }
    double Amount(qsizetype j) const { return amount[size_t(j)]; }
    // The sales at positions `which` (in increasing order) as the sales statistics show them,
    // their returns deducted with their notes.
    QList<ProductRecord> Records(const std::vector<qsizetype>& which) const;

private:
    const QList<ProductRecord>& goods;
    std::vector<qsizetype> index;
    std::vector<double> quantity;
    std::vector<double> amount;
    std::vector<const ProductRecord*> returns;
    std::vector<qsizetype> targets; // the sale each return is deducted from, or -1
};

PeriodSales::PeriodSales(const QList<ProductRecord>& goods, const History& history, qint64 from,
                         qint64 to)
    : goods(goods)
{
    std::vector<const ProductRecord*> sales;
    for (qsizetype i = 0; i < goods.size(); ++i) {
        if (history.IsSaleIn(i, from, to)) {
            const ProductRecord& sale = goods[i];
            index.push_back(i);
            sales.push_back(&sale);
            quantity.push_back(NumberText::Read(sale.product_num));
            // The text a filled total would have, read back.
            const double filled = PageTotals::RowGoods(sale).amount;
            const double written = NumberText::Read(sale.product_total);
            amount.push_back(filled != written ? NumberText::ReadBack(filled) : written);
        } else if (goods[i].tab_type == SalesReturn) {
            returns.push_back(&goods[i]);
        }
    }
    targets = SalesReturns::Targets(sales, returns);
    // Each step goes on from what the text of the step before reads as.
    for (size_t k = 0; k < returns.size(); ++k) {
        const qsizetype j = targets[k];
        if (j < 0)
            continue;
        quantity[size_t(j)] =
            NumberText::ReadBack(quantity[size_t(j)] - NumberText::Read(returns[k]->product_num));
        amount[size_t(j)] =
            NumberText::ReadBack(amount[size_t(j)] - NumberText::Read(returns[k]->product_total));
    }
}

QList<ProductRecord> PeriodSales::Records(const std::vector<qsizetype>& which) const
{
    QList<ProductRecord> records;
    std::vector<qsizetype> slot(index.size(), -1);
    for (const qsizetype j : which) {
        slot[size_t(j)] = records.size();
        ProductRecord& sale = records.emplaceBack(goods[Index(j)]);
        const double filled = PageTotals::RowGoods(sale).amount;
        if (filled != NumberText::Read(sale.product_total))
            sale.product_total = NumberText::Write(filled);
    }
    for (size_t k = 0; k < returns.size(); ++k) {
        if (targets[k] >= 0 && slot[size_t(targets[k])] >= 0)
            SalesReturns::Deduct(records[slot[size_t(targets[k])]], *returns[k]);
    }
    return records;
}

// The sums of one line.
struct LineSums {
    PageTotals::Sum quantity, amount, cost;

    void Add(const GrossMargin::SaleMargin& s)
    {
        quantity.Add(s.quantity);
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

    void Add(const ProductRecord& sale, const GrossMargin::SaleMargin& s)
    {
        const QString& key = sale.*field;
        const int line = lineOf.Of({key});
        if (line == keys.size()) {
            keys << key;
            sums.append(LineSums());
        }
        sums[line].Add(s);
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
    TextNumbers<1> lineOf;
    QList<QString> keys;
    QList<LineSums> sums;
};

} // namespace

namespace GrossMargin
{

Margins Compute(const QList<ProductRecord>& goods, const QDate& first, const QDate& last)
{
    const History history(goods);
    const qint64 from = first.toJulianDay(), to = last.toJulianDay();
    const std::vector<std::optional<double>> unitCost = UnitCosts(goods, history, from, to);
    const PeriodSales sales(goods, history, from, to);

    Margins result;
    result.undated = history.Undated();
    Lines bySalesperson(&ProductRecord::product_purchase), byModel(&ProductRecord::product_model);
    LineSums total;
    result.sales.reserve(sales.Size());
    result.margins.reserve(sales.Size());
    std::vector<qsizetype> unpriced;
    for (qsizetype j = 0; j < sales.Size(); ++j) {
        const qsizetype i = sales.Index(j);
        const std::optional<double>& unit = unitCost[size_t(i)];
        if (!unit) {
            unpriced.push_back(j);
            continue;
        }
        SaleMargin s;
        s.quantity = sales.Quantity(j);
        s.unitCost = *unit;
        s.amount = sales.Amount(j);
        s.cost = s.quantity * *unit;
        s.margin = s.amount - s.cost;
        bySalesperson.Add(goods[i], s);
        byModel.Add(goods[i], s);
        total.Add(s);
        result.sales << i;
        result.margins << s;
    }
    result.unpriced = sales.Records(unpriced);
    for (ProductRecord& sale : result.unpriced)
        sale.prodcut_remark += UnpricedNote;
    result.bySalesperson = bySalesperson.Sorted();
    result.byModel = byModel.Sorted();
    result.total = total.Line(QString());
    return result;
}

} // namespace GrossMargin
