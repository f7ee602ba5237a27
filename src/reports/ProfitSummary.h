#pragma once

#include "Records.h"

#include <QList>

// The profit table: the money records summed per kind, and the operating profit.
namespace ProfitSummary
{

inline constexpr int Rows = 8;

// Always eight rows: one per money kind 0-6 (receipts, receivables, other income, purchase
// payments, salaries, utilities and rent, other expenses) with its label and sum in `ie_item`
// and `ie_sum`, then "经营利润" = rows 0 + 1 + 2 - 3 - 4 - 5 - 6. A kind without records is a
// blank row and counts as 0. Sums are kept in double precision and written once.
QList<FinanceRecord> ComputeProfit(const QList<FinanceRecord>& records);

// The operating profit of profit rows as ComputeProfit makes them: the rows of kinds 0-2 count
// in, those of kinds 3-6 out; any other row, the "经营利润" row among them, is not counted.
double OperatingProfit(const QList<FinanceRecord>& rows);

} // namespace ProfitSummary
