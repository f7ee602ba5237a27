#include "ProfitSummary.h"

#include "NumberText.h"
#include "PageTotals.h"

#include <array>

namespace ProfitSummary
{

namespace
{

constexpr int Kinds = Rows - 1;
constexpr int IncomeKinds = 3; // receipts, receivables and other income; the rest are costs

} // namespace

QList<FinanceRecord> ComputeProfit(const QList<FinanceRecord>& records)
{
    static const std::array<QString, Kinds> labels = {
        QStringLiteral("收款总额"),     QStringLiteral("未收欠款总额"),
        QStringLiteral("其它收入总额"), QStringLiteral("采购支付总额"),
        QStringLiteral("员工薪酬"),     QStringLiteral("水电租赁"),
        QStringLiteral("其它支出")};

    std::array<PageTotals::Sum, Kinds> sums;
    std::array<bool, Kinds> present{};
    for (const FinanceRecord& r : records) {
        if (r.tab_type < 0 || r.tab_type >= Kinds)
            continue;
        sums[r.tab_type].Add(NumberText::Read(r.ie_sum));
        present[r.tab_type] = true;
    }

    QList<FinanceRecord> rows(Rows);
    for (int kind = 0; kind < Kinds; ++kind) {
        if (!present[kind])
            continue;
        rows[kind].tab_type = kind;
        rows[kind].ie_item = labels[kind];
        rows[kind].ie_sum = NumberText::Write(sums[kind].Value());
    }
    FinanceRecord& profit = rows[Rows - 1];
    profit.tab_type = Rows - 1;
    profit.ie_item = QStringLiteral("经营利润");
    profit.ie_sum = NumberText::Write(OperatingProfit(rows));
    return rows;
}

double OperatingProfit(const QList<FinanceRecord>& rows)
{
    PageTotals::Sum profit;
    for (const FinanceRecord& r : rows) {
        if (r.tab_type < 0 || r.tab_type >= Kinds)
            continue;
        const double sum = NumberText::Read(r.ie_sum);
        profit.Add(r.tab_type < IncomeKinds ? sum : -sum);
    }
    return profit.Value();
}

} // namespace ProfitSummary
