#pragma once

#include "RawClient.h"

#include <QDate>
#include <QString>
#include <QTextStream>

// Times the period selects of the data store against the database's own client reading the same
// rows, shows the query plans of the day and month statements and the save rate of one row.
class SelectBench
{
public:
    SelectBench(const RawClient& raw, const QString& storeNo, const QDate& lastDay,
                QTextStream& out)
        : raw(raw), storeNo(storeNo), lastDay(lastDay), out(out)
    {
    }

    void RunSelects();
    void ShowPlans();
    void RunSaves(int rows);

private:
    struct Period {
        const char* label;
        int timeMode;
        QDate date;
    };
    struct Family {
        const char* label;
        QString table;
        QString dateColumn;
        bool goods;
    };

    QList<Period> Periods() const;
    QList<Family> Families() const;
    // The statement the data store runs, with its values written in.
    QString Statement(const Family& family, const Period& period, int kind) const;
    int OurRows(const Family& family, const Period& period, double& ms) const;

    const RawClient& raw;
    QString storeNo;
    QDate lastDay;
    QTextStream& out;
};
