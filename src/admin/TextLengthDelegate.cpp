#include "TextLengthDelegate.h"

#include <QLineEdit>

TextLengthDelegate::TextLengthDelegate(int maxLength, QObject* parent)
    : QStyledItemDelegate(parent), maxLength(maxLength)
{
}

QWidget* TextLengthDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                          const QModelIndex& index) const
{
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* line = qobject_cast<QLineEdit*>(editor))
        line->setMaxLength(maxLength);
    return editor;
}
