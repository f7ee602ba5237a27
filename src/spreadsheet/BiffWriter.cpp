#include "BiffWriter.h"

#include "BiffRecords.h"
#include "SharedStrings.h"

namespace
{

using namespace BiffRecord;

// Cell formats after the 15 style formats every workbook carries.
constexpr quint16 GeneralXf = 15;
constexpr quint16 DateXf = 16;
constexpr quint16 DateTimeXf = 17;
constexpr quint16 TimeXf = 18;

QByteArray BofBody(quint16 kind)
{
    QByteArray body;
    BiffRecords::U16(body, 0x0600);
    BiffRecords::U16(body, kind);
    BiffRecords::U16(body, 0x0DBB);
    BiffRecords::U16(body, 0x07CC);
    BiffRecords::U32(body, 0);
    BiffRecords::U32(body, 0x06);
    return body;
}

QByteArray U16Body(quint16 value)
{
    QByteArray body;
    BiffRecords::U16(body, value);
    return body;
}

QByteArray Window1Body()
{
    QByteArray body;
    for (const quint16 value : {0, 0, 0x3000, 0x2000, 0x38, 0, 0, 1, 0x258})
        BiffRecords::U16(body, value);
    return body;
}

QByteArray FontBody()
{
    QByteArray body;
    for (const quint16 value : {200, 0, 0x7FFF, 400, 0})
        BiffRecords::U16(body, value);
    for (const quint8 value : {0, 0, 0, 0})
        BiffRecords::U8(body, value);
    BiffRecords::ShortString(body, QStringLiteral("Arial"));
    return body;
}

QByteArray XfBody(quint16 format, bool style)
{
    QByteArray body;
    BiffRecords::U16(body, 0);
    BiffRecords::U16(body, format);
    BiffRecords::U16(body, style ? 0xFFF5 : 0x0001);
    BiffRecords::U8(body, 0x20);
    BiffRecords::U8(body, 0);
    BiffRecords::U8(body, 0);
    BiffRecords::U8(body, style ? 0xF4 : (format ? 0x04 : 0));
    BiffRecords::U32(body, 0);
    BiffRecords::U32(body, 0);
    BiffRecords::U16(body, 0x20C0);
    return body;
}

QByteArray StyleBody()
{
    QByteArray body;
    BiffRecords::U16(body, 0x8000);
    BiffRecords::U8(body, 0);
    BiffRecords::U8(body, 0xFF);
    return body;
}

QByteArray DimensionsBody(const UsedRange& used)
{
    QByteArray body;
    const bool empty = used.rowCount == 0;
    BiffRecords::U32(body, empty ? 0 : used.firstRow - 1);
    BiffRecords::U32(body, empty ? 0 : used.firstRow - 1 + used.rowCount);
    BiffRecords::U16(body, empty ? 0 : used.firstColumn - 1);
    BiffRecords::U16(body, empty ? 0 : used.firstColumn - 1 + used.columnCount);
    BiffRecords::U16(body, 0);
    return body;
}

QByteArray Window2Body(bool selected)
{
    QByteArray body;
    BiffRecords::U16(body, selected ? 0x06B6 : 0x00B6);
    for (const quint16 value : {0, 0, 0x40, 0, 0, 0})
        BiffRecords::U16(body, value);
    BiffRecords::U32(body, 0);
    return body;
}

quint16 FormatOf(CellValue::Type type)
{
    switch (type) {
    case CellValue::Type::Date:
        return DateXf;
    case CellValue::Type::DateTime:
        return DateTimeXf;
    case CellValue::Type::Time:
        return TimeXf;
    default:
        return GeneralXf;
    }
}

QByteArray CellBody(int row, int column, const CellValue& value, SharedStrings& strings)
{
    QByteArray body;
    BiffRecords::U16(body, quint16(row - 1));
    BiffRecords::U16(body, quint16(column - 1));
    BiffRecords::U16(body, FormatOf(value.type));
    if (value.type == CellValue::Type::Text)
        BiffRecords::U32(body, strings.Index(value.text));
    else
        BiffRecords::F64(body, value.number);
    return body;
}

} // namespace

bool BiffWriter::CheckLimits(const CellWrites& writes, QString& error)
{
    bool outside = false;
    bool tooLong = false;
    writes.ForEach([&](int row, int column, const QString& text) {
        outside = outside || row > MaxRows || column > MaxColumns;
        tooLong = tooLong || text.size() > SharedStrings::MaxTextLength;
    });
    if (outside)
        error = QStringLiteral("Excel 97-2003 工作表最多 %1 行、%2 列,写入的单元格超出范围")
                    .arg(MaxRows)
                    .arg(MaxColumns);
    else if (tooLong)
        error = QStringLiteral("Excel 97-2003 单元格最多 %1 个字符,写入的文本更长")
                    .arg(SharedStrings::MaxTextLength);
    return !outside && !tooLong;
}

QByteArray BiffWriter::Write(const Workbook& workbook)
{
    QByteArray stream;
    BiffRecords records(stream);
    records.Append(Bof, BofBody(0x0005));
    records.Append(Codepage, U16Body(1200));
    records.Append(Window1, Window1Body());
    records.Append(Date1904, U16Body(workbook.dateSystem1904 ? 1 : 0));
    // Font 4 does not exist in this format: four fonts cover every index a format may name.
    for (int i = 0; i < 4; ++i)
        records.Append(Font, FontBody());
    for (int i = 0; i < 15; ++i)
        records.Append(Xf, XfBody(0, true));
    records.Append(Xf, XfBody(0, false));
    records.Append(Xf, XfBody(14, false));
    records.Append(Xf, XfBody(22, false));
    records.Append(Xf, XfBody(21, false));
    records.Append(Style, StyleBody());

    QList<qsizetype> sheetOffsetFields;
    for (const Sheet& sheet : workbook.sheets) {
        QByteArray body;
        BiffRecords::U32(body, 0);
        BiffRecords::U8(body, 0);
        BiffRecords::U8(body, 0);
        BiffRecords::ShortString(body, sheet.name.left(31));
        sheetOffsetFields.append(records.Size() + 4);
        records.Append(BoundSheet, body);
    }

    SharedStrings strings;
    QList<QByteArray> sheetStreams;
    for (const Sheet& sheet : workbook.sheets) {
        QByteArray sheetStream;
        BiffRecords sheetRecords(sheetStream);
        sheetRecords.Append(Bof, BofBody(0x0010));
        sheetRecords.Append(Dimensions, DimensionsBody(sheet.cells.Used()));
        sheet.cells.ForEach([&](int row, int column, const CellValue& value) {
            sheetRecords.Append(value.type == CellValue::Type::Text ? LabelSst : BiffRecord::Number,
                                CellBody(row, column, value, strings));
        });
        sheetRecords.Append(Window2, Window2Body(sheetStreams.isEmpty()));
        sheetRecords.Append(Eof, {});
        sheetStreams.append(sheetStream);
    }
    strings.WriteTo(records);
    records.Append(Eof, {});

    for (int i = 0; i < sheetStreams.size(); ++i) {
        records.Patch32(sheetOffsetFields[i], quint32(records.Size()));
        stream.append(sheetStreams[i]);
    }
    return stream;
}
