#include "BiffBook.h"

#include <QtEndian>
#include <cstring>

QByteArray BiffBook::U16(quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    return QByteArray(bytes, 2);
}

QByteArray BiffBook::U32(quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    return QByteArray(bytes, 4);
}

QByteArray BiffBook::F64(double value)
{
    quint64 bits;
    std::memcpy(&bits, &value, sizeof bits);
    char bytes[8];
    qToLittleEndian(bits, bytes);
    return QByteArray(bytes, 8);
}

QByteArray BiffBook::Record(quint16 type, const QByteArray& body)
{
    return U16(type) + U16(quint16(body.size())) + body;
}

QByteArray BiffBook::Cell(quint16 type, int row, int column, quint16 xf, const QByteArray& rest)
{
    return Record(type, U16(quint16(row)) + U16(quint16(column)) + U16(xf) + rest);
}

namespace
{

bool Narrow(const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() > 0xff)
            return false;
    }
    return true;
}

QByteArray Characters(QStringView text, bool wide)
{
    QByteArray out;
    for (const QChar c : text) {
        if (wide)
            out += BiffBook::U16(c.unicode());
        else
            out += char(c.unicode());
    }
    return out;
}

} // namespace

QByteArray BiffBook::String(const QString& text)
{
    const bool wide = !Narrow(text);
    return U16(quint16(text.size())) + char(wide ? 1 : 0) + Characters(text, wide);
}

QByteArray BiffBook::SharedStrings(const QStringList& texts, qsizetype chunk, bool alternate)
{
    QList<QByteArray> bodies{U32(quint32(texts.size())) + U32(quint32(texts.size()))};
    for (const QString& text : texts) {
        bool wide = !Narrow(text);
        if (bodies.last().size() + 3 > chunk)
            bodies.append(QByteArray());
        bodies.last() += U16(quint16(text.size())) + char(wide ? 1 : 0);
        qsizetype done = 0;
        while (done < text.size()) {
            const qsizetype room = (chunk - bodies.last().size()) / (wide ? 2 : 1);
            if (room <= 0) {
                if (alternate && Narrow(text))
                    wide = !wide;
                bodies.append(QByteArray(1, char(wide ? 1 : 0)));
                continue;
            }
            const qsizetype fit = std::min(room, text.size() - done);
            bodies.last() += Characters(QStringView(text).mid(done, fit), wide);
            done += fit;
        }
    }
    QByteArray records = Record(0x00FC, bodies.first());
    for (qsizetype i = 1; i < bodies.size(); ++i)
        records += Record(0x003C, bodies[i]);
    return records;
}

QByteArray BiffBook::Formula(int row, int column, quint16 xf, const QByteArray& result)
{
    // Flags, a reserved field and the tokens of "=1": one integer token.
    const QByteArray tokens = U16(3) + char(0x1E) + U16(1);
    return Cell(0x0006, row, column, xf, result + U16(0) + U32(0) + tokens);
}

QByteArray BiffBook::Stream() const
{
    const QByteArray bof = U16(0x0600) + U16(0x0005) + U16(0x0DBB) + U16(0x07CC) + U32(0) + U32(6);
    QByteArray head = Record(0x0809, bof) + Record(0x0022, U16(dateSystem1904 ? 1 : 0));
    head += Record(0x041E, U16(164) + String(QStringLiteral("yyyy\\-mm\\-dd;@")));
    for (int i = 0; i < 16; ++i) {
        const quint16 format = i == 15 ? 164 : 0;
        const quint16 kind = i < 15 ? 0xFFF5 : 0x0001;
        head += Record(0x00E0, U16(0) + U16(format) + U16(kind) + QByteArray(14, '\0'));
    }
    head += globals;
    QList<qsizetype> offsetFields;
    for (int i = 0; i < sheets.size(); ++i) {
        offsetFields.append(head.size() + 4);
        const QByteArray name = QStringLiteral("S%1").arg(i + 1).toLatin1();
        head += Record(0x0085, U32(0) + U16(0) + char(name.size()) + char(0) + name);
    }
    head += sst + Record(0x000A, {});
    QByteArray stream = head;
    for (int i = 0; i < sheets.size(); ++i) {
        const QByteArray offset = U32(quint32(stream.size()));
        std::memcpy(stream.data() + offsetFields[i], offset.constData(), 4);
        stream += Record(0x0809, U16(0x0600) + U16(0x0010) + QByteArray(12, '\0'));
        stream += sheets[i] + Record(0x000A, {});
    }
    return stream;
}
