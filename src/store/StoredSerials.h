#pragma once

#include "Schema.h"

#include <QHash>
#include <QPair>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariantList>

// Which of many serials a store holds already in a ledger table, a few hundred to one prepared
// select.
class StoredSerials
{
public:
    using Key = QPair<int, QString>; // kind, serial

    // `wholeRows`: the lookup reads every column of the rows found, not only their keys.
    StoredSerials(QSqlDatabase db, const TableSchema& table, bool wholeRows = false);
    // Adds the (kind, serial) of every stored row among `serialsByKind` to `stored`, and with
    // whole rows each row's values (every column of the table, in order) to `rows`.
    bool Find(const QString& storeNo, const QHash<int, QStringList>& serialsByKind,
              QSet<Key>& stored, QList<QVariantList>* rows = nullptr);
    QString Error() const;

private:
    QSqlQuery lookup;
    int columns = 0;
    bool prepared = false;
};
