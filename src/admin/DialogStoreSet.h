#pragma once

#include <QAbstractItemModel>
#include <QDialog>
#include <QPersistentModelIndex>
#include <QPointer>
#include <memory>

class QComboBox;

namespace Ui
{
class DialogStoreSet;
}

// Composes a storage place from the current store's warehouse list (number, partition, slot) or
// takes one typed by hand, and writes it into one cell of a ledger model.
class DialogStoreSet : public QDialog
{
    Q_OBJECT
public:
    // Kind of the warehouse list among the master-data lists.
    static constexpr int WarehouseListKind = 8;

    explicit DialogStoreSet(QWidget* parent = nullptr);
    ~DialogStoreSet() override;

    // Reads the warehouse list again, so edits of the list reach the boxes.
    void Reload();
    // The cell the next confirmation writes into.
    void SetTarget(QAbstractItemModel* model, int row, int column);

private slots:
    void on_pushButton_clicked();
    void SetComboxIndex(int index);
    void SetCombText(const QString& text);

private:
    // Replaces the items; the first new item becomes current and is reported as a change.
    static void Refill(QComboBox* box, const QStringList& items);

    std::unique_ptr<Ui::DialogStoreSet> ui;
    QString warehouseList;
    QPointer<QAbstractItemModel> targetModel;
    // Persistent, so rows inserted or removed above the cell meanwhile do not move the target.
    QPersistentModelIndex target;
};
