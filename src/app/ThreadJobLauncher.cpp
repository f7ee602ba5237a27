#include "ThreadJobLauncher.h"

#include "BackupFlow.h"
#include "MainWindow.h"
#include "ReadDatabaseThread.h"

ThreadJobLauncher::ThreadJobLauncher()
{
    qRegisterMetaType<LedgerRecords>();
    qRegisterMetaType<QueryResult>();
    qRegisterMetaType<ImportReport>();
}

ThreadJobLauncher::~ThreadJobLauncher()
{
    // An import stops before its next rows; the other jobs end as they are.
    for (const QPointer<ReadDatabaseThread>& worker : std::as_const(workers)) {
        if (worker)
            worker->requestInterruption();
    }
    for (const QPointer<ReadDatabaseThread>& worker : std::as_const(workers)) {
        if (worker)
            worker->wait();
    }
}

ReadDatabaseThread* ThreadJobLauncher::NewWorker(MainWindow* owner, int jobType)
{
    workers.removeAll(nullptr);
    auto* worker = new ReadDatabaseThread(owner, jobType);
    QObject::connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    workers << worker;
    return worker;
}

void ThreadJobLauncher::Start(MainWindow* owner, int jobType)
{
    auto* worker = NewWorker(owner, jobType);
    if (owner && jobType == JobLauncher::LoadPages) {
        QObject::connect(worker, &ReadDatabaseThread::PagesLoaded, owner,
                         &MainWindow::TakeLoadedRecords);
        QObject::connect(worker, &QThread::finished, owner, &MainWindow::ShowTabData);
    } else if (owner && jobType == JobLauncher::RunQuery) {
        worker->SetQuery(owner->PendingQuery());
        QObject::connect(worker, &ReadDatabaseThread::SendQueryResultDate, owner,
                         &MainWindow::ShowQueryResultData);
    } else if (owner && jobType == JobLauncher::BackupDatabase) {
        worker->SetStop(owner->Backups()->Stop());
        QObject::connect(worker, &ReadDatabaseThread::BackupProgress, owner->Backups(),
                         &BackupFlow::ShowProgress);
        QObject::connect(worker, &ReadDatabaseThread::BackupDone, owner->Backups(),
                         &BackupFlow::Finish);
        QObject::connect(worker, &QThread::finished, owner, &MainWindow::EnableAction);
    }
    worker->start(QThread::InheritPriority);
}

void ThreadJobLauncher::StartImport(MainWindow* owner, const ImportRequest& request)
{
    auto* worker = NewWorker(owner, JobLauncher::ImportSheet);
    worker->SetImportInfo(request.pageType, request.fileName, request.table);
    worker->SetStop(request.stop);
    if (owner) {
        QObject::connect(worker, &ReadDatabaseThread::ImportProgress, owner,
                         &MainWindow::ShowImportProgress);
        QObject::connect(worker, &ReadDatabaseThread::ImportFinished, owner,
                         &MainWindow::ShowReadExcelData);
    }
    worker->start(QThread::InheritPriority);
}
