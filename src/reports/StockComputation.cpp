#include "StockComputation.h"

#include "NumberText.h"
#include "StockNotes.h"

#include <QHash>

namespace
{

constexpr int PurchaseIn = 0;
constexpr int SalesReturn = 3;
constexpr int Loss = 4;

// An article in one store: model, colour and store of a record that outlives the look-ups.
struct Article {
    const ProductRecord* record;

    bool operator==(const Article& other) const
    {
        return record->product_model == other.record->product_model &&
               record->product_color == other.record->product_color &&
               record->product_store == other.record->product_store;
    }
};

size_t qHash(const Article& a, size_t seed = 0)
{
    return qHashMulti(seed, a.record->product_model, a.record->product_color,
                      a.record->product_store);
}

// The stock entries of each article. An article's first purchase-in takes in every later one,
// except those that carry its very serial: these stay entries of their own, chained behind it.
class StockEntries
{
public:
    void AddPurchase(const ProductRecord& purchase);
    // Applies a record of kind 1-4 to every entry of its article; false when none changed.
    bool Apply(const ProductRecord& record);
    QList<ProductRecord> Take() { return std::move(entries); }
    void AddUnmatched(const ProductRecord& record);

private:
    void Append(const ProductRecord& record);

    QList<ProductRecord> entries;
    QList<int> nextOfArticle; // the next entry of the same article, -1 at the end
    QList<int> lastOfArticle; // for the first entry of an article: its last entry
    QHash<Article, int> firstOfArticle;
};

void StockEntries::Append(const ProductRecord& record)
{
    entries.append(record);
    nextOfArticle.append(-1);
    lastOfArticle.append(-1);
}

void StockEntries::AddPurchase(const ProductRecord& purchase)
{
    const auto found = firstOfArticle.constFind(Article{&purchase});
    if (found == firstOfArticle.cend()) {
        const int index = int(entries.size());
        Append(purchase);
        lastOfArticle[index] = index;
        firstOfArticle.insert(Article{&purchase}, index);
        return;
    }
    const int first = *found;
    ProductRecord& entry = entries[first];
    if (entry.product_serial == purchase.product_serial) {
        const int index = int(entries.size());
        Append(purchase);
        nextOfArticle[lastOfArticle[first]] = index;
        lastOfArticle[first] = index;
        return;
    }
    entry.product_num = NumberText::Write(NumberText::Read(entry.product_num) +
                                          NumberText::Read(purchase.product_num));
    entry.product_total = NumberText::Write(NumberText::Read(entry.product_total) +
                                            NumberText::Read(purchase.product_total));
    StockNotes::AppendPurchaseMerged(entry.prodcut_remark, purchase);
}

bool StockEntries::Apply(const ProductRecord& record)
{
    const auto found = firstOfArticle.constFind(Article{&record});
    if (found == firstOfArticle.cend())
        return false;
    bool changed = false;
    const double taken = NumberText::Read(record.product_num);
    for (int e = *found; e >= 0; e = nextOfArticle[e]) {
        ProductRecord& entry = entries[e];
        if (entry.product_serial == record.product_serial)
            continue;
        const double held = NumberText::Read(entry.product_num);
        if (taken > held) {
            StockNotes::AppendShortage(entry.prodcut_remark, record);
            continue;
        }
        const double left = record.tab_type == SalesReturn ? held + taken : held - taken;
        entry.product_num = NumberText::Write(left);
        entry.product_total = NumberText::Write(NumberText::Read(entry.product_price) * left);
        StockNotes::AppendMerged(entry.prodcut_remark, record);
        changed = true;
    }
    return changed;
}

void StockEntries::AddUnmatched(const ProductRecord& record)
{
    // Not entered in the look-up: later records never change a reported row.
    Append(record);
    entries.last().prodcut_remark = StockNotes::Unmatched(record);
}

} // namespace

namespace StockComputation
{

QList<ProductRecord> ComputeStock(const QList<ProductRecord>& records, bool seesPrices)
{
    StockEntries stock;
    for (const ProductRecord& r : records) {
        if (r.tab_type == PurchaseIn)
            stock.AddPurchase(r);
    }
    for (const ProductRecord& r : records) {
        if (r.tab_type > PurchaseIn && r.tab_type <= Loss && !stock.Apply(r))
            stock.AddUnmatched(r);
    }
    QList<ProductRecord> result = stock.Take();
    for (ProductRecord& r : result) {
        r.product_pay.clear();
        r.product_debt.clear();
        if (!seesPrices) {
            r.product_price.clear();
            r.product_total.clear();
        }
    }
    return result;
}

} // namespace StockComputation
