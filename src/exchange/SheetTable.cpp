#include "SheetTable.h"

SheetTable* SheetTable::Copy(const QAbstractItemModel& model)
{
    auto* table = new SheetTable;
    const int columns = model.columnCount();
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
    return parent.isValid() ? 0 : int(headers.size());
}

QVariant SheetTable::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return rows.at(index.row()).at(index.column());
}

QVariant SheetTable::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= headers.size())
        return {};
    return headers.at(section);
}
