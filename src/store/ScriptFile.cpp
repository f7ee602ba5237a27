#include "ScriptFile.h"

#include <QCoreApplication>
#include <QDir>
#include <cerrno>
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
    QFile source(path);
    if (!source.open(QIODevice::ReadOnly)) {
        error = Tr("无法打开文件 %1：%2").arg(source.fileName(), source.errorString());
        return false;
    }
    if (source.size() == 0)
        return true;
    copy.setFileTemplate(QDir::temp().filePath(QStringLiteral("ledger-restore-XXXXXX.sql")));
    if (copy.open()) {
        const Copied copied = CopyFrom(source, error);
        if (copied == Copied::Unreadable)
            return false;
        if (copied == Copied::Whole && copy.size() > 0 && (mapped = copy.map(0, copy.size()))) {
            bytes = QByteArrayView(mapped, copy.size());
            return true;
        }
    }
    // No room for a copy, or it cannot be mapped: the bytes are held in memory instead.
    copy.remove();
    held = source.seek(0) ? source.readAll() : QByteArray();
    bytes = held;
    if (source.error() == QFileDevice::NoError)
        return true;
    error = Tr("无法读取文件 %1：%2").arg(source.fileName(), source.errorString());
    return false;
}

// Copies the file's bytes as they are now: by the kernel within itself where it can, without
// passing them through the program, otherwise read and written a chunk at a time.
ScriptFile::Copied ScriptFile::CopyFrom(QFile& source, QString& error)
{
    off64_t from = 0;
    off64_t to = 0;
    for (;;) {
        const ssize_t sent =
            copy_file_range(source.handle(), &from, copy.handle(), &to, size_t(1) << 30, 0);
        if (sent > 0)
            continue;
        if (sent == 0)
            return Copied::Whole;
        if (errno == EIO) {
            error = Tr("无法读取文件 %1：%2").arg(source.fileName(), qt_error_string(errno));
            return Copied::Unreadable;
        }
        if (errno == ENOSPC || errno == EDQUOT || !source.seek(from) || !copy.seek(to))
            return Copied::NoRoom;
        break;
    }
    constexpr qint64 Chunk = 4 << 20;
    QByteArray chunk(Chunk, Qt::Uninitialized);
    for (;;) {
        const qint64 got = source.read(chunk.data(), Chunk);
        if (got < 0) {
            error = Tr("无法读取文件 %1：%2").arg(source.fileName(), source.errorString());
            return Copied::Unreadable;
        }
        if (got == 0)
            return copy.flush() ? Copied::Whole : Copied::NoRoom;
        if (copy.write(chunk.constData(), got) != got)
            return Copied::NoRoom;
    }
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
