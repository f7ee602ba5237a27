#pragma once

#include "Workbook.h"

#include <QString>

// Reads every sheet of an Excel 97-2003 workbook (a compound file) with freexl.
class XlsReader
{
public:
    // False with a reason the user can be shown when the file cannot be read.
    static bool Read(const QString& path, Workbook& workbook, QString& error);
};
