#pragma once

#include "ZipPackage.h"

#include <QString>

// Where the parts of an Office Open XML workbook live inside its package.
struct XlsxLayout {
    QString sheetPart;
    QString sharedStringsPart;
    QString workbookRelationshipsPart;
    // The cached order of calculation; empty when the workbook has none.
    QString calcChainPart;
    // Whether the workbook counts its day numbers from 1904 instead of 1900.
    bool dateSystem1904 = false;

    // Finds the part of sheet `sheetNumber` (1-based, in the workbook's tab order).
    static bool Locate(const ZipPackage& package, int sheetNumber, XlsxLayout& layout,
                       QString& error);
};
