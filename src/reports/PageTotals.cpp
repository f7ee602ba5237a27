#include "PageTotals.h"

#include "NumberText.h"

#include <cmath>

namespace PageTotals
{

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

GoodsTotals SumGoods(QList<ProductRecord>& rows, QList<int>* filled)
{
    Sum amount, paid, unpaid;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        ProductRecord& row = rows[i];
        double total = NumberText::Read(row.product_total);
        if (row.product_total.isEmpty() || std::fabs(total) < 1e-6) {
            total = NumberText::Read(row.product_num) * NumberText::Read(row.product_price);
            const QString text = NumberText::Write(total);
            if (row.product_total != text) {
                row.product_total = text;
                if (filled)
                    *filled << int(i);
            }
        }
        amount.Add(total);
        paid.Add(NumberText::Read(row.product_pay));
        unpaid.Add(NumberText::Read(row.product_debt));
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
