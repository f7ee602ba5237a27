#include "Workbook.h"

#include "NumberText.h"

#include <algorithm>

QString CellValue::Display() const
{
    if (type == Type::Text)
        return text;
    return NumberText::Write(number);
}

static_assert(std::is_same_v<CellValue::TextBuffer, NumberText::TextBuffer>);

QStringView CellValue::DisplayView(TextBuffer& buffer) const
{
    return type == Type::Text ? QStringView(text) : NumberText::Write(number, buffer);
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
