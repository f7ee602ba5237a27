#pragma once

#include <QStyledItemDelegate>

// Cells whose text is stored in a column of limited width: the editor takes no more characters.
class TextLengthDelegate : public QStyledItemDelegate
{
public:
    TextLengthDelegate(int maxLength, QObject* parent);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;

private:
    int maxLength;
};
