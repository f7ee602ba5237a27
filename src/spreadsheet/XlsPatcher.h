#pragma once

#include "Workbook.h"
#include "XlsReader.h"

// Writes texts into one worksheet of an existing Excel 97-2003 workbook stream and keeps every
// other record: the workbook globals and the other sheets are copied, only the shared string
// table grows, and the stream offsets that point at moved records are recomputed.
class XlsPatcher
{
public:
    // `worksheet` indexes Workbook::sheets. False with a reason, nothing made, when the
    // workbook holds something the write cannot keep.
    static bool Apply(const XlsStructure& structure, int worksheet, const CellWrites& writes,
                      QByteArray& stream, QString& error);
};
