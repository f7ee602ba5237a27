#include "RowAmounts.h"

#include "NumberText.h"

#include <cmath>

namespace RowAmounts
{

namespace
{

bool Blank(const QString& text)
{
    return text.trimmed().isEmpty() || std::fabs(NumberText::Read(text)) < 1e-6;
}

} // namespace

Outcome Complete(ProductRecord& r)
{
    Outcome outcome;
    for (int column : {Quantity, Price, Total, Paid, Unpaid}) {
        if (!NumberText::IsNumberOrEmpty(r.Text(column))) {
            r.Text(column).clear();
            outcome.rejected << column;
        }
    }
    auto compute = [&](int column, double value) {
        const QString text = NumberText::Write(value);
        if (r.Text(column) != text) {
            r.Text(column) = text;
            outcome.computed << column;
        }
    };
    const double quantity = NumberText::Read(r.product_num);
    if (Blank(r.product_total))
        compute(Total, quantity * NumberText::Read(r.product_price));
    const double total = NumberText::Read(r.product_total);
    if (quantity > 0 && Blank(r.product_price))
        compute(Price, total / quantity);
    if (Blank(r.product_debt))
        compute(Unpaid, total - NumberText::Read(r.product_pay));
    if (Blank(r.product_pay))
        compute(Paid, total - NumberText::Read(r.product_debt));
    return outcome;
}

bool CheckMoneyAmount(FinanceRecord& r)
{
    if (NumberText::IsNumberOrEmpty(r.ie_sum))
        return false;
    r.ie_sum.clear();
    return true;
}

} // namespace RowAmounts
