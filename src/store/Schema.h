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
};

namespace Schema
{
const QList<TableSchema>& Tables();
}
