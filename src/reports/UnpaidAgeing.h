#pragma once

#include "Records.h"

#include <QDate>
#include <QList>

#include <array>

// Who owes what, and for how long: the unpaid amounts of goods rows (page column 13) per customer
// or per supplier, by the age of the row on a chosen day.
namespace UnpaidAgeing
{

// Ages in days counted back from the chosen day (the day itself is 0), and a column for rows
// whose date cannot be read, so that no amount owed drops out of the totals.
enum Bucket { UpTo30Days, UpTo60Days, UpTo90Days, Over90Days, Undated };
inline constexpr int BucketCount = 5;

struct Line {
    QString party; // the customer or supplier text; empty for rows that name none
    std::array<double, BucketCount> amounts{};
    double total = 0;
};

struct Ageing {
    QList<Line> parties; // largest total first; equal totals by party text
    Line total;          // every party together
    int laterRows = 0;   // rows with an unpaid amount dated after the chosen day, left out
};

// Customers: what sales (kind 2) leave unpaid, less the refunds the shop still owes on sales
// returns (kind 3), each by the date of its own row (a refund due is a credit of its customer and
// shows as a negative amount, as a credit note does, without guessing which sale it settles).
// Suppliers: the same from purchases (kind 0) and the refunds suppliers still owe on purchase
// returns (kind 1).
//
// A party is its exact text (as the return deduction compares it); rows that name none make a
// line of their own with an empty party, so that nothing owed is lost. An unpaid amount below
// zero (more paid than the row's total) is a credit and counts as it stands; rows with nothing
// unpaid are passed over, so a party appears only when some row of it has an amount. Rows dated
// after `day` did not exist on it and are left out (and counted); rows without a readable date
// go to the Undated column. Sums are compensated, so the cents of a million rows stay exact.
Ageing Customers(const QList<ProductRecord>& goods, const QDate& day);
Ageing Suppliers(const QList<ProductRecord>& goods, const QDate& day);

} // namespace UnpaidAgeing
