#include "DbConfig.h"

#include "IniFile.h"

#include <QDir>
#include <QRegularExpression>

const QString DbConfig::DefaultPath = QStringLiteral("InitParam/dBConfig.ini");

DbConfig DbConfig::Read(const QString& iniPath)
{
    IniFile ini;
    ini.Load(iniPath);
    DbConfig c;
    // A relative path is looked for below the folder the program was started in: name both, so
    // that a start from the wrong folder is seen at once.
    c.error = ini.Exists() || !ini.Error().isEmpty()
                  ? ini.Error()
                  : QStringLiteral("找不到配置文件 %1\n程序启动的文件夹：%2")
                        .arg(QDir::toNativeSeparators(iniPath),
                             QDir::toNativeSeparators(QDir::currentPath()));
    c.host = ini.Value(QStringLiteral("HostName/IP"));
    c.port = ini.Value(QStringLiteral("Port/PORT")).toInt();
    c.database = ini.Value(QStringLiteral("DatabaseName/DATABASE"));
    c.user = ini.Value(QStringLiteral("UserName/UID"));
    c.password = ini.Value(QStringLiteral("Password/PWD"));
    const QString type = ini.Value(QStringLiteral("Driver/TYPE")).trimmed();
    if (!type.isEmpty())
        c.driverType = type.toUpper();
    const QString odbc = ini.Value(QStringLiteral("Driver/ODBC")).trimmed();
    if (!odbc.isEmpty())
        c.odbcDriver = odbc;
    return c;
}

QString DbConfig::OdbcConnectionString(bool freeTds, QString* why) const
{
    static const QRegularExpression needsBraces(QStringLiteral(";|^\\{|^\\s|\\s$"));
    const QList<std::pair<QString, QString>> settings = {{QStringLiteral("SERVER"), host},
                                                         {QStringLiteral("DATABASE"), database},
                                                         {QStringLiteral("UID"), user},
                                                         {QStringLiteral("PWD"), password}};
    QString text = QStringLiteral("DRIVER={%1};").arg(odbcDriver);
    for (const auto& [keyword, value] : settings) {
        QString written = value;
        if (value.contains(needsBraces)) {
            if (freeTds && value.contains(QLatin1String("};"))) {
                if (why)
                    *why = QStringLiteral("%1 的值含有 \"};\"，FreeTDS 驱动无法接收").arg(keyword);
                return QString();
            }
            if (!freeTds)
                written.replace(QLatin1Char('}'), QLatin1String("}}"));
            written = QLatin1Char('{') + written + QLatin1Char('}');
        }
        text += keyword + QLatin1Char('=') + written + QLatin1Char(';');
        if (keyword == QLatin1String("SERVER"))
            text += QStringLiteral("PORT=%1;").arg(port);
    }
    return text;
}

namespace StoreNumber
{

QString Make(const QDateTime& moment)
{
    return moment.toString(QStringLiteral("yyyyMMddhhmmsszzz")) + QStringLiteral("LINK");
}

QString LoadOrCreate(const QString& iniPath, QString* error)
{
    const QString key = QStringLiteral("StoreNo/No");
    IniFile ini;
    ini.Load(iniPath);
    if (ini.Value(key).isEmpty() && (!ini.Error().isEmpty() || !ini.SetValue(key, Make()))) {
        if (error)
            *error = ini.Error();
        return QString();
    }
    return ini.Value(key);
}

} // namespace StoreNumber
