#include "GoodsLedger.h"

#include "NumberText.h"

namespace
{

// Shares of the kinds 0-4 among the rows.
const QList<int> KindWeights = {24, 3, 60, 8, 5};

const QList<QString> VoucherPrefixes = {QStringLiteral("CG"), QStringLiteral("CT"),
                                        QStringLiteral("XS"), QStringLiteral("XT"),
                                        QStringLiteral("SH")};

const QList<QString> SaleRemarks = {QString(),
                                    QString(),
                                    QString(),
                                    QStringLiteral("会员价"),
                                    QStringLiteral("老客户"),
                                    QStringLiteral("批发价")};
const QList<QString> ReturnRemarks = {QStringLiteral("尺码不合适"), QStringLiteral("质量问题"),
                                      QStringLiteral("七天无理由")};
const QList<QString> LossRemarks = {QStringLiteral("破损"), QStringLiteral("污渍"),
                                    QStringLiteral("盘点短少")};

// How many recent sales may still be returned.
constexpr int ReturnWindow = 300;

} // namespace

GoodsLedger::GoodsLedger(const ShopCatalog& catalog, Dice& dice) : catalog(catalog), dice(dice) {}

QList<ProductRecord> GoodsLedger::Make(const QList<LedgerMoment>& moments)
{
    QList<ProductRecord> rows;
    rows.reserve(moments.size());
    for (const LedgerMoment& at : moments) {
        const int kind = dice.Weighted(KindWeights);
        if (kind == 3 && !sales.isEmpty()) {
            rows << SalesReturn(at, sales[dice.Int(0, int(sales.size()) - 1)]);
            continue;
        }
        const int lot = kind == 0 || kind == 3 ? -1 : StockedLot();
        if (lot < 0)
            rows << Purchase(at);
        else if (kind == 1)
            rows << PurchaseReturn(at, lot);
        else if (kind == 2)
            rows << SaleOf(at, lot);
        else
            rows << Loss(at, lot);
    }
    return rows;
}

int GoodsLedger::StockedLot()
{
    return stocked.isEmpty() ? -1 : stocked.at(dice.Int(0, int(stocked.size()) - 1));
}

void GoodsLedger::Take(int lot, int quantity)
{
    Lot& l = lots[lot];
    const bool wasStocked = l.quantity > 0;
    l.quantity -= quantity;
    if (wasStocked && l.quantity <= 0)
        stocked.removeOne(lot);
    else if (!wasStocked && l.quantity > 0)
        stocked << lot;
}

QString GoodsLedger::Voucher(int kind, const QDate& date)
{
    const QString day = VoucherPrefixes.at(kind) + date.toString(QStringLiteral("yyyyMMdd"));
    return day + QStringLiteral("%1").arg(++vouchersOfDay[day], 3, 10, QLatin1Char('0'));
}

ProductRecord GoodsLedger::Row(int kind, const LedgerMoment& at, const Lot& lot, int quantity,
                               double price, double paid) const
{
    const GoodsModel& m = catalog.models.at(lot.model);
    const double total = quantity * price;
    ProductRecord r;
    r.tab_type = kind;
    r.product_serial = at.serial;
    r.product_class = m.category;
    r.product_name = m.name;
    r.product_model = m.model;
    r.product_color = lot.colour;
    r.product_code = m.code;
    r.product_size = lot.size;
    r.product_time = at.date.toString(QStringLiteral("yyyy-MM-dd"));
    r.product_store = lot.warehouse;
    r.product_num = NumberText::Write(quantity);
    r.product_price = NumberText::Write(price);
    r.product_total = NumberText::Write(total);
    if (kind != 4) {
        r.product_pay = NumberText::Write(paid);
        r.product_debt = NumberText::Write(total - paid);
    }
    return r;
}

