#include "XlsGlobalsReader.h"

#include "NumberFormats.h"

#include <algorithm>

using namespace BiffRecord;

namespace
{

constexpr quint16 Biff8 = 0x0600;
constexpr quint16 GlobalsKind = 0x0005;

} // namespace

QString XlsFault::Unreadable(const QString& reason)
{
    return QStringLiteral("无法读取 Excel 97-2003 文件(%1)").arg(reason);
}

QString XlsFault::BadRecord(qsizetype offset)
{
    return Unreadable(QStringLiteral("文件损坏:位置 %1 的记录超出文件末尾或长度不对").arg(offset));
}

XlsGlobalsReader::XlsGlobalsReader(const QByteArray& stream, Workbook& workbook,
                                   XlsStructure& structure, NumberFormats& formats)
    : cursor(stream), workbook(workbook), structure(structure), formats(formats)
{
}

bool XlsGlobalsReader::Read(QString& error)
{
    BiffRecordView record;
    if (cursor.Next(record) != BiffCursor::Step::Record || record.type != Bof ||
        record.body.size() < 4) {
        error = XlsFault::Unreadable(QStringLiteral("文件损坏或不是工作簿"));
        return false;
    }
    if (record.U16(0) != Biff8) {
        error = QStringLiteral("文件是 Excel 5.0/95 或更早的格式,无法读取;请在电子表格程序中"
                               "另存为 Excel 97-2003 格式");
        return false;
    }
    if (record.U16(2) != GlobalsKind) {
        error = XlsFault::Unreadable(QStringLiteral("文件损坏:开头不是工作簿"));
        return false;
    }
    for (;;) {
        const BiffCursor::Step step = cursor.Next(record);
        if (step == BiffCursor::Step::End) {
            error = XlsFault::Unreadable(QStringLiteral("文件损坏:工作簿缺少结束记录"));
            return false;
        }
        if (step == BiffCursor::Step::Damaged) {
            error = XlsFault::BadRecord(cursor.Position());
            return false;
        }
        if (record.type == Eof) {
            structure.globalsEof = record.offset;
            return ReadStrings(error);
        }
        if (!Take(record, error))
            return false;
    }
}

bool XlsGlobalsReader::Take(const BiffRecordView& record, QString& error)
{
    switch (record.type) {
    case FilePass:
        error = QStringLiteral("文件有密码保护,无法读取");
        return false;
    case Date1904:
        if (record.body.size() < 2)
            break;
        workbook.dateSystem1904 = record.U16(0) == 1;
        return true;
    case Format: {
        ContinuedBody body;
        body.Append(record.body.sliced(std::min<qsizetype>(2, record.body.size())));
        QString code;
        if (record.body.size() < 2 || !body.String(code))
            break;
        formats.AddFormat(record.U16(0), code);
        return true;
    }
    case Xf:
        if (record.body.size() < 6)
            break;
        formats.AddXf(record.U16(2));
        cellXfs.append(!(record.U16(4) & 0x0004));
        return true;
    case BoundSheet:
        return TakeSheet(record, error);
    case Sst:
        return TakeSst(record, error);
    case ExtSst:
        structure.extSstStart = record.offset;
        structure.extSstEnd = record.End();
        return true;
    default:
        return true;
    }
    error = XlsFault::BadRecord(record.offset);
    return false;
}

bool XlsGlobalsReader::TakeSheet(const BiffRecordView& record, QString& error)
{
    ContinuedBody body;
    body.Append(record.body.sliced(std::min<qsizetype>(6, record.body.size())));
    QString name;
    if (record.body.size() < 8 || !body.String(name, 1)) {
        error = XlsFault::BadRecord(record.offset);
        return false;
    }
    XlsSheetPlace place;
    place.boundSheet = record.offset;
    place.start = record.U32(0);
    // Sheet kind 0 is a worksheet; charts, macro sheets and modules are kept but not read.
    if (record.U8(5) == 0) {
        structure.worksheets.append(int(structure.sheets.size()));
        workbook.sheets.append({name, {}});
    }
    structure.sheets.append(place);
    return true;
}

bool XlsGlobalsReader::TakeSst(const BiffRecordView& record, QString& error)
{
    if (structure.sstStart >= 0 || record.body.size() < 8) {
        error = XlsFault::BadRecord(record.offset);
        return false;
    }
    structure.sstStart = record.offset;
    sst.Append(record.body.sliced(8));
    structure.sstReferences = record.U32(0);
    sstCount = record.U32(4);
    BiffRecordView next;
    while (cursor.PeekType() == Continue) {
        if (cursor.Next(next) != BiffCursor::Step::Record) {
            error = XlsFault::BadRecord(cursor.Position());
            return false;
        }
        sst.Append(next.body);
    }
    structure.sstEnd = cursor.Position();
    return true;
}

bool XlsGlobalsReader::ReadStrings(QString& error)
{
    formats.Finish();
    structure.textXf = TextXf();
    // Every text takes three bytes at least: a larger count cannot be true.
    if (sstCount > quint32(sst.Left() / 3 + 1)) {
        error = XlsFault::Unreadable(QStringLiteral("文件损坏:共享字符串表不完整"));
        return false;
    }
    structure.strings.resize(qsizetype(sstCount));
    for (BiffText& text : structure.strings) {
        if (!sst.RichString(text)) {
            error = XlsFault::Unreadable(QStringLiteral("文件损坏:共享字符串表不完整"));
            return false;
        }
    }
    return true;
}

// Cell formats after the 15 style formats are where the spreadsheets put the default one.
quint16 XlsGlobalsReader::TextXf() const
{
    for (qsizetype i = 15; i < cellXfs.size(); ++i) {
        if (cellXfs[i])
            return quint16(i);
    }
    const qsizetype first = cellXfs.indexOf(true);
    return quint16(std::max<qsizetype>(first, 0));
}
