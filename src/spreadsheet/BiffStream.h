#pragma once

#include <QByteArrayView>
#include <QString>

// One record of a workbook stream: its type, where its header starts and its body. The field
// readers take offsets the caller has checked against the body's size.
struct BiffRecordView {
    quint16 type = 0;
    qsizetype offset = 0;
    QByteArrayView body;

    qsizetype End() const { return offset + 4 + body.size(); }
    quint8 U8(qsizetype at) const { return quint8(body[at]); }
    quint16 U16(qsizetype at) const;
    quint32 U32(qsizetype at) const;
    double F64(qsizetype at) const;
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
