#include "BiffStream.h"

#include "BiffRecords.h"

#include <QtEndian>
#include <cstring>

quint16 BiffRecordView::U16(qsizetype at) const
{
    return qFromLittleEndian<quint16>(body.data() + at);
}

quint32 BiffRecordView::U32(qsizetype at) const
{
    return qFromLittleEndian<quint32>(body.data() + at);
}

double BiffRecordView::F64(qsizetype at) const
{
    const quint64 bits = qFromLittleEndian<quint64>(body.data() + at);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

BiffCursor::Step BiffCursor::Next(BiffRecordView& record)
{
    if (position + 4 > stream.size())
        return position == stream.size() ? Step::End : Step::Damaged;
    const char* header = stream.data() + position;
    const qsizetype length = qFromLittleEndian<quint16>(header + 2);
    if (length > BiffRecord::MaxBody || position + 4 + length > stream.size())
        return Step::Damaged;
    record.type = qFromLittleEndian<quint16>(header);
    record.offset = position;
    record.body = stream.sliced(position + 4, length);
    position += 4 + length;
    return Step::Record;
}

quint16 BiffCursor::PeekType() const
{
    if (position + 4 > stream.size())
        return 0;
    return qFromLittleEndian<quint16>(stream.data() + position);
}
