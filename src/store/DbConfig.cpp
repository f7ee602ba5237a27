#include "DbConfig.h"

#include <QRegularExpression>
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

// Plain values stay bare (not every driver unwraps braces in every keyword); a value that could
// end the attribute or start another is brace-quoted.
static QString Quoted(const QString& value)
{
    static const QRegularExpression special(QStringLiteral("[;{}=]|^\\s|\\s$"));
    return value.contains(special) ? Braced(value) : value;
}

QString DbConfig::OdbcConnectionString() const
{
    return QStringLiteral("DRIVER=%1;SERVER=%2;PORT=%3;DATABASE=%4;UID=%5;PWD=%6;")
        .arg(Braced(odbcDriver), Quoted(host), QString::number(port), Quoted(database),
             Quoted(user), Quoted(password));
}

namespace StoreNumber
{

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
