#pragma once

#include "StatusLine.h"
#include "StopFlag.h"

#include <QList>
#include <QObject>
#include <QString>
#include <functional>

class QAction;
class QDateTime;
class QWidget;

// The window's side of a backup: starts the background job, shows its progress (its cancel
// button stops the job, which then leaves no file behind) and its outcome, and lets the window
// wait for it when the program ends.
class BackupFlow : public QObject
{
    Q_OBJECT
public:
    // What the flow needs of the window.
    struct Window {
        // Starts the backup job: it writes PathFor(the moment it starts), stops once Stop() is
        // raised, and reports to ShowProgress and Finish.
        std::function<void()> startJob;
    };

    BackupFlow(QWidget& parent, Window window, StatusLine& status, QAction& action);

    // "DbDateSave/record_yyyyMMdd_hhmmss.sql" in the working folder for a backup started then.
    static QString PathFor(const QDateTime& start);

    // Disables the backup action and starts the job.
    void Start();
    // The stop flag of the backup started last, as its job takes it.
    StopFlag Stop() const;
    bool IsRunning() const { return !running.isEmpty(); }
    // Runs the event loop, user input held back, until every started backup has finished.
    void WaitUntilDone();

public slots:
    void ShowProgress(qint64 done, qint64 total);
    // A job's outcome: the file written, or why not.
    void Finish(bool ok, const QString& path, const QString& error);

signals:
    void Idle();

private:
    struct Running {
        StatusLine::Job job = 0;
        StopFlag stop;
    };

    QWidget& parent;
    Window window;
    StatusLine& status;
    QAction& action;
    // The backups started and not yet finished, oldest first.
    QList<Running> running;
};
