#pragma once

#include <QSqlDatabase>

struct sqlite3;

// The library handle of a SQLite connection, for reading many rows without the driver's copy of
// every value; nullptr for other drivers.
sqlite3* SqliteHandle(const QSqlDatabase& db);
