#include "QueryRun.h"

#include "ContentFilter.h"
#include "DatabaseEngine.h"
#include "ProfitSummary.h"
#include "SalesReturns.h"
#include "StockComputation.h"

#include <QHash>

namespace
{

constexpr int AllKinds = -1;
constexpr int Sale = 2;
constexpr int SalesReturn = 3;
constexpr int AllTime = 5;

void Failed(QueryResult& result, const DatabaseEngine& engine)
{
    result.ok = false;
    result.error = engine.LastError();
    result.goods.clear();
    result.money.clear();
}

void RunGoods(DatabaseEngine& engine, const QueryRequest& request, QueryResult& result)
{
    const QueryCriteria& c = request.criteria;
    const bool inventory = c.page == QueryRun::InventoryPage;
    QList<ProductRecord> records;
    if (!engine.SelectProductRecords(c.timeMode, inventory ? AllKinds : c.page, c.startDate,
                                     c.queryDate, records)) {
        Failed(result, engine);
        return;
    }
    if (!c.allRecords)
        records = ContentFilter::Goods(records, c.goods);
    if (inventory) {
        result.goods = StockComputation::ComputeStock(records, request.seesPrices);
        result.code = c.allRecords ? 3 : 1;
    } else {
        result.goods = std::move(records);
        result.code = c.allRecords ? 4 : 2;
    }
}

void RunSales(DatabaseEngine& engine, const QueryRequest& request, QueryResult& result)
{
    const QueryCriteria& c = request.criteria;
    QList<ProductRecord> sales;
    QList<ProductRecord> returns;
    // Returns of any date count against the sales of the period.
    if (!engine.SelectProductRecords(c.timeMode, Sale, c.startDate, c.queryDate, sales) ||
        !engine.SelectProductRecords(AllTime, SalesReturn, QString(), QString(), returns)) {
        Failed(result, engine);
        return;
    }
    SalesReturns::DeductSalesReturns(sales, returns);
    result.goods = c.allRecords ? std::move(sales) : ContentFilter::Sales(sales, c.sales);
    result.code = c.allRecords ? 6 : 5;
}

void RunMoney(DatabaseEngine& engine, const QueryRequest& request, QueryResult& result)
{
    const QueryCriteria& c = request.criteria;
    const bool profit = c.page == QueryRun::ProfitPage;
    QList<FinanceRecord> records;
    if (!engine.SelectFinanceRecords(c.timeMode, profit ? AllKinds : c.page, c.startDate,
                                     c.queryDate, records)) {
        Failed(result, engine);
        return;
    }
    if (!c.allRecords)
        records = ContentFilter::Money(records, c.money);
    if (profit) {
        result.money = ProfitSummary::ComputeProfit(records);
        result.code = c.allRecords ? 9 : 7;
    } else {
        result.money = std::move(records);
        result.code = c.allRecords ? 10 : 8;
    }
}

} // namespace

namespace QueryRun
{

std::optional<Target> ForButton(const QString& button)
{
    static const QHash<QString, Target> targets = [] {
        QHash<QString, Target> t;
        t.insert(QStringLiteral("btn_purquery"), {GoodsGroup, 0, 0});
        for (int page = 1; page <= InventoryPage; ++page)
            t.insert(QStringLiteral("btn_purquery_%1").arg(page + 1), {GoodsGroup, page, 0});
        t.insert(QStringLiteral("btn_salequery_1"), {SalesGroup, 0, 1});
        for (int page = 0; page <= ProfitPage; ++page)
            t.insert(QStringLiteral("btn_finquery_%1").arg(page + 1), {MoneyGroup, page, 2});
        return t;
    }();
    const auto found = targets.constFind(button);
    return found == targets.cend() ? std::nullopt : std::optional<Target>(*found);
}

QueryResult Run(DatabaseEngine& engine, const QueryRequest& request)
{
    const QueryCriteria& c = request.criteria;
    QueryResult result;
    result.run = request.run;
    result.group = c.group;
    result.page = c.page;
    if (c.group == GoodsGroup && c.page >= 0 && c.page <= InventoryPage)
        RunGoods(engine, request, result);
    else if (c.group == SalesGroup && c.page == 0)
        RunSales(engine, request, result);
    else if (c.group == MoneyGroup && c.page >= 0 && c.page <= ProfitPage)
        RunMoney(engine, request, result);
    return result;
}

} // namespace QueryRun
