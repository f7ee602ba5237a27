#include "StorePlaces.h"

#include <algorithm>

namespace StorePlaces
{

int Count(const QString& text)
{
    bool ok = false;
    const int count = text.trimmed().toInt(&ok);
    return ok ? count : 0;
}

QStringList PartitionNames(int count)
{
    QStringList names;
    const int wanted = std::min(count, MaxPartitions);
    for (int i = 0; i < wanted; ++i) {
        QString name(QChar(u'A' + i % 26));
        if (i >= 26)
            name += QLatin1Char('+');
        names << name;
    }
    return names;
}

QStringList SlotNames(int count)
{
    QStringList names;
    for (int i = 1; i <= count; ++i)
        names << QString::number(i);
    return names;
}

QString Compose(const QString& number, const QString& partition, const QString& slot)
{
    return number + QLatin1Char('-') + partition + QLatin1Char('-') + slot;
}

} // namespace StorePlaces
