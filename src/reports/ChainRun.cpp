#include "ChainRun.h"

#include "Period.h"
#include "ShopReader.h"

namespace
{

constexpr int AllKinds = -1;
constexpr int Sale = 2;
constexpr int SalesReturn = 3;
constexpr int AllTime = 5;

// The shop's records as its pages select them, each select followed by a look at `stop`.
// False when a select failed (`error` says why) or the run was stopped (`stopped` set).
bool ReadShop(ShopReader& reader, const ChainRequest& r, const ChainRun::Stop& stop,
              ChainSummary::ShopRecords& records, bool& stopped)
{
    const std::function<bool()> steps[] = {
        [&] {
            return reader.SelectProductRecords(r.timeMode, AllKinds, r.startDate, r.queryDate,
                                               records.goods);
        },
        [&] {
            return reader.SelectProductRecords(r.timeMode, Sale, r.startDate, r.queryDate,
                                               records.sales);
        },
        // Returns of any date count against the sales of the period.
        [&] {
            return reader.SelectProductRecords(AllTime, SalesReturn, QString(), QString(),
                                               records.salesReturns);
        },
        [&] {
            return reader.SelectFinanceRecords(r.timeMode, AllKinds, r.startDate, r.queryDate,
                                               records.money);
        }};
    for (const auto& step : steps) {
        if (stop && stop()) {
            stopped = true;
            return false;
        }
        if (!step())
            return false;
    }
    return true;
}

ChainResult Ended(ChainResult::Outcome outcome, const QString& error = QString())
{
    ChainResult result;
    result.outcome = outcome;
    result.error = error;
    return result;
}

} // namespace

namespace ChainRun
{

ChainResult Run(const ChainRequest& request, const Stop& stop, const Progress& progress)
{
    if (!request.chain.error.isEmpty())
        return Ended(ChainResult::Failed, request.chain.error);
    ChainResult result;
    const int count = int(request.chain.shops.size());
    for (int i = 0; i < count; ++i) {
        const ChainConfig::Shop& shop = request.chain.shops.at(i);
        ShopReader reader(request.chain, shop.storeNo);
        ChainSummary::ShopRecords records;
        bool stopped = false;
        if (!ReadShop(reader, request, stop, records, stopped)) {
            if (stopped)
                return Ended(ChainResult::Stopped);
            return Ended(
                ChainResult::Failed,
                QStringLiteral("读取门店“%1”的记录失败：%2").arg(shop.name, reader.LastError()));
        }
        result.shops << shop;
        result.figures << ChainSummary::ForShop(std::move(records));
        if (progress)
            progress(i + 1, count, shop.name);
    }
    if (stop && stop())
        return Ended(ChainResult::Stopped);
    result.total = ChainSummary::Total(result.figures);
    return result;
}

QString PeriodText(int timeMode, const QString& startDate, const QString& queryDate)
{
    if (timeMode == 1)
        return queryDate;
    if (timeMode == AllTime)
        return QStringLiteral("全部时间");
    const std::optional<Period> period = Period::ForMode(timeMode, startDate, queryDate);
    return period ? QStringLiteral("%1 至 %2").arg(period->first, period->last) : QString();
}

} // namespace ChainRun
