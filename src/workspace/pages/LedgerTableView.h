#pragma once

#include <QPersistentModelIndex>
#include <QTableView>
#include <QVariant>

// A ledger table typed into like a spreadsheet: a key typed on a selected cell starts editing the
// cell with that key, Enter finishes the cell and goes one row down, Tab goes to the next cell,
// and Escape puts back what the cell held when its editing began. The table is not reached by
// Tab from the buttons around it; a click on one of its cells gives it the keyboard.
class LedgerTableView : public QTableView
{
    Q_OBJECT
public:
    explicit LedgerTableView(QWidget* parent = nullptr);
    using QTableView::edit;

    // Selects `row`, scrolls to it and opens its first cell that can be edited.
    void EditFirstCellOf(int row);

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

protected slots:
    void commitData(QWidget* editor) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    // The cell `editor` is open on; invalid when the editor is already gone from the view: an
    // edit the program finished (a choice from the item picker) and the key that finished it
    // both close the same cell.
    QModelIndex CellOf(QWidget* editor) const;
    void MoveDown();

    QPersistentModelIndex editing;
    QVariant before;
};
