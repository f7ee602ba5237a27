#pragma once

#include <QString>

#include <optional>

// The day of a ledger date text, for reckoning with dates in bulk.
namespace LedgerDay
{

// The Julian day number of a date written "yyyy-MM-dd", the form date cells and imports store;
// nothing for any other text (blanks included) or a day the calendar lacks, as QDate reads it.
std::optional<qint64> Read(const QString& text);

} // namespace LedgerDay
