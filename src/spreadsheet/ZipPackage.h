#pragma once

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>

// Reads the parts of a zip package and writes a copy of it with some parts replaced.
class ZipPackage
{
public:
    // Parts larger than this are refused: a damaged or hostile size must not exhaust memory.
    static constexpr qint64 MaxPartSize = 512LL * 1024 * 1024;

    explicit ZipPackage(const QString& path) : path(path) {}

    // False with a reason when the part is missing, damaged or too large.
    bool Read(const QString& part, QByteArray& data, QString& error) const;
    bool Has(const QString& part) const;

    // Writes every part of this package to `target`, unchanged and still compressed, except the
    // parts named in `replaced`, which get the given contents, and those in `removed`. The
    // target is replaced only once the copy is complete.
    bool CopyTo(const QString& target, const QHash<QString, QByteArray>& replaced, QString& error,
                const QSet<QString>& removed = {}) const;

private:
    QString path;
};
