#pragma once

#include "Records.h"

#include <QList>

// The stock on hand derived from goods records. Purchase-ins (kind 0) of one model, colour and
// store are merged into the first of them; purchase returns (1), sales (2), sales returns (3) and
// losses (4) are then applied, in input order, to every stock entry of their model, colour and
// store. Each change leaves a note in the entry's remark; a record that takes out more than an
// entry holds leaves a shortage note there, and a record that changed no entry is listed as a row
// of its own with a note saying so. Texts are compared exactly.
namespace StockComputation
{

// The stock entries, then the unmatched records. Paid and unpaid are always empty; unit price
// and amount only reach those who may see them (`seesPrices`, the super user).
QList<ProductRecord> ComputeStock(const QList<ProductRecord>& records, bool seesPrices);

} // namespace StockComputation
