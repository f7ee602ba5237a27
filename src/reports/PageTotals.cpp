#include "PageTotals.h"

#include "NumberText.h"

#include <algorithm>
#include <cmath>

namespace PageTotals
{

namespace
{

bool Blank(const QString& total)
{
    return total.isEmpty() || std::fabs(NumberText::Read(total)) < 1e-6;
}

double Product(const ProductRecord& row)
{
    return NumberText::Read(row.product_num) * NumberText::Read(row.product_price);
}

// The total a row shows once a blank one has been given quantity x price.
QString FilledTotal(const ProductRecord& row)
{
    return Blank(row.product_total) ? NumberText::Write(Product(row)) : row.product_total;
}

// What a row adds to the totals when its total reads `total`.
GoodsTotals RowGoodsWithTotal(const ProductRecord& row, const QString& total)
{
    return {Blank(total) ? Product(row) : NumberText::Read(total),
            NumberText::Read(row.product_pay), NumberText::Read(row.product_debt)};
}

} // namespace

void RunningTotals::Add(const GoodsTotals& row)
{
    amount.Add(row.amount);
    paid.Add(row.paid);
    unpaid.Add(row.unpaid);
}

void RunningTotals::Remove(const GoodsTotals& row)
{
    for (const double value : {row.amount, row.paid, row.unpaid})
        stale = stale || NumberText::DecimalPlaces(value) < 0;
    amount.Add(-row.amount);
    paid.Add(-row.paid);
    unpaid.Add(-row.unpaid);
}

void Sum::Add(double value)
{
    // Neumaier's compensated summation: the low-order bits lost by each addition are kept apart.
    const double t = sum + value;
    if (std::fabs(sum) >= std::fabs(value))
        compensation += (sum - t) + value;
    else
        compensation += (value - t) + sum;
    sum = t;
    magnitude += std::fabs(value);
    if (places >= 0) {
        const int p = NumberText::DecimalPlaces(value);
        places = p < 0 ? -1 : std::max(places, p);
    }
}

double Sum::Value() const
{
    const double binary = sum + compensation;
    if (places <= 0)
        return binary; // whole numbers add up exactly; other amounts stay as they are
    // Each amount is within half a unit in its last binary place of its decimal, so the binary
    // sum is within about magnitude x 2^-53 of the decimal sum: while that is far below half a
    // unit of the last decimal place, rounding there gives the decimal sum.
    const double unit = std::pow(10.0, -places);
    if (magnitude * 0x1p-50 >= unit / 4 || std::fabs(binary) / unit >= 0x1p52)
        return binary;
    return NumberText::RoundToPlaces(binary, places);
}

GoodsTotals RowGoods(const ProductRecord& row)
{
    return RowGoodsWithTotal(row, row.product_total);
}

GoodsTotals SumGoods(QList<ProductRecord>& rows, QList<int>* filled)
{
    RunningTotals sums;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        ProductRecord& row = rows[i];
        if (QString total = FilledTotal(row); total != row.product_total) {
            row.product_total = std::move(total);
            if (filled)
                *filled << int(i);
        }
        sums.Add(RowGoods(row));
    }
    return sums.Value();
}

GoodsTotals SumGoodsOfKind(const QList<ProductRecord>& rows, int kind)
{
    RunningTotals sums;
    for (const ProductRecord& row : rows) {
        if (row.tab_type == kind)
            sums.Add(RowGoodsWithTotal(row, FilledTotal(row)));
    }
    return sums.Value();
}

double SumMoney(const QList<FinanceRecord>& rows)
{
    Sum sum;
    for (const FinanceRecord& row : rows)
        sum.Add(NumberText::Read(row.ie_sum));
    return sum.Value();
}

} // namespace PageTotals
