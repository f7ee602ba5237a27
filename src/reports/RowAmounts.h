#pragma once

#include "Records.h"

#include <QList>

// The amount columns of a goods row: quantity (page column 9), unit price (10), total (11),
// paid (12) and unpaid (13). A number cell that holds no number is emptied; a blank total,
// price, unpaid or paid cell (empty or zero) is computed from the others, in this order:
// total = quantity x price; price = total / quantity (quantity above 0); unpaid = total - paid;
// paid = total - unpaid. A cell that is not blank is never recomputed, so the user may type any
// two of quantity, price and total, and either of paid and unpaid.
namespace RowAmounts
{

enum Column { Quantity = 9, Price = 10, Total = 11, Paid = 12, Unpaid = 13 };

struct Outcome {
    QList<int> rejected; // number columns whose text was not a number (now empty)
    QList<int> computed; // columns given a computed value
};

// Completes the record in place; the record then carries exactly what the row shows.
Outcome Complete(ProductRecord& record);

// Empties the money amount (page column 2) when it is not a number; true when it was emptied.
bool CheckMoneyAmount(FinanceRecord& record);

} // namespace RowAmounts
