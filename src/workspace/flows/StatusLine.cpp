#include "StatusProgress.h"

#include <QProgressBar>
#include <QStatusBar>

StatusProgress::StatusProgress(QStatusBar* statusBar) : bar(new QProgressBar(statusBar))
{
    bar->setObjectName(QStringLiteral("progress_job"));
    bar->setRange(0, 100);
    bar->setMaximumWidth(200);
    statusBar->addPermanentWidget(bar);
    bar->hide();
}

void StatusProgress::Show(qint64 done, qint64 total)
{
    if (total > 0) {
        bar->setRange(0, 100);
        bar->setValue(int(qBound(qint64(0), done * 100 / total, qint64(100))));
    } else {
        bar->setRange(0, 0);
    }
    bar->show();
}

void StatusProgress::Hide()
{
    bar->hide();
}
