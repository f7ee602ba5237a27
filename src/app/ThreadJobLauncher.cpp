#include "ThreadJobLauncher.h"

#include "MainWindow.h"
#include "ReadDatabaseThread.h"

ThreadJobLauncher::ThreadJobLauncher()
{
    qRegisterMetaType<LedgerRecords>();
    qRegisterMetaType<QueryResult>();
}

ThreadJobLauncher::~ThreadJobLauncher()
{
    for (const QPointer<ReadDatabaseThread>& worker : std::as_const(workers)) {
        if (worker)
            worker->wait();
    }
}

void ThreadJobLauncher::Start(MainWindow* owner, int jobType)
{
    workers.removeAll(nullptr);
    auto* worker = new ReadDatabaseThread(owner, jobType);
    QObject::connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    if (owner && jobType == JobLauncher::LoadPages) {
        QObject::connect(worker, &ReadDatabaseThread::PagesLoaded, owner,
                         &MainWindow::TakeLoadedRecords);
        QObject::connect(worker, &QThread::finished, owner, &MainWindow::ShowTabData);
    } else if (owner && jobType == JobLauncher::RunQuery) {
        worker->SetQuery(owner->PendingQuery());
        QObject::connect(worker, &ReadDatabaseThread::SendQueryResultDate, owner,
                         &MainWindow::ShowQueryResultData);
    }
    workers << worker;
    worker->start(QThread::InheritPriority);
}
