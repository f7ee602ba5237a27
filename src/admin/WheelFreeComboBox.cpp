#include "WheelFreeComboBox.h"

#include <QWheelEvent>

ComboxBoxSpec::ComboxBoxSpec(QWidget* parent) : QComboBox(parent) {}

void ComboxBoxSpec::wheelEvent(QWheelEvent* event)
{
    event->accept();
}
