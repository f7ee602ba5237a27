#include "ContentFilter.h"

#include <initializer_list>
#include <utility>

namespace
{

template <class Record> using Field = QString Record::*;
template <class Record> using Test = std::pair<const QString*, Field<Record>>;

// Only the criteria that say something are tested; with none the list is kept as it is.
template <class Record>
QList<Record> Keep(const QList<Record>& records, std::initializer_list<Test<Record>> tests)
{
    QList<Test<Record>> active;
    for (const Test<Record>& t : tests) {
        if (!t.first->isEmpty())
            active << t;
    }
    if (active.isEmpty())
        return records;
    QList<Record> kept;
    for (const Record& r : records) {
        bool passes = true;
        for (const Test<Record>& t : std::as_const(active)) {
            if (!(r.*t.second).contains(*t.first, Qt::CaseSensitive)) {
                passes = false;
                break;
            }
        }
        if (passes)
            kept.append(r);
    }
    return kept;
}

} // namespace

namespace ContentFilter
{

QList<ProductRecord> Goods(const QList<ProductRecord>& records, const GoodsCriteria& c)
{
    using R = ProductRecord;
    return Keep<R>(records, {{&c.category, &R::product_class},
                             {&c.name, &R::product_name},
                             {&c.model, &R::product_model},
                             {&c.colour, &R::product_color},
                             {&c.size, &R::product_size},
                             {&c.party, &R::product_supply},
                             {&c.person, &R::product_purchase},
                             {&c.enteredBy, &R::product_record},
                             {&c.code, &R::product_code},
                             {&c.store, &R::product_store},
                             {&c.document, &R::product_oddNum}});
}

QList<ProductRecord> Sales(const QList<ProductRecord>& records, const SalesCriteria& c)
{
    using R = ProductRecord;
    return Keep<R>(records, {{&c.model, &R::product_model}, {&c.person, &R::product_purchase}});
}

QList<FinanceRecord> Money(const QList<FinanceRecord>& records, const MoneyCriteria& c)
{
    using R = FinanceRecord;
    return Keep<R>(records, {{&c.item, &R::ie_item},
                             {&c.party, &R::ie_client},
                             {&c.person, &R::ie_sale},
                             {&c.document, &R::ie_cert},
                             {&c.enteredBy, &R::ie_record}});
}

} // namespace ContentFilter
