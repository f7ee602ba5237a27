#include "DemoData.h"

#include "DbConfig.h"
#include "Dice.h"
#include "GoodsLedger.h"
#include "LedgerCalendar.h"
#include "MoneyLedger.h"

#include <QDateTime>

QList<StoreDemo> DemoData::Build(const DemoOptions& options)
{
    Dice root(options.seed);
    const QDate first = options.end.addDays(-(qMax(options.days, 1) - 1));
    QList<StoreDemo> stores;
    for (int i = 0; i < options.stores; ++i) {
        // Each part draws from its own generator, so changing one count leaves the rest alike.
        Dice catalogDice(root.Fork());
        Dice goodsDice(root.Fork());
        Dice moneyDice(root.Fork());
        Dice numberDice(root.Fork());

        StoreDemo store;
        const QDateTime madeAt(QDate(2021, 1, 1).addDays(i * 100 + numberDice.Int(0, 99)),
                               QTime(9, 0).addMSecs(numberDice.Int(0, 36000000)));
        store.storeNo = i == 0 && !options.firstStoreNo.isEmpty() ? options.firstStoreNo
                                                                  : StoreNumber::Make(madeAt);
        store.catalog = ShopCatalog::Make(catalogDice);
        store.goods =
            GoodsLedger(store.catalog, goodsDice)
                .Make(LedgerCalendar::Spread(goodsDice, options.goodsPerStore, first, options.end));
        store.money =
            MoneyLedger(store.catalog, moneyDice)
                .Make(LedgerCalendar::Spread(moneyDice, options.moneyPerStore, first, options.end));
        stores << store;
    }
    return stores;
}
