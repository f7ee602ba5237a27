#include "RawClient.h"

#include <QElapsedTimer>
#include <QProcess>
#include <algorithm>

double Median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

double RawClient::MedianMs(const QString& statement, int runs) const
{
    QList<double> times;
    for (int i = 0; i < runs; ++i) {
        QProcess process;
        process.setStandardOutputFile(QProcess::nullDevice());
        QElapsedTimer timer;
        timer.start();
        process.start(Program(), Arguments(statement));
        process.waitForFinished(-1);
        times << timer.nsecsElapsed() / 1e6;
    }
    return Median(times);
}

QString RawClient::Output(const QString& statement) const
{
    QProcess process;
    process.start(Program(), Arguments(statement));
    process.waitForFinished(-1);
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

QStringList PsqlCli::Arguments(const QString& statement) const
{
    return {QStringLiteral("-h"), host,
            QStringLiteral("-p"), QString::number(port),
            QStringLiteral("-U"), user,
            QStringLiteral("-d"), database,
            QStringLiteral("-X"), QStringLiteral("-q"),
            QStringLiteral("-A"), QStringLiteral("-t"),
            QStringLiteral("-c"), statement};
}
