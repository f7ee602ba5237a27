#pragma once

#include <QObject>
#include <QString>

class MainWindow;
class StatusProgress;
struct RestoreResult;

// The window's side of a restore: the warning, the file question, the restore itself on a
// thread of its own while the window repaints and shows progress, the outcome in a box, and the
// pages read again.
class RestoreFlow : public QObject
{
    Q_OBJECT
public:
    RestoreFlow(MainWindow& window, StatusProgress& progress);

    void Run();

private:
    RestoreResult RestoreInBackground(const QString& path);
    void Report(const RestoreResult& result);

    MainWindow& window;
    StatusProgress& progress;
};
