#include "LedgerImport.h"

#include "DatabaseEngine.h"
#include "ExcelEngine.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>

namespace
{

// Sheet row of data line `index`: the header is row 1.
int SheetRow(qsizetype index)
{
    return int(index) + 2;
}

QList<DatabaseEngine::BatchResult> SaveBatch(DatabaseEngine& engine,
                                             const QList<ProductRecord>& records)
{
    return engine.SaveProductBatch(records);
}

QList<DatabaseEngine::BatchResult> SaveBatch(DatabaseEngine& engine,
                                             const QList<FinanceRecord>& records)
{
    return engine.SaveFinanceBatch(records);
}

} // namespace

LedgerImport::LedgerImport(DatabaseEngine& engine, LedgerSheetRows::SerialMaker newSerial)
    : engine(engine), newSerial(std::move(newSerial))
{
}

ImportReport LedgerImport::Run(const QString& path, int pageType, int kind,
                               const Progress& progress)
{
    ImportReport report;
    report.source = path;
    QStringList lines;
    if (!ReadLines(path, lines, report.failure))
        return report;
    const LedgerSheetRows rows(kind, newSerial);
    if (pageType == ExcelEngine::GoodsLedger)
        Store<ProductRecord>(lines, rows, report, progress);
    else
        Store<FinanceRecord>(lines, rows, report, progress);
    std::stable_sort(report.skipped.begin(), report.skipped.end(),
                     [](const auto& a, const auto& b) { return a.sheetRow < b.sheetRow; });
    report.WriteBesideSource();
    return report;
}

// The engine reads a private copy: whatever it does on closing, and even if the file is gone by
// the time it opens it, the user's file is neither rewritten nor created.
bool LedgerImport::ReadLines(const QString& path, QStringList& lines, QString& failure)
{
    if (!QFileInfo(path).isFile()) {
        failure = QStringLiteral("文件 %1 不存在").arg(path);
        return false;
    }
    QTemporaryDir dir;
    const QString copy = dir.filePath(QFileInfo(path).fileName());
    QFile source(path);
    if (!dir.isValid() || !source.copy(copy)) {
        failure = QStringLiteral("无法读取文件 %1: %2").arg(path, source.errorString());
        return false;
    }
    ExcelEngine sheet(copy);
    if (!sheet.Open(1, false)) {
        failure = sheet.LastError().replace(copy, path);
        return false;
    }
    sheet.ReadSheetToList(lines);
    sheet.Close();
    return true;
}

template <class Record>
void LedgerImport::Store(const QStringList& lines, const LedgerSheetRows& rows,
                         ImportReport& report, const Progress& progress)
{
    const int total = int(lines.size());
    for (qsizetype from = 0; from < lines.size(); from += DatabaseEngine::BatchRows) {
        const qsizetype to = std::min(lines.size(), from + DatabaseEngine::BatchRows);
        QList<Record> records;
        QList<int> sheetRows;
        records.reserve(to - from);
        for (qsizetype i = from; i < to; ++i) {
            Record record;
            QString reason;
            if (rows.ToRecord(lines.at(i), record, reason)) {
                records << std::move(record);
                sheetRows << SheetRow(i);
            } else {
                report.skipped << ImportReport::SkippedRow{SheetRow(i), reason};
            }
        }
        const QList<DatabaseEngine::BatchResult> results = SaveBatch(engine, records);
        for (qsizetype k = 0; k < results.size(); ++k) {
            switch (results.at(k).outcome) {
            case DatabaseEngine::BatchResult::Inserted:
                ++report.inserted;
                break;
            case DatabaseEngine::BatchResult::Updated:
                ++report.updated;
                break;
            case DatabaseEngine::BatchResult::Refused:
                report.skipped << ImportReport::SkippedRow{
                    sheetRows.at(k), QStringLiteral("数据库拒绝保存: %1").arg(results.at(k).error)};
                break;
            }
        }
        if (progress)
            progress(int(to), total);
    }
}
