#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The program's five tables: columns (without the leading id) and their type texts, in creation
// order. Every table ends with store_no, the number of the installation that wrote the row.
struct TableSchema {
    QString name;
    QStringList columns;
    QStringList types;
    // The columns that tell one row of a store from another, as the saves find a row: kind and
    // entry time, list kind, phone number and name. Positions in `columns`.
    QList<int> key;
};

namespace Schema
{
const QList<TableSchema>& Tables();
// One of the program's tables, by its name.
const TableSchema& Table(const QString& name);
} // namespace Schema
