#pragma once

#include "PageDefinitions.h"
#include "Records.h"

#include <QDate>
#include <QList>
#include <QMetaType>
#include <array>

class DatabaseEngine;

// One record list per ledger kind, as a page load hands them to the window.
struct LedgerRecords {
    std::array<QList<ProductRecord>, PageDefinitions::GoodsKinds> goods;
    std::array<QList<FinanceRecord>, PageDefinitions::MoneyKinds> money;
};

Q_DECLARE_METATYPE(LedgerRecords)

// The current store's records of every kind dated `day`, in the order the database returns them.
LedgerRecords LoadDayRecords(DatabaseEngine& engine, const QDate& day);
