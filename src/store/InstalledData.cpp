#include "InstalledData.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

InstalledData::InstalledData(const QString& programFolder)
    : folder(QDir::cleanPath(
          QDir(programFolder).absoluteFilePath(QStringLiteral(LEDGER_DATA_FROM_PROGRAM))))
{
}

InstalledData InstalledData::OfProgram()
{
    return InstalledData(QCoreApplication::applicationDirPath());
}

bool InstalledData::Present() const
{
    return QFileInfo(folder).isDir();
}

QString InstalledData::File(const QString& relative) const
{
    const QFileInfo file(QDir(folder).filePath(relative));
    return file.isFile() ? file.absoluteFilePath() : QString();
}
