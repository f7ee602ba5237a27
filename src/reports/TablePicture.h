#pragma once

#include <QRect>
#include <QSize>

class QPrinter;
class QWidget;

// A picture of a widget as it is shown, printed on one page.
namespace TablePicture
{

// The largest rectangle of the picture's proportions inside `area`, at its top-left corner.
QRect FitTopLeft(const QSize& picture, const QRect& area);

// Paints `widget` (its visible area, at its current size) onto one page of `printer`, scaled to
// the page with its proportions kept. False when the printer cannot be painted on, such as a
// PDF file that cannot be written.
bool Print(QWidget& widget, QPrinter& printer);

} // namespace TablePicture
