#include "BackupFlow.h"

#include "Prompt.h"
#include "WorkingFolders.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QEventLoop>

BackupFlow::BackupFlow(QWidget& parent, Window window, StatusLine& status, QAction& action)
    : QObject(&parent), parent(parent), window(std::move(window)), status(status), action(action)
{
}

QString BackupFlow::PathFor(const QDateTime& start)
{
    return QDir::currentPath() + WorkingFolders::Backups + QStringLiteral("/record") +
           start.toString(QStringLiteral("_yyyyMMdd_hhmmss")) + QStringLiteral(".sql");
}

void BackupFlow::Start()
{
    action.setEnabled(false);
    StopFlag stop;
    running.append({status.Begin(tr("数据库备份开始..."), [stop] { stop.Raise(); }), stop});
    window.startJob();
}

StopFlag BackupFlow::Stop() const
{
    return running.isEmpty() ? StopFlag() : running.last().stop;
}

void BackupFlow::WaitUntilDone()
{
    if (!IsRunning())
        return;
    QEventLoop loop;
    connect(this, &BackupFlow::Idle, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void BackupFlow::ShowProgress(qint64 done, qint64 total)
{
    if (!running.isEmpty())
        status.Step(running.last().job, done, total);
}

void BackupFlow::Finish(bool ok, const QString& path, const QString& error)
{
    if (running.isEmpty())
        return;
    const Running finished = running.takeFirst();
    if (ok) {
        status.End(finished.job, tr("数据库备份完成..."));
    } else if (finished.stop.IsRaised()) {
        status.End(finished.job, tr("数据库备份已取消"));
    } else {
        status.End(finished.job, tr("数据库备份失败"));
        PromptBox box;
        box.title = tr("数据库备份");
        box.text = tr("数据库备份失败：%1\n文件：%2").arg(error, path);
        box.icon = QMessageBox::Warning;
        Prompt::Current().Ask(&parent, box);
    }
    if (!IsRunning())
        emit Idle();
}
