#pragma once

#include <QStyledItemDelegate>

// Editors of the ledger cells. Each editor is named after its table and row ("tab_saleout.3"),
// created only while a cell is edited, so a page costs no widgets per row. Every change the
// user makes in an editor is handed to the model at once; writing the model's value into an
// editor hands nothing back, so opening an editor changes nothing.

// A list cell: an editable ComboxBoxSpec over the entries the model offers for the column,
// painted like a combo box while not edited.
class ListCellDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    static const QString StyleSheet;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

signals:
    // The user typed into the list cell at `cell`; the text was handed to the model first.
    void TextTyped(const QModelIndex& cell);
    // An entry of the cell's own list was chosen.
    void EntryChosen(const QModelIndex& cell);
};

// A date cell: a QDateEdit with a calendar pop-up; the model holds "yyyy-MM-dd".
class DateCellDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    static const QString StyleSheet;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
};
