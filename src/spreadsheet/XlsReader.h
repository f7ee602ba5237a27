#pragma once

#include "BiffText.h"
#include "Workbook.h"

#include <QByteArray>
#include <QString>

// Where a sheet's records lie in the workbook stream.
struct XlsSheetPlace {
    qsizetype boundSheet = 0; // the BOUNDSHEET record naming it
    qsizetype start = 0;      // its BOF record
    qsizetype end = 0;        // just past its EOF record
};

// What a workbook stream holds besides the cell values: enough to write into it again and keep
// every record.
struct XlsStructure {
    QByteArray stream;
    // Every sheet (charts and macro sheets too) in the workbook's order.
    QList<XlsSheetPlace> sheets;
    // The sheets that are worksheets, by index into `sheets`, in the order of Workbook::sheets.
    QList<int> worksheets;
    qsizetype globalsEof = 0;
    // The SST record with its CONTINUE records, and the EXTSST record; -1 when missing.
    qsizetype sstStart = -1;
    qsizetype sstEnd = -1;
    qsizetype extSstStart = -1;
    qsizetype extSstEnd = -1;
    quint32 sstReferences = 0;
    QList<BiffText> strings;
    // The cell format that new text cells get.
    quint16 textXf = 0;
};

// Reads every worksheet of an Excel 97-2003 (BIFF8) workbook. Every record length, offset and
// index is checked before use: a damaged file is refused with a reason.
class XlsReader
{
public:
    // False with a reason the user can be shown when the stream cannot be read.
    static bool ReadStream(const QByteArray& stream, Workbook& workbook, XlsStructure& structure,
                           QString& error);
};
