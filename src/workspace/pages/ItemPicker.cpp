#include "ItemPicker.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>

namespace
{

const QPoint Offset(20, 200);
// The list is as tall as its entries, up to this size; wider only for a long entry.
const QSize Largest(200, 500);

bool IsPickerKey(int key)
{
    return key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Return ||
           key == Qt::Key_Enter;
}

} // namespace

ItemPicker::ItemPicker(QWidget* host) : QObject(host), host(host), list(new QListWidget)
{
    list->setWindowTitle(tr("项目选择"));
    // Clicking the list must leave the cell being typed into open.
    list->setFocusPolicy(Qt::NoFocus);
    connect(list, &QListWidget::itemDoubleClicked, this, &ItemPicker::Choose);
}

ItemPicker::~ItemPicker()
{
    delete list;
}

void ItemPicker::Follow(QComboBox* cell)
{
    if (!cell) {
        Hide();
        return;
    }
    QStringList entries;
    for (int i = 0; i < cell->count(); ++i)
        entries << cell->itemText(i);
    if (target != cell) {
        Release();
        target = cell;
        if (QLineEdit* edit = cell->lineEdit())
            edit->installEventFilter(this);
        targetGone = connect(cell, &QObject::destroyed, this, &ItemPicker::Forget);
    }
    list->setParent(host);
    list->clear();
    const QString text = cell->currentText();
    for (const QString& entry : std::as_const(entries)) {
        if (entry.contains(text, Qt::CaseInsensitive))
            list->addItem(entry);
    }
    list->setGeometry(QRect(cell->pos() + Offset, FittingSize()));
    list->setVisible(list->count() > 0);
}

QSize ItemPicker::FittingSize() const
{
    if (list->count() == 0)
        return Largest;
    const int frame = 2 * list->frameWidth();
    const int height = qMin(Largest.height(), list->count() * list->sizeHintForRow(0) + frame);
    const int scrollBar =
        height < Largest.height() ? 0 : list->verticalScrollBar()->sizeHint().width();
    const int width = qMax(Largest.width(), list->sizeHintForColumn(0) + frame + scrollBar);
    return {width, height};
}

void ItemPicker::Hide()
{
    list->hide();
    list->clear();
    Release();
}

bool ItemPicker::HandleKey(QKeyEvent* event)
{
    if (list->count() == 0 || !IsPickerKey(event->key()))
        return false;
    if (event->key() == Qt::Key_Up) {
        Move(-1);
        list->currentItem()->setForeground(QBrush(Qt::red));
    } else if (event->key() == Qt::Key_Down)
        Move(1);
    else if (list->currentItem() && target)
        Choose(list->currentItem());
    event->ignore();
    return true;
}

bool ItemPicker::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && HandleKey(static_cast<QKeyEvent*>(event))) {
        // Taken here: an ignored key would travel on to the cell, which moves its own entry.
        event->accept();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void ItemPicker::Choose(QListWidgetItem* item)
{
    QListWidgetItem* chosen = list->currentItem() ? list->currentItem() : item;
    if (!target || !chosen)
        return;
    const QString text = chosen->text();
    const QPointer<QComboBox> cell = target;
    Hide();
    // Setting the text is an edit of the cell: the row is stored like any other change.
    cell->setCurrentText(text);
}

void ItemPicker::Move(int step)
{
    const int at = qBound(0, list->currentRow() + step, list->count() - 1);
    list->setCurrentRow(at);
}

void ItemPicker::Release()
{
    disconnect(targetGone);
    if (target && target->lineEdit())
        target->lineEdit()->removeEventFilter(this);
    target = nullptr;
}

void ItemPicker::Forget()
{
    target = nullptr;
    Hide();
}
