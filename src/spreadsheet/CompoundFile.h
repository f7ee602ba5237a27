#pragma once

#include "CompoundReader.h"

#include <QByteArray>

// Wraps a BIFF8 workbook stream into an OLE2 compound file, the container of .xls files.
class CompoundFile
{
public:
    // The whole file's bytes, with the other entries of the file the workbook came from, or an
    // empty array when the container could not be built.
    static QByteArray Build(const QByteArray& workbookStream,
                            const QList<CompoundEntry>& others = {});
};
