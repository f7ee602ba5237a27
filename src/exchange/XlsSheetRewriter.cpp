#include "XlsSheetRewriter.h"

#include "BiffRecords.h"
#include "BiffStream.h"
#include "XlsxText.h"

#include <QtEndian>
#include <map>

namespace
{

using namespace BiffRecord;

constexpr int RowsPerBlock = 32;

// A cell record with the records that belong to it (a formula's shared formula, array or
// table and its cached text), or a record of several cells (MULRK, MULBLANK).
struct Unit {
    int first = 0;
    int last = 0;
    quint16 type = 0;
    QByteArray bytes;
    // A shared formula, array formula or data table starts at this cell.
    bool anchor = false;
};

// A range of cells a write may not touch: an array formula or a data table.
struct Locked {
    int firstRow, lastRow, firstColumn, lastColumn;
    bool Contains(int row, int column) const
    {
        return row >= firstRow && row <= lastRow && column >= firstColumn && column <= lastColumn;
    }
};

struct Row {
    QByteArray record; // the ROW record, empty when the sheet had none
    std::map<int, Unit> units;
};

bool IsCell(quint16 type)
{
    switch (type) {
    case LabelSst:
    case Label:
    case RString:
    case BiffRecord::Number:
    case Rk:
    case MulRk:
    case BoolErr:
    case Formula:
    case Blank:
    case MulBlank:
        return true;
    default:
        return false;
    }
}

bool FollowsCell(quint16 type)
{
    return type == ShrFmla || type == Array || type == Table || type == String || type == Continue;
}

QByteArray RecordBytes(quint16 type, const QByteArray& body)
{
    QByteArray bytes;
    BiffRecords(bytes).Append(type, body);
    return bytes;
}

QByteArray CellBody(int row, int column, quint16 xf)
{
    QByteArray body;
    BiffRecords::U16(body, quint16(row));
    BiffRecords::U16(body, quint16(column));
    BiffRecords::U16(body, xf);
    return body;
}

quint16 U16At(const QByteArray& bytes, qsizetype at)
{
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

class Rewriter
{
public:
    Rewriter(quint16 textXf, SharedStrings& strings) : textXf(textXf), strings(strings) {}

    bool Read(QByteArrayView sheet, QString& error)
    {
        BiffCursor cursor(sheet);
        BiffRecordView record;
        int depth = 0;
        Unit* owner = nullptr;
        while (cursor.Next(record) == BiffCursor::Step::Record) {
            const QByteArray bytes =
                sheet.sliced(record.offset, record.End() - record.offset).toByteArray();
            if (record.type == Bof)
                ++depth;
            if (depth == 1 && owner && FollowsCell(record.type)) {
                owner->bytes += bytes;
                if (record.type != String && record.type != Continue && !Anchor(*owner, record))
                    return Damaged(error);
                continue;
            }
            owner = nullptr;
            if (record.type == Eof)
                --depth;
            if (depth != 1 || record.type == Bof) {
                kept.append(bytes);
            } else if (record.type == Index || record.type == DbCell) {
                // The row-block index is left out.
            } else if (record.type == BiffRecord::Dimensions) {
                dimensionsAt = kept.size();
                kept.append(QByteArray());
            } else if (record.type == BiffRecord::Row || IsCell(record.type)) {
                if (tableAt < 0)
                    tableAt = kept.size();
                if (record.body.size() < 6)
                    return Damaged(error);
                Row& row = rows[record.U16(0)];
                if (record.type == BiffRecord::Row) {
                    row.record = bytes;
                    continue;
                }
                Unit unit;
                unit.type = record.type;
                unit.first = record.U16(2);
                unit.last = unit.first;
                if (record.type == MulRk || record.type == MulBlank) {
                    const qsizetype step = record.type == MulRk ? 6 : 2;
                    const qsizetype count = (record.body.size() - 6) / step;
                    unit.last = record.U16(record.body.size() - 2);
                    if (count < 1 || (record.body.size() - 6) % step != 0 ||
                        unit.last != unit.first + count - 1)
                        return Damaged(error);
                }
                unit.bytes = bytes;
                owner = &(row.units[unit.first] = unit);
            } else {
                if (tableAt < 0 && record.type == Window2)
                    tableAt = kept.size();
                kept.append(bytes);
            }
        }
        if (depth != 0)
            return Damaged(error);
        if (tableAt < 0)
            tableAt = dimensionsAt >= 0 ? dimensionsAt + 1 : kept.size() - 1;
        return true;
    }

    bool Write(const CellWrites& writes, QString& error)
    {
        bool refused = false;
        writes.ForEach([&](int row, int column, const QString& text) {
            if (!refused)
                refused = !Put(row - 1, column - 1, text, error);
        });
        return !refused;
    }

    QByteArray Sheet() const
    {
        QByteArray out;
        for (qsizetype i = 0; i < kept.size(); ++i) {
            if (i == tableAt)
                out += CellTable();
            out += i == dimensionsAt ? DimensionsRecord() : kept[i];
        }
        return out;
    }

private:
    static bool Damaged(QString& error)
    {
        error = QStringLiteral("无法写入工作表(工作表记录损坏)");
        return false;
    }

    bool Anchor(Unit& unit, const BiffRecordView& record)
    {
        if (record.body.size() < 6)
            return false;
        unit.anchor = true;
        if (record.type != ShrFmla)
            locked.append({record.U16(0), record.U16(2), record.U8(4), record.U8(5)});
        return true;
    }

    bool Put(int row, int column, const QString& text, QString& error)
    {
        for (const Locked& range : locked) {
            if (range.Contains(row, column))
                return Refuse(row, column, error);
        }
        Row& cells = rows[row];
        quint16 xf = textXf;
        auto unit = cells.units.upper_bound(column);
        if (unit != cells.units.begin() && std::prev(unit)->second.last >= column) {
            --unit;
            if (unit->second.anchor)
                return Refuse(row, column, error);
            if (unit->second.first != unit->second.last)
                unit = Split(cells, unit, column);
            xf = U16At(unit->second.bytes, 8);
            if (unit->second.type == LabelSst)
                strings.Release();
            cells.units.erase(unit);
        } else if (text.isEmpty()) {
            return true;
        }
        Unit written;
        written.first = written.last = column;
        QByteArray body = CellBody(row, column, xf);
        if (text.isEmpty()) {
            // A cleared cell keeps its format, as in a spreadsheet program.
            written.type = Blank;
        } else {
            written.type = LabelSst;
            BiffRecords::U32(body, strings.Index(text));
        }
        written.bytes = RecordBytes(written.type, body);
        cells.units[column] = written;
        return true;
    }

    static bool Refuse(int row, int column, QString& error)
    {
        error =
            QStringLiteral("无法写入单元格 %1:它属于数组公式、模拟运算表或共享公式,写入会破坏公式")
                .arg(XlsxText::Reference(row + 1, column + 1));
        return false;
    }

    // Turns a record of several cells into one record per cell; returns the one at `column`.
    static std::map<int, Unit>::iterator Split(Row& row, std::map<int, Unit>::iterator unit,
                                               int column)
    {
        const Unit whole = unit->second;
        row.units.erase(unit);
        const int rowNumber = U16At(whole.bytes, 4);
        const int step = whole.type == MulRk ? 6 : 2;
        for (int c = whole.first; c <= whole.last; ++c) {
            const qsizetype at = 8 + qsizetype(c - whole.first) * step;
            QByteArray body = CellBody(rowNumber, c, U16At(whole.bytes, at));
            Unit single;
            single.first = single.last = c;
            if (whole.type == MulRk) {
                single.type = Rk;
                body += whole.bytes.mid(at + 2, 4);
            } else {
                single.type = Blank;
            }
            single.bytes = RecordBytes(single.type, body);
            row.units[c] = single;
        }
        return row.units.find(column);
    }

    // Blocks of up to 32 rows: their ROW records, then their cells in order.
    QByteArray CellTable() const
    {
        QByteArray out;
        auto blockStart = rows.begin();
        while (blockStart != rows.end()) {
            const int block = blockStart->first / RowsPerBlock;
            auto blockEnd = blockStart;
            while (blockEnd != rows.end() && blockEnd->first / RowsPerBlock == block)
                ++blockEnd;
            for (auto row = blockStart; row != blockEnd; ++row)
                out += RowRecord(row->second);
            for (auto row = blockStart; row != blockEnd; ++row) {
                for (const auto& [column, unit] : row->second.units)
                    out += unit.bytes;
            }
            blockStart = blockEnd;
        }
        return out;
    }

    // The ROW record with the columns its cells now cover.
    static QByteArray RowRecord(const Row& row)
    {
        if (row.record.size() < 4 + 6)
            return row.record;
        QByteArray record = row.record;
        const int first = row.units.empty() ? 0 : row.units.begin()->second.first;
        const int end = row.units.empty() ? 0 : row.units.rbegin()->second.last + 1;
        qToLittleEndian<quint16>(quint16(first), record.data() + 6);
        qToLittleEndian<quint16>(quint16(end), record.data() + 8);
        return record;
    }

    QByteArray DimensionsRecord() const
    {
        int firstRow = -1, lastRow = -1, firstColumn = 256, lastColumn = -1;
        for (const auto& [number, row] : rows) {
            if (row.units.empty())
                continue;
            firstRow = firstRow < 0 ? number : firstRow;
            lastRow = number;
            firstColumn = std::min(firstColumn, row.units.begin()->second.first);
            lastColumn = std::max(lastColumn, row.units.rbegin()->second.last);
        }
        QByteArray body;
        const bool empty = firstRow < 0;
        BiffRecords::U32(body, empty ? 0 : quint32(firstRow));
        BiffRecords::U32(body, empty ? 0 : quint32(lastRow + 1));
        BiffRecords::U16(body, empty ? 0 : quint16(firstColumn));
        BiffRecords::U16(body, empty ? 0 : quint16(lastColumn + 1));
        BiffRecords::U16(body, 0);
        return RecordBytes(BiffRecord::Dimensions, body);
    }

    quint16 textXf;
    SharedStrings& strings;
    QList<QByteArray> kept;
    qsizetype dimensionsAt = -1;
    qsizetype tableAt = -1;
    std::map<int, Row> rows;
    QList<Locked> locked;
};

} // namespace

bool XlsSheetRewriter::Apply(QByteArrayView sheet, const CellWrites& writes, quint16 textXf,
                             SharedStrings& strings, QByteArray& rewritten, QString& error)
{
    Rewriter rewriter(textXf, strings);
    if (!rewriter.Read(sheet, error) || !rewriter.Write(writes, error))
        return false;
    rewritten = rewriter.Sheet();
    return true;
}
