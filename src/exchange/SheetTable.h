#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

// A plain table of texts, usable from any one thread: a copy of a page as shown, so the page can
// be written out from another thread while it goes on changing, or the cells a sheet is read
// into.
class SheetTable : public QAbstractTableModel
{
public:
    explicit SheetTable(int columns = 0);
    // Every header and cell text (display role) of `model`.
    static SheetTable* Copy(const QAbstractItemModel& model);

    const QStringList& Row(int row) const { return rows.at(row); }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    // New rows have an empty text in every column.
    bool insertRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

private:
    int columns = 0;
    QStringList headers;
    QList<QStringList> rows;
};
