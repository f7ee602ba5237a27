#include "WorkingFolders.h"

#include <QDir>

namespace WorkingFolders
{

bool EnsureDir(QString& path)
{
    path.prepend(QDir::currentPath());
    return QDir(path).exists() || QDir().mkdir(path);
}

} // namespace WorkingFolders
