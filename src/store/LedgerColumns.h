#pragma once

#include "KeyedRow.h"
#include "Records.h"

#include <QList>
#include <QString>
#include <QVariantList>

// The columns of the two ledger tables as the records see them: a record as a row saved by its
// key (kind, serial, store number), and the select list that reads it back in record order.
namespace LedgerColumns
{

KeyedRow ProductRow(const ProductRecord& record, const QString& storeNo);
KeyedRow FinanceRow(const FinanceRecord& record, const QString& storeNo);

// A stored record's values in column order as read, the date as its text: what the change history
// keeps of a row an import updates.
QVariantList StoredValues(const ProductRecord& record, const QString& storeNo);
QVariantList StoredValues(const FinanceRecord& record, const QString& storeNo);

// The kind, then the record's texts in their order.
const QString& ProductSelectList();
const QString& FinanceSelectList();
// The kind, then the record texts at positions `texts` (0-18, 0-8), in that order.
QString ProductSelectList(const QList<int>& texts);
QString FinanceSelectList(const QList<int>& texts);

// Record text positions of the date columns (product_time, ie_time).
constexpr int ProductDateText = 7;
constexpr int FinanceDateText = 3;

} // namespace LedgerColumns
