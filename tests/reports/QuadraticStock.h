#pragma once

#include "Records.h"

#include <QList>

// The stock algorithm written the plain way, with a scan of every entry for every record: the
// oracle the keyed computation must match for any input, and the baseline of its benchmark.
// `admin`: the user may see unit prices and amounts.
QList<ProductRecord> QuadraticStock(const QList<ProductRecord>& in, bool admin);
