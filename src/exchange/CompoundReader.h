#pragma once

#include <QByteArray>
#include <QString>

// Takes the workbook stream out of an OLE2 compound file, checking the container on the way.
class CompoundReader
{
public:
    // The stream's name ("Workbook", or "Book" in older files) and bytes; false with a reason
    // when the container is damaged, encrypted or holds no workbook.
    static bool ReadWorkbook(const QString& path, QString& name, QByteArray& stream,
                             QString& error);
};
