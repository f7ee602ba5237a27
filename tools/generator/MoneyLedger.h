#pragma once

#include "Dice.h"
#include "LedgerCalendar.h"
#include "Records.h"
#include "ShopCatalog.h"

#include <QHash>
#include <QList>

// Money rows of the seven kinds: 0 receipts, 1 receivables, 2 other income, 3 purchase payments,
// 4 salaries, 5 utilities and rent, 6 other expenses, each with its usual items, parties and sums.
class MoneyLedger
{
public:
    MoneyLedger(const ShopCatalog& catalog, Dice& dice);

    QList<FinanceRecord> Make(const QList<LedgerMoment>& moments);

private:
    FinanceRecord Row(int kind, const LedgerMoment& at);
    QString Voucher(int kind, const QDate& date);

    const ShopCatalog& catalog;
    Dice& dice;
    QHash<QString, int> vouchersOfDay;
};
