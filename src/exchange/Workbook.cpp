#include "Workbook.h"

#include <algorithm>
#include <climits>

CellValue CellValue::Text(const QString& text)
{
    CellValue value;
    value.text = text;
    return value;
}

CellValue CellValue::Number(double number, Type type)
{
    CellValue value;
    value.type = type;
    value.number = number;
    return value;
}

QString CellValue::Display() const
{
    if (type == Type::Text)
        return text;
    return QString::number(number, 'g', 15);
}

void SheetCells::Set(int row, int column, const CellValue& value)
{
    if (value.type == CellValue::Type::Text && value.text.isEmpty())
        cells.erase(Key(row, column));
    else
        cells[Key(row, column)] = value;
}

const CellValue* SheetCells::Find(int row, int column) const
{
    const auto it = cells.find(Key(row, column));
    return it == cells.end() ? nullptr : &it->second;
}

UsedRange SheetCells::Used() const
{
    UsedRange range;
    if (cells.empty())
        return range;
    const int firstRow = int(cells.begin()->first >> 32);
    const int lastRow = int(cells.rbegin()->first >> 32);
    int firstColumn = INT_MAX;
    int lastColumn = 0;
    for (const auto& entry : cells) {
        const int column = int(entry.first & 0xffffffffu);
        firstColumn = std::min(firstColumn, column);
        lastColumn = std::max(lastColumn, column);
    }
    range.firstRow = firstRow;
    range.firstColumn = firstColumn;
    range.rowCount = lastRow - firstRow + 1;
    range.columnCount = lastColumn - firstColumn + 1;
    return range;
}
