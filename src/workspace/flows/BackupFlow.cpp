#include "BackupFlow.h"

#include "JobLauncher.h"
#include "MainWindow.h"
#include "Prompt.h"
#include "StatusProgress.h"
#include "WorkingFolders.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QEventLoop>

BackupFlow::BackupFlow(MainWindow& window, StatusProgress& progress, QAction& action)
    : QObject(&window), window(window), progress(progress), action(action)
{
}

QString BackupFlow::PathFor(const QDateTime& start)
{
    return QDir::currentPath() + WorkingFolders::Backups + QStringLiteral("/record") +
           start.toString(QStringLiteral("_yyyyMMdd_hhmmss")) + QStringLiteral(".sql");
}

void BackupFlow::Start(JobLauncher* jobs)
{
    if (!jobs)
        return;
    action.setEnabled(false);
    ++running;
    window.ShowStatusInfo(tr("数据库备份开始..."));
    progress.Show(0, 0);
    jobs->Start(&window, JobLauncher::BackupDatabase);
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
    progress.Show(done, total);
}

void BackupFlow::Finish(bool ok, const QString& path, const QString& error)
{
    running = qMax(0, running - 1);
    if (!IsRunning())
        progress.Hide();
    if (ok) {
        window.ShowStatusInfo(tr("数据库备份完成..."));
    } else {
        window.ShowStatusInfo(tr("数据库备份失败"));
        PromptBox box;
        box.title = tr("数据库备份");
        box.text = tr("数据库备份失败：%1\n文件：%2").arg(error, path);
        box.icon = QMessageBox::Warning;
        Prompt::Current().Ask(&window, box);
    }
    if (!IsRunning())
        emit Idle();
}
