#include "ReadDatabaseThread.h"

#include "BackupFlow.h"
#include "DatabaseEngine.h"
#include "JobLauncher.h"

#include <QDate>
#include <QDateTime>

ReadDatabaseThread::ReadDatabaseThread(MainWindow* owner, int jobType)
    : QThread(nullptr), owner(owner), jobType(jobType)
{
}

void ReadDatabaseThread::run()
{
    if (!owner)
        return;
    switch (jobType) {
    case JobLauncher::LoadPages:
        emit PagesLoaded(LoadDayRecords(*DatabaseEngine::Instance(), QDate::currentDate()));
        break;
    case JobLauncher::BackupDatabase: {
        const QString path = BackupFlow::PathFor(QDateTime::currentDateTime());
        const BackupResult result = DatabaseEngine::Instance()->BackupToScript(
            path, [this](qint64 done, qint64 total) { emit BackupProgress(done, total); });
        emit BackupDone(result.ok, path, result.error);
        break;
    }
    default:
        break;
    }
}
