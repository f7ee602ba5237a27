#include "ScriptFile.h"

#include <QCoreApplication>
#include <sys/mman.h>
#include <unistd.h>

namespace
{

QString Tr(const char* text)
{
    return QCoreApplication::translate("ScriptRestorer", text);
}

} // namespace

bool ScriptFile::Open(const QString& path, QString& error)
{
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = Tr("无法打开文件 %1：%2").arg(file.fileName(), file.errorString());
        return false;
    }
    const qint64 size = file.size();
    if (size == 0)
        return true;
    if ((mapped = file.map(0, size))) {
        bytes = QByteArrayView(mapped, size);
        return true;
    }
    held = file.readAll();
    bytes = held;
    if (file.error() == QFileDevice::NoError)
        return true;
    error = Tr("无法读取文件 %1：%2").arg(file.fileName(), file.errorString());
    return false;
}

void ScriptFile::Release(qsizetype upTo)
{
    if (!mapped)
        return;
    // A reading that starts again from the front maps the pages in again.
    if (upTo < released)
        released = 0;
    const qsizetype page = sysconf(_SC_PAGESIZE);
    const qsizetype end = upTo / page * page;
    if (end <= released)
        return;
    madvise(const_cast<uchar*>(mapped) + released, size_t(end - released), MADV_DONTNEED);
    released = end;
}
