#pragma once

#include <QList>
#include <QString>

class DbManager;

// The level at or below which the shop reorders an article: a model and colour in one store
// place, for one installation (store number).
struct ReorderLevel {
    QString model;
    QString colour;
    QString place;
    double level = 0;

    bool operator==(const ReorderLevel&) const = default;
};

// The reorder levels of one store number, kept in a table of their own (tb_sm_reorder_info) that
// is created the first time it is needed, so installations that do not know it never miss it. It
// is a setting of the installation: backups leave it out and restores leave it alone.
// Every value is bound; failures return false and leave the reason in LastError().
class ReorderLevels
{
public:
    static const QString Table;

    ReorderLevels(DbManager& manager, const QString& storeNo);

    // Creates the table and its unique key (store, model, colour, place) when missing.
    bool EnsureTable();
    // The store's levels, in model, colour and place order.
    bool Load(QList<ReorderLevel>& out);
    // Stores each level by its key in one transaction: a level above 0 is added or replaces the
    // stored one, 0 (or less) removes the key's row. All or nothing.
    bool Save(const QList<ReorderLevel>& levels);
    QString LastError() const { return error; }

private:
    bool SaveOnce(const QList<ReorderLevel>& levels);
    bool SaveOne(const ReorderLevel& level);
    bool Fail(const QString& why);

    DbManager& manager;
    QString storeNo;
    QString error;
};
