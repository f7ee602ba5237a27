#pragma once

#include "FigureTable.h"

#include <QAbstractTableModel>
#include <QList>

// A FigureTable as rows of a view: numbers right-aligned and grouped, the total row in bold and
// always last. Sorting reorders the other rows only.
class FigureTableModel : public QAbstractTableModel
{
public:
    using QAbstractTableModel::QAbstractTableModel;

    // Takes the figures and sorts them as the last sort asked.
    void SetTable(const FigureTable& table);
    const FigureTable& Table() const { return table; }
    // The table's rows (indexes into Table().rows) in the order shown, the total row left out.
    const QList<int>& Order() const { return order; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder sortOrder = Qt::AscendingOrder) override;

private:
    const FigureRow& RowAt(int row) const;

    FigureTable table;
    QList<int> order;
    int sortColumn = -1;
    Qt::SortOrder sortOrder = Qt::AscendingOrder;
};
