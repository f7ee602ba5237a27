#pragma once

#include "GrossMargin.h"
#include "LowStock.h"
#include "ReportTable.h"
#include "UnpaidAgeing.h"

#include <QDate>

// The shop analyses as tables of texts, as they are shown, exported and printed: numbers as
// number texts, the totals as lines below the rows.
namespace AnalysisTables
{

// The articles at or below their reorder level.
ReportTable LowStockList(const QList<LowStock::Alert>& alerts);

enum class Parties { Customers, Suppliers };
// What each customer or supplier owed on `day`, by age; the undated column only when some amount
// has no readable date.
ReportTable Ageing(const UnpaidAgeing::Ageing& ageing, Parties parties, const QDate& day);

enum class MarginKey { Salesperson, Model };
// The margin lines of a period with the total below them. The margin column (4) is what the bar
// chart shows.
ReportTable Margins(const GrossMargin::Margins& margins, MarginKey key, const QDate& first,
                    const QDate& last);
inline constexpr int MarginColumn = 4;
// The sales of the period that could not be priced, each with its note.
ReportTable Unpriced(const GrossMargin::Margins& margins, const QDate& first, const QDate& last);

// A margin rate as a percentage text with one decimal ("12.5%"); empty without a rate.
QString RateText(const std::optional<double>& rate);

} // namespace AnalysisTables
