#include "XlsxText.h"

namespace
{

constexpr int MaxColumn = 16384;
constexpr int MaxRow = 1048576;

bool XmlCanCarry(char16_t c)
{
    return c >= 0x20 || c == '\t' || c == '\n' || c == '\r';
}

bool IsHexDigit(QChar c)
{
    return c.isDigit() || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool IsEscapeAt(const QString& text, qsizetype i)
{
    if (i + 6 >= text.size() || text[i] != '_' || text[i + 1] != 'x' || text[i + 6] != '_')
        return false;
    for (qsizetype k = i + 2; k < i + 6; ++k) {
        if (!IsHexDigit(text[k]))
            return false;
    }
    return true;
}

// Digits are read by hand: references are parsed once per cell, and converting a view to a
// number goes through a temporary copy.
template <typename View> bool ParseReferenceIn(View reference, int& row, int& column)
{
    qsizetype i = 0;
    int parsedColumn = 0;
    for (; i < reference.size() && parsedColumn <= MaxColumn; ++i) {
        const char16_t c = reference[i].unicode();
        if (c < 'A' || c > 'Z')
            break;
        parsedColumn = parsedColumn * 26 + (c - 'A' + 1);
    }
    const qsizetype firstDigit = i;
    int parsedRow = 0;
    for (; i < reference.size() && parsedRow <= MaxRow; ++i) {
        const char16_t c = reference[i].unicode();
        if (c < '0' || c > '9')
            break;
        parsedRow = parsedRow * 10 + (c - '0');
    }
    if (firstDigit == 0 || i == firstDigit || i != reference.size() || parsedColumn > MaxColumn ||
        parsedRow < 1 || parsedRow > MaxRow)
        return false;
    row = parsedRow;
    column = parsedColumn;
    return true;
}

} // namespace

bool XlsxText::ParseReference(QStringView reference, int& row, int& column)
{
    return ParseReferenceIn(reference, row, column);
}

bool XlsxText::ParseReference(QLatin1StringView reference, int& row, int& column)
{
    return ParseReferenceIn(reference, row, column);
}

QString XlsxText::ColumnName(int column)
{
    QString name;
    for (; column > 0; column = (column - 1) / 26)
        name.prepend(QChar('A' + (column - 1) % 26));
    return name;
}

QString XlsxText::Reference(int row, int column)
{
    return ColumnName(column) + QString::number(row);
}

QString XlsxText::Unescape(const QString& text)
{
    if (!text.contains(QLatin1String("_x")))
        return text;
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (IsEscapeAt(text, i)) {
            result += QChar(char16_t(text.mid(i + 2, 4).toUShort(nullptr, 16)));
            i += 6;
        } else {
            result += text[i];
        }
    }
    return result;
}

QString XlsxText::Escape(const QString& text)
{
    qsizetype clean = 0;
    while (clean < text.size() && XmlCanCarry(text[clean].unicode()) && !IsEscapeAt(text, clean))
        ++clean;
    if (clean == text.size())
        return text;
    QString result = text.left(clean);
    result.reserve(text.size() + 7);
    for (qsizetype i = clean; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        // A literal "_xHHHH_" in the text must not read back as an escape: its "_" is escaped.
        if (IsEscapeAt(text, i))
            result += QLatin1String("_x005F_");
        else if (!XmlCanCarry(c))
            result += QStringLiteral("_x%1_").arg(QString::number(c, 16).toUpper(), 4, QChar('0'));
        else
            result += text[i];
    }
    return result;
}
