#pragma once

#include <QObject>
#include <QString>

class QWidget;
class StatusLine;
class StopFlag;
struct RestoreResult;

// The window's side of a restore: the warning, the file question, the restore itself on a
// thread of its own while the window repaints and shows progress (its cancel button rolls the
// restore back), the outcome in a box, and the pages read again.
class RestoreFlow : public QObject
{
    Q_OBJECT
public:
    RestoreFlow(QWidget& window, StatusLine& status);

    void Run();

signals:
    // The store's rows were replaced: the pages are to be read again (before the outcome's box).
    void Restored();

private:
    RestoreResult RestoreInBackground(const QString& path, quint64 job, const StopFlag& stop);
    void Report(const RestoreResult& result, bool cancelled);

    QWidget& window;
    StatusLine& status;
};
