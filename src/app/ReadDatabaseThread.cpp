#include "ReadDatabaseThread.h"

#include "BackupFlow.h"
#include "DatabaseEngine.h"
#include "JobLauncher.h"
#include "LedgerImport.h"
#include "LedgerModel.h"

#include <QDate>
#include <QDateTime>

ReadDatabaseThread::ReadDatabaseThread(MainWindow* owner, int jobType)
    : QThread(nullptr), owner(owner), jobType(jobType)
{
}

void ReadDatabaseThread::SetQuery(const QueryRequest& request)
{
    query = request;
}

void ReadDatabaseThread::SetImportInfo(int type, const QString& file, const QString& tableName)
{
    pageType = type;
    fileName = file;
    table = tableName;
}

void ReadDatabaseThread::SetStop(const StopFlag& flag)
{
    stop = flag;
}

void ReadDatabaseThread::run()
{
    if (!owner)
        return;
    switch (jobType) {
    case JobLauncher::LoadPages:
        emit PagesLoaded(LoadDayRecords(*DatabaseEngine::Instance(), QDate::currentDate()));
        break;
    case JobLauncher::RunQuery:
        emit SendQueryResultDate(QueryRun::Run(*DatabaseEngine::Instance(), query));
        break;
    case JobLauncher::ImportSheet:
        ImportSheet();
        break;
    case JobLauncher::BackupDatabase: {
        const QString path = BackupFlow::PathFor(QDateTime::currentDateTime());
        const BackupResult result = DatabaseEngine::Instance()->BackupToScript(
            path, [this](qint64 done, qint64 total) { emit BackupProgress(done, total); },
            [this] { return stop.IsRaised(); });
        emit BackupDone(result.ok, path, result.error);
        break;
    }
    default:
        break;
    }
}

void ReadDatabaseThread::ImportSheet()
{
    const PageDefinition* page = PageDefinitions::ByTable(table);
    if (!page || page->role != PageRole::Ledger) {
        ImportReport report;
        report.source = fileName;
        report.failure = QStringLiteral("没有可导入的页面 %1").arg(table);
        emit ImportFinished(table, report);
        return;
    }
    // Serials made here come from the same clock as the window's new rows, so neither can take
    // the other's.
    LedgerImport import(*DatabaseEngine::Instance(), &LedgerModel::NextSerial);
    // The cancel button, or quitting, stops the import before its next rows.
    emit ImportFinished(
        table, import.Run(
                   fileName, pageType, page->kind,
                   [this](int done, int total) { emit ImportProgress(done, total); },
                   [this] {
                       if (stop.IsRaised())
                           return QStringLiteral("已取消");
                       return isInterruptionRequested() ? QStringLiteral("程序退出") : QString();
                   }));
}
