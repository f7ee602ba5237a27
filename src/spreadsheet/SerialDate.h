#pragma once

#include <QDate>
#include <QString>
#include <optional>

// Spreadsheet day numbers: days counted from the workbook's epoch, the time of day as the
// fraction. The 1900 system counts the non-existent 29 February 1900 like the spreadsheets do.
namespace SerialDate
{

// "yyyy-MM-dd", "yyyy-MM-dd hh:mm:ss" or "hh:mm:ss" to its day number.
std::optional<double> FromText(const QString& text, bool dateSystem1904);

// The calendar day of a day number, its time of day left out. Invalid for a number before the
// epoch's first day, past 31 December 9999, or day 60 of the 1900 system (29 February 1900).
QDate ToDate(double day, bool dateSystem1904);

} // namespace SerialDate
