#include "ToolBarFit.h"

#include <QEvent>
#include <QToolBar>
#include <QToolButton>

ToolBarFit::ToolBarFit(QToolBar* bar) : QObject(bar), bar(bar)
{
    bar->installEventFilter(this);
}

bool ToolBarFit::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != bar)
        return false;
    switch (event->type()) {
    case QEvent::ActionAdded:
    case QEvent::ActionChanged:
    case QEvent::ActionRemoved:
        // The bar takes the change in after this filter: fit once it has.
        QMetaObject::invokeMethod(
            this, [this] { Fit(); }, Qt::QueuedConnection);
        break;
    case QEvent::Resize:
        // Switching the style changes only the bar's height: the same width needs no new fit.
        if (bar->width() != fittedWidth)
            Fit();
        break;
    default:
        break;
    }
    return false;
}

void ToolBarFit::Fit()
{
    fittedWidth = bar->width();
    bar->setToolButtonStyle(LabelledWidth() <= bar->width() ? Qt::ToolButtonTextUnderIcon
                                                            : Qt::ToolButtonIconOnly);
}

int ToolBarFit::LabelledWidth() const
{
    // The bar's own size hint holds every visible button in the current style; each button is
    // measured once more with its text to find what labels would add.
    int width = bar->sizeHint().width();
    for (QAction* action : bar->actions()) {
        auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action));
        if (!button || !action->isVisible())
            continue;
        const Qt::ToolButtonStyle current = button->toolButtonStyle();
        const int shown = button->sizeHint().width();
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        width += button->sizeHint().width() - shown;
        button->setToolButtonStyle(current);
    }
    return width;
}
