#pragma once

#include "Records.h"
#include "ReorderLevels.h"

#include <QList>

// The low-stock list: the articles whose stock on hand has fallen to or below the level at which
// the shop reorders them.
namespace LowStock
{

// The reorder level of one article: a model and colour in one store place, as stored.
using Level = ReorderLevel;

// One line of the list.
struct Alert {
    QString model;
    QString colour;
    QString place;
    QString name;         // the goods name of the stock row; empty without one
    double onHand = 0;    // stock on hand
    double level = 0;     // reorder level
    double shortfall = 0; // level - on hand: what brings the article back to its level
    bool stocked = true;  // false: no stock row at all (never bought in, or its purchases deleted)

    bool operator==(const Alert&) const = default;
};

// `stockRows` are rows as StockComputation::ComputeStock makes them, over the records of all
// time: its stock entries (kind 0) carry the stock on hand; the unmatched records it lists after
// them (kinds 1-4) are findings, not stock, and are passed over. An article is model, colour and
// store place compared as exact texts (case and blanks count), as the stock computation groups
// them, so a level applies to exactly the stock it reports.
//
// Lists, in the order of the stock rows, every entry whose quantity is at or below its article's
// level (a level of 0 warns when the article has run out); an entry without a level is not
// listed. Then, in the order of the levels, every level at or above 0 whose article has no stock
// entry: nothing of it is on hand. Of several levels for one article the last counts.
QList<Alert> Alerts(const QList<ProductRecord>& stockRows, const QList<Level>& levels);

} // namespace LowStock

Q_DECLARE_TYPEINFO(LowStock::Alert, Q_RELOCATABLE_TYPE);
