#pragma once

#include <QList>
#include <QStringList>

class QTableWidget;

// The list tables: a sequence column "序号" (never stored) followed by the list's columns.
namespace ListTable
{

// Headers, and the look every list table shares.
void Setup(QTableWidget* table, const QStringList& columns);
// Rows are shown in order and numbered from 1; an empty row keeps its place without cells.
void Fill(QTableWidget* table, const QList<QStringList>& rows);
void AppendRow(QTableWidget* table);
// The stored columns of a row; a cell without an item reads as empty.
QStringList RowCells(const QTableWidget* table, int row);
QList<QStringList> Rows(const QTableWidget* table);

} // namespace ListTable
