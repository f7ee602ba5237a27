#include "LedgerTableView.h"

#include <QApplication>
#include <QKeyEvent>

LedgerTableView::LedgerTableView(QWidget* parent) : QTableView(parent)
{
    setEditTriggers(DoubleClicked | SelectedClicked | EditKeyPressed | AnyKeyPressed);
}

void LedgerTableView::EditFirstCellOf(int row)
{
    for (int column = 0; column < model()->columnCount(); ++column) {
        const QModelIndex cell = model()->index(row, column);
        if (!(cell.flags() & Qt::ItemIsEditable))
            continue;
        setCurrentIndex(cell);
        scrollTo(cell);
        setFocus(Qt::OtherFocusReason);
        edit(cell);
        return;
    }
}

bool LedgerTableView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    const bool wasOpen = indexWidget(index) != nullptr;
    // Taken before the editor opens: a typed key reaches the cell while it opens.
    const QVariant old = index.data(Qt::EditRole);
    if (!QTableView::edit(index, trigger, event))
        return false;
    if (!wasOpen && indexWidget(index)) {
        editing = index;
        before = old;
    }
    return true;
}

void LedgerTableView::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && state() != EditingState &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        MoveDown();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void LedgerTableView::mousePressEvent(QMouseEvent* event)
{
    setFocus(Qt::MouseFocusReason);
    QTableView::mousePressEvent(event);
}

void LedgerTableView::commitData(QWidget* editor)
{
    if (CellOf(editor).isValid())
        QTableView::commitData(editor);
}

void LedgerTableView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    const QPersistentModelIndex cell = CellOf(editor);
    if (!cell.isValid())
        return;
    const bool remembered = cell == editing;
    const QVariant old = before;
    // Enter submits the cell it was typed into; a click on another row submits too, but the
    // current cell has already moved there.
    const bool enter = hint == QAbstractItemDelegate::SubmitModelCache && cell == currentIndex();
    editing = QPersistentModelIndex();
    before.clear();
    QWidget* focus = QApplication::focusWidget();
    const bool typing = focus && (focus == editor || editor->isAncestorOf(focus));
    QTableView::closeEditor(editor, hint);
    // The keyboard stays with the table for the next cell, also when Tab lands on a cell that
    // opens no editor (the store cell after the date): the toolkit gives it back only to views
    // that take focus on their own, and the next Tab would leave the table for the buttons.
    QWidget* now = QApplication::focusWidget();
    if (typing && !(now && isAncestorOf(now)))
        setFocus(Qt::OtherFocusReason);
    // Enter goes down like in a spreadsheet, instead of staying on the row.
    if (enter)
        MoveDown();
    // List and date cells hand every change to the model at once: cancelling puts the old
    // text back, which stores the row again as it was.
    if (hint == QAbstractItemDelegate::RevertModelCache && remembered && cell.isValid() &&
        cell.data(Qt::EditRole) != old)
        model()->setData(cell, old, Qt::EditRole);
}

QModelIndex LedgerTableView::CellOf(QWidget* editor) const
{
    if (!editor)
        return {};
    const QModelIndex at = indexAt(editor->geometry().center());
    return at.isValid() && indexWidget(at) == editor ? at : QModelIndex();
}

void LedgerTableView::MoveDown()
{
    const QModelIndex current = currentIndex();
    if (!current.isValid() || current.row() + 1 >= model()->rowCount())
        return;
    const QModelIndex below = model()->index(current.row() + 1, current.column());
    setCurrentIndex(below);
    scrollTo(below);
}
