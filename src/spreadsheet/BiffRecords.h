#pragma once

#include <QByteArray>
#include <QString>

// BIFF8 record types and the largest record body the format allows.
namespace BiffRecord
{
constexpr quint16 Bof = 0x0809;
constexpr quint16 Eof = 0x000A;
constexpr quint16 Codepage = 0x0042;
constexpr quint16 Window1 = 0x003D;
constexpr quint16 Date1904 = 0x0022;
constexpr quint16 Font = 0x0031;
constexpr quint16 Xf = 0x00E0;
constexpr quint16 Style = 0x0293;
constexpr quint16 BoundSheet = 0x0085;
constexpr quint16 Sst = 0x00FC;
constexpr quint16 Continue = 0x003C;
constexpr quint16 Dimensions = 0x0200;
constexpr quint16 LabelSst = 0x00FD;
constexpr quint16 Number = 0x0203;
constexpr quint16 Window2 = 0x023E;
constexpr quint16 FilePass = 0x002F;
constexpr quint16 Format = 0x041E;
constexpr quint16 ExtSst = 0x00FF;
constexpr quint16 Label = 0x0204;
constexpr quint16 RString = 0x00D6;
constexpr quint16 Rk = 0x027E;
constexpr quint16 MulRk = 0x00BD;
constexpr quint16 BoolErr = 0x0205;
constexpr quint16 Formula = 0x0006;
constexpr quint16 String = 0x0207;
constexpr quint16 Blank = 0x0201;
constexpr quint16 MulBlank = 0x00BE;
constexpr quint16 Row = 0x0208;
constexpr quint16 DbCell = 0x00D7;
constexpr quint16 Index = 0x020B;
constexpr quint16 ShrFmla = 0x04BC;
constexpr quint16 Array = 0x0221;
constexpr quint16 Table = 0x0236;
constexpr qsizetype MaxBody = 8224;
} // namespace BiffRecord

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
