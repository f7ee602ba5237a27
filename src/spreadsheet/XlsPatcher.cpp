#include "XlsPatcher.h"

#include "BiffRecords.h"
#include "BiffStream.h"
#include "SharedStrings.h"
#include "XlsSheetRewriter.h"

#include <QtEndian>
#include <algorithm>
#include <numeric>

namespace
{

using namespace BiffRecord;

// The globals with the new shared string table in place of the old one and without EXTSST (its
// offsets into the old table no longer hold; it only speeds up lookups). Returns the offsets of
// the BOUNDSHEET records in the new globals, in the order of the old ones.
QList<qsizetype> WriteGlobals(const XlsStructure& structure, const SharedStrings& strings,
                              QByteArray& out)
{
    QList<qsizetype> boundSheets;
    const QByteArrayView stream(structure.stream);
    BiffRecords records(out);
    BiffCursor cursor(stream.first(structure.globalsEof + 4));
    BiffRecordView record;
    while (cursor.Next(record) == BiffCursor::Step::Record) {
        if (record.offset == structure.sstStart) {
            strings.WriteTo(records);
            cursor = BiffCursor(stream.first(structure.globalsEof + 4), structure.sstEnd);
            continue;
        }
        if (record.offset == structure.extSstStart)
            continue;
        if (record.type == Eof && structure.sstStart < 0)
            strings.WriteTo(records);
        if (record.type == BoundSheet)
            boundSheets.append(out.size());
        out.append(stream.sliced(record.offset, record.End() - record.offset));
    }
    return boundSheets;
}

// A sheet copied as it is, its row-block index moved by `shift` bytes with it.
QByteArray MovedSheet(QByteArrayView sheet, qint64 shift)
{
    QByteArray out = sheet.toByteArray();
    if (shift == 0)
        return out;
    BiffCursor cursor(sheet);
    BiffRecordView record;
    int depth = 0;
    while (cursor.Next(record) == BiffCursor::Step::Record) {
        depth += record.type == Bof ? 1 : record.type == Eof ? -1 : 0;
        if (depth != 1 || record.type != Index || record.body.size() < 16)
            continue;
        // The position of DEFCOLWIDTH, then those of the DBCELL records.
        for (qsizetype at = 12; at + 4 <= record.body.size(); at += 4) {
            char* field = out.data() + record.offset + 4 + at;
            const quint32 old = qFromLittleEndian<quint32>(field);
            if (old != 0)
                qToLittleEndian<quint32>(quint32(old + shift), field);
        }
    }
    return out;
}

} // namespace

bool XlsPatcher::Apply(const XlsStructure& structure, int worksheet, const CellWrites& writes,
                       QByteArray& stream, QString& error)
{
    const int written = structure.worksheets.value(worksheet, -1);
    if (written < 0) {
        error = QStringLiteral("工作簿没有第 %1 个工作表").arg(worksheet + 1);
        return false;
    }
    const QByteArrayView old(structure.stream);
    SharedStrings strings(structure.strings, structure.sstReferences);
    const XlsSheetPlace& place = structure.sheets[written];
    QByteArray rewritten;
    if (!XlsSheetRewriter::Apply(old.sliced(place.start, place.end - place.start), writes,
                                 structure.textXf, strings, rewritten, error))
        return false;

    QByteArray out;
    const QList<qsizetype> boundSheets = WriteGlobals(structure, strings, out);
    // The sheets in the order they lie in the stream, with whatever lies between them.
    QList<int> order(structure.sheets.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&structure](int a, int b) {
        return structure.sheets[a].start < structure.sheets[b].start;
    });
    qsizetype from = structure.globalsEof + 4;
    for (const int index : order) {
        const XlsSheetPlace& sheet = structure.sheets[index];
        out.append(old.sliced(from, sheet.start - from));
        qToLittleEndian<quint32>(quint32(out.size()), out.data() + boundSheets[index] + 4);
        out += index == written ? rewritten
                                : MovedSheet(old.sliced(sheet.start, sheet.end - sheet.start),
                                             qint64(out.size()) - sheet.start);
        from = sheet.end;
    }
    out.append(old.sliced(from));
    stream = out;
    return true;
}
