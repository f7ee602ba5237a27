#include "ThreadJobLauncher.h"

#include "BackupFlow.h"
#include "MainWindow.h"
#include "ReadDatabaseThread.h"

ThreadJobLauncher::ThreadJobLauncher()
{
    qRegisterMetaType<LedgerRecords>();
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
    }
    if (owner && jobType == JobLauncher::BackupDatabase) {
        QObject::connect(worker, &ReadDatabaseThread::BackupProgress, owner->Backups(),
                         &BackupFlow::ShowProgress);
        QObject::connect(worker, &ReadDatabaseThread::BackupDone, owner->Backups(),
                         &BackupFlow::Finish);
        QObject::connect(worker, &QThread::finished, owner, &MainWindow::EnableAction);
    }
    workers << worker;
    worker->start(QThread::InheritPriority);
}
