#include "XlsSheetRewriter.h"

#include "BiffRecords.h"
#include "BiffStream.h"
#include "XlsxText.h"

#include <QtEndian>
#include <algorithm>
#include <climits>

namespace
{

using namespace BiffRecord;

constexpr int RowsPerBlock = 32;

quint64 Key(int row, int column)
{
    return (quint64(row) << 32) | quint32(column);
}

// A cell of the sheet as it will be written: either records of the file (a cell record with
// the records that belong to it: a formula's shared formula, array or table and its cached
// text; or a record of several cells, MULRK or MULBLANK), or a new text or blank cell.
struct Unit {
    int row = 0;
    int first = 0;
    int last = 0;
    quint16 type = 0;
    QByteArrayView records;
    // New cells: the format and the shared string of a text or the number of an RK record.
    quint16 xf = 0;
    quint32 value = 0;
    // A shared formula, array formula or data table starts at this cell.
    bool anchor = false;

    quint64 Start() const { return Key(row, first); }
    quint64 End() const { return Key(row, last); }
    bool IsNew() const { return records.isEmpty(); }
    quint16 Xf(int column) const
    {
        if (IsNew())
            return xf;
        const qsizetype at = 8 + qsizetype(column - first) * (type == MulRk ? 6 : 2);
        return qFromLittleEndian<quint16>(records.data() + at);
    }
};

// A range of cells a write may not touch: an array formula or a data table.
struct Locked {
    int firstRow, lastRow, firstColumn, lastColumn;
    bool Contains(int row, int column) const
    {
        return row >= firstRow && row <= lastRow && column >= firstColumn && column <= lastColumn;
    }
};

struct CellWrite {
    int row;
    int column;
    QString text;
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

class Rewriter
{
public:
    Rewriter(QByteArrayView sheet, quint16 textXf, SharedStrings& strings)
        : sheet(sheet), textXf(textXf), strings(strings)
    {
    }

