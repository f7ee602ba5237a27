#include "PageTotals.h"

#include "NumberText.h"

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
