#include "ScriptValue.h"

#include <QLocale>
#include <QStringDecoder>
#include <charconv>
#include <cstring>

namespace
{

qsizetype FirstBadUtf8(QByteArrayView bytes)
{
    const auto* begin = reinterpret_cast<const uchar*>(bytes.data());
    const uchar* end = begin + bytes.size();
    const uchar* p = begin;
    while (p < end) {
        if (end - p >= 8) {
            quint64 word;
            std::memcpy(&word, p, 8);
            if ((word & 0x8080808080808080ULL) == 0) {
                p += 8;
                continue;
            }
        }
        const uchar c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        // Overlong forms, surrogates and code points past U+10FFFF are not characters.
        int more = 0;
        char32_t code = 0;
        if (c >= 0xc2 && c <= 0xdf)
            more = 1, code = c & 0x1f;
        else if (c >= 0xe0 && c <= 0xef)
            more = 2, code = c & 0x0f;
        else if (c >= 0xf0 && c <= 0xf4)
            more = 3, code = c & 0x07;
        else
            return p - begin;
        if (end - p <= more)
            return p - begin;
        for (int i = 1; i <= more; ++i) {
            if ((p[i] & 0xc0) != 0x80)
                return p - begin;
            code = (code << 6) | (p[i] & 0x3f);
        }
        if ((more == 2 && (code < 0x800 || (code >= 0xd800 && code <= 0xdfff))) ||
            (more == 3 && (code < 0x10000 || code > 0x10ffff)))
            return p - begin;
        p += more + 1;
    }
    return -1;
}

QStringDecoder Gb18030()
{
    return QStringDecoder("GB18030", QStringConverter::Flag::Stateless |
                                         QStringConverter::Flag::ConvertInitialBom);
}

// The text with its doubled quotes made single.
QByteArrayView Undoubled(QByteArrayView raw, QByteArray& scratch)
{
    scratch.resize(0);
    for (qsizetype from = 0;;) {
        const qsizetype quote = raw.indexOf('\'', from);
        scratch += raw.sliced(from, (quote < 0 ? raw.size() : quote + 1) - from);
        if (quote < 0)
            return scratch;
        from = quote + 2;
    }
}

} // namespace

bool ScriptText::IsInt(int tableIndex, int column)
{
    static const QList<QList<bool>> ints = [] {
        QList<QList<bool>> tables;
        for (const TableSchema& table : Schema::Tables()) {
            QList<bool> columns;
            for (const QString& type : table.types)
                columns << (type == QLatin1String("int"));
            tables << columns;
        }
        return tables;
    }();
    return ints.at(tableIndex).at(column);
}

qsizetype ScriptText::FirstBadByte(QByteArrayView bytes, ScriptEncoding encoding)
{
    const qsizetype utf8 = FirstBadUtf8(bytes);
    if (encoding == ScriptEncoding::Utf8 || utf8 < 0)
        return utf8;
    // GB18030 is looked at only from the first byte that is not UTF-8; ASCII reads the same.
    QStringDecoder decoder = Gb18030();
    const QString text = decoder.decode(bytes);
    if (!decoder.hasError() && !text.contains(QChar::ReplacementCharacter))
        return -1;
    // Where it goes wrong: the longest start of the bytes that still reads.
    qsizetype good = 0;
    qsizetype bad = bytes.size();
    while (bad - good > 1) {
        const qsizetype middle = (good + bad) / 2;
        QStringDecoder part = Gb18030();
        const QString start = part.decode(bytes.first(middle));
        const bool reads = !part.hasError() && !start.contains(QChar::ReplacementCharacter);
        (reads ? good : bad) = middle;
    }
    return good;
}

QString ScriptText::Decode(QByteArrayView bytes, ScriptEncoding encoding)
{
    if (encoding == ScriptEncoding::Utf8)
        return QString::fromUtf8(bytes);
    QStringDecoder decoder = Gb18030();
    return decoder.decode(bytes);
}

bool ScriptValue::Whole(qint64& whole, double& real) const
{
    const char* begin = raw.data();
    const char* end = begin + raw.size();
    const char* digits = begin + (raw.startsWith('+') ? 1 : 0);
    const auto [at, error] = std::from_chars(digits, end, whole);
    if (error == std::errc() && at == end && digits < end)
        return true;
    std::from_chars(digits, end, real);
    return false;
}

QByteArrayView ScriptValue::Plain(bool intColumn, QByteArray& scratch) const
{
    switch (kind) {
    case Null:
        return {};
    case Text:
        return doubled ? Undoubled(raw, scratch) : raw;
    case Bytes:
        scratch = QByteArray::fromHex(raw.toByteArray());
        return scratch;
    case Number: {
        qint64 whole = 0;
        double real = 0;
        if (!intColumn)
            return raw; // the digits exactly as written
        scratch = Whole(whole, real)
                      ? QByteArray::number(whole)
                      : QByteArray::number(real, 'g', QLocale::FloatingPointShortest);
        return scratch;
    }
    case Date:
        return raw;
    }
    return raw;
}

QByteArrayView ScriptValue::Utf8(ScriptEncoding encoding, bool intColumn, QByteArray& scratch) const
{
    const QByteArrayView plain = Plain(intColumn, scratch);
    if (encoding == ScriptEncoding::Utf8 || kind != Text)
        return plain;
    scratch = ScriptText::Decode(plain, encoding).toUtf8();
    return scratch;
}

QVariant ScriptValue::Variant(ScriptEncoding encoding, const QString& type) const
{
    const bool intColumn = type == QLatin1String("int");
    QByteArray scratch;
    switch (kind) {
    case Null:
        return intColumn ? QVariant(QMetaType::fromType<int>())
                         : QVariant(QMetaType::fromType<QString>());
    case Text: {
        QString text(QLatin1String("")); // an empty text stays empty, not NULL
        text += ScriptText::Decode(Plain(intColumn, scratch), encoding);
        return text;
    }
    case Bytes:
        return QByteArray::fromHex(raw.toByteArray());
    case Number:
        if (intColumn) {
            qint64 whole = 0;
            double real = 0;
            return Whole(whole, real) ? QVariant(qlonglong(whole)) : QVariant(real);
        }
        return QString::fromLatin1(raw);
    case Date:
        return QString::fromLatin1(raw);
    }
    return {};
}

const ScriptValue& ScannedRow::ValueOf(int column) const
{
    static const ScriptValue none;
    const qsizetype at = columns->indexOf(column);
    return at >= 0 ? values.at(size_t(at)) : none;
}
