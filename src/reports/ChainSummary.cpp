#include "ChainSummary.h"

#include "NumberText.h"
#include "PageTotals.h"
#include "ProfitSummary.h"
#include "SalesReturns.h"
#include "StockComputation.h"

#include <span>

namespace
{

// Record text positions.
namespace Text
{
constexpr int Serial = 0, Model = 3, Colour = 4, Store = 8, Quantity = 9, Price = 10, Total = 11,
              Paid = 12, Unpaid = 13, Customer = 14, Salesperson = 15;
// The amount of a money record.
constexpr int Sum = 2;
} // namespace Text

constexpr int PurchaseIn = 0;
constexpr int PurchaseReturn = 1;
constexpr int Loss = 4;

// Profit rows by money kind: receipts and other income come in; kind 1, the receivables, is
// money not received yet; kinds 3-6 are what the profit counts out.
constexpr int ReceivedRows[] = {0, 2};
constexpr int PaidRows[] = {3, 4, 5, 6};

// The sum of some profit rows' amounts, as they stand in the table.
double ProfitRows(const QList<FinanceRecord>& rows, std::span<const int> which)
{
    PageTotals::Sum sum;
    for (int row : which)
        sum.Add(NumberText::Read(rows.at(row).ie_sum));
    return sum.Value();
}

void AddStock(const QList<ProductRecord>& goods, ChainSummary::Figures& f)
{
    // The inventory page as the super user sees it: unit prices and amounts shown. Its stock
    // entries are the rows of purchase-ins; any other row is a record it could not place.
    const QList<ProductRecord> rows = StockComputation::ComputeStock(goods, true);
    PageTotals::Sum quantity;
    qsizetype unplaced = 0;
    for (const ProductRecord& row : rows) {
        if (row.tab_type == PurchaseIn)
            quantity.Add(NumberText::Read(row.product_num));
        else
            ++unplaced;
    }
    f[ChainSummary::StockQuantity] = quantity.Value();
    f[ChainSummary::StockValue] = PageTotals::SumGoodsOfKind(rows, PurchaseIn).amount;
    f[ChainSummary::UnplacedRecords] = double(unplaced);
}

} // namespace

namespace ChainSummary
{

const QList<int>& GoodsTexts()
{
    // The stock's articles and entries, and the amounts of purchases, returns and losses.
    static const QList<int> texts = {Text::Serial,   Text::Model, Text::Colour, Text::Store,
                                     Text::Quantity, Text::Price, Text::Total,  Text::Unpaid};
    return texts;
}

const QList<int>& SalesTexts()
{
    // The deduction's keys and the sales statistics' amounts.
    static const QList<int> texts = {Text::Model,    Text::Quantity,   Text::Price,
                                     Text::Total,    Text::Paid,       Text::Unpaid,
                                     Text::Customer, Text::Salesperson};
    return texts;
}

const QList<int>& ReturnTexts()
{
    // PostgreSQL answers these from the store's index of the returns alone (SqlDialect), which
    // holds exactly these: a text added here goes into that index too.
    static const QList<int> texts = {Text::Model, Text::Quantity, Text::Total, Text::Customer,
                                     Text::Salesperson};
    return texts;
}

const QList<int>& MoneyTexts()
{
    static const QList<int> texts = {Text::Sum};
    return texts;
}

Figures ForShop(ShopRecords records)
{
    Figures f{};
    // The notes of the deduction are not part of the figures.
    SalesReturns::DeductFigures(records.sales, records.salesReturns);
    const PageTotals::GoodsTotals sales = PageTotals::SumGoods(records.sales);
    f[Sales] = sales.amount;
    f[CustomersUnpaid] = sales.unpaid;

    // Each kind's rows as the page of that kind selects them: only their sums are taken, and
    // sums do not depend on the order.
    const QList<ProductRecord>& goods = records.goods;
    const PageTotals::GoodsTotals bought = PageTotals::SumGoodsOfKind(goods, PurchaseIn);
    PageTotals::Sum purchases;
    purchases.Add(bought.amount);
    purchases.Add(-PageTotals::SumGoodsOfKind(goods, PurchaseReturn).amount);
    f[Purchases] = purchases.Value();
    f[SuppliersUnpaid] = bought.unpaid;
    f[Losses] = PageTotals::SumGoodsOfKind(goods, Loss).amount;

    const QList<FinanceRecord> profit = ProfitSummary::ComputeProfit(records.money);
    f[Received] = ProfitRows(profit, ReceivedRows);
    f[Paid] = ProfitRows(profit, PaidRows);
    f[Profit] = ProfitSummary::OperatingProfit(profit);

    AddStock(records.goods, f);
    return f;
}

Figures Total(const QList<Figures>& shops)
{
    std::array<PageTotals::Sum, ColumnCount> sums;
    for (const Figures& shop : shops) {
        for (int c = 0; c < ColumnCount; ++c)
            sums[c].Add(shop[c]);
    }
    Figures total{};
    for (int c = 0; c < ColumnCount; ++c)
        total[c] = sums[c].Value();
    return total;
}

} // namespace ChainSummary
