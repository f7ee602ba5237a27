#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

// The texts of a table as it was shown when copied: a page can be written out from another
// thread while the page itself goes on changing.
class SheetTable : public QAbstractTableModel
{
public:
    // Every header and cell text (display role) of `model`.
    static SheetTable* Copy(const QAbstractItemModel& model);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    QStringList headers;
    QList<QStringList> rows;
};
