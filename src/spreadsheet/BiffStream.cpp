#include "BiffStream.h"

#include "BiffRecords.h"

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
