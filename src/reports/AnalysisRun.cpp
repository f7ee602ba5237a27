#include "AnalysisRun.h"

#include "DatabaseEngine.h"
#include "StockComputation.h"

namespace
{

constexpr int AllTime = 5;
constexpr int AllKinds = -1;
constexpr int StockEntry = 0;

} // namespace

namespace AnalysisRun
{

Goods AllGoods(DatabaseEngine& engine)
{
    Goods goods;
    goods.ok = engine.SelectProductRecords(AllTime, AllKinds, QString(), QString(), goods.records);
    if (!goods.ok) {
        goods.error = engine.LastError();
        goods.records.clear();
    }
    return goods;
}

StockLevels Stock(DatabaseEngine& engine, DbManager& manager, bool alwaysStock)
{
    StockLevels result;
    ReorderLevels levels(manager, engine.StoreNo());
    if (!levels.Load(result.levels)) {
        result.error = levels.LastError();
        return result;
    }
    if (result.levels.isEmpty() && !alwaysStock) {
        result.ok = true;
        return result;
    }
    Goods goods = AllGoods(engine);
    if (!goods.ok) {
        result.error = goods.error;
        return result;
    }
    // Amounts play no part in the levels; the stock is counted as every role sees it.
    result.stock = StockComputation::ComputeStock(goods.records, false);
    result.alerts = LowStock::Alerts(result.stock, result.levels);
    result.stock.removeIf([](const ProductRecord& r) { return r.tab_type != StockEntry; });
    result.ok = true;
    return result;
}

} // namespace AnalysisRun
