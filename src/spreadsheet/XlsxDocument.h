#pragma once

#include "SheetDocument.h"
#include "XlsxLayout.h"
#include "ZipPackage.h"

// An Office Open XML workbook: saving rewrites the chosen sheet's part and copies every other
// part of the package unchanged.
class XlsxDocument : public SheetDocument
{
public:
    static std::unique_ptr<XlsxDocument> Load(const QString& path, int sheetNumber, QString& error);

    const SheetCells& Cells() const override { return cells; }
    bool DateSystem1904() const override { return layout.dateSystem1904; }
    bool Save(const QString& path, const CellWrites& writes, QString& error) override;

private:
    explicit XlsxDocument(const QString& path) : package(path) {}

    ZipPackage package;
    XlsxLayout layout;
    QByteArray sheetXml;
    SheetCells cells;
};
