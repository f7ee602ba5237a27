#include "UserDataFolder.h"

#include "DbConfig.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QObject>
#include <QSaveFile>

namespace UserDataFolder
{

namespace
{

const QString DefaultConfiguration = QStringLiteral("dBConfig.ini");

QString Native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// Puts the installation's default configuration at `target`; an empty text when it is there,
// otherwise why not.
QString WriteDefaultConfiguration(const InstalledData& installed, const QString& target)
{
    const QString source = installed.File(DefaultConfiguration);
    QFile in(source);
    if (source.isEmpty() || !in.open(QIODevice::ReadOnly))
        return QObject::tr("安装不完整，找不到默认配置文件 %1")
            .arg(Native(QDir(installed.Folder()).filePath(DefaultConfiguration)));
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly) || out.write(in.readAll()) < 0 || !out.commit())
        return QObject::tr("无法写入配置文件 %1：%2").arg(Native(target), out.errorString());
    return QString();
}

} // namespace

Choice Enter(const InstalledData& installed, const QString& userFolder, QString* why)
{
    if (QFileInfo::exists(DbConfig::DefaultPath) || !installed.Present())
        return Choice::StartFolder;

    QString problem;
    const QDir folder(userFolder);
    const QString config = folder.filePath(DbConfig::DefaultPath);
    if (userFolder.isEmpty())
        problem = QObject::tr("找不到本用户的数据文件夹（没有设置 HOME）");
    else if (!folder.mkpath(QFileInfo(DbConfig::DefaultPath).path()))
        problem = QObject::tr("无法建立文件夹 %1").arg(Native(QFileInfo(config).path()));
    else if (!QFileInfo::exists(config))
        problem = WriteDefaultConfiguration(installed, config);
    if (problem.isEmpty() && !QDir::setCurrent(folder.absolutePath()))
        problem = QObject::tr("无法进入文件夹 %1").arg(Native(folder.absolutePath()));

    if (problem.isEmpty())
        return Choice::UserFolder;
    if (why)
        *why = problem;
    return Choice::Failed;
}

} // namespace UserDataFolder
