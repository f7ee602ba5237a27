#include "PlainAnalysis.h"

#include "NumberText.h"
#include "PageTotals.h"

#include <algorithm>
#include <cmath>

namespace
{

QDate DateOf(const ProductRecord& r)
{
    return QDate::fromString(r.product_time, QStringLiteral("yyyy-MM-dd"));
}

double Read(const QString& text)
{
    return NumberText::Read(text);
}

} // namespace

namespace PlainAnalysis
{

QList<LowStock::Alert> Alerts(const QList<ProductRecord>& stockRows,
                              const QList<LowStock::Level>& levels)
{
    auto same = [](const ProductRecord& row, const LowStock::Level& level) {
        return row.product_model == level.model && row.product_color == level.colour &&
               row.product_store == level.place;
    };
    QList<LowStock::Alert> alerts;
    for (const ProductRecord& row : stockRows) {
        if (row.tab_type != 0)
            continue;
        const LowStock::Level* level = nullptr;
        for (const LowStock::Level& l : levels) {
            if (same(row, l))
                level = &l;
        }
        const double onHand = Read(row.product_num);
        if (level && onHand <= level->level) {
            alerts << LowStock::Alert{row.product_model,
                                      row.product_color,
                                      row.product_store,
                                      row.product_name,
                                      onHand,
                                      level->level,
                                      level->level - onHand,
                                      true};
        }
    }
    for (qsizetype i = 0; i < levels.size(); ++i) {
        const LowStock::Level& level = levels[i];
        bool replaced = false;
        for (qsizetype j = i + 1; j < levels.size(); ++j) {
            replaced =
                replaced || (levels[j].model == level.model && levels[j].colour == level.colour &&
                             levels[j].place == level.place);
        }
        bool stocked = false;
        for (const ProductRecord& row : stockRows)
            stocked = stocked || (row.tab_type == 0 && same(row, level));
        if (!replaced && !stocked && level.level >= 0) {
            alerts << LowStock::Alert{level.model, level.colour, level.place, QString(),
                                      0,           level.level,  level.level, false};
        }
    }
    return alerts;
}

UnpaidAgeing::Ageing Ageing(const QList<ProductRecord>& goods, const QDate& day, int owed,
                            int credit)
{
    struct Cents {
        QString party;
        qint64 amounts[UnpaidAgeing::BucketCount] = {};
        qint64 total = 0;
    };
    QList<Cents> parties;
    Cents all;
    UnpaidAgeing::Ageing ageing;
    for (const ProductRecord& r : goods) {
        if (r.tab_type != owed && r.tab_type != credit)
            continue;
        const qint64 cents = std::llround(Read(r.product_debt) * 100);
        if (cents == 0)
            continue;
        const QDate date = DateOf(r);
        if (date.isValid() && date > day) {
            ++ageing.laterRows;
            continue;
        }
        int bucket = UnpaidAgeing::Undated;
        if (date.isValid()) {
            const qint64 age = date.daysTo(day);
            bucket = age <= 30   ? UnpaidAgeing::UpTo30Days
                     : age <= 60 ? UnpaidAgeing::UpTo60Days
                     : age <= 90 ? UnpaidAgeing::UpTo90Days
                                 : UnpaidAgeing::Over90Days;
        }
        qsizetype p = 0;
        while (p < parties.size() && parties[p].party != r.product_supply)
            ++p;
        if (p == parties.size())
            parties << Cents{r.product_supply};
        const qint64 signedCents = r.tab_type == owed ? cents : -cents;
        for (Cents* c : {&parties[p], &all}) {
            c->amounts[bucket] += signedCents;
            c->total += signedCents;
        }
    }
    auto line = [](const Cents& c) {
        UnpaidAgeing::Line l;
        l.party = c.party;
        for (int b = 0; b < UnpaidAgeing::BucketCount; ++b)
            l.amounts[b] = c.amounts[b] / 100.0;
        l.total = c.total / 100.0;
        return l;
    };
    std::stable_sort(parties.begin(), parties.end(), [](const Cents& a, const Cents& b) {
        return a.total != b.total ? a.total > b.total : a.party < b.party;
    });
    for (const Cents& c : parties)
        ageing.parties << line(c);
    ageing.total = line(all);
    return ageing;
}

GrossMargin::Margins Margins(const QList<ProductRecord>& goods, const QDate& first,
                             const QDate& last)
{
    GrossMargin::Margins result;
    // The history: dated records by day, a day's purchases first, otherwise in input order.
    struct Dated {
        QDate date;
        const ProductRecord* record;
    };
    QList<Dated> history;
    for (const ProductRecord& r : goods) {
        if (r.tab_type < 0 || r.tab_type > 4)
            continue;
        if (DateOf(r).isValid())
            history << Dated{DateOf(r), &r};
        else
            ++result.undated;
    }
    std::stable_sort(history.begin(), history.end(), [](const Dated& a, const Dated& b) {
        if (a.date != b.date)
            return a.date < b.date;
        return a.record->tab_type == 0 && b.record->tab_type != 0;
    });

    QList<ProductRecord> sales;
    QList<qsizetype> saleIndex;
    for (qsizetype i = 0; i < goods.size(); ++i) {
        const ProductRecord& r = goods[i];
        const QDate date = DateOf(r);
        if (r.tab_type == 2 && date.isValid() && date >= first && date <= last) {
            saleIndex << i;
            ProductRecord sale = r;
            const double amount = PageTotals::RowGoods(sale).amount;
            if (amount != Read(sale.product_total))
                sale.product_total = NumberText::Write(amount);
            sales << sale;
        }
    }
    for (const ProductRecord& back : goods) {
        if (back.tab_type != 3)
            continue;
        for (ProductRecord& sale : sales) {
            if (sale.product_model != back.product_model ||
                sale.product_purchase != back.product_purchase ||
                sale.product_supply != back.product_supply)
                continue;
            sale.product_num = NumberText::Write(Read(sale.product_num) - Read(back.product_num));
            sale.prodcut_remark +=
                QStringLiteral("注意，该型号%1有退货金额%2元，从%3销售中扣除%4元")
                    .arg(back.product_model, back.product_total, sale.product_time,
                         sale.product_total);
            sale.product_total =
                NumberText::Write(Read(sale.product_total) - Read(back.product_total));
            break;
        }
    }

    auto addTo = [](QList<GrossMargin::Line>& lines, const QString& key,
                    const GrossMargin::SaleMargin& s) {
        qsizetype i = 0;
        while (i < lines.size() && lines[i].key != key)
            ++i;
        if (i == lines.size()) {
            lines << GrossMargin::Line();
            lines.last().key = key;
        }
        lines[i].quantity += s.quantity;
        lines[i].amount += s.amount;
        lines[i].cost += s.cost;
    };
    auto addToTotal = [](GrossMargin::Line& line, const GrossMargin::SaleMargin& s) {
        line.quantity += s.quantity;
        line.amount += s.amount;
        line.cost += s.cost;
    };
    auto finish = [](GrossMargin::Line& line) {
        line.margin = line.amount - line.cost;
        if (line.amount != 0)
            line.rate = line.margin / line.amount;
    };
    for (qsizetype j = 0; j < sales.size(); ++j) {
        const ProductRecord& sale = sales[j];
        // Replay the article's history up to the sale: earlier days whole, its own day's purchases.
        const QDate day = DateOf(sale);
        double quantity = 0, price = 0;
        bool priced = false;
        for (const Dated& d : history) {
            const ProductRecord& h = *d.record;
            if (d.date > day || (d.date == day && h.tab_type != 0))
                break;
            if (h.product_model != sale.product_model || h.product_color != sale.product_color)
                continue;
            const double q = Read(h.product_num);
            if (h.tab_type == 0 && q > 0) {
                const double amount = PageTotals::RowGoods(h).amount;
                price = priced && quantity > 0 ? (quantity * price + amount) / (quantity + q)
                                               : amount / q;
                priced = true;
                quantity += q;
            } else if (h.tab_type == 3) {
                quantity += q;
            } else if (h.tab_type != 0) {
                quantity -= q;
            }
        }
        if (!priced) {
            result.unpriced << sale;
            result.unpriced.last().prodcut_remark += GrossMargin::UnpricedNote;
            continue;
        }
        GrossMargin::SaleMargin s;
        s.quantity = Read(sale.product_num);
        s.unitCost = price;
        s.amount = Read(sale.product_total);
        s.cost = s.quantity * price;
        s.margin = s.amount - s.cost;
        addTo(result.bySalesperson, sale.product_purchase, s);
        addTo(result.byModel, sale.product_model, s);
        addToTotal(result.total, s);
        result.sales << saleIndex[j];
        result.margins << s;
    }
    for (QList<GrossMargin::Line>* lines : {&result.bySalesperson, &result.byModel}) {
        for (GrossMargin::Line& line : *lines)
            finish(line);
        std::stable_sort(lines->begin(), lines->end(),
                         [](const GrossMargin::Line& a, const GrossMargin::Line& b) {
                             return a.amount != b.amount ? a.amount > b.amount : a.key < b.key;
                         });
    }
    finish(result.total);
    return result;
}

} // namespace PlainAnalysis
