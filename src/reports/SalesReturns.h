#pragma once

#include "Records.h"

#include <QList>

// The sales statistics: sales less the customer returns of the same article.
namespace SalesReturns
{

// Deducts each return, in order, from the first sale of the same model, salesperson and customer
// (exact texts; date, colour and store are not compared): its quantity and amount go down by the
// return's, and a note saying so is appended to its remark. One return is deducted once only; a
// return that matches no sale changes nothing. Paid and unpaid stay as they are.
void DeductSalesReturns(QList<ProductRecord>& sales, const QList<ProductRecord>& returns);

} // namespace SalesReturns
