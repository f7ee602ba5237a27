#include "ListTable.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QTableWidget>

namespace ListTable
{

namespace
{

const QString ScrollBarStyle =
    QStringLiteral("QScrollBar{background:transparent; %1}QScrollBar::handle{background:lightgray;"
                   " border:2px solid transparent; border-radius:5px;}QScrollBar::handle:hover{"
                   "background:gray;}QScrollBar::sub-line{background:transparent;}"
                   "QScrollBar::add-line{background:transparent;}");

void SetText(QTableWidget* table, int row, int column, const QString& text)
{
    table->setItem(row, column, new QTableWidgetItem(text));
}

} // namespace

void Setup(QTableWidget* table, const QStringList& columns)
{
    const QStringList headers = QStringList{QStringLiteral("序号")} + columns;
    table->setColumnCount(int(headers.size()));
    table->setHorizontalHeaderLabels(headers);
    table->horizontalHeader()->setStretchLastSection(true);
    table->horizontalHeader()->setHighlightSections(false);
    table->verticalHeader()->setVisible(false);
    table->setFrameShape(QFrame::NoFrame);
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setFocusPolicy(Qt::NoFocus);
    table->horizontalScrollBar()->setStyleSheet(ScrollBarStyle.arg("height:10px;"));
    table->verticalScrollBar()->setStyleSheet(ScrollBarStyle.arg("width: 10px;"));
}

void Fill(QTableWidget* table, const QList<QStringList>& rows)
{
    table->setRowCount(0);
    table->setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        if (rows[r].isEmpty())
            continue;
        SetText(table, r, 0, QString::number(r + 1));
        for (int c = 0; c < rows[r].size(); ++c)
            SetText(table, r, c + 1, rows[r][c]);
    }
}

void AppendRow(QTableWidget* table)
{
    const int row = table->rowCount();
    table->insertRow(row);
    SetText(table, row, 0, QString::number(row + 1));
    for (int c = 1; c < table->columnCount(); ++c)
        SetText(table, row, c, QString());
}

QStringList RowCells(const QTableWidget* table, int row)
{
    QStringList cells;
    for (int c = 1; c < table->columnCount(); ++c) {
        const QTableWidgetItem* item = table->item(row, c);
        cells << (item ? item->text() : QString());
    }
    return cells;
}

QList<QStringList> Rows(const QTableWidget* table)
{
    QList<QStringList> rows;
    for (int r = 0; r < table->rowCount(); ++r)
        rows << RowCells(table, r);
    return rows;
}

} // namespace ListTable
