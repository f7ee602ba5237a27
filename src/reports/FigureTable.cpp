#include "FigureTable.h"

#include "NumberText.h"

#include <QCollator>
#include <QLocale>
#include <algorithm>
#include <numeric>

namespace
{

// The place of `column`'s cell within the row's texts or values.
int CellIndex(const FigureTable& table, int column)
{
    const FigureColumn::Kind kind = table.columns.at(column).kind;
    int index = 0;
    for (int c = 0; c < column; ++c)
        index += (table.columns.at(c).kind == FigureColumn::Text) == (kind == FigureColumn::Text);
    return index;
}

int Decimals(double value, FigureColumn::Kind kind)
{
    if (kind == FigureColumn::Money)
        return 2;
    if (kind == FigureColumn::Count)
        return 0;
    const int places = NumberText::DecimalPlaces(value);
    return places < 0 ? 6 : places;
}

bool IsNumber(const FigureTable& table, int column)
{
    return table.columns.at(column).kind != FigureColumn::Text;
}

} // namespace

namespace FigureTables
{

QString Grouped(double value, FigureColumn::Kind kind)
{
    const int decimals = Decimals(value, kind);
    // No "-0.00" for a sum that cancels out to a rounding error.
    const double shown = NumberText::RoundToPlaces(value, std::min(decimals, 6));
    return QLocale(QLocale::English).toString(shown == 0 ? 0.0 : shown, 'f', decimals);
}

QString CellText(const FigureTable& table, const FigureRow& row, int column)
{
    if (!IsNumber(table, column))
        return row.texts.value(CellIndex(table, column));
    const int index = CellIndex(table, column);
    if (index >= row.values.size())
        return QString();
    return Grouped(row.values.at(index), table.columns.at(column).kind);
}

QString PlainText(const FigureTable& table, const FigureRow& row, int column)
{
    if (!IsNumber(table, column))
        return row.texts.value(CellIndex(table, column));
    const int index = CellIndex(table, column);
    if (index >= row.values.size())
        return QString();
    const double value = row.values.at(index);
    return NumberText::Write(NumberText::RoundToPlaces(
        value, std::min(Decimals(value, table.columns.at(column).kind), 6)));
}

double Value(const FigureTable& table, const FigureRow& row, int column)
{
    return IsNumber(table, column) ? row.values.value(CellIndex(table, column)) : 0.0;
}

QList<int> SortedOrder(const FigureTable& table, int column, bool descending)
{
    QList<int> order(table.rows.size());
    std::iota(order.begin(), order.end(), 0);
    if (column < 0 || column >= table.columns.size())
        return order;
    if (IsNumber(table, column)) {
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            const double x = Value(table, table.rows.at(a), column);
            const double y = Value(table, table.rows.at(b), column);
            return descending ? y < x : x < y;
        });
        return order;
    }
    QCollator collator(QLocale(QLocale::Chinese, QLocale::China));
    collator.setNumericMode(true);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const int compared = collator.compare(CellText(table, table.rows.at(a), column),
                                              CellText(table, table.rows.at(b), column));
        return descending ? compared > 0 : compared < 0;
    });
    return order;
}

ChartSeries Bar(const FigureTable& table, int column, const QList<int>& order)
{
    ChartSeries series;
    series.title = table.title;
    series.subtitle = table.columns.value(column).header;
    if (!table.period.isEmpty())
        series.subtitle += QStringLiteral("（%1）").arg(table.period);
    if (table.columns.value(column).kind == FigureColumn::Money)
        series.yTitle = QStringLiteral("元");
    int nameColumn = 0;
    while (nameColumn < table.columns.size() && IsNumber(table, nameColumn))
        ++nameColumn;
    for (int row : order) {
        const FigureRow& figures = table.rows.at(row);
        series.names << (nameColumn < table.columns.size() ? CellText(table, figures, nameColumn)
                                                           : QString::number(row + 1));
        series.values << Value(table, figures, column);
    }
    return series;
}

ReportTable Report(const FigureTable& table, const QList<int>& order)
{
    ReportTable report;
    report.title = table.title;
    report.period = table.period;
    for (const FigureColumn& column : table.columns)
        report.headers << column.header;
    auto texts = [&table](const FigureRow& row) {
        QStringList cells;
        for (int c = 0; c < table.columns.size(); ++c)
            cells << CellText(table, row, c);
        return cells;
    };
    for (int row : order)
        report.rows << texts(table.rows.at(row));
    if (table.totals)
        report.rows << texts(*table.totals);
    return report;
}

QString Caption(const FigureTable& table)
{
    return table.period.isEmpty() ? table.title
                                  : QStringLiteral("%1（%2）").arg(table.title, table.period);
}

} // namespace FigureTables
