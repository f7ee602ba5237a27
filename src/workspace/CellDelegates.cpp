#include "CellDelegates.h"

#include "ComboxBoxSpec.h"
#include "LedgerModel.h"

#include <QApplication>
#include <QDateEdit>
#include <QLineEdit>
#include <QPainter>

namespace
{

const QString DateFormat = QStringLiteral("yyyy-MM-dd");

QString EditorName(const QModelIndex& index)
{
    const auto* model = qobject_cast<const LedgerModel*>(index.model());
    const QString table = model ? model->Definition().table : QString();
    return QStringLiteral("%1.%2").arg(table).arg(index.row());
}

// Hands the editor's value to the model of the cell it edits.
void Commit(const QAbstractItemDelegate* delegate, QWidget* editor,
            const QPersistentModelIndex& cell)
{
    if (cell.isValid())
        delegate->setModelData(editor, const_cast<QAbstractItemModel*>(cell.model()), cell);
}

} // namespace

const QString ListCellDelegate::StyleSheet =
    QStringLiteral("QComboBox {background:transparent;};QComboBox::drop-down{}");

QWidget* ListCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                        const QModelIndex& index) const
{
    auto* box = new ComboxBoxSpec(parent);
    box->setObjectName(EditorName(index));
    box->setEditable(true);
    box->setStyleSheet(StyleSheet);
    if (const auto* model = qobject_cast<const LedgerModel*>(index.model()))
        box->addItems(model->Entries(index.column()));
    // Every change is an edit of its own, stored at once, not only when the cell loses focus. The
    // persistent index follows the row when rows above it are removed; the signals carry it
    // rather than the editor, which may be gone by the time a receiver looks.
    auto* self = const_cast<ListCellDelegate*>(this);
    const QPersistentModelIndex cell(index);
    connect(box, &QComboBox::currentTextChanged, self,
            [self, box, cell] { Commit(self, box, cell); });
    connect(box, &QComboBox::currentIndexChanged, self,
            [self, cell] { emit self->EntryChosen(cell); });
    // Only keystrokes: texts set by the program (the model's, a chosen entry) are no typing.
    connect(box->lineEdit(), &QLineEdit::textEdited, self,
            [self, cell] { emit self->TextTyped(cell); });
    return box;
}

void ListCellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    auto* box = static_cast<QComboBox*>(editor);
    const QString text = index.data(Qt::EditRole).toString();
    // The model echoes each keystroke back; rewriting the same text would move the cursor.
    if (box->currentText() == text)
        return;
    const QSignalBlocker quiet(box);
    const int at = box->findText(text);
    if (at >= 0)
        box->setCurrentIndex(at);
    box->setEditText(text);
}

void ListCellDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                    const QModelIndex& index) const
{
    model->setData(index, static_cast<QComboBox*>(editor)->currentText(), Qt::EditRole);
}

void ListCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const
{
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    // The selection background first, then a flat combo box frame and arrow over it.
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &item, painter, widget);
    QStyleOptionComboBox box;
    box.rect = option.rect.adjusted(1, 1, -1, -1);
    box.state = option.state & ~QStyle::State_HasFocus;
    box.palette = option.palette;
    box.currentText = item.text;
    box.editable = false;
    box.frame = false;
    box.subControls = QStyle::SC_ComboBoxArrow;
    style->drawComplexControl(QStyle::CC_ComboBox, &box, painter, widget);
    style->drawControl(QStyle::CE_ComboBoxLabel, &box, painter, widget);
}

const QString DateCellDelegate::StyleSheet =
    QStringLiteral("QDateTimeEdit{border:1px solid gray; height:24px; }"
                   "QDateTimeEdit::down-arrow{image:url(:/backg/backg/calendar.png);}"
                   "QDateTimeEdit::drop-down{width:30px; border:0px solid red;                   "
                   "subcontrol-origin: padding;subcontrol-position: top right;}"
                   "QDateTimeEdit{background:transparent;}");

QWidget* DateCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                        const QModelIndex& index) const
{
    auto* edit = new QDateEdit(parent);
    edit->setObjectName(EditorName(index));
    edit->setCalendarPopup(true);
    edit->setDisplayFormat(DateFormat);
    edit->setStyleSheet(StyleSheet);
    auto* self = const_cast<DateCellDelegate*>(this);
    const QPersistentModelIndex cell(index);
    connect(edit, &QDateEdit::dateChanged, self, [self, edit, cell] { Commit(self, edit, cell); });
    return edit;
}

void DateCellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    const QSignalBlocker quiet(editor);
    static_cast<QDateEdit*>(editor)->setDate(
        QDate::fromString(LedgerModel::DateText(index.data(Qt::EditRole).toString()), DateFormat));
}

void DateCellDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                    const QModelIndex& index) const
{
    model->setData(index, static_cast<QDateEdit*>(editor)->date().toString(DateFormat),
                   Qt::EditRole);
}
