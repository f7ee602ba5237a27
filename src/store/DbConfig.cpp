#include "DbConfig.h"

#include <QSettings>

const QString DbConfig::DefaultPath = QStringLiteral("InitParam/dBConfig.ini");

DbConfig DbConfig::Read(const QString& iniPath)
{
    QSettings ini(iniPath, QSettings::IniFormat);
    DbConfig c;
    c.host = ini.value(QStringLiteral("HostName/IP")).toString();
    c.port = ini.value(QStringLiteral("Port/PORT")).toInt();
    c.database = ini.value(QStringLiteral("DatabaseName/DATABASE")).toString();
    c.user = ini.value(QStringLiteral("UserName/UID")).toString();
    c.password = ini.value(QStringLiteral("Password/PWD")).toString();
    const QString type = ini.value(QStringLiteral("Driver/TYPE")).toString().trimmed();
    if (!type.isEmpty())
        c.driverType = type.toUpper();
    const QString odbc = ini.value(QStringLiteral("Driver/ODBC")).toString().trimmed();
    if (!odbc.isEmpty())
        c.odbcDriver = odbc;
    return c;
}

static QString Braced(QString value)
{
    value.replace(QLatin1Char('}'), QLatin1String("}}"));
    return QLatin1Char('{') + value + QLatin1Char('}');
}

QString DbConfig::OdbcConnectionString() const
{
    return QStringLiteral("DRIVER=%1;SERVER=%2;PORT=%3;DATABASE=%4;UID=%5;PWD=%6;")
        .arg(Braced(odbcDriver), Braced(host), QString::number(port), Braced(database),
             Braced(user), Braced(password));
}

namespace StoreNumber {

QString Make(const QDateTime& moment)
{
    return moment.toString(QStringLiteral("yyyyMMddhhmmsszzz")) + QStringLiteral("LINK");
}

QString LoadOrCreate(const QString& iniPath)
{
    QSettings ini(iniPath, QSettings::IniFormat);
    QString storeNo = ini.value(QStringLiteral("StoreNo/No")).toString();
    if (storeNo.isEmpty()) {
        storeNo = Make();
        ini.setValue(QStringLiteral("StoreNo/No"), storeNo);
        ini.sync();
    }
    return storeNo;
}

} // namespace StoreNumber
