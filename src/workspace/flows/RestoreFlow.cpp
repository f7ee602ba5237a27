#include "RestoreFlow.h"

#include "DatabaseEngine.h"
#include "MainWindow.h"
#include "Prompt.h"
#include "StatusProgress.h"
#include "WorkingFolders.h"

#include <QDebug>
#include <QDir>
#include <QEventLoop>
#include <QThread>
#include <memory>

RestoreFlow::RestoreFlow(MainWindow& window, StatusProgress& progress)
    : QObject(&window), window(window), progress(progress)
{
}

void RestoreFlow::Run()
{
    if (!window.ConfirmDanger())
        return;
    FileQuestion question;
    question.caption = tr("标题");
    question.directory = QDir::currentPath() + WorkingFolders::Backups;
    question.filter = QStringLiteral("*.sql;;*.sql");
    const QString path = Prompt::Current().AskFile(nullptr, question);
    qDebug() << path;
    if (path.isEmpty())
        return;

    window.ShowStatusInfo(tr("数据库还原开始..."));
    progress.Show(0, 0);
    const RestoreResult result = RestoreInBackground(path);
    progress.Hide();
    if (result.ok) {
        window.ShowStatusInfo(tr("数据库还原完成..."));
        window.ReloadAllPages();
    } else {
        window.ShowStatusInfo(tr("数据库还原失败"));
    }
    Report(result);
}

RestoreResult RestoreFlow::RestoreInBackground(const QString& path)
{
    // The restore runs on its own connection; the window keeps painting, but takes no input
    // until the store's rows are replaced.
    RestoreResult result;
    std::unique_ptr<QThread> worker(QThread::create([this, &result, path] {
        result = DatabaseEngine::Instance()->RestoreFromScript(path, [this](qint64 done,
                                                                            qint64 total) {
            QMetaObject::invokeMethod(
                this, [this, done, total] { progress.Show(done, total); }, Qt::QueuedConnection);
        });
    }));
    QEventLoop loop;
    connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker->wait();
    return result;
}

void RestoreFlow::Report(const RestoreResult& result)
{
    PromptBox box;
    box.title = tr("数据还原");
    if (result.ok) {
        box.icon = QMessageBox::Information;
        box.text = tr("已还原 %1 行数据。").arg(result.restored);
    } else {
        box.icon = QMessageBox::Warning;
        box.text = tr("数据还原失败，原有数据未作改动。\n原因：%1").arg(result.error);
    }
    if (result.skipped.Count() > 0)
        box.text += tr("\n跳过 %1 行：\n%2").arg(result.skipped.Count()).arg(result.skipped.Text());
    Prompt::Current().Ask(&window, box);
}
