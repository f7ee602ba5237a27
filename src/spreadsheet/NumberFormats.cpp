#include "NumberFormats.h"

void NumberFormats::Finish()
{
    types.clear();
    types.reserve(xfFormats.size());
    for (const quint16 id : xfFormats)
        types.append(TypeOfFormat(id));
}

CellValue::Type NumberFormats::TypeOfFormat(quint16 id) const
{
    const auto code = codes.constFind(id);
    if (code != codes.constEnd())
        return TypeOfCode(code.value());
    // The built-in formats: 14-17 and the East Asian 27-36, 50-58 are dates, 18-21 and 45-47
    // times, 22 a date with its time.
    if ((id >= 14 && id <= 17) || (id >= 27 && id <= 36) || (id >= 50 && id <= 58))
        return CellValue::Type::Date;
    if ((id >= 18 && id <= 21) || (id >= 45 && id <= 47))
        return CellValue::Type::Time;
    if (id == 22)
        return CellValue::Type::DateTime;
    return CellValue::Type::Number;
}

CellValue::Type NumberFormats::TypeOfCode(const QString& code)
{
    bool date = false;
    bool time = false;
    bool quoted = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i].toLower();
        if (quoted) {
            quoted = c != '"';
        } else if (c == '"') {
            quoted = true;
        } else if (c == '\\' || c == '_' || c == '*') {
            ++i; // the next character is shown as it is
        } else if (c == '[') {
            // Colours and conditions are no dates; [h], [mm] and [ss] are elapsed times.
            const qsizetype close = code.indexOf(']', i);
            const QString inside = code.mid(i + 1, close - i - 1).toLower();
            time = time || (!inside.isEmpty() && inside.count(inside[0]) == inside.size() &&
                            QStringLiteral("hms").contains(inside[0]));
            i = close < 0 ? code.size() : close;
        } else if (c == ';') {
            break; // the first section decides
        } else if (c == 'y' || c == 'd' || c == 'm') {
            date = true;
        } else if (c == 'h' || c == 's') {
            time = true;
        }
    }
    if (date && time)
        return CellValue::Type::DateTime;
    if (date)
        return CellValue::Type::Date;
    return time ? CellValue::Type::Time : CellValue::Type::Number;
}
