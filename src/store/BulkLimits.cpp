#include "BulkLimits.h"

BulkLimits BulkLimits::For(const QSqlDatabase& db)
{
    const QString driver = db.driverName();
    if (driver == QLatin1String("QPSQL"))
        return {8000, 400};
    if (driver == QLatin1String("QSQLITE"))
        return {999, 100};
    // ODBC: the server may be SQL Server, whose limits hold for the others too.
    return {2000, 1000};
}
