#pragma once

#include "Records.h"

#include <QDate>
#include <QList>

#include <optional>

// The gross margin of the sales of a period: what they brought in, less what the goods cost at
// the moving average purchase price.
//
// The moving average runs per model and colour (exact texts) over the whole goods history in date
// order. It holds a quantity on hand and an average price:
// - a purchase (kind 0) of positive quantity q and amount t (its total, or q x price when the
//   total is blank) sets the price to (quantity x price + t) / (quantity + q) and adds q; when
//   nothing was on hand (quantity at or below 0, sold ahead of the goods) or no purchase came
//   before, the price becomes t / q. A purchase of no positive quantity brings nothing in.
// - purchase returns (1), sales (2) and losses (4) take their quantity out, sales returns (3)
//   put theirs back, all at the current price, which they leave as it is. The quantity may fall
//   below 0 (more sold than bought); the price then stays as it was until the next purchase.
// Within one day the purchases come first, then the other records in their input order: dates
// carry no time, and goods sold on the day they arrive were bought before they were sold
// (ordered the other way, a shop's first sale of a fresh delivery would find no price). Rows
// whose date cannot be read have no place in the history and are left out of it.
namespace GrossMargin
{

// Appended to the remark of a sale that cannot be priced.
inline const QString UnpricedNote = QStringLiteral(
    "注意，该型号及色号在此次销售之前没有进货记录，无法按进货均价计算成本，未计入毛利");

// The figures of one priced sale.
struct SaleMargin {
    double quantity = 0; // quantity after returns
    double unitCost = 0; // the moving average purchase price on the sale's date
    double amount = 0;   // sales amount after returns
    double cost = 0;     // quantity x unit cost
    double margin = 0;   // amount - cost

    bool operator==(const SaleMargin&) const = default;
};

struct Line {
    QString key; // the salesperson or the model; empty on the total line
    double quantity = 0;
    double amount = 0;
    double cost = 0;
    double margin = 0;
    std::optional<double> rate; // margin / amount; none when nothing was sold for money
};

struct Margins {
    QList<qsizetype> sales;        // the priced sales of the period: their index in `goods`,
                                   // in input order
    QList<SaleMargin> margins;     // the figures of each of those sales, in the same order, its
                                   // returns deducted as the sales statistics show them
    QList<ProductRecord> unpriced; // sales of goods not bought in before them, with UnpricedNote
    QList<Line> bySalesperson;     // largest amount first; equal amounts by key text
    QList<Line> byModel;
    Line total;
    int undated = 0; // records of kinds 0-4 whose date cannot be read
};

// The margins of the sales (kind 2) dated from `first` to `last` (both included). `goods` is the
// full goods history, of every kind and date: the purchases before the period price its sales.
// Sales count as the sales statistics show them: a blank total is first filled with quantity x
// price, as the page totals count it, then every sales return of the history, whatever its date,
// is deducted from the first matching sale (SalesReturns::DeductSalesReturns). A sale's cost is
// its quantity after returns at the average price of its model and colour on its date; a sale of
// an article with no purchase before it has no such price and is listed apart, never priced at
// zero. Amounts are compensated sums; the margin rate is margin / amount.
Margins Compute(const QList<ProductRecord>& goods, const QDate& first, const QDate& last);

} // namespace GrossMargin
