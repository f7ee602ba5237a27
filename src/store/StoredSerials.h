#pragma once

#include "Schema.h"

#include <QHash>
#include <QPair>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>

// Which of many serials a store holds already in a ledger table, a few hundred to one prepared
// select.
class StoredSerials
{
public:
    using Key = QPair<int, QString>; // kind, serial

    StoredSerials(QSqlDatabase db, const TableSchema& table);
    // Adds the (kind, serial) of every stored row among `serialsByKind` to `stored`.
    bool Find(const QString& storeNo, const QHash<int, QStringList>& serialsByKind,
              QSet<Key>& stored);
    QString Error() const;

private:
    QSqlQuery lookup;
    bool prepared = false;
};
