#pragma once

#include "BiffRecords.h"
#include "BiffStream.h"
#include "XlsReader.h"

#include <QByteArray>
#include <QList>
#include <QString>

class NumberFormats;

// The reasons a workbook stream is refused, in the words the user is shown.
namespace XlsFault
{
QString Unreadable(const QString& reason);
QString BadRecord(qsizetype offset);
} // namespace XlsFault

// Reads the records of the workbook globals of a BIFF8 stream, up to their EOF: the date system,
// the number formats and cell formats, the sheets and where they lie, the shared strings.
class XlsGlobalsReader
{
public:
    XlsGlobalsReader(const QByteArray& stream, Workbook& workbook, XlsStructure& structure,
                     NumberFormats& formats);

    // False with a reason the user can be shown when the globals cannot be read.
    bool Read(QString& error);

private:
    bool Take(const BiffRecordView& record, QString& error);
    bool TakeSheet(const BiffRecordView& record, QString& error);
    bool TakeSst(const BiffRecordView& record, QString& error);
    bool ReadStrings(QString& error);
    quint16 TextXf() const;

    BiffCursor cursor;
    Workbook& workbook;
    XlsStructure& structure;
    NumberFormats& formats;
    ContinuedBody sst;
    quint32 sstCount = 0;
    QList<bool> cellXfs;
};
