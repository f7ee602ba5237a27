#include "ZipPackage.h"

#include <QSaveFile>
#include <algorithm>
#include <quazip.h>
#include <quazipfile.h>
#include <quazipnewinfo.h>

namespace
{

QString Damaged()
{
    return QStringLiteral("无法读取 Excel 工作簿(zip 文件损坏)");
}

bool CopyRaw(QuaZip& source, QuaZip& target, QString& error)
{
    QuaZipFileInfo64 info;
    if (!source.getCurrentFileInfo(&info)) {
        error = Damaged();
        return false;
    }
    QuaZipFile in(&source);
    int method = 0;
    int level = 0;
    if (!in.open(QIODevice::ReadOnly, &method, &level, true)) {
        error = Damaged();
        return false;
    }
    const QByteArray data = in.readAll();
    in.close();
    QuaZipNewInfo newInfo(info);
    newInfo.uncompressedSize = ulong(info.uncompressedSize);
    QuaZipFile out(&target);
    if (!out.open(QIODevice::WriteOnly, newInfo, nullptr, info.crc, method, level, true) ||
        out.write(data) != data.size()) {
        error = QStringLiteral("无法写入工作簿");
        return false;
    }
    out.close();
    return out.getZipError() == ZIP_OK;
}

bool WriteNew(QuaZip& target, const QuaZipFileInfo64& info, const QByteArray& data)
{
    QuaZipNewInfo newInfo(info.name);
    newInfo.dateTime = info.dateTime;
    QuaZipFile out(&target);
    // A rewritten part is a large sheet written on every save: the fastest compression keeps
    // saving quick and still shrinks repetitive XML several times.
    if (!out.open(QIODevice::WriteOnly, newInfo, nullptr, 0, Z_DEFLATED, Z_BEST_SPEED) ||
        out.write(data) != data.size())
        return false;
    out.close();
    return out.getZipError() == ZIP_OK;
}

} // namespace

bool ZipPackage::Has(const QString& part) const
{
    QuaZip zip(path);
    return zip.open(QuaZip::mdUnzip) && zip.setCurrentFile(part);
}

bool ZipPackage::Read(const QString& part, QByteArray& data, QString& error) const
{
    QuaZip zip(path);
    if (!zip.open(QuaZip::mdUnzip)) {
        error = Damaged();
        return false;
    }
    if (!zip.setCurrentFile(part)) {
        error = QStringLiteral("工作簿缺少部件 %1").arg(part);
        return false;
    }
    QuaZipFile file(&zip);
    if (!file.open(QIODevice::ReadOnly)) {
        error = Damaged();
        return false;
    }
    data.clear();
    // The recorded size is only a hint (it may lie), but when true the part is read without
    // growing the array again and again.
    data.reserve(qsizetype(std::clamp<qint64>(file.usize(), 0, MaxPartSize)));
    char buffer[65536];
    for (;;) {
        const qint64 got = file.read(buffer, sizeof buffer);
        if (got < 0) {
            error = Damaged();
            return false;
        }
        if (got == 0)
            break;
        if (data.size() + got > MaxPartSize) {
            error = QStringLiteral("工作簿部件 %1 过大").arg(part);
            return false;
        }
        data.append(buffer, got);
    }
    file.close();
    // The checksum is verified on close: a mismatch means damaged contents.
    if (file.getZipError() != UNZ_OK) {
        error = Damaged();
        return false;
    }
    return true;
}

bool ZipPackage::CopyTo(const QString& target, const QHash<QString, QByteArray>& replaced,
                        QString& error, const QSet<QString>& removed) const
{
    QuaZip source(path);
    if (!source.open(QuaZip::mdUnzip)) {
        error = Damaged();
        return false;
    }
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly)) {
        error = QStringLiteral("无法写入文件 %1").arg(target);
        return false;
    }
    QuaZip zip(&file);
    // The save file is committed here, and only when the whole copy succeeded.
    zip.setAutoClose(false);
    if (!zip.open(QuaZip::mdCreate)) {
        error = QStringLiteral("无法写入文件 %1").arg(target);
        return false;
    }
    for (bool more = source.goToFirstFile(); more; more = source.goToNextFile()) {
        QuaZipFileInfo64 info;
        if (!source.getCurrentFileInfo(&info)) {
            error = Damaged();
            return false;
        }
        if (removed.contains(info.name))
            continue;
        const auto replacement = replaced.constFind(info.name);
        const bool copied = replacement == replaced.constEnd()
                                ? CopyRaw(source, zip, error)
                                : WriteNew(zip, info, replacement.value());
        if (!copied) {
            if (error.isEmpty())
                error = QStringLiteral("无法写入文件 %1").arg(target);
            return false;
        }
    }
    zip.close();
    if (source.getZipError() != UNZ_OK || zip.getZipError() != ZIP_OK) {
        error = Damaged();
        return false;
    }
    if (!file.commit()) {
        error = QStringLiteral("无法写入文件 %1").arg(target);
        return false;
    }
    return true;
}
