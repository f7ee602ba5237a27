#pragma once

#include <QString>
#include <optional>

// Spreadsheet day numbers: days counted from the workbook's epoch, the time of day as the
// fraction. The 1900 system counts the non-existent 29 February 1900 like the spreadsheets do.
namespace SerialDate
{

// "yyyy-MM-dd", "yyyy-MM-dd hh:mm:ss" or "hh:mm:ss" to its day number.
std::optional<double> FromText(const QString& text, bool dateSystem1904);

} // namespace SerialDate
