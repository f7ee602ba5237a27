#pragma once

#include "ReportTable.h"

#include <QString>

// Writes a whole page as a PDF report: landscape A4, the title and period on every sheet, the
// column headers repeated, "第 n 页 / 共 m 页" below, the totals after the last row. Text stays
// text (selectable and searchable); a cell wider than its column wraps instead of being cut.
class ReportPdf
{
public:
    // False when the file cannot be written.
    static bool Write(const ReportTable& report, const QString& path);
};
