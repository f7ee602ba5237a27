#include "NumberText.h"

#include <cmath>

namespace NumberText
{

double Read(const QString& text)
{
    bool ok = false;
    const double v = text.toDouble(&ok); // surrounding blanks are ignored by toDouble
    return ok && std::isfinite(v) ? v : 0.0;
}

QString Write(double value)
{
    if (value == 0.0 || !std::isfinite(value))
        return QStringLiteral("0"); // no "-0", "inf" or "nan" in a ledger cell
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
