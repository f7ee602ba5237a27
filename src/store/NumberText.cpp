#include "NumberText.h"

#include <QLocale>
#include <cmath>

namespace NumberText
{

double Read(const QString& text)
{
    bool ok = false;
    const double v = text.toDouble(&ok); // surrounding blanks are ignored by toDouble
    return ok && std::isfinite(v) ? v : 0.0;
}

namespace
{

int SignificantDigits(const QString& text)
{
    int digits = 0;
    for (const QChar c : text) {
        if (c.isDigit() && (digits > 0 || c != QLatin1Char('0')))
            ++digits;
    }
    return digits;
}

} // namespace

QString Write(double value)
{
    if (value == 0.0 || !std::isfinite(value))
        return QStringLiteral("0"); // no "-0", "inf" or "nan" in a ledger cell
    // Rounding to 15 digits is costly. Whole numbers below 15 digits, most ledger values, are
    // written directly; otherwise the shortest text that reads back as the value is found
    // quickly, and where it has at most 15 digits and no exponent it is what rounding gives.
    const double magnitude = std::abs(value);
    if (magnitude < 1e15 && value == std::trunc(value))
        return QString::number(qint64(value));
    if (magnitude >= 1e-4 && magnitude < 1e15) {
        const QString shortest = QString::number(value, 'g', QLocale::FloatingPointShortest);
        if (!shortest.contains(QLatin1Char('e')) && SignificantDigits(shortest) <= 15)
            return shortest;
    }
    return QString::number(value, 'g', 15);
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

} // namespace NumberText
