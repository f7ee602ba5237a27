#pragma once

#include "GrossMargin.h"
#include "LowStock.h"
#include "UnpaidAgeing.h"

// The shop analyses written the plain way, straight from their definitions: a scan of every level
// for every stock row, a search of the party list and money in whole cents for every unpaid row,
// and the purchase history replayed from its start for every sale. The oracles the keyed
// computations must match on any input, and the baselines of their benchmarks.
namespace PlainAnalysis
{

QList<LowStock::Alert> Alerts(const QList<ProductRecord>& stockRows,
                              const QList<LowStock::Level>& levels);

// `owed` and `credit`: the record kinds of the amounts owed and of the refunds set against them.
// Amounts are summed in whole cents, exact for texts of at most two decimals.
UnpaidAgeing::Ageing Ageing(const QList<ProductRecord>& goods, const QDate& day, int owed,
                            int credit);

GrossMargin::Margins Margins(const QList<ProductRecord>& goods, const QDate& first,
                             const QDate& last);

} // namespace PlainAnalysis
