#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QAbstractItemModel;

// A page written out whole: every row as text, with what is printed above and below the rows.
struct ReportTable {
    QString title;
    QString period; // empty when the rows carry no dates
    QStringList headers;
    QList<QStringList> rows;
    QStringList totals; // lines printed after the last row
};

namespace ReportTables
{

// Every row and column of `model` as its display texts. `dateColumn` (-1 for none) gives the
// period: the first and the last date found in that column.
ReportTable FromModel(const QAbstractItemModel& model, const QString& title, int dateColumn,
                      const QStringList& totals);

// "yyyy-MM-dd 至 yyyy-MM-dd" over the texts that are dates; empty when none is.
QString PeriodOf(const QStringList& dates);

// Column widths for a sheet `width` wide from the widths the columns' texts need. When they fit,
// every column is stretched in proportion; otherwise the narrow columns keep what they need and
// the wide ones share the rest equally (their texts wrap).
QList<double> FitWidths(const QList<double>& needed, double width);

// Splits blocks of the given heights into pages of at most `pageHeight`, keeping their order;
// returns the index of the first block of every page. A block taller than a page gets a page of
// its own.
QList<int> PageStarts(const QList<double>& heights, double pageHeight);

} // namespace ReportTables
