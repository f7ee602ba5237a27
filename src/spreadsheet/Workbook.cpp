#include "Workbook.h"

#include "CellNumber.h"

#include <algorithm>

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
    return CellNumber::Text(number);
}

const CellValue* SheetCells::Find(int row, int column) const
{
    const CellValue* value = cells.Find(row, column);
    return value && !value->IsEmpty() ? value : nullptr;
}

UsedRange SheetCells::Used() const
{
    UsedRange range;
    int lastRow = 0;
    int lastColumn = 0;
    ForEach([&](int row, int column, const CellValue&) {
        if (range.firstRow == 0) {
            range.firstRow = row;
            range.firstColumn = column;
        }
        lastRow = row;
        range.firstColumn = std::min(range.firstColumn, column);
        lastColumn = std::max(lastColumn, column);
    });
    if (range.firstRow > 0) {
        range.rowCount = lastRow - range.firstRow + 1;
        range.columnCount = lastColumn - range.firstColumn + 1;
    }
    return range;
}
