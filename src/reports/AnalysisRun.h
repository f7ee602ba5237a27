#pragma once

#include "LowStock.h"
#include "Records.h"
#include "ReorderLevels.h"

#include <QList>
#include <QString>

class DatabaseEngine;
class DbManager;

// What the shop analyses read, on the calling thread's connection: the current store's goods
// records of all time, the stock the stock page computes from them, and the reorder levels.
namespace AnalysisRun
{

struct Goods {
    bool ok = false;
    QString error; // the database's reason when the select failed
    QList<ProductRecord> records;
};
Goods AllGoods(DatabaseEngine& engine);

struct StockLevels {
    bool ok = false;
    QString error;
    QList<ProductRecord> stock; // the stock entries of all time, without the unmatched records
    QList<ReorderLevel> levels;
    QList<LowStock::Alert> alerts;
};
// The store's levels, and the stock of all time with the articles at or below them. Without
// `alwaysStock` the ledger is not read when no level is set: nothing can be low then.
StockLevels Stock(DatabaseEngine& engine, DbManager& manager, bool alwaysStock = true);

} // namespace AnalysisRun
