#include "TextPool.h"

namespace
{

// Distinct texts a column keeps before it stops pooling, and the longest text pooled (long texts
// are remarks, which rarely repeat).
constexpr qsizetype MaxDistinct = 4096;
constexpr qsizetype MaxPooledBytes = 64;

} // namespace

QString TextPool::FromUtf8(int column, const char* bytes, qsizetype size)
{
    if (size == 0)
        return QString::fromUtf8(bytes, 0);
    if (column < 0 || std::size_t(column) >= columns.size() || size > MaxPooledBytes)
        return QString::fromUtf8(bytes, size);
    Column& c = columns[std::size_t(column)];
    if (c.full)
        return QString::fromUtf8(bytes, size);
    const auto found = c.byBytes.constFind(QByteArray::fromRawData(bytes, size));
    if (found != c.byBytes.cend())
        return *found;
    const QString text = QString::fromUtf8(bytes, size);
    c.byBytes.insert(QByteArray(bytes, size), text);
    c.full = c.byBytes.size() >= MaxDistinct;
    return text;
}

QString TextPool::Shared(int column, const QString& text)
{
    if (text.isEmpty())
        return text;
    if (column < 0 || std::size_t(column) >= columns.size() || text.size() > MaxPooledBytes)
        return text;
    Column& c = columns[std::size_t(column)];
    if (c.full)
        return text;
    const auto found = c.texts.constFind(text);
    if (found != c.texts.cend())
        return *found;
    c.texts.insert(text);
    c.full = c.texts.size() >= MaxDistinct;
    return text;
}
