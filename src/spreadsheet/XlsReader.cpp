#include "XlsReader.h"

#include "BiffRecords.h"
#include "BiffStream.h"
#include "NumberFormats.h"
#include "XlsGlobalsReader.h"

#include <QHash>
#include <cmath>
#include <cstring>

namespace
{

using namespace BiffRecord;

constexpr quint16 WorksheetKind = 0x0010;
constexpr int MaxColumns = 256;

using XlsFault::BadRecord;
using XlsFault::Unreadable;

QString ErrorText(quint8 code)
{
    switch (code) {
    case 0x00:
        return QStringLiteral("#NULL!");
    case 0x07:
        return QStringLiteral("#DIV/0!");
    case 0x0F:
        return QStringLiteral("#VALUE!");
    case 0x17:
        return QStringLiteral("#REF!");
    case 0x1D:
        return QStringLiteral("#NAME?");
    case 0x24:
        return QStringLiteral("#NUM!");
    default:
        return QStringLiteral("#N/A");
    }
}

QString BooleanText(bool value)
{
    return value ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
}

double RkNumber(quint32 rk)
{
    double value;
    if (rk & 0x02) {
        value = double(qint32(rk) >> 2);
    } else {
        const quint64 bits = quint64(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&value, &bits, sizeof value);
    }
    return (rk & 0x01) ? value / 100 : value;
}

// The cell records of one worksheet, up to its EOF; records of embedded charts are passed over.
class SheetReader
{
public:
    SheetReader(const XlsStructure& structure, const NumberFormats& formats, Sheet& sheet)
        : structure(structure), formats(formats), sheet(sheet)
    {
    }

    // `cursor` stands after the sheet's BOF; it is left after its EOF.
    bool Read(BiffCursor& cursor, QString& error)
    {
        sheet.cells.Reserve(CountCells(cursor));
        int depth = 1;
        BiffRecordView record;
        for (;;) {
            const BiffCursor::Step step = cursor.Next(record);
            if (step == BiffCursor::Step::Damaged) {
                error = BadRecord(cursor.Position());
                return false;
            }
            if (step == BiffCursor::Step::End) {
                error =
                    Unreadable(QStringLiteral("文件损坏:工作表\"%1\"缺少结束记录").arg(sheet.name));
                return false;
            }
            if (record.type == Bof)
                ++depth;
            else if (record.type == Eof && --depth == 0)
                return true;
            else if (depth == 1 && !Take(cursor, record, error))
                return false;
        }
    }

private:
    // The cells the sheet's records hold at most: growing a large grid step by step costs more
    // than this extra walk over the records. Only cell records count: the grid's memory is taken
    // at once, and a file of many other records must not make it larger than its cells need.
    static qsizetype CountCells(BiffCursor cursor)
    {
        qsizetype count = 0;
        BiffRecordView record;
        while (cursor.Next(record) == BiffCursor::Step::Record && record.type != Eof) {
            switch (record.type) {
            case MulRk:
                count += record.body.size() / 6;
                break;
            case LabelSst:
            case Label:
            case RString:
            case BiffRecord::Number:
            case Rk:
            case BoolErr:
            case Formula:
                ++count;
                break;
            default:
                break;
            }
        }
        return count;
    }

    bool Take(BiffCursor& cursor, const BiffRecordView& record, QString& error)
    {
        const qsizetype size = record.body.size();
        const auto tooShort = [&](qsizetype needed) {
            if (size >= needed)
                return false;
            error = BadRecord(record.offset);
            return true;
        };
        // The cached text of a formula follows it, after the records of its shared, array or
        // table formula; any other record ends the wait.
        if (record.type != String && record.type != ShrFmla && record.type != Array &&
            record.type != Table)
            pending = false;
        switch (record.type) {
        case LabelSst: {
            if (tooShort(10))
                return false;
            const quint32 index = record.U32(6);
            if (index >= quint32(structure.strings.size())) {
                error = Unreadable(QStringLiteral("文件损坏:单元格引用了不存在的共享字符串"));
                return false;
            }
            return Put(record, CellValue::Text(structure.strings[qsizetype(index)].text), error);
        }
        case Label:
        case RString: {
            ContinuedBody body;
            body.Append(record.body.sliced(std::min<qsizetype>(6, size)));
            QString text;
            if (tooShort(9) || !body.String(text)) {
                error = BadRecord(record.offset);
                return false;
            }
            return Put(record, CellValue::Text(text), error);
        }
        case BiffRecord::Number:
            return !tooShort(14) && Put(record, NumberCell(record.U16(4), record.F64(6)), error);
        case Rk:
            return !tooShort(10) &&
                   Put(record, NumberCell(record.U16(4), RkNumber(record.U32(6))), error);
        case MulRk:
            return TakeMulRk(record, error);
        case BoolErr:
            if (tooShort(8))
                return false;
            return Put(
                record,
                CellValue::Text(record.U8(7) ? ErrorText(record.U8(6)) : BooleanText(record.U8(6))),
                error);
        case Formula:
            return !tooShort(20) && TakeFormula(record, error);
        case String:
            return TakeString(cursor, record, error);
        default:
            return true;
        }
    }

    CellValue NumberCell(quint16 xf, double number) const
    {
        return CellValue::Number(number, formats.TypeOf(xf));
    }

