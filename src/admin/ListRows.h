#pragma once

#include "Records.h"

#include <QList>
#include <QString>
#include <QStringList>

// What the list tables show of a stored list, and the accounts the user list describes.
namespace ListRows
{

// The rows a table with `fields` stored columns shows of a packed list. Each row keeps its place;
// a row with another field count shows no cells (an empty list) and is dropped at the end.
QList<QStringList> Shown(const QString& packed, int fields);

// The account of one user-list row (name, phone, password, role text, remark); it may sign in
// at once and carries the address of the machine that wrote it.
UserRecord Account(const QStringList& cells, const QString& address);

} // namespace ListRows
