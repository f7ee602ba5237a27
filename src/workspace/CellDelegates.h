#pragma once

#include <QStyledItemDelegate>

class QComboBox;

// Editors of the ledger cells. Each editor is named after its table and row ("tab_saleout.3"),
// created only while a cell is edited, so a page costs no widgets per row.

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

signals:
    // After the cell's text changed and was handed to the model (every keystroke).
    void TextEdited(QComboBox* cell);
    // After an entry of the cell's list was chosen and handed to the model.
    void EntryChosen(QComboBox* cell);
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
