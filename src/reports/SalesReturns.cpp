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

std::vector<qsizetype> Targets(const std::vector<const ProductRecord*>& sales,
                               const std::vector<const ProductRecord*>& returns)
{
    std::vector<qsizetype> targets(returns.size(), -1);
    if (returns.empty())
        return targets;
    // Keyed on the returns; the first sale of each key wins.
    QHash<SaleKey, qsizetype> firstSale;
    firstSale.reserve(qsizetype(returns.size()));
    for (const ProductRecord* r : returns)
        firstSale.insert(SaleKey{r}, -1);
    for (size_t i = 0; i < sales.size(); ++i) {
        const auto found = firstSale.find(SaleKey{sales[i]});
        if (found != firstSale.end() && *found < 0)
            *found = qsizetype(i);
    }
    for (size_t k = 0; k < returns.size(); ++k)
        targets[k] = firstSale.value(SaleKey{returns[k]}, -1);
    return targets;
}

void Deduct(ProductRecord& sale, const ProductRecord& back)
{
    sale.product_num =
        NumberText::Write(NumberText::Read(sale.product_num) - NumberText::Read(back.product_num));
    sale.prodcut_remark +=
        QStringLiteral("注意，该型号%1有退货金额%2元，从%3销售中扣除%4元")
            .arg(back.product_model, back.product_total, sale.product_time, sale.product_total);
    sale.product_total = NumberText::Write(NumberText::Read(sale.product_total) -
                                           NumberText::Read(back.product_total));
}

void DeductSalesReturns(QList<ProductRecord>& sales, const QList<ProductRecord>& returns)
{
    if (returns.isEmpty())
        return;
    std::vector<const ProductRecord*> salePointers, returnPointers;
    salePointers.reserve(size_t(sales.size()));
    for (const ProductRecord& sale : std::as_const(sales))
        salePointers.push_back(&sale);
    returnPointers.reserve(size_t(returns.size()));
    for (const ProductRecord& back : returns)
        returnPointers.push_back(&back);
    const std::vector<qsizetype> targets = Targets(salePointers, returnPointers);
    for (qsizetype k = 0; k < returns.size(); ++k) {
        if (targets[size_t(k)] >= 0)
            Deduct(sales[targets[size_t(k)]], returns[k]);
    }
}

} // namespace SalesReturns
