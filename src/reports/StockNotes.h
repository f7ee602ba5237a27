#pragma once

#include "Records.h"

#include <QString>

// The remark texts the stock computation writes, one set per record kind 1-4 (purchase return,
// sale, sales return, loss). Each names the record's date, model and quantity text. The notes
// are appended in place: a popular article collects many of them.
namespace StockNotes
{

void AppendPurchaseMerged(QString& remark, const ProductRecord& purchase);
void AppendMerged(QString& remark, const ProductRecord& record);
void AppendShortage(QString& remark, const ProductRecord& record);
QString Unmatched(const ProductRecord& record);

} // namespace StockNotes
