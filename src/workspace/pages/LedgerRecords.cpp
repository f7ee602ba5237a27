#include "LedgerRecords.h"

#include "DatabaseEngine.h"

LedgerRecords LoadDayRecords(DatabaseEngine& engine, const QDate& day)
{
    const int oneDay = 1;
    const QString date = day.toString(QStringLiteral("yyyy-MM-dd"));
    LedgerRecords records;
    for (int kind = 0; kind < PageDefinitions::GoodsKinds; ++kind)
        engine.SelectProductRecords(oneDay, kind, QString(), date, records.goods[kind]);
    for (int kind = 0; kind < PageDefinitions::MoneyKinds; ++kind)
        engine.SelectFinanceRecords(oneDay, kind, QString(), date, records.money[kind]);
    return records;
}
