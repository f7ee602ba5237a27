#include "SheetDate.h"

#include "SerialDate.h"

#include <QRegularExpression>
#include <QTime>

namespace
{

// A time of day after the date: "10:11", "10:11:12", "10:11:12.345", or the entry time's own
// "10:11:12:345".
bool TimeOfDay(const QRegularExpressionMatch& m)
{
    if (m.captured(QStringLiteral("hour")).isEmpty())
        return true;
    return QTime(m.captured(QStringLiteral("hour")).toInt(),
                 m.captured(QStringLiteral("minute")).toInt(),
                 m.captured(QStringLiteral("second")).toInt(),
                 m.captured(QStringLiteral("ms")).leftJustified(3, QLatin1Char('0')).toInt())
        .isValid();
}

} // namespace

QDate SheetDate::Read(const QString& text, bool dateSystem1904)
{
    static const QRegularExpression dayNumber(QStringLiteral(R"(^\d+(\.\d*)?$)"));
    // Year, month and day with one separator throughout (a backreference) or with the Chinese
    // marks, then perhaps a time of day.
    static const QRegularExpression written(
        QStringLiteral(R"(^(?<year>\d{4}))"
                       R"((?:(?<sep>[-/.K])(?<month>\d{1,2})\k<sep>(?<day>\d{1,2}))"
                       R"(|年(?<cmonth>\d{1,2})月(?<cday>\d{1,2})日))"
                       R"((?:[ T]+(?<hour>\d{1,2}):(?<minute>\d{2}))"
                       R"((?::(?<second>\d{2})(?:[.:](?<ms>\d{1,3}))?)?)?$)"));
    const QString trimmed = text.trimmed();
    if (dayNumber.match(trimmed).hasMatch())
        return SerialDate::ToDate(trimmed.toDouble(), dateSystem1904);
    const QRegularExpressionMatch m = written.match(trimmed);
    if (!m.hasMatch() || !TimeOfDay(m))
        return QDate();
    const bool chinese = m.captured(QStringLiteral("sep")).isEmpty();
    return QDate(m.captured(QStringLiteral("year")).toInt(),
                 m.captured(chinese ? QStringLiteral("cmonth") : QStringLiteral("month")).toInt(),
                 m.captured(chinese ? QStringLiteral("cday") : QStringLiteral("day")).toInt());
}
