#include "Period.h"

#include <QDate>
#include <QStringList>

namespace
{

QString DayText(int year, int month, int day)
{
    return QDate(year, month, day).toString(QStringLiteral("yyyy-MM-dd"));
}

} // namespace

std::optional<Period> Period::ForMode(int timeMode, const QString& startDate,
                                      const QString& queryDate)
{
    if (timeMode == 4)
        return Period{startDate, queryDate};
    if (timeMode != 2 && timeMode != 3)
        return std::nullopt;

    const QStringList parts = queryDate.split(QLatin1Char('-'));
    bool yearOk = false;
    const int year = parts.value(0).toInt(&yearOk);
    if (!yearOk || year < 1 || year > 9999)
        return std::nullopt;
    if (timeMode == 3)
        return Period{DayText(year, 1, 1), DayText(year, 12, 31)};

    bool monthOk = false;
    const int month = parts.value(1).toInt(&monthOk);
    if (!monthOk || month < 1 || month > 12)
        return std::nullopt;
    const QDate first(year, month, 1);
    return Period{DayText(year, month, 1), DayText(year, month, first.daysInMonth())};
}
