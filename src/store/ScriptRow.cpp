#include "ScriptRow.h"

#include <QCoreApplication>
#include <QStringList>

QVariant ScriptRow::Value(const QString& column) const
{
    for (qsizetype i = 0; i < columns.size(); ++i) {
        if (table->columns.at(columns.at(i)) == column)
            return values.at(i);
    }
    return QVariant();
}

void SkipReport::Add(int line, SkipReason reason)
{
    Entry& entry = entries[size_t(reason)];
    ++entry.count;
    if (entry.lines.size() < ShownLines)
        entry.lines << line;
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
    static const std::array<const char*, 5> reasons = {
        QT_TRANSLATE_NOOP("SkipReport", "不是插入语句"),
        QT_TRANSLATE_NOOP("SkipReport", "不是本程序的数据表"),
        QT_TRANSLATE_NOOP("SkipReport", "含有数据表中没有的列"),
        QT_TRANSLATE_NOOP("SkipReport", "语句格式有误"),
        QT_TRANSLATE_NOOP("SkipReport", "不是本门店的数据"),
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
