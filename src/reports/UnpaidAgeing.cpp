#include "UnpaidAgeing.h"

#include "LedgerDay.h"
#include "NumberText.h"
#include "PageTotals.h"

#include <QHash>

#include <algorithm>

namespace
{

using UnpaidAgeing::Bucket;
using UnpaidAgeing::BucketCount;

constexpr int PurchaseIn = 0;
constexpr int PurchaseReturn = 1;
constexpr int Sale = 2;
constexpr int SalesReturn = 3;

// The running sums of one line.
struct Sums {
    std::array<PageTotals::Sum, BucketCount> amounts;
    PageTotals::Sum total;

    void Add(Bucket bucket, double amount)
    {
        amounts[bucket].Add(amount);
        total.Add(amount);
    }

    UnpaidAgeing::Line Line(const QString& party) const
    {
        UnpaidAgeing::Line line;
        line.party = party;
        for (int b = 0; b < BucketCount; ++b)
            line.amounts[b] = amounts[b].Value();
        line.total = total.Value();
        return line;
    }
};

Bucket Age(qint64 days)
{
    if (days <= 30)
        return UnpaidAgeing::UpTo30Days;
    if (days <= 60)
        return UnpaidAgeing::UpTo60Days;
    return days <= 90 ? UnpaidAgeing::UpTo90Days : UnpaidAgeing::Over90Days;
}

// The ageing of the rows of kind `owed` (amounts owed) and `credit` (amounts to set against them).
UnpaidAgeing::Ageing Build(const QList<ProductRecord>& goods, const QDate& day, int owed,
                           int credit)
{
    const qint64 today = day.toJulianDay();
    QHash<QString, qsizetype> lineOf;
    QList<QString> parties;
    QList<Sums> sums;
    Sums all;
    UnpaidAgeing::Ageing ageing;
    for (const ProductRecord& r : goods) {
        if (r.tab_type != owed && r.tab_type != credit)
            continue;
        const double unpaid = NumberText::Read(r.product_debt);
        if (unpaid == 0)
            continue;
        Bucket bucket = UnpaidAgeing::Undated;
        if (const std::optional<qint64> date = LedgerDay::Read(r.product_time)) {
            if (*date > today) {
                ++ageing.laterRows;
                continue;
            }
            bucket = Age(today - *date);
        }
        auto found = lineOf.constFind(r.product_supply);
        if (found == lineOf.cend()) {
            found = lineOf.insert(r.product_supply, parties.size());
            parties << r.product_supply;
            sums.append(Sums());
        }
        const double amount = r.tab_type == owed ? unpaid : -unpaid;
        sums[*found].Add(bucket, amount);
        all.Add(bucket, amount);
    }
    ageing.parties.reserve(parties.size());
    for (qsizetype i = 0; i < parties.size(); ++i)
        ageing.parties << sums[i].Line(parties[i]);
    std::sort(ageing.parties.begin(), ageing.parties.end(),
              [](const UnpaidAgeing::Line& a, const UnpaidAgeing::Line& b) {
                  return a.total != b.total ? a.total > b.total : a.party < b.party;
              });
    ageing.total = all.Line(QString());
    return ageing;
}

} // namespace

namespace UnpaidAgeing
{

Ageing Customers(const QList<ProductRecord>& goods, const QDate& day)
{
    return Build(goods, day, Sale, SalesReturn);
}

Ageing Suppliers(const QList<ProductRecord>& goods, const QDate& day)
{
    return Build(goods, day, PurchaseIn, PurchaseReturn);
}

} // namespace UnpaidAgeing
