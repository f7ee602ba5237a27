#pragma once

#include "JobLauncher.h"

#include <QList>
#include <QPointer>

class ReadDatabaseThread;

// Starts each job on a new ReadDatabaseThread, which deletes itself when finished. On destruction
// it asks the workers still running to stop and waits for them, so none outlives the program.
class ThreadJobLauncher : public JobLauncher
{
public:
    ThreadJobLauncher();
    ~ThreadJobLauncher() override;

    void Start(MainWindow* owner, int jobType) override;
    void StartImport(MainWindow* owner, const ImportRequest& request) override;

private:
    ReadDatabaseThread* NewWorker(MainWindow* owner, int jobType);

    QList<QPointer<ReadDatabaseThread>> workers;
};
