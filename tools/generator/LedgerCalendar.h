#pragma once

#include "Dice.h"

#include <QDate>
#include <QList>
#include <QString>

// When a ledger row happened and when it was entered: its date and its serial.
struct LedgerMoment {
    QDate date;
    QString serial; // "yyyy-MM-dd hh:mm:ss:zzz", unique within one calendar's moments
};

// Spreads rows over a span of days, in time order, entered during shop hours.
namespace LedgerCalendar
{

QList<LedgerMoment> Spread(Dice& dice, int count, const QDate& first, const QDate& last);

} // namespace LedgerCalendar