    bool Read(QString& error)
    {
        BiffCursor cursor(sheet);
        BiffRecordView record;
        int depth = 0;
        bool owned = false;
        bool sorted = true;
        while (cursor.Next(record) == BiffCursor::Step::Record) {
            const QByteArrayView bytes = sheet.sliced(record.offset, record.End() - record.offset);
            if (record.type == Bof)
                ++depth;
            if (depth == 1 && owned && FollowsCell(record.type)) {
                Unit& owner = units.back();
                owner.records = QByteArrayView(
                    owner.records.data(), record.End() - (owner.records.data() - sheet.data()));
                if (record.type != String && record.type != Continue && !Anchor(owner, record))
                    return Damaged(error);
                continue;
            }
            owned = false;
            if (record.type == Eof)
                --depth;
            if (depth != 1 || record.type == Bof) {
                kept.append(bytes);
            } else if (record.type == Index || record.type == DbCell) {
                // The row-block index is left out.
            } else if (record.type == BiffRecord::Dimensions) {
                dimensionsAt = kept.size();
                kept.append(QByteArrayView());
            } else if (record.type == BiffRecord::Row || IsCell(record.type)) {
                if (tableAt < 0)
                    tableAt = kept.size();
                if (record.body.size() < 6)
                    return Damaged(error);
                if (record.type == BiffRecord::Row) {
                    rows.append({record.U16(0), bytes});
                    continue;
                }
                Unit unit;
                unit.row = record.U16(0);
                unit.first = unit.last = record.U16(2);
                unit.type = record.type;
                unit.records = bytes;
                if (record.type == MulRk || record.type == MulBlank) {
                    const qsizetype step = record.type == MulRk ? 6 : 2;
                    const qsizetype count = (record.body.size() - 6) / step;
                    unit.last = record.U16(record.body.size() - 2);
                    if (count < 1 || (record.body.size() - 6) % step != 0 ||
                        unit.last != unit.first + count - 1)
                        return Damaged(error);
                }
                sorted = sorted && (units.isEmpty() || units.back().End() < unit.Start());
                units.append(unit);
                owned = true;
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
        if (!sorted)
            SortUnits();
        std::stable_sort(rows.begin(), rows.end(),
                         [](const RowRecord& a, const RowRecord& b) { return a.row < b.row; });
        return true;
    }

    // Merges the writes (in row-major order) into the cells, both in order.
    bool Write(const CellWrites& writes, QString& error)
    {
        if (!SplitWhereWritten(writes, error))
            return false;
        QList<Unit> merged;
        merged.reserve(units.size());
        qsizetype next = 0;
        bool refused = false;
        writes.ForEach([&](int row, int column, const QString& text) {
            if (!refused)
                refused = !Merge({row - 1, column - 1, text}, next, merged, error);
        });
        if (refused)
            return false;
        while (next < units.size())
            merged.append(units[next++]);
        units = std::move(merged);
        return true;
    }

    QByteArray Sheet() const
    {
        QByteArray out;
        out.reserve(sheet.size() + units.size() * 14);
        for (qsizetype i = 0; i < kept.size(); ++i) {
            if (i == tableAt)
                AppendCellTable(out);
            if (i == dimensionsAt)
                AppendDimensions(out);
            else
                out.append(kept[i]);
        }
        return out;
    }

private:
    struct RowRecord {
        int row;
        QByteArrayView record;
    };

    // Puts one write among the cells: the cells before it are taken over, a cell at its place
    // is replaced.
    bool Merge(const CellWrite& write, qsizetype& next, QList<Unit>& merged, QString& error)
    {
        const quint64 key = Key(write.row, write.column);
        while (next < units.size() && units[next].Start() < key)
            merged.append(units[next++]);
        Unit cell;
        cell.row = write.row;
        cell.first = cell.last = write.column;
        cell.xf = textXf;
        if (next < units.size() && units[next].Start() == key) {
            const Unit& old = units[next++];
            if (old.anchor)
                return Refuse(write.row, write.column, error);
            cell.xf = old.Xf(write.column);
            if (old.type == LabelSst)
                strings.Release();
        } else if (write.text.isEmpty()) {
            return true;
        }
        // A cleared cell keeps its format, as in a spreadsheet program.
        cell.type = write.text.isEmpty() ? Blank : LabelSst;
        if (!write.text.isEmpty())
            cell.value = strings.Index(write.text);
        merged.append(cell);
        return true;
    }

    static bool Damaged(QString& error)
    {
        error = QStringLiteral("无法写入工作表(工作表记录损坏)");
        return false;
    }

    static bool Refuse(int row, int column, QString& error)
    {
        error =
            QStringLiteral("无法写入单元格 %1:它属于数组公式、模拟运算表或共享公式,写入会破坏公式")
                .arg(XlsxText::Reference(row + 1, column + 1));
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

    // Cells out of order (or given twice) are put in order; of two at one place the later stays.
    void SortUnits()
    {
        std::stable_sort(units.begin(), units.end(),
                         [](const Unit& a, const Unit& b) { return a.Start() < b.Start(); });
        QList<Unit> unique;
        for (const Unit& unit : units) {
            while (!unique.isEmpty() && unique.back().End() >= unit.Start())
                unique.removeLast();
            unique.append(unit);
        }
        units = std::move(unique);
    }

    // A write into a locked range is refused; a record of several cells that a write lands in
    // becomes one record per cell.
    bool SplitWhereWritten(const CellWrites& writes, QString& error)
    {
        QList<qsizetype> split;
        bool refused = false;
        writes.ForEach([&](int row, int column, const QString&) {
            for (const Locked& range : locked) {
                if (!refused && range.Contains(row - 1, column - 1))
                    refused = !Refuse(row - 1, column - 1, error);
            }
            const quint64 key = Key(row - 1, column - 1);
            auto at = std::upper_bound(units.begin(), units.end(), key,
                                       [](quint64 k, const Unit& u) { return k < u.Start(); });
            if (at != units.begin() && std::prev(at)->first != std::prev(at)->last &&
                std::prev(at)->End() >= key)
                split.append(std::prev(at) - units.begin());
        });
        if (refused)
            return false;
        if (split.isEmpty())
            return true;
        std::sort(split.begin(), split.end());
        split.erase(std::unique(split.begin(), split.end()), split.end());
        QList<Unit> expanded;
        expanded.reserve(units.size() + split.size() * 8);
        qsizetype nextSplit = 0;
        for (qsizetype i = 0; i < units.size(); ++i) {
            if (nextSplit == split.size() || split[nextSplit] != i) {
                expanded.append(units[i]);
                continue;
            }
            ++nextSplit;
            const Unit& whole = units[i];
            for (int c = whole.first; c <= whole.last; ++c) {
                Unit single = whole;
                single.first = single.last = c;
                single.xf = whole.Xf(c);
                single.type = whole.type == MulRk ? Rk : Blank;
                single.records = {};
                if (whole.type == MulRk)
                    single.value = qFromLittleEndian<quint32>(whole.records.data() + 10 +
                                                              qsizetype(c - whole.first) * 6);
                expanded.append(single);
            }
        }
        units = std::move(expanded);
        return true;
    }

    // A new cell's record is put together in place: a large sheet has hundreds of thousands.
    static void AppendUnit(QByteArray& out, const Unit& unit)
    {
        if (!unit.IsNew()) {
            out.append(unit.records);
            return;
        }
        const bool blank = unit.type == Blank;
        char record[14];
        qToLittleEndian<quint16>(unit.type, record);
        qToLittleEndian<quint16>(blank ? 6 : 10, record + 2);
        qToLittleEndian<quint16>(quint16(unit.row), record + 4);
        qToLittleEndian<quint16>(quint16(unit.first), record + 6);
        qToLittleEndian<quint16>(unit.xf, record + 8);
        qToLittleEndian<quint32>(unit.value, record + 10);
        out.append(record, blank ? 10 : 14);
    }

    // Blocks of up to 32 rows: their ROW records, then their cells in order.
    void AppendCellTable(QByteArray& out) const
    {
        qsizetype unit = 0;
        qsizetype row = 0;
        while (unit < units.size() || row < rows.size()) {
            const int nextRow = std::min(unit < units.size() ? units[unit].row : INT_MAX,
                                         row < rows.size() ? rows[row].row : INT_MAX);
            const int blockEnd = (nextRow / RowsPerBlock + 1) * RowsPerBlock;
            qsizetype cells = unit;
            for (; row < rows.size() && rows[row].row < blockEnd; ++row) {
                while (cells < units.size() && units[cells].row < rows[row].row)
                    ++cells;
                qsizetype end = cells;
                while (end < units.size() && units[end].row == rows[row].row)
                    ++end;
                AppendRow(out, rows[row].record, cells, end);
            }
            for (; unit < units.size() && units[unit].row < blockEnd; ++unit)
                AppendUnit(out, units[unit]);
        }
    }

    // The ROW record with the columns its cells [from, to) now cover.
    void AppendRow(QByteArray& out, QByteArrayView record, qsizetype from, qsizetype to) const
    {
        const qsizetype at = out.size();
        out.append(record);
        if (record.size() < 4 + 6)
            return;
        const int first = from < to ? units[from].first : 0;
        const int end = from < to ? units[to - 1].last + 1 : 0;
        qToLittleEndian<quint16>(quint16(first), out.data() + at + 6);
        qToLittleEndian<quint16>(quint16(end), out.data() + at + 8);
    }

    void AppendDimensions(QByteArray& out) const
    {
        int firstColumn = 256;
        int lastColumn = -1;
        for (const Unit& unit : units) {
            firstColumn = std::min(firstColumn, unit.first);
            lastColumn = std::max(lastColumn, unit.last);
        }
        const bool empty = units.isEmpty();
        QByteArray body;
        BiffRecords::U32(body, empty ? 0 : quint32(units.first().row));
        BiffRecords::U32(body, empty ? 0 : quint32(units.last().row + 1));
        BiffRecords::U16(body, empty ? 0 : quint16(firstColumn));
        BiffRecords::U16(body, empty ? 0 : quint16(lastColumn + 1));
        BiffRecords::U16(body, 0);
        BiffRecords(out).Append(BiffRecord::Dimensions, body);
    }

    QByteArrayView sheet;
    quint16 textXf;
    SharedStrings& strings;
    QList<QByteArrayView> kept;
    qsizetype dimensionsAt = -1;
    qsizetype tableAt = -1;
    QList<Unit> units;
    QList<RowRecord> rows;
    QList<Locked> locked;
};

} // namespace

bool XlsSheetRewriter::Apply(QByteArrayView sheet, const CellWrites& writes, quint16 textXf,
                             SharedStrings& strings, QByteArray& rewritten, QString& error)
{
    Rewriter rewriter(sheet, textXf, strings);
    if (!rewriter.Read(error) || !rewriter.Write(writes, error))
        return false;
    rewritten = rewriter.Sheet();
    return true;
}
