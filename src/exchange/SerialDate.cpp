#include "SerialDate.h"

#include <QDate>
#include <QTime>

namespace
{

std::optional<double> DayNumber(const QDate& date, bool dateSystem1904)
{
    if (!date.isValid())
        return std::nullopt;
    if (dateSystem1904)
        return double(QDate(1904, 1, 1).daysTo(date));
    // Day 60 is the phantom 29 February 1900: dates from March 1900 on are one further.
    if (date < QDate(1900, 3, 1))
        return double(QDate(1899, 12, 31).daysTo(date));
    return double(QDate(1899, 12, 30).daysTo(date));
}

std::optional<double> DayFraction(const QString& text)
{
    const QTime time = QTime::fromString(text, QStringLiteral("hh:mm:ss"));
    if (!time.isValid())
        return std::nullopt;
    return time.msecsSinceStartOfDay() / 86400000.0;
}

} // namespace

std::optional<double> SerialDate::FromText(const QString& text, bool dateSystem1904)
{
    const QString trimmed = text.trimmed();
    if (trimmed.size() == 8)
        return DayFraction(trimmed);
    const auto day = DayNumber(QDate::fromString(trimmed.left(10), QStringLiteral("yyyy-MM-dd")),
                               dateSystem1904);
    if (!day || trimmed.size() == 10)
        return day;
    const auto fraction = DayFraction(trimmed.mid(11));
    if (!fraction || trimmed.size() != 19)
        return std::nullopt;
    return *day + *fraction;
}
