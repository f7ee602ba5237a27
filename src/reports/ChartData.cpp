#include "ChartData.h"

#include "NumberText.h"
#include "PageTotals.h"
#include "ReportTable.h"

#include <QDate>
#include <QHash>
#include <map>

namespace ChartData
{

namespace
{

const QString Unit = QStringLiteral("元");
const QString Unnamed = QStringLiteral("未填写");

// Sums per name, names kept in the order they first come.
class Grouped
{
public:
    void Add(const QString& name, double value)
    {
        const QString key = name.trimmed().isEmpty() ? Unnamed : name.trimmed();
        auto found = index.constFind(key);
        if (found == index.constEnd()) {
            found = index.insert(key, int(sums.size()));
            names << key;
            sums.append(PageTotals::Sum());
        }
        sums[*found].Add(value);
    }

    ChartSeries Series(const QString& title, const QString& subtitle) const
    {
        ChartSeries series{title, subtitle, Unit, names, {}};
        for (const PageTotals::Sum& sum : sums)
            series.values << sum.Value();
        return series;
    }

private:
    QHash<QString, int> index;
    QStringList names;
    QList<PageTotals::Sum> sums;
};

double Amount(const ProductRecord& row)
{
    return PageTotals::RowGoods(row).amount;
}

QStringList DatesOf(const QList<ProductRecord>& rows)
{
    QStringList dates;
    for (const ProductRecord& row : rows)
        dates << row.product_time;
    return dates;
}

} // namespace

ChartSeries GoodsByModel(const QList<ProductRecord>& rows, const QString& table)
{
    Grouped grouped;
    for (const ProductRecord& row : rows)
        grouped.Add(row.product_model, Amount(row));
    return grouped.Series(QStringLiteral("商品管理"), PageSubtitle(table));
}

ChartSeries MoneyByItem(const QList<FinanceRecord>& rows, const QString& table)
{
    Grouped grouped;
    for (const FinanceRecord& row : rows) {
        if (row.ie_item.trimmed().isEmpty() && row.ie_sum.trimmed().isEmpty())
            continue;
        grouped.Add(row.ie_item, NumberText::Read(row.ie_sum));
    }
    return grouped.Series(QStringLiteral("财务管理"), PageSubtitle(table));
}

ChartSeries SalesPerDay(const QList<ProductRecord>& rows)
{
    std::map<QDate, PageTotals::Sum> days;
    for (const ProductRecord& row : rows) {
        const QDate date = QDate::fromString(row.product_time, QStringLiteral("yyyy-MM-dd"));
        if (date.isValid())
            days[date].Add(Amount(row));
    }
    ChartSeries series{
        QStringLiteral("日销售统计"), ReportTables::PeriodOf(DatesOf(rows)), Unit, {}, {}};
    for (const auto& [date, sum] : days) {
        series.names << date.toString(QStringLiteral("yyyy-MM-dd"));
        series.values << sum.Value();
    }
    return series;
}

ChartSeries SalesPerPerson(const QList<ProductRecord>& rows, const QStringList& distributors,
                           bool distributorsWanted)
{
    Grouped grouped;
    for (const ProductRecord& row : rows) {
        if (distributors.contains(row.product_purchase.trimmed()) == distributorsWanted)
            grouped.Add(row.product_purchase, Amount(row));
    }
    return grouped.Series(distributorsWanted ? QStringLiteral("分销商销售统计")
                                             : QStringLiteral("员工销售统计"),
                          ReportTables::PeriodOf(DatesOf(rows)));
}

QString PageSubtitle(const QString& table)
{
    static const QHash<QString, QString> subtitles = {
        {"tab_purchaseIn", "采购进货管理"},  {"tab_purchaseBack", "采购退货管理"},
        {"tab_saleout", "销售管理"},         {"tab_saleback", "销售退货管理"},
        {"tab_storelose", "损耗管理"},       {"tab_storeCurr", "库存管理"},
        {"tab_saletotal_1", "销售统计管理"}, {"tab_income", "收账管理"},
        {"tab_debt", "应收欠账管理"},        {"tab_inother", "其它收入管理"},
        {"tab_purpay", "采购支出管理"},      {"tab_salary", "薪酬支出管理"},
        {"tab_utility", "水电支出管理"},     {"tab_expother", "其它支出管理"},
        {"tab_profit", "利润统计管理"}};
    return subtitles.value(table);
}

} // namespace ChartData
