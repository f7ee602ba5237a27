#include "BoxTitleFit.h"

#include <QDialog>
#include <QEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

namespace
{

const char* const Widened = "ledgerTitleFitted";

} // namespace

int BoxTitleFit::NeededWidth(const QWidget& window)
{
    // Title bars draw in a font at least as large as the window's own, often bold.
    QFont font = window.font();
    font.setBold(true);
    return QFontMetrics(font).horizontalAdvance(window.windowTitle()) + TitleBarRoom;
}

bool BoxTitleFit::eventFilter(QObject* watched, QEvent* event)
{
    // Seen before the box's own show handling, which fixes a message box's size.
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto* window = static_cast<QWidget*>(watched);
        if (window->isWindow() && qobject_cast<QDialog*>(window) &&
            !window->windowTitle().isEmpty())
            Widen(*window, NeededWidth(*window));
    }
    return QObject::eventFilter(watched, event);
}

void BoxTitleFit::Widen(QWidget& window, int width)
{
    if (auto* box = qobject_cast<QMessageBox*>(&window)) {
        // A message box takes its width from its layout each time it is shown: a spacer as wide
        // as the title keeps it from being narrower.
        auto* grid = qobject_cast<QGridLayout*>(box->layout());
        if (!grid || box->property(Widened).toBool())
            return;
        box->setProperty(Widened, true);
        const int inner = width - grid->contentsMargins().left() - grid->contentsMargins().right();
        grid->addItem(new QSpacerItem(inner, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
        return;
    }
    if (window.width() < width) {
        window.setMinimumWidth(qMin(width, window.maximumWidth()));
        window.resize(width, window.height());
    }
}
