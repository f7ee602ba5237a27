#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// A stream or storage of a compound file besides the workbook stream (document properties,
// macros, embedded objects), kept so that writing the workbook again loses none of them.
struct CompoundEntry {
    // The names from the root; empty for the root storage itself.
    QList<QByteArray> path;
    bool storage = false;
    QByteArray classId;
    QByteArray data;
};

// Takes the workbook stream out of an OLE2 compound file, checking the container on the way.
class CompoundReader
{
public:
    // The stream's name ("Workbook", or "Book" in older files) and bytes, and when `others` is
    // given every other entry of the file, parents before their children. False with a reason
    // when the container is damaged, encrypted or holds no workbook.
    static bool ReadWorkbook(const QString& path, QString& name, QByteArray& stream, QString& error,
                             QList<CompoundEntry>* others = nullptr);
};
