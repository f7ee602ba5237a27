#include "StockComputation.h"

#include "NumberText.h"
#include "StockNotes.h"

#include <QHash>

namespace
{

constexpr int PurchaseIn = 0;
constexpr int SalesReturn = 3;
constexpr int Loss = 4;

// An article in one store: model, colour and store of a record that outlives the look-ups. The
// hash is taken once per record; a look-up compares texts only where the hashes agree.
struct Article {
    explicit Article(const ProductRecord& r)
        : model(r.product_model), colour(r.product_color), store(r.product_store),
          hash(qHashMulti(0, r.product_model, r.product_color, r.product_store))
    {
    }

    QStringView model;
    QStringView colour;
    QStringView store;
    size_t hash;

    bool operator==(const Article& other) const
    {
        return hash == other.hash && model == other.model && colour == other.colour &&
               store == other.store;
    }
};

size_t qHash(const Article& a, size_t seed = 0)
{
    return a.hash ^ seed;
}

// A stock entry: its row and the numbers its quantity and amount texts stand for. Nearly every
// record of the article changes them but only their last values are shown, so the texts are
// written once, when the stock is complete. Each step goes on from the value that the text of the
// step before would read as (ReadBack): the same figures as writing and rereading the texts.
struct Entry {
    explicit Entry(const ProductRecord& r)
        : row(r), quantity(NumberText::Read(r.product_num)),
          amount(NumberText::Read(r.product_total)), price(NumberText::Read(r.product_price))
    {
    }

    ProductRecord row;
    double quantity;
    double amount;
    double price; // never changes
    bool figuresChanged = false;
    int next = -1; // the next entry of the same article, -1 at the end
    int last = -1; // for the first entry of an article: its last entry

    void SetQuantity(double value)
    {
        quantity = NumberText::ReadBack(value);
        figuresChanged = true;
    }

    ProductRecord Take()
    {
        if (figuresChanged) {
            row.product_num = NumberText::Write(quantity);
            row.product_total = NumberText::Write(amount);
        }
        return std::move(row);
    }
};

// The stock entries of each article. An article's first purchase-in takes in every later one,
// except those that carry its very serial: these stay entries of their own, chained behind it.
class StockEntries
{
public:
    void AddPurchase(const ProductRecord& purchase);
    // Applies a record of kind 1-4 to every entry of its article; false when none changed.
    bool Apply(const ProductRecord& record);
    void AddUnmatched(const ProductRecord& record);
    QList<ProductRecord> Take();

private:
    QList<Entry> entries;
    QList<ProductRecord> unmatched;
    QHash<Article, int> firstOfArticle;
};

void StockEntries::AddPurchase(const ProductRecord& purchase)
{
    const Article article(purchase);
    const auto found = firstOfArticle.constFind(article);
    if (found == firstOfArticle.cend()) {
        const int index = int(entries.size());
        entries.emplaceBack(purchase).last = index;
        firstOfArticle.insert(article, index);
        return;
    }
    const int firstIndex = *found;
    if (entries[firstIndex].row.product_serial == purchase.product_serial) {
        const int index = int(entries.size());
        entries.emplaceBack(purchase);
        entries[entries[firstIndex].last].next = index;
        entries[firstIndex].last = index;
        return;
    }
    Entry& first = entries[firstIndex];
    first.SetQuantity(first.quantity + NumberText::Read(purchase.product_num));
    first.amount = NumberText::ReadBack(first.amount + NumberText::Read(purchase.product_total));
    StockNotes::AppendPurchaseMerged(first.row.prodcut_remark, purchase);
}

bool StockEntries::Apply(const ProductRecord& record)
{
    const auto found = firstOfArticle.constFind(Article(record));
    if (found == firstOfArticle.cend())
        return false;
    bool changed = false;
    const double taken = NumberText::Read(record.product_num);
    for (int e = *found; e >= 0; e = entries[e].next) {
        Entry& entry = entries[e];
        if (entry.row.product_serial == record.product_serial)
            continue;
        if (taken > entry.quantity) {
            StockNotes::AppendShortage(entry.row.prodcut_remark, record);
            continue;
        }
        const double left =
            record.tab_type == SalesReturn ? entry.quantity + taken : entry.quantity - taken;
        entry.SetQuantity(left);
        // Only shown, never read again: no need to know what its text reads as.
        entry.amount = entry.price * left;
        StockNotes::AppendMerged(entry.row.prodcut_remark, record);
        changed = true;
    }
    return changed;
}

void StockEntries::AddUnmatched(const ProductRecord& record)
{
    // Kept apart from the entries: later records never change a reported row.
    unmatched.append(record);
    unmatched.last().prodcut_remark = StockNotes::Unmatched(record);
}

QList<ProductRecord> StockEntries::Take()
{
    QList<ProductRecord> rows;
    rows.reserve(entries.size() + unmatched.size());
    for (Entry& entry : entries)
        rows.append(entry.Take());
    rows.append(std::move(unmatched));
    return rows;
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
