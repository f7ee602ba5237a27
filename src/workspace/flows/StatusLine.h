#pragma once

#include <QtGlobal>

class QProgressBar;
class QStatusBar;

// A progress bar at the right of the status bar, shown while a long job runs.
class StatusProgress
{
public:
    explicit StatusProgress(QStatusBar* bar);

    // Shows the bar at done of total (a busy bar while the total is unknown).
    void Show(qint64 done, qint64 total);
    void Hide();

private:
    QProgressBar* bar;
};
