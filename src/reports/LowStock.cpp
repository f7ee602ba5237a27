#include "LowStock.h"

#include "NumberText.h"

#include <QHash>

namespace
{

constexpr int StockEntry = 0;

// Model, colour and place texts that outlive the look-ups.
struct Article {
    const QString* model;
    const QString* colour;
    const QString* place;

    bool operator==(const Article& other) const
    {
        return *model == *other.model && *colour == *other.colour && *place == *other.place;
    }
};

size_t qHash(const Article& a, size_t seed = 0)
{
    return qHashMulti(seed, *a.model, *a.colour, *a.place);
}

Article Of(const LowStock::Level& level)
{
    return {&level.model, &level.colour, &level.place};
}

Article Of(const ProductRecord& row)
{
    return {&row.product_model, &row.product_color, &row.product_store};
}

} // namespace

namespace LowStock
{

QList<Alert> Alerts(const QList<ProductRecord>& stockRows, const QList<Level>& levels)
{
    QHash<Article, qsizetype> levelOf;
    levelOf.reserve(levels.size());
    for (qsizetype i = 0; i < levels.size(); ++i)
        levelOf.insert(Of(levels[i]), i);
    QList<bool> stocked(levels.size(), false);
    QList<Alert> alerts;
    for (const ProductRecord& row : stockRows) {
        if (row.tab_type != StockEntry)
            continue;
        const auto found = levelOf.constFind(Of(row));
        if (found == levelOf.cend())
            continue;
        const Level& level = levels[*found];
        stocked[*found] = true;
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
        if (!stocked[i] && level.level >= 0 && levelOf.value(Of(level)) == i)
            alerts << Alert{level.model, level.colour, level.place, QString(),
                            0,           level.level,  level.level, false};
    }
    return alerts;
}

} // namespace LowStock
