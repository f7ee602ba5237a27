#include "CancelAtOnce.h"

#include <QEvent>
#include <QPushButton>

CancelAtOnce::CancelAtOnce(QPushButton* button) : button(button)
{
    button->installEventFilter(this);
}

bool CancelAtOnce::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == button && event->type() == QEvent::EnabledChange && button->isEnabled())
        button->click();
    return false;
}
