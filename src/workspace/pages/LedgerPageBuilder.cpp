#include "LedgerPageBuilder.h"

#include "LedgerModel.h"
#include "LedgerTableView.h"

#include <QAbstractItemDelegate>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

namespace LedgerPageBuilder
{

namespace
{

const QString ButtonStyle = QStringLiteral("background-image: url(:/backg/backg/offwhite.jpg);");
const int ColumnWidth = 105;
const int SerialWidth = 185; // "yyyy-MM-dd hh:mm:ss:zzz" on one line
const int RowHeight = 30;

QPushButton* Button(QWidget* page, const QString& name, const QString& text, const QIcon& icon)
{
    auto* button = new QPushButton(text, page);
    button->setObjectName(name);
    button->setStyleSheet(ButtonStyle);
    button->setIcon(icon);
    return button;
}

QHBoxLayout* ButtonRow(QWidget* page, const PageDefinition& d, const QIcon& titleIcon)
{
    auto* row = new QHBoxLayout;
    if (d.role == PageRole::Inventory) {
        auto* models = new QComboBox(page);
        models->setObjectName(QStringLiteral("comboModel"));
        models->setEditable(true);
        models->setStyleSheet(
            QStringLiteral("QComboBox{background:transparent;};QComboBox::drop-down{}"));
        row->addWidget(models);
    }
    for (const PageButton& b : d.buttons)
        row->addWidget(Button(page, b.name, b.text, QIcon(b.icon)));
    row->addStretch();
    if (!d.titleButton.isEmpty())
        row->addWidget(Button(page, d.titleButton, d.titleText, titleIcon));
    return row;
}

QHBoxLayout* TotalsRow(QWidget* page, const PageDefinition& d)
{
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (int i = 0; i < d.totalFields.size(); ++i) {
        row->addWidget(new QLabel(d.totalLabels.value(i), page));
        auto* field = new QLineEdit(page);
        field->setObjectName(d.totalFields.at(i));
        field->setReadOnly(true);
        row->addWidget(field);
    }
    row->addWidget(Button(page, d.totalButton, d.totalButtonText, QIcon()));
    return row;
}

} // namespace

QTableView* Build(QWidget* page, const PageDefinition& definition, LedgerModel* model,
                  const QIcon& titleIcon, const Delegates& delegates)
{
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(ButtonRow(page, definition, titleIcon));

    auto* table = new LedgerTableView(page);
    table->setObjectName(definition.table);
    table->setModel(model);
    table->horizontalHeader()->setDefaultSectionSize(ColumnWidth);
    table->verticalHeader()->setDefaultSectionSize(RowHeight);
    table->setColumnWidth(0, SerialWidth);
    table->setWordWrap(false);
    if (definition.role == PageRole::Inventory)
        table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int column = 0; column < definition.ColumnCount(); ++column) {
        switch (definition.EditorOf(column)) {
        case CellEditor::List:
            table->setItemDelegateForColumn(column, delegates.list);
            break;
        case CellEditor::Date:
            table->setItemDelegateForColumn(column, delegates.date);
            break;
        case CellEditor::Fixed:
        case CellEditor::Text:
            break;
        }
    }
    layout->addWidget(table);
    layout->addLayout(TotalsRow(page, definition));
    return table;
}

void SetTableStyle(QTableView* table)
{
    QHeaderView* header = table->horizontalHeader();
    header->setStretchLastSection(true);
    header->setVisible(true);
    header->setHighlightSections(false);
    header->setStyleSheet(QStringLiteral("QHeaderView::section {background:transparent;}"));
    table->verticalHeader()->setVisible(true);
    table->setFrameShape(QFrame::NoFrame);
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setFocusPolicy(Qt::NoFocus);
    table->horizontalScrollBar()->setStyleSheet(
        QStringLiteral("QScrollBar{background:transparent; height:10px;}"
                       "QScrollBar::handle{background:lightgray; border:2px solid transparent; "
                       "border-radius:5px;}QScrollBar::handle:hover{background:gray;}"
                       "QScrollBar::sub-line{background:transparent;}"
                       "QScrollBar::add-line{background:transparent;}"));
    table->verticalScrollBar()->setStyleSheet(
        QStringLiteral("QScrollBar{background:transparent; width: 10px;}"
                       "QScrollBar::handle{background:lightgray; border:2px solid transparent; "
                       "border-radius:5px;}QScrollBar::handle:hover{background:gray;}"
                       "QScrollBar::sub-line{background:transparent;}"
                       "QScrollBar::add-line{background:transparent;}"));
}

} // namespace LedgerPageBuilder
