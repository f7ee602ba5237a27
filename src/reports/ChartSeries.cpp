#include "ChartSeries.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace ChartJson
{

namespace
{

QByteArray Compact(const QJsonObject& object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QJsonArray Numbers(const QList<double>& values)
{
    QJsonArray array;
    for (double v : values)
        array.append(v);
    return array;
}

} // namespace

QByteArray Bar(const ChartSeries& series)
{
    return Compact({{"tittle", series.title},
                    {"ytittle", series.yTitle},
                    {"subtittle", series.subtitle},
                    {"yvalue", Numbers(series.values)},
                    {"xvalue", QJsonArray::fromStringList(series.names)}});
}

QByteArray Pie(const ChartSeries& series, const QString& typeName)
{
    QJsonArray data;
    if (!series.names.isEmpty() && series.names.size() == series.values.size()) {
        for (int i = 0; i < series.names.size(); ++i)
            data.append(QJsonObject{{"value", series.values.at(i)}, {"name", series.names.at(i)}});
    }
    return Compact({{"tittle", series.title},
                    {"subtittle", series.subtitle},
                    {"data", data},
                    {"typename", typeName}});
}

QByteArray Line(const LineSeries& series)
{
    QJsonArray xName, lineName, data;
    for (const QString& label : series.xLabels)
        xName.append(QJsonObject{{"value", label}});
    for (int i = 0; i < series.seriesNames.size(); ++i) {
        const QString& name = series.seriesNames.at(i);
        lineName.append(QJsonObject{{"name", name}});
        QJsonArray points;
        for (double v : series.values.at(qMin(i, 2)))
            points.append(QJsonObject{{"value", v}});
        data.append(QJsonObject{{"name", name}, {"type", "line"}, {"data", points}});
    }
    return Compact(
        {{"tittle", series.title}, {"xname", xName}, {"lineName", lineName}, {"data", data}});
}

LineSeries AsLine(const ChartSeries& series)
{
    LineSeries line;
    line.title = series.title;
    line.xLabels = series.names;
    line.seriesNames = {series.subtitle};
    line.values[0] = series.values;
    return line;
}

QString ScriptCall(const QByteArray& json)
{
    // A JSON string is a valid JavaScript string literal; the array brackets are dropped.
    const QByteArray quoted =
        QJsonDocument(QJsonArray{QString::fromUtf8(json)}).toJson(QJsonDocument::Compact);
    return QStringLiteral("getData(%1)").arg(QString::fromUtf8(quoted.mid(1, quoted.size() - 2)));
}

} // namespace ChartJson
