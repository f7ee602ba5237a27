#pragma once

#include "Records.h"
#include "ShopCatalog.h"

#include <QDate>
#include <QList>
#include <QString>

struct DemoOptions {
    int stores = 1;
    int goodsPerStore = 3000;
    int moneyPerStore = 1500;
    int days = 60;
    QDate end = QDate::currentDate();
    quint32 seed = 20240601;
    // The first store's number; empty: made from the seed like the others.
    QString firstStoreNo;
};

// Everything generated for one store.
struct StoreDemo {
    QString storeNo;
    ShopCatalog catalog;
    QList<ProductRecord> goods;
    QList<FinanceRecord> money;
};

// Makes the demo data of every store in memory; the same options give the same data.
namespace DemoData
{

QList<StoreDemo> Build(const DemoOptions& options);

} // namespace DemoData
