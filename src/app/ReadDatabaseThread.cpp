#include "ReadDatabaseThread.h"

#include "DatabaseEngine.h"
#include "JobLauncher.h"

#include <QDate>

ReadDatabaseThread::ReadDatabaseThread(MainWindow* owner, int jobType)
    : QThread(nullptr), owner(owner), jobType(jobType)
{
}

void ReadDatabaseThread::SetQuery(const QueryRequest& request)
{
    query = request;
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
    default:
        break;
    }
}
