#pragma once

#include "SheetDocument.h"
#include "XlsReader.h"

// An Excel 97-2003 workbook held whole in memory: saving writes every sheet again, the chosen
// one with the new texts, the others with the names and values they had.
class XlsDocument : public SheetDocument
{
public:
    static std::unique_ptr<XlsDocument> Load(const QString& path, int sheetNumber, QString& error);
    static std::unique_ptr<XlsDocument> Create(int sheetNumber);

    const SheetCells& Cells() const override;
    bool Save(const QString& path, const CellWrites& writes, QString& error) override;

private:
    XlsDocument(Workbook workbook, XlsStructure structure, int sheetNumber);

    Workbook workbook;
    XlsStructure structure;
    int sheet;
};
