#pragma once

#include "Workbook.h"

#include <QByteArray>
#include <QString>

// Writes a workbook as the "Workbook" stream of an Excel 97-2003 (BIFF8) file: every text as a
// shared string, numbers as numbers, dates as numbers with a date format.
class BiffWriter
{
public:
    static constexpr int MaxRows = 65536;
    static constexpr int MaxColumns = 256;

    // False with a reason when a text does not fit the format's limits (rows, columns, length).
    static bool CheckLimits(const CellWrites& writes, QString& error);
    // The cells must lie within the format's limits.
    static QByteArray Write(const Workbook& workbook);
};
