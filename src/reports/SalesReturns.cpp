#include "SalesReturns.h"

#include "NumberText.h"
#include "TextNumbers.h"

namespace
{

// The return's quantity and amount taken off the sale's, as their texts read.
void DeductOne(ProductRecord& sale, const ProductRecord& back)
{
    sale.product_num =
        NumberText::Write(NumberText::Read(sale.product_num) - NumberText::Read(back.product_num));
    sale.product_total = NumberText::Write(NumberText::Read(sale.product_total) -
                                           NumberText::Read(back.product_total));
}

// Each return deducted by `deduct` from its sale.
void DeductAll(QList<ProductRecord>& sales, const QList<ProductRecord>& returns,
               void (*deduct)(ProductRecord&, const ProductRecord&))
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
    const std::vector<qsizetype> targets = SalesReturns::Targets(salePointers, returnPointers);
    for (qsizetype k = 0; k < returns.size(); ++k) {
        if (targets[size_t(k)] >= 0)
            deduct(sales[targets[size_t(k)]], returns[k]);
    }
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
    const auto key = [](const ProductRecord* r) {
        return TextNumbers<3>::Texts{r->product_model, r->product_purchase, r->product_supply};
    };
    // The returns' keys numbered; the first sale of each key wins.
    TextNumbers<3> keys;
    for (size_t k = 0; k < returns.size(); ++k)
        targets[k] = keys.Of(key(returns[k]));
    std::vector<qsizetype> firstSale(size_t(keys.Count()), -1);
    for (size_t i = 0; i < sales.size(); ++i) {
        const int found = keys.Find(key(sales[i]));
        if (found >= 0 && firstSale[size_t(found)] < 0)
            firstSale[size_t(found)] = qsizetype(i);
    }
    for (qsizetype& target : targets)
        target = firstSale[size_t(target)];
    return targets;
}

void Deduct(ProductRecord& sale, const ProductRecord& back)
{
    sale.prodcut_remark +=
        QStringLiteral("注意，该型号%1有退货金额%2元，从%3销售中扣除%4元")
            .arg(back.product_model, back.product_total, sale.product_time, sale.product_total);
    DeductOne(sale, back);
}

void DeductSalesReturns(QList<ProductRecord>& sales, const QList<ProductRecord>& returns)
{
    DeductAll(sales, returns, Deduct);
}

void DeductFigures(QList<ProductRecord>& sales, const QList<ProductRecord>& returns)
{
    DeductAll(sales, returns, DeductOne);
}

} // namespace SalesReturns
