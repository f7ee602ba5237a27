#include "LedgerCalendar.h"

#include <QDateTime>
#include <algorithm>

namespace
{

constexpr qint64 OpeningMs = 8 * 3600 * 1000;
constexpr qint64 ShopHoursMs = 14 * 3600 * 1000;

} // namespace

QList<LedgerMoment> LedgerCalendar::Spread(Dice& dice, int count, const QDate& first,
                                           const QDate& last)
{
    const int days = int(first.daysTo(last)) + 1;
    QList<qint64> stamps; // milliseconds since the first day's midnight
    stamps.reserve(count);
    for (int i = 0; i < count; ++i) {
        const qint64 day = dice.Int(0, days - 1);
        const qint64 within = dice.Int(0, int(ShopHoursMs) - 1);
        stamps << day * 86400000 + OpeningMs + within;
    }
    std::sort(stamps.begin(), stamps.end());
    for (int i = 1; i < stamps.size(); ++i)
        stamps[i] = qMax(stamps[i], stamps[i - 1] + 1);

    const QDateTime origin(first, QTime(0, 0), Qt::UTC); // no daylight-saving gaps
    QList<LedgerMoment> moments;
    moments.reserve(count);
    for (qint64 stamp : stamps) {
        const QDateTime at = origin.addMSecs(stamp);
        moments << LedgerMoment{at.date(), at.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss:zzz"))};
    }
    return moments;
}
