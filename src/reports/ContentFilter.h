#pragma once

#include "QueryCriteria.h"
#include "Records.h"

#include <QList>

// Keeps the records that pass every content criterion, in their order.
namespace ContentFilter
{

QList<ProductRecord> Goods(const QList<ProductRecord>& records, const GoodsCriteria& criteria);
QList<ProductRecord> Sales(const QList<ProductRecord>& records, const SalesCriteria& criteria);
QList<FinanceRecord> Money(const QList<FinanceRecord>& records, const MoneyCriteria& criteria);

} // namespace ContentFilter
