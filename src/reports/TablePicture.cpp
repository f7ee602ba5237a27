#include "TablePicture.h"

#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QWidget>

namespace TablePicture
{

QRect FitTopLeft(const QSize& picture, const QRect& area)
{
    return QRect(area.topLeft(), picture.scaled(area.size(), Qt::KeepAspectRatio));
}

bool Print(QWidget& widget, QPrinter& printer)
{
    const QPixmap picture = widget.grab();
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    painter.setViewport(FitTopLeft(picture.size(), painter.viewport()));
    painter.setWindow(picture.rect());
    painter.drawPixmap(0, 0, picture);
    return painter.end();
}

} // namespace TablePicture
