#pragma once

#include <QString>
#include <optional>

// The period of a ledger select. Time modes: 1 one day, 2 the month of a date, 3 the year of a
// date, 4 a span between two dates, 5 all time.
struct Period {
    QString first; // "yyyy-MM-dd"
    QString last;

    // Bounds for modes 2-4 (months end on their real last day, 29 February in leap years);
    // nothing for a date that cannot be read or a mode without bounds.
    static std::optional<Period> ForMode(int timeMode, const QString& startDate,
                                         const QString& queryDate);
};
