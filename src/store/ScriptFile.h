#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QTemporaryFile>

// The bytes of a script file for one reading after another. They are read once into a private
// copy, which is mapped into memory so that the readings take them where they lie: a file cut
// short or a stick pulled out while a restore runs then ends the reading of the copy with a
// message, where a mapping of the file itself would end the program. Where no copy can be made,
// the bytes are read whole into memory.
class ScriptFile
{
public:
    // False with `error` when the file cannot be opened or read.
    bool Open(const QString& path, QString& error);
    QByteArrayView Bytes() const { return bytes; }
    // Gives back the memory of the mapped bytes before `upTo`, read already: the copy keeps
    // them, and a later reading maps them in again.
    void Release(qsizetype upTo);

private:
    // Unreadable: the file could not be read (`error` says why); NoRoom: the copy could not be
    // written whole.
    enum class Copied { Whole, NoRoom, Unreadable };
    Copied CopyFrom(QFile& source, QString& error);

    QTemporaryFile copy;
    QByteArray held;
    QByteArrayView bytes;
    const uchar* mapped = nullptr;
    qsizetype released = 0;
};
