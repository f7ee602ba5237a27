#pragma once

#include <QByteArrayView>
#include <QString>
#include <QtEndian>
#include <cstring>

// One record of a workbook stream: its type, where its header starts and its body. The field
// readers take offsets the caller has checked against the body's size.
struct BiffRecordView {
    quint16 type = 0;
    qsizetype offset = 0;
    QByteArrayView body;

    qsizetype End() const { return offset + 4 + body.size(); }
    quint8 U8(qsizetype at) const { return quint8(body[at]); }
    // Inline: a sheet's cell records are read several fields at a time, a million times over.
    quint16 U16(qsizetype at) const { return qFromLittleEndian<quint16>(body.data() + at); }
    quint32 U32(qsizetype at) const { return qFromLittleEndian<quint32>(body.data() + at); }
    double F64(qsizetype at) const
    {
        const quint64 bits = qFromLittleEndian<quint64>(body.data() + at);
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
};

// Walks the records of a workbook stream. A record whose header or body runs past the end of
// the stream, or whose body is longer than the format allows, ends the walk as damaged.
class BiffCursor
{
public:
    enum class Step { Record, End, Damaged };

    explicit BiffCursor(QByteArrayView stream, qsizetype position = 0)
        : stream(stream), position(position)
    {
    }

    Step Next(BiffRecordView& record);
    // The type of the next record, 0 when there is none.
    quint16 PeekType() const;
    qsizetype Position() const { return position; }

private:
    QByteArrayView stream;
    qsizetype position;
};