ProductRecord GoodsLedger::Purchase(const LedgerMoment& at)
{
    // Mostly restocking what is already carried, sometimes a new model, colour or warehouse.
    int lot = -1;
    if (!lots.isEmpty() && dice.Chance(0.6)) {
        lot = dice.Int(0, int(lots.size()) - 1);
    } else {
        Lot fresh;
        fresh.model = dice.Int(0, int(catalog.models.size()) - 1);
        const GoodsModel& m = catalog.models.at(fresh.model);
        fresh.colour = dice.Pick(m.colours);
        fresh.size = dice.Pick(m.sizes);
        fresh.warehouse = dice.Pick(catalog.warehouses);
        const QString key =
            QStringList{m.model, fresh.colour, fresh.size, fresh.warehouse}.join(QChar(0x1f));
        lot = lotIndex.value(key, -1);
        if (lot < 0) {
            fresh.supplier = dice.Pick(catalog.suppliers);
            lot = int(lots.size());
            lots << fresh;
            lotIndex.insert(key, lot);
        }
    }
    const int quantity = dice.Int(2, 12) * 5;
    Take(lot, -quantity);
    const Lot& l = lots.at(lot);
    const double price = catalog.models.at(l.model).cost;
    const double total = quantity * price;
    const double paid =
        dice.Chance(0.75) ? total : qRound(total * dice.Int(3, 8) / 10.0 / 100) * 100.0;
    ProductRecord r = Row(0, at, l, quantity, price, paid);
    r.product_supply = l.supplier;
    r.product_purchase = catalog.employees.at(5);
    r.product_oddNum = Voucher(0, at.date);
    r.product_record = dice.Pick(catalog.employees);
    return r;
}

ProductRecord GoodsLedger::PurchaseReturn(const LedgerMoment& at, int lot)
{
    const int quantity = qMin(lots.at(lot).quantity, dice.Int(1, 6));
    Take(lot, quantity);
    const Lot& l = lots.at(lot);
    const double price = catalog.models.at(l.model).cost;
    ProductRecord r = Row(1, at, l, quantity, price, dice.Chance(0.7) ? quantity * price : 0);
    r.product_supply = l.supplier;
    r.product_purchase = catalog.employees.at(5);
    r.product_oddNum = Voucher(1, at.date);
    r.product_record = dice.Pick(catalog.employees);
    r.prodcut_remark = dice.Pick(ReturnRemarks);
    return r;
}

ProductRecord GoodsLedger::SaleOf(const LedgerMoment& at, int lot)
{
    const int quantity =
        qMin(lots.at(lot).quantity, dice.Chance(0.8) ? dice.Int(1, 3) : dice.Int(4, 20));
    Take(lot, quantity);
    const Lot& l = lots.at(lot);
    const bool wholesale = quantity > 3;
    const double listPrice = catalog.models.at(l.model).price;
    const double price = wholesale ? qRound(listPrice * 0.85) : listPrice;
    const double total = quantity * price;
    const double paid = wholesale && dice.Chance(0.4) ? qRound(total * 0.5) : total;
    Sale sale{lot, dice.Pick(catalog.clients),
              wholesale && dice.Chance(0.5) ? dice.Pick(catalog.distributors)
                                            : dice.Pick(catalog.employees),
              price, quantity};
    ProductRecord r = Row(2, at, l, quantity, price, paid);
    r.product_supply = sale.client;
    r.product_purchase = sale.seller;
    r.product_oddNum = Voucher(2, at.date);
    r.product_record = dice.Pick(catalog.employees);
    r.prodcut_remark = wholesale ? QStringLiteral("批发价") : dice.Pick(SaleRemarks);
    sales << sale;
    if (sales.size() > ReturnWindow)
        sales.removeFirst();
    return r;
}

ProductRecord GoodsLedger::SalesReturn(const LedgerMoment& at, Sale& sale)
{
    if (sale.returnable <= 0) {
        const int lot = StockedLot();
        return lot < 0 ? Purchase(at) : SaleOf(at, lot);
    }
    const int quantity = dice.Int(1, qMin(sale.returnable, 2));
    sale.returnable -= quantity;
    Take(sale.lot, -quantity);
    const Lot& l = lots.at(sale.lot);
    ProductRecord r = Row(3, at, l, quantity, sale.price, quantity * sale.price);
    r.product_supply = sale.client;
    r.product_purchase = sale.seller;
    r.product_oddNum = Voucher(3, at.date);
    r.product_record = dice.Pick(catalog.employees);
    r.prodcut_remark = dice.Pick(ReturnRemarks);
    return r;
}

ProductRecord GoodsLedger::Loss(const LedgerMoment& at, int lot)
{
    const int quantity = qMin(lots.at(lot).quantity, dice.Int(1, 2));
    Take(lot, quantity);
    const Lot& l = lots.at(lot);
    ProductRecord r = Row(4, at, l, quantity, catalog.models.at(l.model).cost, 0);
    r.product_supply = dice.Pick(catalog.employees);
    r.product_purchase = catalog.employees.at(4);
    r.product_oddNum = Voucher(4, at.date);
    r.product_record = dice.Pick(catalog.employees);
    r.prodcut_remark = dice.Pick(LossRemarks);
    return r;
}
