#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <functional>

class QWidget;

class QLabel;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QThread;

// The window's status line: the signed-in user, the last status text with the moment it was
// shown, and the one progress bar of every long job (page load, query, import, export, backup,
// restore) with a "取消" button beside it. The bar follows the job begun last of those still
// running; the button stops that job, and is enabled only while the job can stop.
class StatusLine : public QObject
{
    Q_OBJECT
public:
    using Job = quint64;
    using Cancel = std::function<void()>;

    StatusLine(QStatusBar& bar, const QString& userName);

    // Shows `text` after the date and time; the plain message names the user again.
    void ShowStatusInfo(const QString& text);
    // A job that failed: "title: reason" in the status line and a warning box over `parent`.
    void ReportFailure(QWidget* parent, const QString& title, const QString& reason);

    // A long job begins: its text, when given, goes to the status line, and the bar moves until
    // the job tells how far it got. `cancel`, when given, is what the cancel button asks of it.
    Job Begin(const QString& text, Cancel cancel = {});
    // Steps done of all; a total of 0 keeps the bar moving.
    void Step(Job job, qint64 done, qint64 total);
    // The job is over; its closing text, when given, goes to the status line.
    void End(Job job, const QString& text = QString());

    // Starts `worker` and runs the event loop until it has finished. Meanwhile the window
    // repaints, but takes no input except the cancel button's.
    void RunHeld(QThread& worker);

private:
    struct Running {
        Job job = 0;
        qint64 done = 0;
        qint64 total = 0;
        Cancel cancel;
        bool stopping = false;
    };
    QString UserText() const;
    void CancelShown();
    void Refresh();

    QStatusBar& statusBar;
    QString userName;
    QLabel* label;
    QProgressBar* bar;
    QPushButton* cancelButton;
    QList<Running> running;
    Job lastJob = 0;
};
