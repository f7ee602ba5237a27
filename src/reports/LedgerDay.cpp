#include "LedgerDay.h"

#include <QDate>

namespace
{

// The value of `count` decimal digits from `from`, or -1 when one of them is not a digit.
int Digits(const QString& text, qsizetype from, int count)
{
    int value = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c - u'0');
    }
    return value;
}

} // namespace

namespace LedgerDay
{

std::optional<qint64> Read(const QString& text)
{
    // Read directly: a formatted parse of every row costs more than the rest of a computation.
    if (text.size() != 10 || text[4] != QLatin1Char('-') || text[7] != QLatin1Char('-'))
        return std::nullopt;
    const int year = Digits(text, 0, 4), month = Digits(text, 5, 2), day = Digits(text, 8, 2);
    if (year < 0 || month < 0 || day < 0 || !QDate::isValid(year, month, day))
        return std::nullopt;
    return QDate(year, month, day).toJulianDay();
}

} // namespace LedgerDay
