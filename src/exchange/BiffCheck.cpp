#include "BiffCheck.h"

#include "BiffRecords.h"

#include <QSet>
#include <QtEndian>

namespace
{

using namespace BiffRecord;

quint16 U16At(const QByteArray& stream, qsizetype offset)
{
    return qFromLittleEndian<quint16>(stream.constData() + offset);
}

// Walks the shared string table the way a reader does, across its CONTINUE records.
class SstWalk
{
public:
    explicit SstWalk(const QList<QByteArray>& records) : records(records) {}

    bool IsSound()
    {
        quint32 count = 0;
        if (!Skip(4) || !U32(count))
            return false;
        for (quint32 i = 0; i < count; ++i) {
            if (!String())
                return false;
        }
        return true;
    }

private:
    bool AtRecordEnd() const { return offset == records[index].size(); }
    bool NextRecord()
    {
        if (index + 1 >= records.size())
            return false;
        ++index;
        offset = 0;
        return true;
    }
    // Reads bytes that lie within one record.
    bool Take(qsizetype size, const char*& data)
    {
        if (AtRecordEnd() && !NextRecord())
            return false;
        if (offset + size > records[index].size())
            return false;
        data = records[index].constData() + offset;
        offset += size;
        return true;
    }
    bool U32(quint32& value)
    {
        const char* data = nullptr;
        if (!Take(4, data))
            return false;
        value = qFromLittleEndian<quint32>(data);
        return true;
    }
    // Skips bytes that may run on into the next records.
    bool Skip(qint64 size)
    {
        while (size > 0) {
            if (AtRecordEnd() && !NextRecord())
                return false;
            const qint64 step = std::min<qint64>(size, records[index].size() - offset);
            offset += step;
            size -= step;
        }
        return true;
    }
    bool String()
    {
        const char* header = nullptr;
        if (!Take(3, header))
            return false;
        const quint16 characters = qFromLittleEndian<quint16>(header);
        const quint8 flags = quint8(header[2]);
        if (flags & ~0x0D)
            return false;
        quint32 runs = 0;
        quint32 extra = 0;
        const char* data = nullptr;
        if ((flags & 0x08) && !Take(2, data))
            return false;
        if (flags & 0x08)
            runs = qFromLittleEndian<quint16>(data);
        if ((flags & 0x04) && !U32(extra))
            return false;
        qsizetype charSize = (flags & 0x01) ? 2 : 1;
        qsizetype left = characters;
        while (left > 0) {
            if (AtRecordEnd()) {
                // A continued text starts the next record with its option byte again.
                if (!NextRecord() || !Take(1, data) || (quint8(data[0]) & ~0x01))
                    return false;
                charSize = (data[0] & 0x01) ? 2 : 1;
            }
            const qsizetype fit = std::min(left, (records[index].size() - offset) / charSize);
            if (fit == 0)
                return false;
            offset += fit * charSize;
            left -= fit;
        }
        return Skip(qint64(runs) * 4 + extra);
    }

    const QList<QByteArray>& records;
    qsizetype index = 0;
    qsizetype offset = 0;
};

} // namespace

bool BiffCheck::IsSound(const QByteArray& stream)
{
    QSet<qsizetype> recordStarts;
    QList<qsizetype> sheetOffsets;
    QList<QByteArray> sstRecords;
    quint16 previous = 0;
    qsizetype position = 0;
    while (position + 4 <= stream.size()) {
        const quint16 type = U16At(stream, position);
        const qsizetype length = U16At(stream, position + 2);
        if (length > MaxBody || position + 4 + length > stream.size())
            return false;
        if (type == Bof)
            recordStarts.insert(position);
        if (type == BoundSheet && length >= 4)
            sheetOffsets.append(qFromLittleEndian<quint32>(stream.constData() + position + 4));
        if (type == Sst && !sstRecords.isEmpty())
            return false;
        if (type == Sst || (type == Continue && previous == Sst))
            sstRecords.append(stream.mid(position + 4, length));
        if (type != Continue)
            previous = type;
        position += 4 + length;
    }
    if (stream.size() < 4 || U16At(stream, 0) != Bof)
        return false;
    for (const qsizetype offset : sheetOffsets) {
        if (!recordStarts.contains(offset))
            return false;
    }
    return sstRecords.isEmpty() || SstWalk(sstRecords).IsSound();
}
