#include "SerialDate.h"

#include <QTime>
#include <cmath>

namespace
{

const QDate Epoch1904(1904, 1, 1);
// Day 1 of the 1900 system is 1 January 1900; from day 61 (1 March 1900) on the days count
// from one day earlier, past the phantom 29 February.
const QDate Epoch1900(1899, 12, 31);
const QDate Epoch1900FromMarch(1899, 12, 30);
constexpr double PhantomLeapDay = 60;
const QDate LastDay(9999, 12, 31);

std::optional<double> DayNumber(const QDate& date, bool dateSystem1904)
{
    if (!date.isValid())
        return std::nullopt;
    if (dateSystem1904)
        return double(Epoch1904.daysTo(date));
    if (date < QDate(1900, 3, 1))
        return double(Epoch1900.daysTo(date));
    return double(Epoch1900FromMarch.daysTo(date));
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

QDate SerialDate::ToDate(double day, bool dateSystem1904)
{
    // Past about three million days every date is beyond the last one.
    if (!std::isfinite(day) || day < 0 || day > 3e6)
        return QDate();
    const qint64 whole = qint64(std::floor(day));
    QDate date;
    if (dateSystem1904)
        date = Epoch1904.addDays(whole);
    else if (whole >= 1 && whole < PhantomLeapDay)
        date = Epoch1900.addDays(whole);
    else if (whole > PhantomLeapDay)
        date = Epoch1900FromMarch.addDays(whole);
    return date.isValid() && date <= LastDay ? date : QDate();
}
