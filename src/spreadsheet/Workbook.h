#pragma once

#include "CellGrid.h"

#include <QList>
#include <QString>
#include <array>

// One stored cell value. Dates keep the day number of the workbook's own date system, so a
// workbook that is read and written again keeps its dates as dates.
struct CellValue {
    enum class Type { Text, Number, Date, DateTime, Time };
    Type type = Type::Text;
    QString text;
    double number = 0;

    // Inline: a large sheet makes a million of them.
    static CellValue Text(const QString& text) { return {Type::Text, text, 0}; }
    static CellValue Number(double number, Type type = Type::Number) { return {type, {}, number}; }

    bool IsEmpty() const { return type == Type::Text && text.isEmpty(); }

    // The value as the engine hands it out: texts as they are, numbers in their plain form
    // (12, 12.5), dates as their day numbers.
    QString Display() const;
    // Room for the text of any number.
    using TextBuffer = std::array<char16_t, 32>;
    // The text Display() gives, without copying a text: a number is written into `buffer`.
    QStringView DisplayView(TextBuffer& buffer) const;
};

// The rectangle that holds every cell with a value; 1-based like the sheet's own coordinates.
struct UsedRange {
    int firstRow = 0;
    int firstColumn = 0;
    int rowCount = 0;
    int columnCount = 0;
};

// The cells of one sheet, kept sparse and in row-major order.
class SheetCells
{
public:
    // 1-based row and column. An empty text clears the cell, as a spreadsheet does.
    void Set(int row, int column, CellValue value) { cells.Put(row, column, std::move(value)); }
    void Reserve(qsizetype count) { cells.Reserve(count); }
    const CellValue* Find(int row, int column) const;
    UsedRange Used() const;

    // The cells that hold a value, in row-major order.
    template <typename Visit> void ForEach(Visit visit) const
    {
        cells.ForEach([&visit](int row, int column, const CellValue& value) {
            if (!value.IsEmpty())
                visit(row, column, value);
        });
    }

private:
    // Cleared cells stay as empty texts, so clearing never moves the other cells.
    CellGrid<CellValue> cells;
};

struct Sheet {
    QString name;
    SheetCells cells;
};

struct Workbook {
    QList<Sheet> sheets;
    bool dateSystem1904 = false;
};

// Texts to put into cells of one sheet, by 1-based (row, column); an empty text clears the cell.
using CellWrites = CellGrid<QString>;
