#pragma once

#include "QueryCriteria.h"
#include "Records.h"

#include <QList>
#include <QMetaType>
#include <QString>
#include <optional>

class DatabaseEngine;

// One query as it is handed to the background job: the criteria as they were when it started.
struct QueryRequest {
    QueryCriteria criteria;
    bool seesPrices = false; // the signed-in user may see unit prices and amounts of the stock
    quint64 run = 0;         // numbers the runs of one window, later runs higher
};

// What a query job hands back, carried by the signal that reports it.
struct QueryResult {
    quint64 run = 0;
    int group = 0;
    int page = 0;
    // 1 stock of the filtered records, 2 filtered goods, 3 stock of all, 4 all goods,
    // 5 filtered sales statistics, 6 all of them, 7 profit of the filtered money records,
    // 8 filtered money, 9 profit of all, 10 all money; 0 for a page no query fills.
    int code = 0;
    bool ok = true;
    QString error; // the database's reason when a select failed
    QList<ProductRecord> goods;
    QList<FinanceRecord> money;
};

Q_DECLARE_METATYPE(QueryResult)

// Runs a query: the selects of the period for the current store, the content filters and the
// stock, sales-return and profit computations of the computed pages.
namespace QueryRun
{

enum Group { GoodsGroup = 1, SalesGroup = 2, MoneyGroup = 3 };
inline constexpr int InventoryPage = 5;
inline constexpr int ProfitPage = 7;

// The page a query button fills and the criteria page the dialog shows for it.
struct Target {
    int group = 0;
    int page = 0;
    int criteriaPage = 0;
};
std::optional<Target> ForButton(const QString& button);

QueryResult Run(DatabaseEngine& engine, const QueryRequest& request);

} // namespace QueryRun
