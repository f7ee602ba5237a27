#include "BiffRecords.h"

#include <QtEndian>
#include <cstring>

void BiffRecords::Append(quint16 type, const QByteArray& body)
{
    QByteArray header;
    U16(header, type);
    U16(header, quint16(body.size()));
    stream.append(header);
    stream.append(body);
}

void BiffRecords::Patch32(qsizetype offset, quint32 value)
{
    qToLittleEndian(value, stream.data() + offset);
}

void BiffRecords::U16(QByteArray& body, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    body.append(bytes, 2);
}

void BiffRecords::U32(QByteArray& body, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    body.append(bytes, 4);
}

void BiffRecords::F64(QByteArray& body, double value)
{
    quint64 bits;
    std::memcpy(&bits, &value, sizeof bits);
    char bytes[8];
    qToLittleEndian(bits, bytes);
    body.append(bytes, 8);
}

bool BiffRecords::Compressible(const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() > 0xff)
            return false;
    }
    return true;
}

void BiffRecords::Characters(QByteArray& body, const QString& text, bool compressed)
{
    for (const QChar c : text) {
        if (compressed)
            U8(body, quint8(c.unicode()));
        else
            U16(body, c.unicode());
    }
}

void BiffRecords::ShortString(QByteArray& body, const QString& text)
{
    const bool compressed = Compressible(text);
    U8(body, quint8(text.size()));
    U8(body, compressed ? 0 : 1);
    Characters(body, text, compressed);
}
