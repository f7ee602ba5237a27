#pragma once

#include "PageDefinitions.h"

#include <QHash>
#include <QString>
#include <QStringList>

class DatabaseEngine;

// The master-data and person lists of the current store as the ledger's list cells offer them.
class ListSources
{
public:
    // Master-data list kinds (tb_sm_prestore_info) and person list kinds (tb_sm_person_info).
    enum MasterKind { Categories = 1, GoodsNames = 2, Models = 3, Colours = 4, Sizes = 6 };
    enum PersonKind { Employees = 1, Clients = 2, Distributors = 3, Suppliers = 4 };

    // Reads every list the ledger cells use; a list that is not stored reads as empty.
    void Load(DatabaseEngine& engine);
    void SetMasterList(int kind, const QString& packed);
    void SetPersonList(int kind, const QString& packed);

    // Entries in list order: a master-data list's rows, a person list's first fields.
    QStringList Entries(ListSource source) const;
    QStringList MasterEntries(int kind) const;
    QStringList PersonEntries(int kind) const;

private:
    QHash<int, QString> master;
    QHash<int, QString> person;
};
