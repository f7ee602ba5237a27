#pragma once

#include <QDate>
#include <QString>

// The one reading of a date that a sheet cell holds, for the date columns of the ledger pages.
namespace SheetDate
{

// The calendar day `text` names: a day number (what a date cell holds, or a number typed in its
// place), counted in the workbook's date system; or year, month and day written as "2024-3-5",
// "2024/3/5", "2024.3.5", "2024K3K5" (the form exports write) or "2024年3月5日", each with or
// without a time of day after it. Anything else, and a day that does not exist (2024-02-30),
// gives an invalid date.
QDate Read(const QString& text, bool dateSystem1904);

} // namespace SheetDate
