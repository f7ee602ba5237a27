#pragma once

#include <QString>
#include <QStringList>

// How a storage place is composed: warehouse number, partition and slot joined by "-".
namespace StorePlaces
{

// At most this many partitions: "A".."Z", then "A+".."Z+".
inline constexpr int MaxPartitions = 52;

// A count text of the warehouse list as a number; empty or non-numeric texts count 0.
int Count(const QString& text);
// The names of the first `count` partitions (none below 1, capped at MaxPartitions).
QStringList PartitionNames(int count);
// "1".."count" (none below 1).
QStringList SlotNames(int count);
// "number-partition-slot"; an empty part keeps its separators.
QString Compose(const QString& number, const QString& partition, const QString& slot);

} // namespace StorePlaces
