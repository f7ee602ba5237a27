#pragma once

#include "CompoundReader.h"
#include "SheetDocument.h"
#include "XlsReader.h"

// An Excel 97-2003 workbook. Saving into an existing one replaces only the written cells of the
// chosen sheet and keeps every other record; a new one is written whole.
class XlsDocument : public SheetDocument
{
public:
    static std::unique_ptr<XlsDocument> Load(const QString& path, int sheetNumber, QString& error);
    static std::unique_ptr<XlsDocument> Create(int sheetNumber);

    const SheetCells& Cells() const override;
    bool DateSystem1904() const override { return workbook.dateSystem1904; }
    bool Save(const QString& path, const CellWrites& writes, QString& error) override;

private:
    XlsDocument(Workbook workbook, XlsStructure structure, int sheetNumber);

    Workbook workbook;
    XlsStructure structure;
    // The file's other streams and storages, written again beside the workbook.
    QList<CompoundEntry> container;
    int sheet;
};
