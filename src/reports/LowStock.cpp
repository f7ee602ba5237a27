#include "LowStock.h"

#include "NumberText.h"

#include <QHash>

#include <vector>

namespace
{

constexpr int StockEntry = 0;

// Model, colour and place texts that outlive the look-ups, and their hash.
struct Article {
    Article(const QString& model, const QString& colour, const QString& place)
        : model(model), colour(colour), place(place), hash(qHashMulti(0, model, colour, place))
    {
    }

    QStringView model;
    QStringView colour;
    QStringView place;
    size_t hash;

    bool SameTexts(const Article& other) const
    {
        return model == other.model && colour == other.colour && place == other.place;
    }
};

Article Of(const LowStock::Level& level)
{
    return {level.model, level.colour, level.place};
}

Article Of(const ProductRecord& row)
{
    return {row.product_model, row.product_color, row.product_store};
}

// The level of each article, the last of several counting. A flat table of hash and level index
// pairs, at most half full: a look-up reads one or two pairs side by side and compares texts only
// where the whole hash agrees, where a general hash table would visit a node of its own for
// every step and compare its texts.
class LevelTable
{
public:
    explicit LevelTable(const QList<LowStock::Level>& levels) : levels(levels)
    {
        size_t size = 16;
        while (size < 2 * size_t(levels.size()))
            size *= 2;
        pairs.assign(size, Slot{0, Empty});
        for (qsizetype i = 0; i < levels.size(); ++i)
            Place(Of(levels[i]))->level = i;
    }

    // The index of the article's level, or -1.
    qsizetype Find(const Article& article) const
    {
        for (size_t at = article.hash;; ++at) {
            const Slot& slot = pairs[at & (pairs.size() - 1)];
            if (slot.level == Empty)
                return -1;
            if (slot.hash == article.hash && Of(levels[slot.level]).SameTexts(article))
                return slot.level;
        }
    }

private:
    static constexpr qsizetype Empty = -1;

    struct Slot {
        size_t hash;
        qsizetype level;
    };

    // The slot of the article: its own, or a free one taken for it.
    Slot* Place(const Article& article)
    {
        for (size_t at = article.hash;; ++at) {
            Slot& slot = pairs[at & (pairs.size() - 1)];
            if (slot.level == Empty) {
                slot.hash = article.hash;
                return &slot;
            }
            if (slot.hash == article.hash && Of(levels[slot.level]).SameTexts(article))
                return &slot;
        }
    }

    const QList<LowStock::Level>& levels;
    std::vector<Slot> pairs;
};

} // namespace

namespace LowStock
{

QList<Alert> Alerts(const QList<ProductRecord>& stockRows, const QList<Level>& levels)
{
    const LevelTable levelOf(levels);
    QList<bool> stocked(levels.size(), false);
    QList<Alert> alerts;
    alerts.reserve(levels.size()); // most often no more than that
    for (const ProductRecord& row : stockRows) {
        if (row.tab_type != StockEntry)
            continue;
        const qsizetype found = levelOf.Find(Of(row));
        if (found < 0)
            continue;
        const Level& level = levels[found];
        stocked[found] = true;
        const double onHand = NumberText::Read(row.product_num);
        if (onHand <= level.level) {
            alerts << Alert{row.product_model,
                            row.product_color,
                            row.product_store,
                            row.product_name,
                            onHand,
                            level.level,
                            level.level - onHand,
                            true};
        }
    }
    for (qsizetype i = 0; i < levels.size(); ++i) {
        const Level& level = levels[i];
        if (!stocked[i] && level.level >= 0 && levelOf.Find(Of(level)) == i)
            alerts << Alert{level.model, level.colour, level.place, QString(),
                            0,           level.level,  level.level, false};
    }
    return alerts;
}

} // namespace LowStock
