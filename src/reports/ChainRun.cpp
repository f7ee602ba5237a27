#include "ChainRun.h"

#include "Period.h"
#include "ShopReader.h"

#include <QMutex>
#include <QThread>
#include <atomic>

namespace
{

constexpr int AllKinds = -1;
constexpr int Sale = 2;
constexpr int SalesReturn = 3;
constexpr int AllTime = 5;

// The shop's records as its pages select them, each select followed by a look at `stop`.
// False when a select failed (the reader says why) or the run was stopped (`stopped` set).
bool ReadShop(ShopReader& reader, const ChainRequest& r, const ChainRun::Stop& stop,
              ChainSummary::ShopRecords& records, bool& stopped)
{
    const std::function<bool()> steps[] = {
        // Only the texts the figures are made of: most of the time goes into turning rows into
        // records, and the returns of all time are most of the rows.
        [&] {
            return reader.SelectProductTexts(r.timeMode, AllKinds, r.startDate, r.queryDate,
                                             ChainSummary::GoodsTexts(), records.goods);
        },
        [&] {
            return reader.SelectProductTexts(r.timeMode, Sale, r.startDate, r.queryDate,
                                             ChainSummary::SalesTexts(), records.sales);
        },
        // Returns of any date count against the sales of the period.
        [&] {
            return reader.SelectProductTexts(AllTime, SalesReturn, QString(), QString(),
                                             ChainSummary::ReturnTexts(), records.salesReturns);
        },
        [&] {
            return reader.SelectFinanceTexts(r.timeMode, AllKinds, r.startDate, r.queryDate,
                                             ChainSummary::MoneyTexts(), records.money);
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

// The shops read at once, each reader on a thread and a connection of its own: while one waits
// for the server, another turns rows into records.
constexpr int Readers = 2;

// The shops of one run, handed out to the readers one at a time.
class ShopQueue
{
public:
    ShopQueue(const ChainRequest& request, const ChainRun::Stop& stop,
              const ChainRun::Progress& progress)
        : request(request), stop(stop), progress(progress), figures(request.chain.shops.size())
    {
    }

    // Reads shops until none is left or the run has ended.
    void Read()
    {
        const auto ended = [this] { return this->ended.load() || (stop && stop()); };
        for (int i = next++; i < figures.size() && !this->ended; i = next++) {
            const ChainConfig::Shop& shop = request.chain.shops.at(i);
            ShopReader reader(request.chain, shop.storeNo);
            ChainSummary::ShopRecords records;
            bool stopped = false;
            if (!ReadShop(reader, request, ended, records, stopped)) {
                End(stopped ? ChainResult::Stopped : ChainResult::Failed,
                    stopped ? QString()
                            : QStringLiteral("读取门店“%1”的记录失败：%2")
                                  .arg(shop.name, reader.LastError()));
                return;
            }
            figures[i] = ChainSummary::ForShop(std::move(records));
            const QMutexLocker lock(&mutex);
            ++done;
            if (progress)
                progress(done, int(figures.size()), shop.name);
        }
    }

    ChainResult Result() const
    {
        if (outcome != ChainResult::Done || (stop && stop()))
            return Ended(outcome == ChainResult::Done ? ChainResult::Stopped : outcome, error);
        ChainResult result;
        result.shops = request.chain.shops;
        result.figures = figures;
        result.total = ChainSummary::Total(figures);
        return result;
    }

private:
    // The first reader to stop or fail ends the run for all.
    void End(ChainResult::Outcome why, const QString& text)
    {
        const QMutexLocker lock(&mutex);
        if (!ended.exchange(true)) {
            outcome = why;
            error = text;
        }
    }

    const ChainRequest& request;
    const ChainRun::Stop& stop;
    const ChainRun::Progress& progress;
    QList<ChainSummary::Figures> figures;
    std::atomic_int next{0};
    std::atomic_bool ended{false};
    QMutex mutex;
    int done = 0;
    ChainResult::Outcome outcome = ChainResult::Done;
    QString error;
};

} // namespace

namespace ChainRun
{

ChainResult Run(const ChainRequest& request, const Stop& stop, const Progress& progress)
{
    if (!request.chain.error.isEmpty())
        return Ended(ChainResult::Failed, request.chain.error);
    ShopQueue queue(request, stop, progress);
    QList<QThread*> helpers;
    for (int i = 1; i < std::min<qsizetype>(Readers, request.chain.shops.size()); ++i) {
        helpers << QThread::create([&queue] { queue.Read(); });
        helpers.last()->start();
    }
    queue.Read();
    for (QThread* helper : helpers) {
        helper->wait();
        delete helper;
    }
    ShopReader::GiveBackFreedMemory();
    return queue.Result();
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
