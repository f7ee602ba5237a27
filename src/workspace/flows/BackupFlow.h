#pragma once

#include <QObject>
#include <QString>

class JobLauncher;
class MainWindow;
class QAction;
class QDateTime;
class StatusProgress;

// The window's side of a backup: starts the background job, shows its progress and its outcome,
// and lets the window wait for it when the program ends.
class BackupFlow : public QObject
{
    Q_OBJECT
public:
    BackupFlow(MainWindow& window, StatusProgress& progress, QAction& action);

    // "DbDateSave/record_yyyyMMdd_hhmmss.sql" in the working folder for a backup started then.
    static QString PathFor(const QDateTime& start);

    // Disables the backup action and starts the job; nothing without a launcher.
    void Start(JobLauncher* jobs);
    bool IsRunning() const { return running > 0; }
    // Runs the event loop, user input held back, until every started backup has finished.
    void WaitUntilDone();

public slots:
    void ShowProgress(qint64 done, qint64 total);
    // A job's outcome: the file written, or why not.
    void Finish(bool ok, const QString& path, const QString& error);

signals:
    void Idle();

private:
    MainWindow& window;
    StatusProgress& progress;
    QAction& action;
    int running = 0;
};
