#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Where the splash and the sign-in box go on the screen. The sign-in box is wider and taller
// than the splash, so centred on each other it would hide the splash's sign-in hint, which is
// drawn along the splash's top edge: the box goes just below that strip instead, and the two
// together are centred in the free area of the screen.
struct SignInPlacement {
    QPoint splash;
    QPoint login;

    // `hintHeight`: the strip at the top of the splash that must stay visible; `login`: the
    // sign-in box with its window frame.
    static SignInPlacement Place(const QRect& available, const QSize& splash, int hintHeight,
                                 const QSize& login);
};
