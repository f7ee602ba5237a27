#pragma once

#include "Records.h"

#include <QString>

// The remark texts the stock computation writes, one set per record kind 1-4 (purchase return,
// sale, sales return, loss). Each names the record's date, model and quantity text. A popular
// article collects a great many notes: they are written into room set aside for them, at `out`,
// which is moved on past the note.
namespace StockNotes
{

void WritePurchaseMerged(QChar*& out, const ProductRecord& purchase);
void WriteMerged(QChar*& out, const ProductRecord& record);
void WriteShortage(QChar*& out, const ProductRecord& record);
// The most any of the notes above that names `record` can take: the room to set aside.
qsizetype LongestNote(const ProductRecord& record);
QString Unmatched(const ProductRecord& record);

} // namespace StockNotes
