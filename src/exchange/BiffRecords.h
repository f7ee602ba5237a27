#pragma once

#include <QByteArray>
#include <QString>

// Little-endian record building for BIFF8 streams.
class BiffRecords
{
public:
    explicit BiffRecords(QByteArray& stream) : stream(stream) {}

    // Appends one record: type, body length, body.
    void Append(quint16 type, const QByteArray& body);
    qsizetype Size() const { return stream.size(); }
    // Overwrites a 32-bit field written earlier (stream offsets known only later).
    void Patch32(qsizetype offset, quint32 value);

    static void U8(QByteArray& body, quint8 value) { body.append(char(value)); }
    static void U16(QByteArray& body, quint16 value);
    static void U32(QByteArray& body, quint32 value);
    static void F64(QByteArray& body, double value);
    // The characters only, one byte each when every one fits, else UTF-16LE.
    static void Characters(QByteArray& body, const QString& text, bool compressed);
    static bool Compressible(const QString& text);
    // A sheet or font name: 8-bit length, option byte, characters.
    static void ShortString(QByteArray& body, const QString& text);

private:
    QByteArray& stream;
};
