#include "FigureTableModel.h"

#include <QFont>

void FigureTableModel::SetTable(const FigureTable& figures)
{
    beginResetModel();
    table = figures;
    order = FigureTables::SortedOrder(table, sortColumn, sortOrder == Qt::DescendingOrder);
    endResetModel();
}

int FigureTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(order.size()) + (table.totals ? 1 : 0);
}

int FigureTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(table.columns.size());
}

const FigureRow& FigureTableModel::RowAt(int row) const
{
    return row < order.size() ? table.rows.at(order.at(row)) : *table.totals;
}

QVariant FigureTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return QVariant();
    const bool number = table.columns.at(index.column()).kind != FigureColumn::Text;
    switch (role) {
    case Qt::DisplayRole:
        return FigureTables::CellText(table, RowAt(index.row()), index.column());
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft));
    case Qt::FontRole:
        if (index.row() >= order.size()) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return QVariant();
    default:
        return QVariant();
    }
}

QVariant FigureTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return table.columns.at(section).header;
    return QVariant();
}

void FigureTableModel::sort(int column, Qt::SortOrder newOrder)
{
    sortColumn = column;
    sortOrder = newOrder;
    beginResetModel();
    order = FigureTables::SortedOrder(table, sortColumn, sortOrder == Qt::DescendingOrder);
    endResetModel();
}
