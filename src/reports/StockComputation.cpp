#include "StockComputation.h"

#include "FreshMemory.h"
#include "NumberText.h"
#include "StockNotes.h"

#include <QHash>

#include <vector>

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

// The article of every record of kinds 0-4, numbered densely, and the most the notes naming an
// article's records can take: an entry's remark is given its room once, as it is made, instead of
// being copied over and over as thousands of notes are appended.
class Articles
{
public:
    explicit Articles(const QList<ProductRecord>& records);

    int Count() const { return int(purchaseNotes.size()); }
    // The article of a record of kinds 0-4.
    int Of(qsizetype record) const { return articleOf[size_t(record)]; }
    // Room for the notes of the article's purchase-ins after its first one.
    qsizetype PurchaseNotes(int article) const { return purchaseNotes[size_t(article)]; }
    // Room for the notes of the article's records of kinds 1-4, on any one entry.
    qsizetype OtherNotes(int article) const { return otherNotes[size_t(article)]; }

private:
    std::vector<int> articleOf;
    std::vector<qsizetype> purchaseNotes;
    std::vector<qsizetype> otherNotes;
};

Articles::Articles(const QList<ProductRecord>& records) : articleOf(size_t(records.size()), -1)
{
    QHash<Article, int> numberOf;
    for (qsizetype i = 0; i < records.size(); ++i) {
        const ProductRecord& r = records[i];
        if (r.tab_type < PurchaseIn || r.tab_type > Loss)
            continue;
        const Article key(r);
        auto found = numberOf.constFind(key);
        if (found == numberOf.cend()) {
            found = numberOf.insert(key, Count());
            purchaseNotes.push_back(0);
            otherNotes.push_back(0);
        }
        const int article = *found;
        articleOf[size_t(i)] = article;
        (r.tab_type == PurchaseIn ? purchaseNotes : otherNotes)[size_t(article)] +=
            StockNotes::LongestNote(r);
    }
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
    int next = -1;             // the next entry of the same article, -1 at the end
    int last = -1;             // for the first entry of an article: its last entry
    QChar* notesEnd = nullptr; // where the next note goes, in the room after the remark

    void SetQuantity(double value)
    {
        quantity = NumberText::ReadBack(value);
        figuresChanged = true;
    }

    ProductRecord Take()
    {
        if (notesEnd) {
            // The room was set aside for the most its notes could take.
            row.prodcut_remark.truncate(notesEnd - row.prodcut_remark.constData());
            row.prodcut_remark.squeeze();
        }
        if (figuresChanged) {
            row.product_num = NumberText::Write(quantity);
            row.product_total = NumberText::Write(amount);
        }
        return std::move(row);
    }
};

// The stock entries of each article. An article's first purchase-in takes in every later one,
// except those that carry its very serial: these stay entries of their own, chained behind it.
// Records are named by their index in `records`.
class StockEntries
{
public:
    explicit StockEntries(const QList<ProductRecord>& records)
        : records(records), articles(records), firstOfArticle(size_t(articles.Count()), -1)
    {
    }

    void AddPurchase(qsizetype purchase);
    // Applies a record of kind 1-4 to every entry of its article; false when none changed.
    bool Apply(qsizetype record);
    void AddUnmatched(qsizetype record);
    QList<ProductRecord> Take();

private:
    // A new entry of the purchase, with room for `notes` in its remark.
    int AddEntry(const ProductRecord& purchase, qsizetype notes);

    const QList<ProductRecord>& records;
    const Articles articles;
    QList<Entry> entries;
    QList<ProductRecord> unmatched;
    std::vector<int> firstOfArticle; // -1 before the article's first purchase-in
};

int StockEntries::AddEntry(const ProductRecord& purchase, qsizetype notes)
{
    const int index = int(entries.size());
    Entry& entry = entries.emplaceBack(purchase);
    if (notes > 0)
        entry.notesEnd = FreshMemory::Extend(entry.row.prodcut_remark, notes);
    return index;
}

void StockEntries::AddPurchase(qsizetype record)
{
    const ProductRecord& purchase = records[record];
    const int article = articles.Of(record);
    if (firstOfArticle[size_t(article)] < 0) {
        const int index =
            AddEntry(purchase, articles.PurchaseNotes(article) + articles.OtherNotes(article));
        entries[index].last = index;
        firstOfArticle[size_t(article)] = index;
        return;
    }
    const int firstIndex = firstOfArticle[size_t(article)];
    if (entries[firstIndex].row.product_serial == purchase.product_serial) {
        const int index = AddEntry(purchase, articles.OtherNotes(article));
        entries[entries[firstIndex].last].next = index;
        entries[firstIndex].last = index;
        return;
    }
    Entry& first = entries[firstIndex];
    first.SetQuantity(first.quantity + NumberText::Read(purchase.product_num));
    first.amount = NumberText::ReadBack(first.amount + NumberText::Read(purchase.product_total));
    StockNotes::WritePurchaseMerged(first.notesEnd, purchase);
}

bool StockEntries::Apply(qsizetype index)
{
    const ProductRecord& record = records[index];
    const int first = firstOfArticle[size_t(articles.Of(index))];
    if (first < 0)
        return false;
    bool changed = false;
    const double taken = NumberText::Read(record.product_num);
    for (int e = first; e >= 0; e = entries[e].next) {
        Entry& entry = entries[e];
        if (entry.row.product_serial == record.product_serial)
            continue;
        if (taken > entry.quantity) {
            StockNotes::WriteShortage(entry.notesEnd, record);
            continue;
        }
        const double left =
            record.tab_type == SalesReturn ? entry.quantity + taken : entry.quantity - taken;
        entry.SetQuantity(left);
        // Only shown, never read again: no need to know what its text reads as.
        entry.amount = entry.price * left;
        StockNotes::WriteMerged(entry.notesEnd, record);
        changed = true;
    }
    return changed;
}

void StockEntries::AddUnmatched(qsizetype index)
{
    // Kept apart from the entries: later records never change a reported row.
    unmatched.append(records[index]);
    unmatched.last().prodcut_remark = StockNotes::Unmatched(records[index]);
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
    StockEntries stock(records);
    for (qsizetype i = 0; i < records.size(); ++i) {
        if (records[i].tab_type == PurchaseIn)
            stock.AddPurchase(i);
    }
    for (qsizetype i = 0; i < records.size(); ++i) {
        const int kind = records[i].tab_type;
        if (kind > PurchaseIn && kind <= Loss && !stock.Apply(i))
            stock.AddUnmatched(i);
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
