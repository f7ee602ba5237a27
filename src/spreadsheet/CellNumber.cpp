#include "CellNumber.h"

#include <cmath>
#include <optional>

namespace
{

// Most numbers in sheets are short decimals (prices, quantities). A value that is the nearest
// double to a decimal of at most six places and fifteen digits reads as that decimal at fifteen
// significant digits; written from its digits directly it costs a fraction of the general
// formatter, which is slowest exactly for such short decimals.
std::optional<QString> ShortDecimal(double value)
{
    static constexpr double Powers[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6};
    constexpr double Limit = 1e15; // fifteen digits, and fixed notation in the 'g' format
    const double magnitude = std::fabs(value);
    if (magnitude < 1e-4 || magnitude >= Limit)
        return std::nullopt;
    for (int places = 0; places < int(std::size(Powers)); ++places) {
        const double scaled = std::nearbyint(magnitude * Powers[places]);
        if (scaled >= Limit)
            return std::nullopt;
        if (scaled / Powers[places] != magnitude)
            continue;
        QString text = QString::number(qint64(scaled));
        if (places > 0) {
            if (text.size() <= places)
                text.prepend(QString(places + 1 - text.size(), QLatin1Char('0')));
            text.insert(text.size() - places, QLatin1Char('.'));
        }
        if (value < 0)
            text.prepend(QLatin1Char('-'));
        return text;
    }
    return std::nullopt;
}

} // namespace

QString CellNumber::Text(double value)
{
    if (value == 0.0 || !std::isfinite(value))
        return QStringLiteral("0");
    if (std::optional<QString> text = ShortDecimal(value))
        return *text;
    return QString::number(value, 'g', 15);
}
