#pragma once

#include <QSqlDatabase>
#include <QString>

// What the ODBC driver manager knows about a driver and an open QODBC connection.
namespace OdbcDriver
{

// The library file registered for the driver of that name (ODBC driver names compare without
// case); empty when no such driver is installed.
QString LibraryOf(const QString& driverName);

// Whether the named driver is FreeTDS, which takes a braced value up to the "}" before the next
// ";" and does not undo doubled "}".
bool IsFreeTds(const QString& driverName);

// The server product the connection reached, as its driver names it ("Microsoft SQL Server",
// "PostgreSQL" ...); empty when the connection is not an open QODBC one.
QString ServerName(const QSqlDatabase& db);

} // namespace OdbcDriver
