#pragma once

#include "Dice.h"
#include "LedgerCalendar.h"
#include "Records.h"
#include "ShopCatalog.h"

#include <QHash>
#include <QList>

// Goods rows of the five kinds (0 purchase, 1 purchase return, 2 sale, 3 sales return, 4 loss)
// made in time order against a running stock: only what is in stock (same model, colour, size and
// warehouse) is sold, returned to the supplier or lost, and only what was sold comes back.
class GoodsLedger
{
public:
    GoodsLedger(const ShopCatalog& catalog, Dice& dice);

    QList<ProductRecord> Make(const QList<LedgerMoment>& moments);

private:
    struct Lot {
        int model = 0;
        QString colour;
        QString size;
        QString warehouse;
        QString supplier;
        int quantity = 0;
    };
    struct Sale {
        int lot = 0;
        QString client;
        QString seller;
        double price = 0;
        int returnable = 0;
    };

    ProductRecord Purchase(const LedgerMoment& at);
    ProductRecord PurchaseReturn(const LedgerMoment& at, int lot);
    ProductRecord SaleOf(const LedgerMoment& at, int lot);
    ProductRecord SalesReturn(const LedgerMoment& at, Sale& sale);
    ProductRecord Loss(const LedgerMoment& at, int lot);
    ProductRecord Row(int kind, const LedgerMoment& at, const Lot& lot, int quantity, double price,
                      double paid) const;
    int StockedLot();
    void Take(int lot, int quantity);
    QString Voucher(int kind, const QDate& date);

    const ShopCatalog& catalog;
    Dice& dice;
    QList<Lot> lots;
    QHash<QString, int> lotIndex; // model, colour, size, warehouse -> lot
    QList<int> stocked;           // lots holding stock
    QList<Sale> sales;            // recent sales that may still come back
    QHash<QString, int> vouchersOfDay;
};
