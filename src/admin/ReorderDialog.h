#pragma once

#include "Records.h"
#include "ReorderLevels.h"

#include <QDialog>
#include <functional>
#include <optional>

class QLabel;
class QLineEdit;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTableView;

// "设置库存预警": the stock rows with an editable column of reorder levels. A level typed blank or
// 0 removes it. "保存" checks every typed level first and stores the changed ones through the
// saver; what was typed stays in the table until it is stored, also when the save fails, and
// closing with levels not stored asks first.
class ReorderDialog : public QDialog
{
    Q_OBJECT
public:
    // Stores the changed levels; false with the reason in `why` when it could not.
    using Saver = std::function<bool(const QList<ReorderLevel>& changed, QString& why)>;

    enum Column {
        ModelColumn,
        ColourColumn,
        PlaceColumn,
        NameColumn,
        OnHandColumn,
        LevelColumn,
        ColumnCount
    };

    ReorderDialog(Saver saver, QWidget* parent);

    // One row per stock entry with its level, then the levels of articles without stock.
    void SetRows(const QList<ProductRecord>& stock, const QList<ReorderLevel>& levels);
    // Whether some typed level differs from the stored one.
    bool HasChanges() const;
    // Checks and stores the typed levels; true when nothing is left unsaved.
    bool Save();

    QTableView* Table() const { return table; }
    QStandardItemModel* Model() const { return model; }

public slots:
    void reject() override;

private:
    // The typed levels that differ from the stored ones; none when a typed text is no level
    // (told in a box, the cell selected).
    std::optional<QList<ReorderLevel>> Changed();
    void AddRow(const QString& model, const QString& colour, const QString& place,
                const QString& name, const QString& onHand, double level);
    void Tell(const QString& title, const QString& text);

    Saver saver;
    QStandardItemModel* model;
    QSortFilterProxyModel* shown;
    QTableView* table;
    QLineEdit* search;
    QLabel* saved; // what the last save stored
};
