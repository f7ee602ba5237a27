#include "SignInPlacement.h"

#include <QtGlobal>

SignInPlacement SignInPlacement::Place(const QRect& available, const QSize& splash, int hintHeight,
                                       const QSize& login)
{
    const int height = hintHeight + login.height();
    // On a screen too small for both, the hint and the top of the box win over the bottom.
    const int top = available.top() + qMax(0, (available.height() - height) / 2);
    const int centre = available.left() + available.width() / 2;
    SignInPlacement placement;
    placement.splash = QPoint(centre - splash.width() / 2, top);
    placement.login = QPoint(centre - login.width() / 2, top + hintHeight);
    return placement;
}
