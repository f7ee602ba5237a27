#include "ReportTable.h"

#include <QAbstractItemModel>
#include <QDate>
#include <algorithm>
#include <numeric>

namespace ReportTables
{

ReportTable FromModel(const QAbstractItemModel& model, const QString& title, int dateColumn,
                      const QStringList& totals)
{
    ReportTable report;
    report.title = title;
    report.totals = totals;
    const int columns = model.columnCount();
    for (int c = 0; c < columns; ++c)
        report.headers << model.headerData(c, Qt::Horizontal).toString();
    const int rows = model.rowCount();
    report.rows.reserve(rows);
    QStringList dates;
    for (int r = 0; r < rows; ++r) {
        QStringList cells;
        cells.reserve(columns);
        for (int c = 0; c < columns; ++c)
            cells << model.index(r, c).data().toString();
        if (dateColumn >= 0 && dateColumn < columns)
            dates << cells.at(dateColumn);
        report.rows << cells;
    }
    report.period = PeriodOf(dates);
    return report;
}

QString PeriodOf(const QStringList& dates)
{
    QDate first, last;
    for (const QString& text : dates) {
        const QDate date = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
        if (!date.isValid())
            continue;
        if (!first.isValid() || date < first)
            first = date;
        if (!last.isValid() || date > last)
            last = date;
    }
    if (!first.isValid())
        return QString();
    const QString format = QStringLiteral("yyyy-MM-dd");
    return QStringLiteral("%1 至 %2").arg(first.toString(format), last.toString(format));
}

QList<double> FitWidths(const QList<double>& needed, double width)
{
    const double sum = std::accumulate(needed.begin(), needed.end(), 0.0);
    QList<double> widths = needed;
    if (sum <= width) {
        for (double& w : widths)
            w = sum > 0 ? w * width / sum : width / widths.size();
        return widths;
    }
    QList<double> sorted = needed;
    std::sort(sorted.begin(), sorted.end());
    double rest = width;
    qsizetype left = sorted.size();
    double cap = 0;
    for (double w : std::as_const(sorted)) {
        if (w * left > rest) {
            cap = rest / left;
            break;
        }
        rest -= w;
        --left;
    }
    for (double& w : widths)
        w = std::min(w, cap);
    return widths;
}

QList<int> PageStarts(const QList<double>& heights, double pageHeight)
{
    QList<int> starts;
    double used = 0;
    for (int i = 0; i < heights.size(); ++i) {
        if (starts.isEmpty() || used + heights.at(i) > pageHeight) {
            if (starts.isEmpty() || used > 0)
                starts << i;
            used = 0;
        }
        used += heights.at(i);
    }
    return starts;
}

} // namespace ReportTables
