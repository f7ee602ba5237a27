#include "ChainSummary.h"

#include "NumberText.h"
#include "PageTotals.h"
#include "ProfitSummary.h"
#include "SalesReturns.h"
#include "StockComputation.h"

#include <span>

namespace
{

constexpr int PurchaseIn = 0;
constexpr int PurchaseReturn = 1;
constexpr int Loss = 4;
constexpr int GoodsKinds = 5;

// Profit rows by money kind: receipts and other income come in; kind 1, the receivables, is
// money not received yet; kinds 3-6 are what the profit counts out.
constexpr int ReceivedRows[] = {0, 2};
constexpr int PaidRows[] = {3, 4, 5, 6};

// The purchase-in, purchase-return and loss records, each kind in its order: what the page of
// that kind selects. Only the sums of these pages are taken, and sums do not depend on the order.
std::array<QList<ProductRecord>, GoodsKinds> SummedPages(const QList<ProductRecord>& goods)
{
    std::array<QList<ProductRecord>, GoodsKinds> pages;
    for (const ProductRecord& r : goods) {
        if (r.tab_type == PurchaseIn || r.tab_type == PurchaseReturn || r.tab_type == Loss)
            pages[r.tab_type] << r;
    }
    return pages;
}

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
    // The inventory page as the super user sees it: unit prices and amounts shown.
    QList<ProductRecord> entries;
    qsizetype unplaced = 0;
    for (ProductRecord& row : StockComputation::ComputeStock(goods, true)) {
        if (row.tab_type == PurchaseIn)
            entries << std::move(row);
        else
            ++unplaced;
    }
    PageTotals::Sum quantity;
    for (const ProductRecord& entry : std::as_const(entries))
        quantity.Add(NumberText::Read(entry.product_num));
    f[ChainSummary::StockQuantity] = quantity.Value();
    f[ChainSummary::StockValue] = PageTotals::SumGoods(entries).amount;
    f[ChainSummary::UnplacedRecords] = double(unplaced);
}

} // namespace

namespace ChainSummary
{

Figures ForShop(const ShopRecords& records)
{
    Figures f{};
    std::array<QList<ProductRecord>, GoodsKinds> pages = SummedPages(records.goods);

    QList<ProductRecord> sales = records.sales;
    SalesReturns::DeductSalesReturns(sales, records.salesReturns);
    const PageTotals::GoodsTotals salesTotals = PageTotals::SumGoods(sales);
    f[Sales] = salesTotals.amount;
    f[CustomersUnpaid] = salesTotals.unpaid;

    const PageTotals::GoodsTotals purchaseTotals = PageTotals::SumGoods(pages[PurchaseIn]);
    PageTotals::Sum purchases;
    purchases.Add(purchaseTotals.amount);
    purchases.Add(-PageTotals::SumGoods(pages[PurchaseReturn]).amount);
    f[Purchases] = purchases.Value();
    f[SuppliersUnpaid] = purchaseTotals.unpaid;
    f[Losses] = PageTotals::SumGoods(pages[Loss]).amount;

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
