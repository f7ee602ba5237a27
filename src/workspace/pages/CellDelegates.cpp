#include "CellDelegates.h"

#include "LedgerModel.h"
#include "WheelFreeComboBox.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDateEdit>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>

namespace
{

const QString DateFormat = QStringLiteral("yyyy-MM-dd");
const char* const Filled = "ledgerCellFilled";

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

QStyle* StyleOf(const QWidget* widget)
{
    return widget ? widget->style() : QApplication::style();
}

// A list cell that is not being edited is painted as a flat combo box.
QStyleOptionComboBox ClosedBox(const QStyleOptionViewItem& cell, const QString& text)
{
    QStyleOptionComboBox box;
    box.rect = cell.rect.adjusted(1, 1, -1, -1);
    box.state = cell.state & ~QStyle::State_HasFocus;
    box.palette = cell.palette;
    box.currentText = text;
    box.editable = false;
    box.frame = false;
    box.subControls = QStyle::SC_ComboBoxArrow;
    return box;
}

} // namespace

// Opaque and framed like the selected cell, so the cell's own text does not show through, with a
// drawn arrow instead of the style's default mark on the drop-down button.
const QString ListCellDelegate::StyleSheet = QStringLiteral(
    "QComboBox{background:white; color:#2b3440; border:1px solid #2f8a5c; padding:0px 3px;}"
    "QComboBox::drop-down{subcontrol-origin:padding; subcontrol-position:top right; width:20px;"
    " border-left:1px solid #ddd6c4; background:#f5f2e9;}"
    "QComboBox::down-arrow{image:url(:/backg/backg/arrow_down.png);}"
    "QComboBox QAbstractItemView{background:white; color:#2b3440;"
    " selection-background-color:#bfe0cc; selection-color:#1d2a33;}");

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
    if (box->currentText() != text) {
        const QSignalBlocker quiet(box);
        const int at = box->findText(text);
        if (at >= 0)
            box->setCurrentIndex(at);
        box->setEditText(text);
    }
    // A freshly opened cell has its text selected, so the key that opened it replaces the text.
    if (!box->property(Filled).toBool()) {
        box->setProperty(Filled, true);
        box->lineEdit()->selectAll();
    }
}

void ListCellDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                    const QModelIndex& index) const
{
    model->setData(index, static_cast<QComboBox*>(editor)->currentText(), Qt::EditRole);
}

void ListCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const
{
    // A cell that does not open for editing shows its text only: no arrow that offers a list.
    if (!(index.flags() & Qt::ItemIsEditable)) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QWidget* widget = option.widget;
    QStyle* style = StyleOf(widget);
    // The selection background first, then a flat combo box frame and arrow over it.
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &item, painter, widget);
    const QStyleOptionComboBox box = ClosedBox(option, item.text);
    style->drawComplexControl(QStyle::CC_ComboBox, &box, painter, widget);
    style->drawControl(QStyle::CE_ComboBoxLabel, &box, painter, widget);
}

bool ListCellDelegate::editorEvent(QEvent* event, QAbstractItemModel* model,
                                   const QStyleOptionViewItem& option, const QModelIndex& index)
{
    // One click on the painted arrow opens the cell with its list dropped down, as on a real
    // combo box; elsewhere the cell is selected and opened as any other.
    auto* view = qobject_cast<QAbstractItemView*>(const_cast<QWidget*>(option.widget));
    if (view && event->type() == QEvent::MouseButtonRelease &&
        (index.flags() & Qt::ItemIsEditable) &&
        view->editTriggers() != QAbstractItemView::NoEditTriggers) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QStyleOptionComboBox box = ClosedBox(option, QString());
        const QRect arrow = StyleOf(view)->subControlRect(QStyle::CC_ComboBox, &box,
                                                          QStyle::SC_ComboBoxArrow, view);
        if (mouse->button() == Qt::LeftButton && arrow.contains(mouse->position().toPoint())) {
            view->setCurrentIndex(index);
            view->edit(index);
            if (auto* editor = qobject_cast<QComboBox*>(view->indexWidget(index)))
                editor->showPopup();
            return true;
        }
    }
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}

// Opaque like the list cells, with the calendar mark as the drop-down button.
const QString DateCellDelegate::StyleSheet = QStringLiteral(
    "QDateTimeEdit{background:white; color:#2b3440; border:1px solid #2f8a5c; padding:0px 1px;}"
    "QDateTimeEdit::drop-down{width:18px; border:0px; subcontrol-origin:padding;"
    " subcontrol-position:center right;}"
    "QDateTimeEdit::down-arrow{image:url(:/backg/backg/calendar.png); width:16px; height:16px;}");

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
