#pragma once

#include "Workbook.h"

#include <QString>
#include <memory>

// One sheet of a workbook file, opened for reading its cells and writing texts into it.
class SheetDocument
{
public:
    virtual ~SheetDocument() = default;

    // The sheet's cells as they were when the file was opened.
    virtual const SheetCells& Cells() const = 0;
    // Whether the workbook's day numbers count from 1904 instead of 1900.
    virtual bool DateSystem1904() const = 0;
    // Writes the texts into the sheet and stores the whole workbook under `path`, replacing the
    // file only once the new one is complete. False with a reason, the file untouched, on failure.
    virtual bool Save(const QString& path, const CellWrites& writes, QString& error) = 0;

    // Recognises the file by its content, not its name. A missing file gives a new Excel 97-2003
    // workbook with `sheetNumber` empty sheets.
    static std::unique_ptr<SheetDocument> Open(const QString& path, int sheetNumber, bool& isNew,
                                               QString& error);
};
