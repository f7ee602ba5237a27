#include "SheetTable.h"

SheetTable::SheetTable(int columns) : columns(columns) {}

SheetTable* SheetTable::Copy(const QAbstractItemModel& model)
{
    const int columns = model.columnCount();
    auto* table = new SheetTable(columns);
    for (int c = 0; c < columns; ++c)
        table->headers << model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    table->rows.reserve(model.rowCount());
    for (int r = 0; r < model.rowCount(); ++r) {
        QStringList row;
        row.reserve(columns);
        for (int c = 0; c < columns; ++c)
            row << model.index(r, c).data(Qt::DisplayRole).toString();
        table->rows << std::move(row);
    }
    return table;
}

int SheetTable::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(rows.size());
}

int SheetTable::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : columns;
}

QVariant SheetTable::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return rows.at(index.row()).at(index.column());
}

bool SheetTable::insertRows(int row, int count, const QModelIndex& parent)
{
    if (parent.isValid() || row < 0 || row > rows.size() || count < 0)
        return false;
    beginInsertRows(parent, row, row + count - 1);
    rows.insert(row, count, QStringList(columns));
    endInsertRows();
    return true;
}

bool SheetTable::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    rows[index.row()][index.column()] = value.toString();
    return true;
}

QVariant SheetTable::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= headers.size())
        return {};
    return headers.at(section);
}
