#include "ProfitSummary.h"

#include "NumberText.h"
#include "PageTotals.h"

#include <array>

namespace ProfitSummary
{

QList<FinanceRecord> ComputeProfit(const QList<FinanceRecord>& records)
{
    static const std::array<QString, Rows - 1> labels = {
        QStringLiteral("收款总额"),     QStringLiteral("未收欠款总额"),
        QStringLiteral("其它收入总额"), QStringLiteral("采购支付总额"),
        QStringLiteral("员工薪酬"),     QStringLiteral("水电租赁"),
        QStringLiteral("其它支出")};
    constexpr int IncomeKinds = 3; // receipts, receivables and other income; the rest are costs

    std::array<PageTotals::Sum, Rows - 1> sums;
    std::array<bool, Rows - 1> present{};
    for (const FinanceRecord& r : records) {
        if (r.tab_type < 0 || r.tab_type >= Rows - 1)
            continue;
        sums[r.tab_type].Add(NumberText::Read(r.ie_sum));
        present[r.tab_type] = true;
    }

    QList<FinanceRecord> rows(Rows);
    PageTotals::Sum profit;
    for (int kind = 0; kind < Rows - 1; ++kind) {
        const double sum = sums[kind].Value();
        profit.Add(kind < IncomeKinds ? sum : -sum);
        if (!present[kind])
            continue;
        rows[kind].tab_type = kind;
        rows[kind].ie_item = labels[kind];
        rows[kind].ie_sum = NumberText::Write(sum);
    }
    rows[Rows - 1].tab_type = Rows - 1;
    rows[Rows - 1].ie_item = QStringLiteral("经营利润");
    rows[Rows - 1].ie_sum = NumberText::Write(profit.Value());
    return rows;
}

} // namespace ProfitSummary
