#include "NumberText.h"

#include <cmath>
#include <optional>

namespace NumberText
{

namespace
{

constexpr double Limit = 1e15; // fifteen digits, and fixed notation in the 'g' format
constexpr int MaxPlaces = 6;
constexpr double PlacePowers[MaxPlaces + 1] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6};

// The decimal of at most six places and fifteen digits whose nearest double `magnitude` (not
// negative) is: its places and its digits as a whole number.
struct Decimal {
    int places;
    double digits;
};
std::optional<Decimal> ShortDecimalOf(double magnitude)
{
    for (int places = 0; places <= MaxPlaces; ++places) {
        const double digits = std::nearbyint(magnitude * PlacePowers[places]);
        if (digits >= Limit)
            return std::nullopt;
        if (digits / PlacePowers[places] == magnitude)
            return Decimal{places, digits};
    }
    return std::nullopt;
}

// A value that is the nearest double to a decimal of at most six places and fifteen digits reads
// as that decimal when rounded to fifteen significant digits; written from its digits directly it
// costs a fraction of the general formatter, which is slowest exactly for such short decimals.
std::optional<Decimal> WrittenAsShortDecimal(double value)
{
    const double magnitude = std::fabs(value);
    if (magnitude < 1e-4 || magnitude >= Limit)
        return std::nullopt;
    return ShortDecimalOf(magnitude);
}

// The text of `value` where it needs no general formatter (zero, anything not finite, a short
// decimal), put down in `buffer` from the last digit backwards; empty otherwise.
QStringView PlainText(double value, TextBuffer& buffer)
{
    if (value == 0.0 || !std::isfinite(value))
        return u"0"; // no "-0", "inf" or "nan" in a ledger cell
    const std::optional<Decimal> decimal = WrittenAsShortDecimal(value);
    if (!decimal)
        return {};
    char16_t* const end = buffer.data() + buffer.size();
    char16_t* first = end;
    quint64 digits = quint64(decimal->digits);
    for (int i = 0; i < decimal->places; ++i, digits /= 10)
        *--first = char16_t(u'0' + digits % 10);
    if (decimal->places > 0)
        *--first = u'.';
    do {
        *--first = char16_t(u'0' + digits % 10);
        digits /= 10;
    } while (digits > 0);
    if (value < 0)
        *--first = u'-';
    return QStringView(first, end);
}

// A plain decimal of up to fifteen digits ("12", "-0.05") as the nearest double: both its digits
// and the power of ten are exact doubles, so one correctly rounded division gives what a full
// parse would. Anything else is left to the full parse.
std::optional<double> PlainDecimal(const QString& text)
{
    static constexpr double Powers[] = {1,   1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    constexpr int MaxDigits = 15;
    const qsizetype size = text.size();
    qsizetype i = size > 0 && text[0] == QLatin1Char('-') ? 1 : 0;
    const bool negative = i == 1;
    quint64 digits = 0;
    int count = 0;
    int places = 0;
    bool point = false;
    for (; i < size; ++i) {
        const char16_t c = text[i].unicode();
        if (c >= u'0' && c <= u'9') {
            if (++count > MaxDigits)
                return std::nullopt;
            digits = digits * 10 + (c - u'0');
            places += point ? 1 : 0;
        } else if (c == u'.' && !point) {
            point = true;
        } else {
            return std::nullopt;
        }
    }
    if (count == 0 || (point && places == 0))
        return std::nullopt;
    const double value = double(digits) / Powers[places];
    return negative ? -value : value;
}

} // namespace

double Read(const QString& text)
{
    if (std::optional<double> value = PlainDecimal(text))
        return *value;
    bool ok = false;
    const double v = text.toDouble(&ok); // surrounding blanks are ignored by toDouble
    return ok && std::isfinite(v) ? v : 0.0;
}

QString Write(double value)
{
    TextBuffer buffer;
    const QStringView plain = PlainText(value, buffer);
    return plain.isEmpty() ? QString::number(value, 'g', 15) : plain.toString();
}

int DecimalPlaces(double value)
{
    if (!std::isfinite(value))
        return -1;
    const std::optional<Decimal> decimal = ShortDecimalOf(std::fabs(value));
    return decimal ? decimal->places : -1;
}

double RoundToPlaces(double value, int places)
{
    const double scale = PlacePowers[qBound(0, places, MaxPlaces)];
    return std::nearbyint(value * scale) / scale;
}

bool IsNumberOrEmpty(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return true;
    bool ok = false;
    const double v = t.toDouble(&ok);
    return ok && std::isfinite(v);
}

QStringView Write(double value, TextBuffer& buffer)
{
    const QStringView plain = PlainText(value, buffer);
    if (!plain.isEmpty())
        return plain;
    const QString text = QString::number(value, 'g', 15);
    const auto end = std::copy(text.cbegin(), text.cend(), reinterpret_cast<QChar*>(buffer.data()));
    return QStringView(buffer.data(), reinterpret_cast<const char16_t*>(end));
}

double ReadBack(double value)
{
    if (value == 0.0 || !std::isfinite(value))
        return 0.0;
    // A short decimal's text reads as its digits over a power of ten: the value itself.
    if (WrittenAsShortDecimal(value))
        return value;
    return Read(QString::number(value, 'g', 15));
}

} // namespace NumberText
