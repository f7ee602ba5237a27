#include "SalesReturns.h"

#include "NumberText.h"

#include <QHash>

namespace
{

// Model, salesperson and customer of a record that outlives the look-ups.
struct SaleKey {
    const ProductRecord* record;

    bool operator==(const SaleKey& other) const
    {
        return record->product_model == other.record->product_model &&
               record->product_purchase == other.record->product_purchase &&
               record->product_supply == other.record->product_supply;
    }
};

size_t qHash(const SaleKey& k, size_t seed = 0)
{
    return qHashMulti(seed, k.record->product_model, k.record->product_purchase,
                      k.record->product_supply);
}

} // namespace

namespace SalesReturns
{

void DeductSalesReturns(QList<ProductRecord>& sales, const QList<ProductRecord>& returns)
{
    if (returns.isEmpty())
        return;
    // Keyed on the returns, which stay unchanged; the first sale of each key wins.
    QHash<SaleKey, qsizetype> firstSale;
    for (const ProductRecord& r : returns)
        firstSale.insert(SaleKey{&r}, -1);
    for (qsizetype i = 0; i < sales.size(); ++i) {
        const auto found = firstSale.find(SaleKey{&std::as_const(sales)[i]});
        if (found != firstSale.end() && *found < 0)
            *found = i;
    }
    for (const ProductRecord& r : returns) {
        const qsizetype i = firstSale.value(SaleKey{&r}, -1);
        if (i < 0)
            continue;
        ProductRecord& sale = sales[i];
        sale.product_num =
            NumberText::Write(NumberText::Read(sale.product_num) - NumberText::Read(r.product_num));
        sale.prodcut_remark +=
            QStringLiteral("注意，该型号%1有退货金额%2元，从%3销售中扣除%4元")
                .arg(r.product_model, r.product_total, sale.product_time, sale.product_total);
        sale.product_total = NumberText::Write(NumberText::Read(sale.product_total) -
                                               NumberText::Read(r.product_total));
    }
}

} // namespace SalesReturns
