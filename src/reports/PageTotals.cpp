#include "PageTotals.h"

#include "NumberText.h"

#include <algorithm>
#include <cmath>

namespace PageTotals
{

namespace
{

bool BlankTotal(const ProductRecord& row)
{
    return row.product_total.isEmpty() || std::fabs(NumberText::Read(row.product_total)) < 1e-6;
}

double Product(const ProductRecord& row)
{
    return NumberText::Read(row.product_num) * NumberText::Read(row.product_price);
}

} // namespace

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
    return {BlankTotal(row) ? Product(row) : NumberText::Read(row.product_total),
            NumberText::Read(row.product_pay), NumberText::Read(row.product_debt)};
}

GoodsTotals SumGoods(QList<ProductRecord>& rows, QList<int>* filled)
{
    Sum amount, paid, unpaid;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        ProductRecord& row = rows[i];
        if (BlankTotal(row)) {
            const QString text = NumberText::Write(Product(row));
            if (row.product_total != text) {
                row.product_total = text;
                if (filled)
                    *filled << int(i);
            }
        }
        const GoodsTotals sums = RowGoods(row);
        amount.Add(sums.amount);
        paid.Add(sums.paid);
        unpaid.Add(sums.unpaid);
    }
    return {amount.Value(), paid.Value(), unpaid.Value()};
}

double SumMoney(const QList<FinanceRecord>& rows)
{
    Sum sum;
    for (const FinanceRecord& row : rows)
        sum.Add(NumberText::Read(row.ie_sum));
    return sum.Value();
}

} // namespace PageTotals
