#pragma once

#include "ChartSeries.h"
#include "ReportTable.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// A table of figures such as one row per shop: leading text columns (names) and number columns,
// with an optional total row that stays below the others however the rows are sorted.
struct FigureColumn {
    enum Kind {
        Text,    // a name; left-aligned
        Count,   // a whole number: thousands separators, no decimals
        Money,   // an amount: thousands separators, two decimals
        Quantity // thousands separators and the decimals the quantity has
    };
    QString header;
    Kind kind = Money;
};

struct FigureRow {
    QStringList texts;    // the cells of the Text columns, in column order
    QList<double> values; // the cells of the number columns, in column order
};

struct FigureTable {
    QString title;
    QString period; // what the figures cover, shown beside the title; may be empty
    QList<FigureColumn> columns;
    QList<FigureRow> rows;
    std::optional<FigureRow> totals;
};

namespace FigureTables
{

// "1,234,567.80" for Money, "1,234" for Count, "1,234.5" for Quantity.
QString Grouped(double value, FigureColumn::Kind kind);

// The cell as shown (numbers grouped), and as written to a sheet (numbers without separators,
// rounded as shown, so the sheet reads them as numbers). Empty for a cell the row lacks.
QString CellText(const FigureTable& table, const FigureRow& row, int column);
QString PlainText(const FigureTable& table, const FigureRow& row, int column);
// A number column's value; 0 for a text column or a missing cell.
double Value(const FigureTable& table, const FigureRow& row, int column);

// The rows' indexes sorted by `column` (numbers by value, texts by their Chinese collation);
// equal cells keep their order.
QList<int> SortedOrder(const FigureTable& table, int column, bool descending);

// A bar per row in `order` of the number column `column`, named by the first text column.
ChartSeries Bar(const FigureTable& table, int column, const QList<int>& order);

// The rows in `order` and then the total row, as shown, for the full-report PDF.
ReportTable Report(const FigureTable& table, const QList<int>& order);

// The window title: the title with the period in brackets.
QString Caption(const FigureTable& table);

} // namespace FigureTables
