#pragma once

#include "Records.h"

#include <QList>

// The totals under a ledger page, computed from the rows the page shows.
namespace PageTotals
{

struct GoodsTotals {
    double amount = 0;
    double paid = 0;
    double unpaid = 0;
};

// What one goods row adds to the totals: its total, or quantity x price when the total is blank
// (empty or zero), its paid and its unpaid amount.
GoodsTotals RowGoods(const ProductRecord& row);

// Sums the total (page column 11), paid (12) and unpaid (13) columns. A row whose total is blank
// (empty or zero) counts, and is given, quantity x price; the indexes of the rows so changed are
// appended to `filled` so that the caller can store them.
GoodsTotals SumGoods(QList<ProductRecord>& rows, QList<int>* filled = nullptr);

// What SumGoods gives for the rows of one kind among `rows`, leaving the rows as they are: the
// totals the page of that kind shows for them.
GoodsTotals SumGoodsOfKind(const QList<ProductRecord>& rows, int kind);

// Sums the amount column (page column 2) of money rows.
double SumMoney(const QList<FinanceRecord>& rows);

// Adds many amounts without the drift of a plain running sum. When every amount is a decimal of
// at most six places, the sum is that of the decimals: 12345.67 - 12280 is 65.67, not the binary
// remainder 65.67000000000007 that would show as 65.6700000000001.
class Sum
{
public:
    void Add(double value);
    double Value() const;

private:
    double sum = 0;
    double compensation = 0;
    double magnitude = 0; // of every amount added: bounds how far the binary sum can stray
    int places = 0;       // the most decimal places of an amount; -1: one had more
};

// The goods totals of rows that come, change and go: a row's share is added when it is shown and
// taken off when it changes or leaves, so a page of many rows keeps its totals without holding a
// share per row, and an edit costs the same on a page of any size. Taking off an amount of more
// than six decimal places would leave the sums binary for good: Stale() then asks the caller to
// count every row afresh.
class RunningTotals
{
public:
    void Add(const GoodsTotals& row);
    void Remove(const GoodsTotals& row);
    void Clear() { *this = RunningTotals(); }
    bool Stale() const { return stale; }
    GoodsTotals Value() const { return {amount.Value(), paid.Value(), unpaid.Value()}; }

private:
    Sum amount, paid, unpaid;
    bool stale = false;
};

} // namespace PageTotals
