#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>

// The inputs of one bar or pie chart: one value per name.
struct ChartSeries {
    QString title;
    QString subtitle;
    QString yTitle; // the unit, such as "元"
    QStringList names;
    QList<double> values;
};

// The inputs of one line chart: up to three series over the same x labels. The first series
// takes the first value list, the second the second, every further one the third.
struct LineSeries {
    QString title;
    QStringList xLabels;
    QStringList seriesNames;
    std::array<QList<double>, 3> values;
};

// The compact JSON texts the chart page's getData takes, and the call that hands one over.
namespace ChartJson
{

QByteArray Bar(const ChartSeries& series);
// The slices are left out (an empty "data") unless names and values pair up one to one.
QByteArray Pie(const ChartSeries& series, const QString& typeName);
QByteArray Line(const LineSeries& series);

// One line over the names of a bar series, named after its subtitle.
LineSeries AsLine(const ChartSeries& series);

// getData("...") with the JSON as one JavaScript string literal: quotes, backslashes and line
// breaks inside titles and names reach the page unchanged.
QString ScriptCall(const QByteArray& json);

} // namespace ChartJson
