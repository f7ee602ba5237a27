#pragma once

#include "LedgerRecords.h"

#include <QThread>

class MainWindow;

// Runs one long job of the main window off the GUI thread. The job reaches the database through
// its own connection and hands its results over in a queued signal; the worker never touches a
// widget.
class ReadDatabaseThread : public QThread
{
    Q_OBJECT
public:
    ReadDatabaseThread(MainWindow* owner, int jobType);

signals:
    void PagesLoaded(const LedgerRecords& records);
    // Backup job: rows written of rows in all, then the outcome (the file, or why not).
    void BackupProgress(qint64 done, qint64 total);
    void BackupDone(bool ok, const QString& path, const QString& error);

protected:
    void run() override;

private:
    MainWindow* owner;
    int jobType;
};
