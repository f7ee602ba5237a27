#pragma once

#include "FigureTable.h"
#include "GrossMargin.h"
#include "LowStock.h"
#include "UnpaidAgeing.h"

#include <QDate>
#include <QStringList>

// The shop analyses as tables of figures, as they are shown, sorted, exported and printed, with
// the notes that say what the figures leave out.
namespace AnalysisTables
{

struct View {
    QString name; // what the clerk picks the table by
    FigureTable table;
    QStringList notes;
};

// The articles at or below their reorder level.
View LowStockList(const QList<LowStock::Alert>& alerts);

enum class Parties { Customers, Suppliers };
// What each customer or supplier owed on `day`, by age, with the total row; the undated column
// only when some amount has no readable date.
View Ageing(const UnpaidAgeing::Ageing& ageing, Parties parties, const QDate& day);

enum class MarginKey { Salesperson, Model };
// The margin lines of a period with the total row: amount, cost, margin, quantity and the margin
// rate in percent (empty without a sales amount). The amount is the first number column, the
// one the bar chart shows first.
View Margins(const GrossMargin::Margins& margins, MarginKey key, const QDate& first,
             const QDate& last);
// The sales of the period that could not be priced, each with its note.
View Unpriced(const GrossMargin::Margins& margins, const QDate& first, const QDate& last);

// A margin rate as percent with one decimal (1/3 -> 33.3).
double RatePercent(double rate);

} // namespace AnalysisTables
