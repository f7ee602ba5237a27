#include "ImportReport.h"

#include <QSaveFile>

QStringList ImportReport::Counts() const
{
    QStringList lines = {QStringLiteral("新增 %1 行,更新 %2 行,跳过 %3 行。")
                             .arg(inserted)
                             .arg(updated)
                             .arg(skipped.size())};
    if (!stopped.isEmpty())
        lines << QStringLiteral("导入未完成: %1。%2 行未保存,请在问题解决后重新导入此文件。")
                     .arg(stopped)
                     .arg(notSaved);
    if (!historyError.isEmpty())
        lines << QStringLiteral("导入的行已保存，但操作记录未能写入: %1").arg(historyError);
    if (insertedWithoutEntryTime > 0)
        lines << QStringLiteral("其中 %1 行没有录入时间,已作为新记录添加;再次导入此文件会再次"
                                "添加这些行。")
                     .arg(insertedWithoutEntryTime);
    return lines;
}

void ImportReport::Stop(const QString& why)
{
    if (stopped.isEmpty())
        stopped = why;
}

void ImportReport::LeaveUnsaved(const QList<int>& sheetRows)
{
    for (const int row : sheetRows)
        skipped << SkippedRow{row, QStringLiteral("未保存(导入已停止)")};
    notSaved += int(sheetRows.size());
}

QString ImportReport::Line(const SkippedRow& row)
{
    return QStringLiteral("第 %1 行: %2").arg(row.sheetRow).arg(row.reason);
}

QString ImportReport::Summary() const
{
    QStringList lines = Counts();
    for (qsizetype i = 0; i < skipped.size() && i < ListedRows; ++i)
        lines << Line(skipped.at(i));
    if (skipped.size() > ListedRows)
        lines << QStringLiteral("……另有 %1 行被跳过。").arg(skipped.size() - ListedRows);
    if (!reportPath.isEmpty())
        lines << QStringLiteral("完整报告: %1").arg(reportPath);
    else if (!reportError.isEmpty())
        lines << QStringLiteral("报告文件未能写入: %1").arg(reportError);
    return lines.join(QLatin1Char('\n'));
}

QString ImportReport::FullText() const
{
    QStringList lines = QStringList{QStringLiteral("导入文件: %1").arg(source)} + Counts();
    for (const SkippedRow& row : skipped)
        lines << Line(row);
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

void ImportReport::WriteBesideSource()
{
    const QString path = source + QStringLiteral(".import.txt");
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(FullText().toUtf8()) >= 0 && file.commit()) {
        reportPath = path;
        reportError.clear();
        return;
    }
    reportPath.clear();
    reportError = QStringLiteral("%1 (%2)").arg(path, file.errorString());
}
