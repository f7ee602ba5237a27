#pragma once

#include <QObject>

class QPushButton;

// Clicks a job's cancel button the moment it can be clicked: before the job it was enabled for
// has taken a step.
class CancelAtOnce : public QObject
{
public:
    explicit CancelAtOnce(QPushButton* button);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPushButton* button;
};
