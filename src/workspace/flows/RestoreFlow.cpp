#include "RestoreFlow.h"

#include "DangerPrompt.h"
#include "DatabaseEngine.h"
#include "Prompt.h"
#include "StatusLine.h"
#include "StopFlag.h"
#include "WorkingFolders.h"

#include <QDebug>
#include <QDir>
#include <QThread>
#include <memory>

RestoreFlow::RestoreFlow(QWidget& window, StatusLine& status)
    : QObject(&window), window(window), status(status)
{
}

void RestoreFlow::Run()
{
    if (!DangerPrompt::Confirm(&window))
        return;
    FileQuestion question;
    question.caption = tr("标题");
    question.directory = QDir::currentPath() + WorkingFolders::Backups;
    question.filter = QStringLiteral("*.sql;;*.sql");
    const QString path = Prompt::Current().AskFile(nullptr, question);
    qDebug() << path;
    if (path.isEmpty())
        return;

    const StopFlag stop;
    const StatusLine::Job job = status.Begin(tr("数据库还原开始..."), [stop] { stop.Raise(); });
    const RestoreResult result = RestoreInBackground(path, job, stop);
    // A restore that ended before it saw the request has done its work all the same.
    const bool cancelled = !result.ok && stop.IsRaised();
    if (result.ok) {
        status.End(job, tr("数据库还原完成..."));
        emit Restored();
    } else {
        status.End(job, cancelled ? tr("数据库还原已取消") : tr("数据库还原失败"));
    }
    Report(result, cancelled);
}

RestoreResult RestoreFlow::RestoreInBackground(const QString& path, quint64 job,
                                               const StopFlag& stop)
{
    // The restore runs on its own connection; the window keeps painting, but takes no input
    // but the cancel button's until the store's rows are replaced.
    RestoreResult result;
    std::unique_ptr<QThread> worker(QThread::create([this, &result, path, job, stop] {
        result = DatabaseEngine::Instance()->RestoreFromScript(
            path,
            [this, job](qint64 done, qint64 total) {
                QMetaObject::invokeMethod(
                    this, [this, job, done, total] { status.Step(job, done, total); },
                    Qt::QueuedConnection);
            },
            [stop] { return stop.IsRaised(); });
    }));
    status.RunHeld(*worker);
    worker->wait();
    return result;
}

void RestoreFlow::Report(const RestoreResult& result, bool cancelled)
{
    PromptBox box;
    box.title = tr("数据还原");
    if (result.ok) {
        box.icon = QMessageBox::Information;
        box.text = tr("已还原 %1 行数据。").arg(result.restored);
    } else if (cancelled) {
        box.icon = QMessageBox::Information;
        box.text = tr("数据还原已取消，原有数据未作改动。");
    } else {
        box.icon = QMessageBox::Warning;
        box.text = tr("数据还原失败，原有数据未作改动。\n原因：%1").arg(result.error);
    }
    if (result.skipped.Count() > 0 && !cancelled)
        box.text += tr("\n跳过 %1 行：\n%2").arg(result.skipped.Count()).arg(result.skipped.Text());
    if (result.ok && !result.complete)
        box.text += tr("\n文件没有完整性记录（较早的备份或其他安装的文件），无法检查它是否完整。");
    Prompt::Current().Ask(&window, box);
}
