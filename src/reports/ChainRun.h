#pragma once

#include "ChainConfig.h"
#include "ChainSummary.h"

#include <QList>
#include <QString>
#include <functional>

// One summary of a chain's shops as the background job is handed it.
struct ChainRequest {
    ChainConfig chain;
    // The period as the query dialog gives it: 1 one day, 2 the month of queryDate, 3 its year,
    // 4 startDate to queryDate, 5 all time.
    int timeMode = 2;
    QString startDate; // "yyyy-MM-dd"
    QString queryDate;
};

// The figures of every shop in the chain's order and their total, all or nothing: a run that
// was stopped or failed carries no figures.
struct ChainResult {
    enum Outcome { Done, Stopped, Failed };
    Outcome outcome = Done;
    QString error; // the shop and the database's reason when a select failed
    QList<ChainConfig::Shop> shops;
    QList<ChainSummary::Figures> figures;
    ChainSummary::Figures total{};
};

// Reads each shop of the chain with the selects of its own pages (sales statistics, goods pages
// and inventory, money pages and profit) and computes its figures. Two shops are read at once:
// one on the calling thread, one on a thread the run starts, each on its own connection. Only the
// shops the chain names are read.
namespace ChainRun
{

// Asked between the selects, from both reading threads: true ends the run.
using Stop = std::function<bool()>;
// After each shop, from the thread that read it (one call at a time, `done` counting up): how
// many are done of how many, and the name of the one just read.
using Progress = std::function<void(int done, int shops, const QString& name)>;

ChainResult Run(const ChainRequest& request, const Stop& stop = {}, const Progress& progress = {});

// "2024-05-01 至 2024-05-31", the day itself, or "全部时间"; empty for a date that cannot be
// read.
QString PeriodText(int timeMode, const QString& startDate, const QString& queryDate);

} // namespace ChainRun
