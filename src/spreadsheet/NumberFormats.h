#pragma once

#include "Workbook.h"

#include <QHash>
#include <QList>

// Which cell formats of an Excel 97-2003 workbook show their numbers as dates or times.
class NumberFormats
{
public:
    void AddFormat(quint16 id, const QString& code) { codes.insert(id, code); }
    void AddXf(quint16 formatId) { xfFormats.append(formatId); }
    // Classifies every cell format once all formats are known.
    void Finish();

    CellValue::Type TypeOf(quint16 xf) const
    {
        return xf < types.size() ? types[xf] : CellValue::Type::Number;
    }

    // The kind of value a format code shows, by its first section.
    static CellValue::Type TypeOfCode(const QString& code);

private:
    CellValue::Type TypeOfFormat(quint16 id) const;

    QHash<quint16, QString> codes;
    QList<quint16> xfFormats;
    QList<CellValue::Type> types;
};
