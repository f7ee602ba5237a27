#include "SkipReport.h"

#include <QCoreApplication>
#include <QStringList>
#include <algorithm>

void SkipReport::Add(int line, SkipReason reason)
{
    Entry& entry = entries[size_t(reason)];
    ++entry.count;
    // A repeated row is found only when its later copy is read, so lines may come out of order.
    entry.lines.insert(
        std::upper_bound(entry.lines.begin(), entry.lines.end(), line) - entry.lines.begin(), line);
    if (entry.lines.size() > ShownLines)
        entry.lines.removeLast();
}

qint64 SkipReport::Count() const
{
    qint64 total = 0;
    for (const Entry& entry : entries)
        total += entry.count;
    return total;
}

QString SkipReport::Text() const
{
    static const std::array<const char*, 2> reasons = {
        QT_TRANSLATE_NOOP("SkipReport", "不是本门店的数据"),
        QT_TRANSLATE_NOOP("SkipReport", "与文件中后面的行重复（保留最后一行）"),
    };
    QStringList lines;
    for (size_t r = 0; r < entries.size(); ++r) {
        const Entry& entry = entries[r];
        if (entry.count == 0)
            continue;
        QStringList numbers;
        for (int line : entry.lines)
            numbers << QString::number(line);
        const QString more = entry.count > entry.lines.size() ? QStringLiteral("等") : QString();
        lines << QCoreApplication::translate("SkipReport", "%1：%2 行（第 %3 行%4）")
                     .arg(QCoreApplication::translate("SkipReport", reasons[r]))
                     .arg(entry.count)
                     .arg(numbers.join(QStringLiteral("、")), more);
    }
    return lines.join(QLatin1Char('\n'));
}
