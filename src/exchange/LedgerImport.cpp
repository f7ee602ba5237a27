#include "LedgerImport.h"

#include "DatabaseEngine.h"
#include "ExcelEngine.h"
#include "LedgerSheet.h"
#include "SheetTable.h"
#include "StoreTables.h"

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
                                             const QList<ProductRecord>& records,
                                             QList<QVariantList>& updatedRows)
{
    return engine.SaveProductBatch(records, &updatedRows);
}

QList<DatabaseEngine::BatchResult> SaveBatch(DatabaseEngine& engine,
                                             const QList<FinanceRecord>& records,
                                             QList<QVariantList>& updatedRows)
{
    return engine.SaveFinanceBatch(records, &updatedRows);
}

} // namespace

LedgerImport::LedgerImport(DatabaseEngine& engine, LedgerSheetRows::SerialMaker newSerial)
    : engine(engine), newSerial(std::move(newSerial))
{
}

ImportReport LedgerImport::Run(const QString& path, int pageType, int kind,
                               const Progress& progress, const StopRequested& stopRequested)
{
    ImportReport report;
    report.source = path;
    bool dateSystem1904 = false;
    const std::unique_ptr<SheetTable> cells = ReadCells(path, dateSystem1904, report.failure);
    if (!cells)
        return report;
    if (!engine.HistoryReady()) {
        report.failure =
            QStringLiteral("无法写入操作记录，未导入任何行：%1").arg(engine.LastError());
        return report;
    }
    const LedgerSheetRows rows(kind, newSerial, dateSystem1904);
    const bool goods = pageType == LedgerSheet::GoodsLedger;
    QList<QVariantList> updatedRows;
    const bool connected =
        goods ? Store<ProductRecord>(*cells, rows, report, progress, stopRequested, updatedRows)
              : Store<FinanceRecord>(*cells, rows, report, progress, stopRequested, updatedRows);
    // Without a connection the entry cannot be written either; the report says the import
    // stopped.
    if (!connected && (report.inserted > 0 || report.updated > 0))
        report.historyError = QStringLiteral("数据库连接已断开");
    else if ((report.inserted > 0 || report.updated > 0) &&
             !engine.RecordImport(QFileInfo(path).fileName(),
                                  goods ? StoreTables::Product : StoreTables::Finance, kind,
                                  QStringLiteral("新增 %1 行,更新 %2 行,跳过 %3 行")
                                      .arg(report.inserted)
                                      .arg(report.updated)
                                      .arg(report.skipped.size()),
                                  updatedRows))
        report.historyError = engine.LastError();
    std::stable_sort(report.skipped.begin(), report.skipped.end(),
                     [](const auto& a, const auto& b) { return a.sheetRow < b.sheetRow; });
    report.WriteBesideSource();
    return report;
}

// The cells are read as they are, so any text comes back unchanged ("+" and "^^" too). The engine
// reads a private copy: whatever it does on closing, and even if the file is gone by the time it
// opens it, the user's file is neither rewritten nor created.
std::unique_ptr<SheetTable> LedgerImport::ReadCells(const QString& path, bool& dateSystem1904,
                                                    QString& failure)
{
    if (!QFileInfo(path).isFile()) {
        failure = QStringLiteral("文件 %1 不存在").arg(path);
        return nullptr;
    }
    QTemporaryDir dir;
    const QString copy = dir.filePath(QFileInfo(path).fileName());
    QFile source(path);
    if (!dir.isValid() || !source.copy(copy)) {
        failure = QStringLiteral("无法读取文件 %1: %2").arg(path, source.errorString());
        return nullptr;
    }
    ExcelEngine sheet(copy);
    if (!sheet.Open(1, false)) {
        failure =
            QStringLiteral("无法读取文件 %1: %2").arg(path, sheet.LastError().replace(copy, path));
        return nullptr;
    }
    auto cells = std::make_unique<SheetTable>(sheet.GetColumnCount());
    sheet.ReadSheetToTable(cells.get());
    dateSystem1904 = sheet.DateSystem1904();
    sheet.Close();
    return cells;
}

// Rows after a stop are still read, so that each is reported for what it is: a row that is no
// record for its reason, any other as not saved.
template <class Record>
bool LedgerImport::Store(const SheetTable& cells, const LedgerSheetRows& rows, ImportReport& report,
                         const Progress& progress, const StopRequested& stopRequested,
                         QList<QVariantList>& updatedRows)
{
    const int total = cells.rowCount();
    bool connected = true;
    for (int from = 0; from < total; from += DatabaseEngine::BatchRows) {
        const int to = std::min(total, from + DatabaseEngine::BatchRows);
        QList<Record> records;
        QList<int> sheetRows;
        QList<bool> newRecords;
        records.reserve(to - from);
        for (int i = from; i < to; ++i) {
            Record record;
            QString reason;
            if (rows.ToRecord(cells.Row(i), record, reason)) {
                records << std::move(record);
                sheetRows << SheetRow(i);
                newRecords << LedgerSheetRows::IsNewRecord(cells.Row(i));
            } else {
                report.skipped << ImportReport::SkippedRow{SheetRow(i), reason};
            }
        }
        if (report.stopped.isEmpty() && stopRequested)
            report.Stop(stopRequested());
        if (!report.stopped.isEmpty()) {
            report.LeaveUnsaved(sheetRows);
            if (progress)
                progress(to, total);
            continue;
        }
        const QList<DatabaseEngine::BatchResult> results = SaveBatch(engine, records, updatedRows);
        QList<int> unsaved;
        QString lost;
        for (qsizetype k = 0; k < results.size(); ++k) {
            switch (results.at(k).outcome) {
            case DatabaseEngine::BatchResult::Inserted:
                ++report.inserted;
                report.insertedWithoutEntryTime += newRecords.at(k) ? 1 : 0;
                break;
            case DatabaseEngine::BatchResult::Updated:
                ++report.updated;
                break;
            case DatabaseEngine::BatchResult::Refused:
                report.skipped << ImportReport::SkippedRow{
                    sheetRows.at(k), QStringLiteral("数据库拒绝保存: %1").arg(results.at(k).error)};
                break;
            case DatabaseEngine::BatchResult::NotSaved:
                unsaved << sheetRows.at(k);
                lost = results.at(k).error;
                break;
            }
        }
        if (!unsaved.isEmpty()) {
            connected = false;
            report.Stop(QStringLiteral("无法连接数据库(%1)").arg(lost));
            report.LeaveUnsaved(unsaved);
        }
        if (progress)
            progress(to, total);
    }
    return connected;
}
