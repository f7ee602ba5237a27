#include "StatusLine.h"

#include "Prompt.h"

#include <QApplication>
#include <QDateTime>
#include <QEventLoop>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QThread>

namespace
{

constexpr int BarWidth = 200;

// Holds back what the user does to the windows while it lives: clicks, keys, wheel turns,
// shortcuts and close requests go nowhere, except to the one widget that still takes them.
class InputHold : public QObject
{
public:
    explicit InputHold(QWidget* open) : open(open) { qApp->installEventFilter(this); }
    ~InputHold() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Shortcut)
            return true;
        // What reaches a window goes on to its widgets, and is judged there.
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || !event->spontaneous() || !IsInput(event->type()))
            return false;
        return widget != open && !open->isAncestorOf(widget);
    }

private:
    static bool IsInput(QEvent::Type type)
    {
        switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::Close:
            return true;
        default:
            return false;
        }
    }

    QWidget* open;
};

} // namespace

StatusLine::StatusLine(QStatusBar& statusBar, const QString& userName)
    : QObject(&statusBar), statusBar(statusBar), userName(userName),
      label(new QLabel(UserText(), &statusBar)), bar(new QProgressBar(&statusBar)),
      cancelButton(new QPushButton(tr("取消"), &statusBar))
{
    statusBar.setAutoFillBackground(true);
    statusBar.showMessage(UserText());
    statusBar.addPermanentWidget(label);
    bar->setObjectName(QStringLiteral("progress_job"));
    bar->setMaximumWidth(BarWidth);
    statusBar.addPermanentWidget(bar);
    cancelButton->setObjectName(QStringLiteral("btn_jobcancel"));
    cancelButton->setToolTip(tr("停止正在进行的工作"));
    statusBar.addPermanentWidget(cancelButton);
    connect(cancelButton, &QPushButton::clicked, this, &StatusLine::CancelShown);
    Refresh();
}

QString StatusLine::UserText() const
{
    return tr("用户：%1").arg(userName);
}

void StatusLine::ShowStatusInfo(const QString& text)
{
    const QDateTime now = QDateTime::currentDateTime();
    label->setText(QLocale::system().toString(now, QStringLiteral("yyyy-MM-dd hh:mm:ss ddd - ")) +
                   text);
    statusBar.showMessage(UserText());
}

StatusLine::Job StatusLine::Begin(const QString& text, Cancel cancel)
{
    if (!text.isEmpty())
        ShowStatusInfo(text);
    running.append({++lastJob, 0, 0, std::move(cancel), false});
    Refresh();
    return lastJob;
}

void StatusLine::Step(Job job, qint64 done, qint64 total)
{
    for (Running& r : running) {
        if (r.job == job) {
            r.done = done;
            r.total = total;
        }
    }
    Refresh();
}

void StatusLine::End(Job job, const QString& text)
{
    running.removeIf([job](const Running& r) { return r.job == job; });
    Refresh();
    if (!text.isEmpty())
        ShowStatusInfo(text);
}

void StatusLine::RunHeld(QThread& worker)
{
    const InputHold hold(cancelButton);
    QEventLoop loop;
    connect(&worker, &QThread::finished, &loop, &QEventLoop::quit);
    worker.start();
    loop.exec();
}

void StatusLine::CancelShown()
{
    if (running.isEmpty() || !running.last().cancel || running.last().stopping)
        return;
    running.last().stopping = true;
    // The job may end at once, and with it its entry here.
    const Cancel cancel = running.last().cancel;
    ShowStatusInfo(tr("正在取消..."));
    Refresh();
    cancel();
}

void StatusLine::Refresh()
{
    if (running.isEmpty()) {
        bar->hide();
        cancelButton->setEnabled(false);
        cancelButton->hide();
        return;
    }
    const Running& shown = running.last();
    if (shown.total > 0) {
        bar->setRange(0, 100);
        bar->setValue(int(qBound(qint64(0), shown.done * 100 / shown.total, qint64(100))));
    } else {
        bar->setRange(0, 0);
    }
    bar->show();
    cancelButton->setEnabled(shown.cancel && !shown.stopping);
    cancelButton->show();
}

void StatusLine::ReportFailure(QWidget* parent, const QString& title, const QString& reason)
{
    ShowStatusInfo(title + QStringLiteral(": ") + reason);
    PromptBox box;
    box.title = title;
    box.text = reason;
    box.icon = QMessageBox::Warning;
    Prompt::Current().Ask(parent, box);
}
