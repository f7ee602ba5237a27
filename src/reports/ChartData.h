#pragma once

#include "ChartSeries.h"
#include "Records.h"

#include <QList>
#include <QString>
#include <QStringList>

// The shop's own figures as chart series, from the rows a page holds.
namespace ChartData
{

// A goods page: amounts summed per model (a blank total counts as quantity x price), in the
// order the models first appear. Title "商品管理", the page's name as subtitle, unit "元".
ChartSeries GoodsByModel(const QList<ProductRecord>& rows, const QString& table);

// A money page (or the profit page): amounts summed per item, in the order the items first
// appear; a row with neither item nor amount (a kind without records) is left out.
ChartSeries MoneyByItem(const QList<FinanceRecord>& rows, const QString& table);

// Sales summed per sale date, dates in ascending order, the period as subtitle; texts that are
// not dates are left out.
ChartSeries SalesPerDay(const QList<ProductRecord>& rows);

// Sales summed per person in the salesperson column, in the order the people first appear: the
// listed distributors, or everybody else (a salesperson) when `distributorsWanted` is false.
ChartSeries SalesPerPerson(const QList<ProductRecord>& rows, const QStringList& distributors,
                           bool distributorsWanted);

// The chart subtitle of a page table, such as "采购进货管理" for tab_purchaseIn.
QString PageSubtitle(const QString& table);

} // namespace ChartData
