#pragma once

#include <QSqlDatabase>
#include <QtGlobal>

// How much one multi-row statement may carry on a connection's server: bound values per
// statement (SQL Server takes at most 2100, PostgreSQL 65535, SQLite builds before 3.32 at most
// 999) and rows per VALUES list (SQL Server takes at most 1000).
struct BulkLimits {
    int maxParameters = 2000;
    int maxRows = 1000;

    static BulkLimits For(const QSqlDatabase& db);
    // Rows of `columnCount` values each that one statement takes, at least one.
    int RowsFor(int columnCount) const
    {
        return qBound(1, maxParameters / qMax(1, columnCount), maxRows);
    }
};
