#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>

// The bytes of a script file for one reading after another: mapped into memory, so that the
// reading takes them where they lie, or read whole where the file cannot be mapped.
class ScriptFile
{
public:
    // False with `error` when the file cannot be opened or read.
    bool Open(const QString& path, QString& error);
    QByteArrayView Bytes() const { return bytes; }
    // Gives back the memory of the mapped bytes before `upTo`, read already: the file keeps
    // them, and a later reading maps them in again.
    void Release(qsizetype upTo);

private:
    QFile file;
    QByteArray held;
    QByteArrayView bytes;
    const uchar* mapped = nullptr;
    qsizetype released = 0;
};