    bool Put(const BiffRecordView& record, CellValue value, QString& error)
    {
        return PutAt(record.U16(0), record.U16(2), std::move(value), error);
    }

    bool PutAt(int row, int column, CellValue value, QString& error)
    {
        if (column >= MaxColumns) {
            error = Unreadable(QStringLiteral("文件损坏:单元格列号超出范围"));
            return false;
        }
        // A number that is no number (NaN, infinite) has no text a cell could show.
        if (value.type != CellValue::Type::Text && !std::isfinite(value.number))
            return true;
        sheet.cells.Set(row + 1, column + 1, std::move(value));
        return true;
    }

    bool TakeMulRk(const BiffRecordView& record, QString& error)
    {
        const qsizetype size = record.body.size();
        const qsizetype count = (size - 6) / 6;
        const int first = record.U16(2);
        if (size < 12 || (size - 6) % 6 != 0 || record.U16(size - 2) != first + count - 1) {
            error = BadRecord(record.offset);
            return false;
        }
        const int row = record.U16(0);
        for (qsizetype i = 0; i < count; ++i) {
            const CellValue value =
                NumberCell(record.U16(4 + 6 * i), RkNumber(record.U32(6 + 6 * i)));
            if (!PutAt(row, first + int(i), value, error))
                return false;
        }
        return true;
    }

    // The cached result of a formula: a number, or a text that follows in a STRING record, a
    // truth value, an error or an empty text.
    bool TakeFormula(const BiffRecordView& record, QString& error)
    {
        if (record.U16(12) != 0xFFFF)
            return Put(record, NumberCell(record.U16(4), record.F64(6)), error);
        switch (record.U8(6)) {
        case 0:
            pending = true;
            pendingRow = record.U16(0);
            pendingColumn = record.U16(2);
            return true;
        case 1:
            return Put(record, CellValue::Text(BooleanText(record.U8(8))), error);
        case 2:
            return Put(record, CellValue::Text(ErrorText(record.U8(8))), error);
        default:
            return true;
        }
    }

    bool TakeString(BiffCursor& cursor, const BiffRecordView& record, QString& error)
    {
        ContinuedBody body;
        body.Append(record.body);
        BiffRecordView next;
        while (cursor.PeekType() == Continue) {
            if (cursor.Next(next) != BiffCursor::Step::Record) {
                error = BadRecord(cursor.Position());
                return false;
            }
            body.Append(next.body);
        }
        if (!pending)
            return true;
        pending = false;
        QString text;
        if (!body.String(text)) {
            error = BadRecord(record.offset);
            return false;
        }
        return PutAt(pendingRow, pendingColumn, CellValue::Text(text), error);
    }

    const XlsStructure& structure;
    const NumberFormats& formats;
    Sheet& sheet;
    bool pending = false;
    int pendingRow = 0;
    int pendingColumn = 0;
};

// Finds each sheet's BOF in the records after the globals and reads the worksheets.
bool ReadSheets(Workbook& workbook, XlsStructure& structure, const NumberFormats& formats,
                QString& error)
{
    QHash<qsizetype, int> sheetAt;
    for (int i = 0; i < structure.sheets.size(); ++i)
        sheetAt.insert(structure.sheets[i].start, i);
    QHash<int, int> worksheetOf;
    for (int i = 0; i < structure.worksheets.size(); ++i)
        worksheetOf.insert(structure.worksheets[i], i);
    BiffCursor cursor(structure.stream, structure.globalsEof + 4);
    qsizetype found = 0;
    BiffRecordView record;
    while (found < sheetAt.size()) {
        const BiffCursor::Step step = cursor.Next(record);
        if (step != BiffCursor::Step::Record)
            break;
        if (record.type != Bof)
            continue;
        const int index = sheetAt.value(record.offset, -1);
        const int worksheet = worksheetOf.value(index, -1);
        if (index >= 0 && worksheet >= 0 &&
            (record.body.size() < 4 || record.U16(2) != WorksheetKind)) {
            error = Unreadable(QStringLiteral("文件损坏:工作表\"%1\"的位置不对")
                                   .arg(workbook.sheets[worksheet].name));
            return false;
        }
        Sheet unread;
        SheetReader reader(structure, formats,
                           worksheet >= 0 ? workbook.sheets[worksheet] : unread);
        if (!reader.Read(cursor, error))
            return false;
        if (index >= 0 && structure.sheets[index].end == 0) {
            structure.sheets[index].end = cursor.Position();
            ++found;
        }
    }
    for (int i = 0; i < structure.sheets.size(); ++i) {
        if (structure.sheets[i].end == 0) {
            const int worksheet = worksheetOf.value(i, -1);
            error = Unreadable(QStringLiteral("文件损坏:第 %1 个工作表%2的位置不对")
                                   .arg(i + 1)
                                   .arg(worksheet < 0 ? QString()
                                                      : QStringLiteral("\"%1\"").arg(
                                                            workbook.sheets[worksheet].name)));
            return false;
        }
    }
    return true;
}

} // namespace

bool XlsReader::ReadStream(const QByteArray& stream, Workbook& workbook, XlsStructure& structure,
                           QString& error)
{
    workbook = Workbook();
    structure = XlsStructure();
    structure.stream = stream;
    NumberFormats formats;
    XlsGlobalsReader globals(structure.stream, workbook, structure, formats);
    return globals.Read(error) && ReadSheets(workbook, structure, formats, error);
}
