#include "OdbcDriver.h"

#include <QByteArrayList>
#include <QFileInfo>
#include <QSqlDriver>
#include <QVariant>

#include <sql.h>
#include <sqlext.h>

namespace OdbcDriver
{

QString LibraryOf(const QString& driverName)
{
    SQLHENV env = SQL_NULL_HENV;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env)))
        return QString();
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    QString library;
    SQLCHAR name[256];
    SQLCHAR attributes[4096];
    SQLSMALLINT nameLength = 0;
    SQLSMALLINT attributesLength = 0;
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    while (library.isEmpty() &&
           SQL_SUCCEEDED(SQLDrivers(env, direction, name, sizeof name, &nameLength, attributes,
                                    sizeof attributes, &attributesLength))) {
        direction = SQL_FETCH_NEXT;
        if (QString::fromUtf8(reinterpret_cast<const char*>(name))
                .compare(driverName, Qt::CaseInsensitive) != 0)
            continue;
        // "key=value" pairs, each ended by a NUL.
        const QByteArray all(reinterpret_cast<const char*>(attributes), attributesLength);
        for (const QByteArray& pair : all.split('\0')) {
            if (pair.toLower().startsWith("driver="))
                library = QString::fromUtf8(pair.mid(7));
        }
    }
    SQLFreeHandle(SQL_HANDLE_ENV, env);
    return library;
}

bool IsFreeTds(const QString& driverName)
{
    const QString library = QFileInfo(LibraryOf(driverName)).fileName();
    return library.contains(QLatin1String("tdsodbc"), Qt::CaseInsensitive) ||
           driverName.contains(QLatin1String("FreeTDS"), Qt::CaseInsensitive);
}

QString ServerName(const QSqlDatabase& db)
{
    if (!db.isOpen() || !db.driver())
        return QString();
    const QVariant handle = db.driver()->handle();
    if (handle.metaType() != QMetaType::fromType<SQLHANDLE>())
        return QString();
    const SQLHANDLE connection = *static_cast<const SQLHANDLE*>(handle.data());
    SQLCHAR text[256] = {};
    SQLSMALLINT length = 0;
    if (!SQL_SUCCEEDED(SQLGetInfo(connection, SQL_DBMS_NAME, text, sizeof text, &length)))
        return QString();
    return QString::fromUtf8(reinterpret_cast<const char*>(text)).trimmed();
}

} // namespace OdbcDriver
