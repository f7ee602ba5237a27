#pragma once

#include "Records.h"

#include <QList>

#include <vector>

// The sales statistics: sales less the customer returns of the same article.
namespace SalesReturns
{

// Deducts each return, in order, from the first sale of the same model, salesperson and customer
// (exact texts; date, colour and store are not compared): its quantity and amount go down by the
// return's, and a note saying so is appended to its remark. One return is deducted once only; a
// return that matches no sale changes nothing. Paid and unpaid stay as they are.
void DeductSalesReturns(QList<ProductRecord>& sales, const QList<ProductRecord>& returns);

// As DeductSalesReturns, without the notes: for those who need the figures only.
void DeductFigures(QList<ProductRecord>& sales, const QList<ProductRecord>& returns);

// Which sale each return is deducted from, as DeductSalesReturns deducts them, without changing
// any: for each return the position in `sales` of the first sale of its model, salesperson and
// customer, or -1. For those who need the figures only and not the changed records.
std::vector<qsizetype> Targets(const std::vector<const ProductRecord*>& sales,
                               const std::vector<const ProductRecord*>& returns);

// Deducts one return from its sale, as DeductSalesReturns does.
void Deduct(ProductRecord& sale, const ProductRecord& back);

} // namespace SalesReturns
