#include "BiffText.h"

#include <QtEndian>
#include <cstring>

namespace
{

constexpr quint8 HighByte = 0x01;
constexpr quint8 Phonetic = 0x04;
constexpr quint8 Rich = 0x08;

} // namespace

bool ContinuedBody::NextSegment()
{
    if (index + 1 >= segments.size())
        return false;
    ++index;
    offset = 0;
    return true;
}

qsizetype ContinuedBody::Left() const
{
    qsizetype left = 0;
    for (qsizetype i = index; i < segments.size(); ++i)
        left += segments[i].size() - (i == index ? offset : 0);
    return left;
}

bool ContinuedBody::Bytes(qsizetype size, QByteArray* out)
{
    // A damaged length must not reserve memory for bytes that are not there.
    if (size > Left())
        return false;
    if (!out)
        return Copy(size, nullptr);
    const qsizetype at = out->size();
    out->resize(at + size);
    return Copy(size, out->data() + at);
}

bool ContinuedBody::Copy(qsizetype size, char* to)
{
    while (size > 0) {
        if (index >= segments.size())
            return false;
        if (offset == segments[index].size() && !NextSegment())
            return false;
        const qsizetype step = std::min(size, segments[index].size() - offset);
        if (to) {
            std::memcpy(to, segments[index].data() + offset, size_t(step));
            to += step;
        }
        offset += step;
        size -= step;
    }
    return true;
}

bool ContinuedBody::U8(quint8& value)
{
    char byte;
    if (!Copy(1, &byte))
        return false;
    value = quint8(byte);
    return true;
}

bool ContinuedBody::U16(quint16& value)
{
    char bytes[2];
    if (!Copy(2, bytes))
        return false;
    value = qFromLittleEndian<quint16>(bytes);
    return true;
}

bool ContinuedBody::U32(quint32& value)
{
    char bytes[4];
    if (!Copy(4, bytes))
        return false;
    value = qFromLittleEndian<quint32>(bytes);
    return true;
}

bool ContinuedBody::Characters(qsizetype count, bool wide, QString& text)
{
    text.clear();
    text.reserve(count);
    while (count > 0) {
        if (index >= segments.size())
            return false;
        if (offset == segments[index].size()) {
            // Characters that run on into the next record say their width again there.
            if (!NextSegment() || segments[index].isEmpty())
                return false;
            wide = quint8(segments[index][0]) & HighByte;
            offset = 1;
        }
        const qsizetype charSize = wide ? 2 : 1;
        const qsizetype fit = std::min(count, (segments[index].size() - offset) / charSize);
        if (fit == 0)
            return false;
        const char* data = segments[index].data() + offset;
        if (wide) {
            const qsizetype at = text.size();
            text.resize(at + fit);
            qFromLittleEndian<quint16>(data, fit, text.data() + at);
        } else {
            text.append(QLatin1StringView(data, fit));
        }
        offset += fit * charSize;
        count -= fit;
    }
    return true;
}

bool ContinuedBody::String(QString& text, int countBytes)
{
    quint8 shortCount = 0;
    quint16 count = 0;
    quint8 flags = 0;
    if (countBytes == 1 ? !U8(shortCount) : !U16(count))
        return false;
    if (countBytes == 1)
        count = shortCount;
    return U8(flags) && Characters(count, flags & HighByte, text);
}

bool ContinuedBody::RichString(BiffText& text)
{
    quint16 count = 0;
    quint8 flags = 0;
    quint16 runs = 0;
    quint32 phonetic = 0;
    if (!U16(count) || !U8(flags) || ((flags & Rich) && !U16(runs)) ||
        ((flags & Phonetic) && !U32(phonetic)) || !Characters(count, flags & HighByte, text.text))
        return false;
    // The formatting runs and phonetic data are kept only where they exist: most texts have
    // neither, and an empty array costs nothing.
    text.runs.clear();
    text.phonetic.clear();
    if (phonetic > quint32(Left()))
        return false;
    return Bytes(qsizetype(runs) * 4, runs ? &text.runs : nullptr) &&
           Bytes(qsizetype(phonetic), phonetic ? &text.phonetic : nullptr);
}
