#pragma once

#include <QObject>

class QWidget;

// Widens message boxes and small dialogs as they are shown so that the window's title is not
// cut by the title bar ("输…误"): a box is sized by its text and buttons, not by its title.
class BoxTitleFit : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Room the title bar takes besides the title: icon and the window buttons.
    static constexpr int TitleBarRoom = 150;

    // The width `window` needs to show its whole title.
    static int NeededWidth(const QWidget& window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static void Widen(QWidget& window, int width);
};
